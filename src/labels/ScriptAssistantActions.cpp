// The code assistant at work: the texts before the caret that open a menu or a chooser, the actions a
// pick leaves to the timer, and the typing of their texts at the caret.
#include <QColor>
#include <QFont>
#include <QMenu>
#include <QTextBlock>
#include <QTimer>

#include "base/AppError.h"
#include "labels/ScriptAssistant.h"
#include "odb/Table.h"
#include "platform/Prompt.h"
#include "platform/ScriptBox.h"
#include "startup/modZeltoFormUtility.h"

namespace {

// The choosers are opened by the timer too, so that nothing is typed from inside a change of the text.
const QString kFontAction = QStringLiteral("cdlgFont");
const QString kColorAction = QStringLiteral("cdlgColor");

QString boolText(bool b) {
    return b ? QStringLiteral("True") : QStringLiteral("False");
}

QString quoted(const QString& name) {
    return u'"' + name + u'"';
}

}  // namespace

QString ScriptAssistant::dataSetName() const {
    return setup_.dataSetName ? setup_.dataSetName() : QStringLiteral("ds");
}

int ScriptAssistant::caret() const {
    return box_->textCursor().selectionStart();
}

bool ScriptAssistant::scriptEmpty() const {
    return box_->document()->isEmpty();
}

QString ScriptAssistant::textBefore(int position, int length) const {
    QString out;
    out.reserve(length);
    const QTextDocument* document = box_->document();
    for (int i = position - length; i < position; ++i)
        out += i < 0 ? QChar() : document->characterAt(i);
    return out;
}

QChar ScriptAssistant::charBefore(int position) const {
    return position > 0 ? box_->document()->characterAt(position - 1) : QChar();
}

void ScriptAssistant::txtVBScript_Change() {
    if (typing_) return;
    const int p = caret();
    const QString n = dataSetName();
    auto before = [&](const QString& trigger) {
        return p >= trigger.size() &&
               textBefore(p, static_cast<int>(trigger.size())).compare(trigger, Qt::CaseInsensitive) == 0;
    };
    // A blank, a line end, another control character or the end of the text after the caret.
    auto blankAfter = [&] {
        const QTextDocument* document = box_->document();
        if (p >= document->characterCount() - 1) return true;
        const QChar c = document->characterAt(p);
        return c == QChar::ParagraphSeparator || c <= u' ';
    };
    if (before(QStringLiteral("PRN."))) {
        PopupScriptMenu(mnuOutputInstructions_);
    } else if (before(n + u'.') || (p >= n.size() + 1 && before(QStringLiteral("\").")))) {
        PopupScriptMenu(mnuDataInstructions_);
    } else if (before(QStringLiteral("REFERENCE("))) {
        if (setup_.listsFollowCaret)
            startAction(QStringLiteral("PopUpReferenceMenù"));
        else
            PopupScriptMenu(mnuReferences_);
    } else if (before(QStringLiteral("VALUE("))) {
        if (setup_.listsFollowCaret)
            startAction(QStringLiteral("PopUpTableMenù"));
        else
            PopupScriptMenu(mnuFields_);
    } else if (before(QStringLiteral("SETFONT ")) && blankAfter()) {
        startAction(kFontAction);
    } else if (before(QStringLiteral("COLOR ")) && blankAfter()) {
        startAction(kColorAction);
    }
    ShowScriptLinePosition();
}

void ScriptAssistant::startAction(const QString& tag) {
    tmFuncTag_ = tag;
    tmFunc_->start();
}

void ScriptAssistant::chosen(const QString& action, int index) {
    chosenIndex_ = index;
    startAction(action);
}

void ScriptAssistant::mnuFieldItemRef_Click(int index) {
    try {
        const odb::Table* t = CaretDataTable();
        if (!t) return;
        pendingReference_ = mnuFieldItemRef_->Tag(index);
        pendingOwnerTable_ = t->Name();
        startAction(QStringLiteral("LoadReferenceMenù"));
    } catch (const std::exception& e) {
        showError(e);
    }
}

void ScriptAssistant::mnuRefReferenceItem_Click(int index) {
    pendingReference_ = mnuRefReferenceItem_->Tag(index);
    pendingOwnerTable_ = mnuRefName_->data().toString();
    startAction(QStringLiteral("LoadReferenceMenù"));
}

void ScriptAssistant::tmFunc_Timer() {
    // An action that lets events run (a menu, a chooser) is not entered again: the tick comes back.
    if (busy_) {
        tmFunc_->start();
        return;
    }
    busy_ = true;
    const QString tag = tmFuncTag_;
    tmFunc_->stop();
    tmFuncTag_.clear();
    try {
        runAction(tag);
    } catch (const std::exception& e) {
        showError(e);
    }
    busy_ = false;
}

