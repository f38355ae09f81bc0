// The main window's keys, seen before the grid and the tree: the record keys, the type-ahead
// search and the hidden rebuild of the reference totals of the rows of the view.
#include <QKeyEvent>

#include "base/AppError.h"
#include "mainwindow/frmMain.h"
#include "odb/DataSet.h"
#include "odb/Schema.h"
#include "odb/Table.h"
#include "platform/Prompt.h"
#include "startup/frmMessage.h"
#include "startup/frmSearchText.h"
#include "startup/modZeltoFormUtility.h"

namespace {

// The virtual-key code of a key as KeyCodeToText reads it; 0 for keys it does not know.
int16_t VirtualKey(int key, bool keypad) {
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return static_cast<int16_t>(key);
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return static_cast<int16_t>(keypad ? 96 + (key - Qt::Key_0) : key);
    if (keypad) {
        switch (key) {
            case Qt::Key_Asterisk:
                return 106;
            case Qt::Key_Plus:
                return 107;
            case Qt::Key_Minus:
                return 109;
            case Qt::Key_Period:
                return 110;
            case Qt::Key_Slash:
                return 111;
            default:
                return 0;
        }
    }
    switch (key) {
        case Qt::Key_Space:
            return 32;
        case Qt::Key_Period:
            return 190;
        case Qt::Key_Comma:
            return 188;
        case Qt::Key_Minus:
            return 189;
        default:
            return 0;
    }
}

}  // namespace

void frmMain::keyPressEvent(QKeyEvent* event) {
    if (Form_KeyDown(event->key(), event->modifiers())) return;
    QMainWindow::keyPressEvent(event);
}

bool frmMain::Form_KeyDown(int key, Qt::KeyboardModifiers modifiers) {
    const Qt::KeyboardModifiers held =
        modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    const bool keypad = modifiers & Qt::KeypadModifier;
    if (key == Qt::Key_R && held == (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) {
        rebuildReferences();
        return true;
    }
    bool numeric = false;
    findButtonTag_.toInt(&numeric);
    // A key with any modifier, Shift included, is left to the control that has the focus.
    if (held != Qt::NoModifier) return false;
    QString typed;
    // Esc and Backspace type nothing into a search.
    if (numeric && KeyCodeToText(VirtualKey(key, keypad), typed) && !typed.startsWith(QLatin1Char('{'))) {
        typeAhead(typed);
        return true;
    }
    switch (key) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            dgView_DblClick();
            return true;
        case Qt::Key_Insert:
            mnuFileNew_Click();
            return true;
        case Qt::Key_Plus:
            if (!keypad) return false;
            mnuFileNew_Click();
            return true;
        case Qt::Key_Delete:
            mnuFileDelete_Click();
            return true;
        default:
            return false;
    }
}

void frmMain::typeAhead(const QString& typed) {
    // With no keystroke queue, the key goes to the search dialog, which types it into its box.
    frmSearchText::PendingKeys = typed;
    mnuSearchItems_Click(findButtonTag_.toInt());
    frmSearchText::PendingKeys.clear();
}

void frmMain::rebuildReferences() {
    using namespace MsgBoxStyle;
    if (!m_objCurDS || !GridVisible()) {
        Prompt::instance().beep();
        return;
    }
    if (Prompt::instance().msgBox(QStringLiteral("ATTENZIONE! - Questa operazione rielabora i dati dei "
                                                 "Riferimenti e deve essere guidata da supporto tecnico..."
                                                 "\r\rContinuare ?\r\r"),
                                  vbYesNo | vbExclamation | vbDefaultButton2, QString(),
                                  this) != MsgResult::Yes)
        return;
    const std::shared_ptr<odb::DataSet> ds = m_objCurDS;
    frmMessage& message = frmMessage::instance();
    try {
        message.ShowMsg(QStringLiteral("Rielaborazione..."), this, -1, -1);
        message.StartProgress(ds->RowCount(), true);
        // From the current row on: a walk stopped half way goes on from where it stopped.
        while (!ds->RowInvalid()) {
            if (!message.Progress(0, false)) break;
            for (const odb::Table* t = &ds->GetTable(); t; t = t->BaseTable()) {
                const int32_t count = t->OwnReferenceDefs().Count();
                for (int32_t i = 1; i <= count; ++i) {
                    const odb::ReferenceDef& r = t->Reference(i);
                    if (r.IsRebuildable()) ds->RebuildReference(r.Name());
                }
            }
            ds->RowNext();
        }
        frmMessage::Unload();
    } catch (const AppError& e) {
        frmMessage::Unload();
        Prompt::instance().msgBox(e.description(), vbOKOnly, QString(), this);
    }
}