void ScriptAssistant::runAction(const QString& tag) {
    if (tag == QLatin1String("mnuInstructionItem")) {
        insertInstruction(mnuInstructionItem_->Tag(chosenIndex_), QStringLiteral("prn."));
    } else if (tag == QLatin1String("mnuFunctionDataItem")) {
        insertInstruction(mnuFunctionDataItem_->Tag(chosenIndex_), dataSetName() + u'.');
    } else if (tag == QLatin1String("mnuFieldItem")) {
        FieldInsertText(mnuFieldItem_->Tag(chosenIndex_));
    } else if (tag == QLatin1String("mnuRefFieldItem")) {
        FieldInsertText(mnuRefFieldItem_->Tag(chosenIndex_));
    } else if (tag == QLatin1String("mnuReferenceItem")) {
        const QString reference = mnuReferenceItem_->Tag(chosenIndex_);
        if (const odb::Table* t = CaretDataTable()) insertReference(reference, t->Name(), false);
    } else if (tag == QStringLiteral("LoadReferenceMenù")) {
        if (!pendingReference_.isEmpty() && !pendingOwnerTable_.isEmpty())
            insertReference(pendingReference_, pendingOwnerTable_, true);
    } else if (tag == QStringLiteral("LoadTableMenù")) {
        const QString name = setup_.tableName();
        buildTableLists(name.isEmpty() ? nullptr : table(name));
        if (setup_.tableListsBuilt) setup_.tableListsBuilt();
    } else if (tag == QStringLiteral("PopUpTableMenù") || tag == QStringLiteral("PopUpReferenceMenù")) {
        mnuFieldItem_->Empty();
        chosenRowSource_.clear();
        const odb::Table* t = CaretDataTable();
        if (!t) return;
        buildTableLists(t);
        PopupScriptMenu(tag == QStringLiteral("PopUpTableMenù") ? mnuFields_ : mnuReferences_);
    } else if (tag == QLatin1String("mnuRefIfSectionItem")) {
        insertIfSection(mnuRefIfSectionItem_->Tag(chosenIndex_));
    } else if (tag == kFontAction) {
        fontDialog();
    } else if (tag == kColorAction) {
        colorDialog();
    }
}

void ScriptAssistant::insertInstruction(const QString& tag, const QString& prefix) {
    if (scriptEmpty() || tag.isEmpty()) return;
    const int p = caret();
    InsertScriptText(p > 0 && charBefore(p) != u'.' ? prefix + tag : tag, 0);
    // A trigger the inserted text completes fires at once: "ColValue(" opens the fields, "SetFont " the
    // font chooser.
    txtVBScript_Change();
}

void ScriptAssistant::FieldInsertText(const QString& name) {
    if (scriptEmpty() || name.isEmpty()) return;
    const int p = caret();
    const QString q = quoted(name);
    const QChar previous = charBefore(p);
    QString text;
    if (p > 0 && previous == u'(')
        text = q + u')';
    else if (p > 0 && previous == u'.')
        text = QStringLiteral("ColValue(") + q + u')';
    else
        text = dataSetName() + QStringLiteral(".ColValue(") + q + u')';
    InsertScriptText(text, 0);
}

void ScriptAssistant::insertReference(const QString& reference, const QString& ownerTable,
                                      bool replaceColValue) {
    if (scriptEmpty()) return;
    const QString q = quoted(reference);
    // A reference picked among the fields that "ColValue(" opened: the call becomes GetReference.
    if (replaceColValue && caret() >= 9 &&
        textBefore(caret(), 9).compare(QLatin1String("COLVALUE("), Qt::CaseInsensitive) == 0)
        InsertScriptText(QStringLiteral("GetReference("), 9);
    const int p = caret();
    const QChar previous = charBefore(p);
    QString text;
    if (p > 0 && previous == u'(')
        text = q + QStringLiteral(").");
    else if (p > 0 && previous == u'.')
        text = QStringLiteral("GetReference(") + q + QStringLiteral(").");
    else
        text = dataSetName() + QStringLiteral(".GetReference(") + q + QStringLiteral(").");
    InsertScriptText(text, 0);
    ShowReferenceMenu(table(ownerTable)->FindReference(reference));
}

void ScriptAssistant::insertIfSection(const QString& reference) {
    if (reference.isEmpty()) return;
    InsertScriptText(QStringLiteral("\r\nIf prn.DataReferenceName=\"") + reference +
                         QStringLiteral("\" Then\r\n  \r\nEnd If\r\n"),
                     0);
}

void ScriptAssistant::fontDialog() {
    QFont font;
    try {
        if (!Prompt::instance().chooseFont(font, form_)) return;
    } catch (...) {
        return;
    }
    // The script's decimal point is ".", whatever the user's number format: "10,5" would be two arguments.
    InsertScriptText(QString::number(font.pointSizeF()) + QStringLiteral(", ") + boolText(font.bold()) +
                         QStringLiteral(", ") + boolText(font.italic()) + QStringLiteral(", ") +
                         quoted(font.family()) + QStringLiteral(", ") + boolText(font.underline()),
                     0);
}

void ScriptAssistant::colorDialog() {
    QColor color(Qt::black);
    try {
        if (!Prompt::instance().chooseColor(color, form_)) return;
    } catch (...) {
        return;
    }
    // The engine's colours are 0x00BBGGRR.
    const uint value = (static_cast<uint>(color.blue()) << 16) | (static_cast<uint>(color.green()) << 8) |
                       static_cast<uint>(color.red());
    InsertScriptText(QStringLiteral("= &H") + QString::number(value, 16).toUpper(), 0);
}

void ScriptAssistant::InsertScriptText(const QString& text, int backspaces) {
    if (typing_) return;
    typing_ = true;
    if (form_->focusWidget() != box_) box_->setFocus();
    // As typed at the caret: backspaces first (the first takes a selection), then the text in place of
    // any selection; one step to undo.
    QTextCursor cursor = box_->textCursor();
    cursor.beginEditBlock();
    for (int i = 0; i < backspaces; ++i)
        cursor.deletePreviousChar();
    cursor.insertText(text);
    cursor.endEditBlock();
    box_->setTextCursor(cursor);
    typing_ = false;
}

void ScriptAssistant::showError(const std::exception& e) {
    Prompt::instance().msgBox(ErrorDescription(e), MsgBoxStyle::vbOKOnly, g_strMsgBoxTitle, form_);
}
