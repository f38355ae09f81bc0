// The report layout editor's commands beside the profile: test print and preview from the values
// being edited, the background image, and search in the script.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTextCursor>

#include "base/Variant.h"
#include "labels/PrinterChoice.h"
#include "odb/DataSet.h"
#include "odb/Database.h"
#include "odb/Table.h"
#include "odb/Tables.h"
#include "odb/ui/DataPanel.h"
#include "odb/ui/DataPanelTools.h"
#include "platform/MaskedBox.h"
#include "platform/Prompt.h"
#include "platform/ScriptBox.h"
#include "reports/clsCustomReport.h"
#include "reports/frmCustomReportPreview.h"
#include "reports/frmCustomReportSetting.h"
#include "reports/modCustomReport.h"
#include "startup/modZeltoFormUtility.h"

namespace {

using namespace MsgBoxStyle;

const QString kSearchTitle = QStringLiteral("VB SCRIPT");

// The number in a box; false when its text is none.
bool boxNumber(const QLineEdit* box, double& value) {
    return ParseVbNumber(box->text(), value);
}

}  // namespace

bool frmCustomReportSetting::numbersValid() {
    for (MaskedBox* box :
         {txtColumns_, txtReportHeight_, txtReportWidth_, txtReportTop_, txtReportLeft_, txtReportRowsTop_,
          txtReportRowsBottom_, txtReportRowsDim_, txtBottomImageBorder_}) {
        double value = 0;
        if (boxNumber(box, value)) continue;
        QString caption;
        for (QLabel* l : sizeLabels_)
            if (l->buddy() == box) caption = l->text();
        // The same words as the label window's.
        Prompt::instance().msgBox(QStringLiteral("Il valore \"") + box->text() + QStringLiteral("\" di \"") +
                                      caption + QStringLiteral("\" non è un numero valido."),
                                  vbExclamation, g_strMsgBoxTitle, this);
        box->setFocus();
        box->selectAll();
        return false;
    }
    return true;
}

void frmCustomReportSetting::cmdTest_Click() {
    runReport(false);
}

void frmCustomReportSetting::cmdPreview_Click() {
    runReport(true);
}

void frmCustomReportSetting::runReport(bool preview) {
    if (SelectedTableName().isEmpty() || !numbersValid()) return;
    // The test goes to the printer of the box: without one the user is asked to choose it.
    if (!preview && cboPrinter_->currentText().isEmpty()) {
        Prompt::instance().msgBox(QStringLiteral("Devi selezionare la stampante"), vbInformation,
                                  g_strMsgBoxTitle, this);
        cboPrinter_->setFocus();
        return;
    }
    auto number = [](const QLineEdit* box) {
        double value = 0;
        boxNumber(box, value);
        return value;
    };
    try {
        auto ds = p_objDatabase->Tables().Item(SelectedTableName()).OpenData();
        const QString reference = SelectedReferenceName();
        if (!reference.isEmpty()) {
            // The rows printed belong to one row of the table: the user picks it.
            auto panel = odb::DataPanelTools::CreatePanel(ds, this);
            if (panel->SelectRow(-1, -1, -1).isEmpty()) return;
        }
        auto engine = std::make_shared<clsCustomReport>();
        const Variant target = preview ? Variant(frmCustomReportPreview::Default().AsDevice())
                                       : Variant(cboPrinter_->currentText());
        engine->SetParameter(
            target, static_cast<float>(number(txtReportHeight_)), static_cast<float>(number(txtReportWidth_)),
            static_cast<float>(number(txtReportTop_)), static_cast<float>(number(txtReportLeft_)),
            static_cast<int16_t>(RoundHalfEven(number(txtColumns_))),
            static_cast<float>(number(txtReportRowsDim_)), static_cast<float>(number(txtReportRowsTop_)),
            static_cast<float>(number(txtReportRowsBottom_)), txtBackImage_->text(),
            static_cast<float>(number(txtBottomImageBorder_)), ScriptText(), chkHorizontal_->isChecked(),
            cboReportGroup_->currentText());
        ReportRunEnd end = ReportRunEnd::Stopped;
        PrintCustomReports(this, ds, engine, reference, cbReportName_->currentText(), -1, preview, 1, {},
                           Variant::missing(), {}, {}, &end);
        // The test page is told printed only once its document came out.
        const bool written = engine->EndReports();
        engine.reset();
        if (!preview && end != ReportRunEnd::Stopped && written)
            Prompt::instance().msgBox(QStringLiteral("La pagina di test è stata stampata"), vbInformation,
                                      g_strMsgBoxTitle, this);
    } catch (const std::exception& e) {
        frmCustomReportPreview::ReleaseDefault();
        showError(e);
    }
    txtVBScript_->setFocus();
}

void frmCustomReportSetting::cmdSelBackImage_Click() {
    const QString path = Prompt::instance().openFileName(QString(), txtBackImage_->text(),
                                                         QStringLiteral("Immagine (*)"), this);
    if (!path.isEmpty()) txtBackImage_->setText(path);
}

void frmCustomReportSetting::cmdPrnSetting_Click() {
    SetUpCurrentPrinter(QStringLiteral("Impostazione stampanti"), this);
}

void frmCustomReportSetting::cmdSearch_Click() {
    QString text;
    if (!Prompt::instance().inputBox(QStringLiteral("TESTO DA CERCARE:"), kSearchTitle, m_strSearchText, text,
                                     this))
        text.clear();
    m_strSearchText = text;
    FindScriptText(m_strSearchText, false);
}

void frmCustomReportSetting::searchKey(Qt::KeyboardModifiers modifiers) {
    const Qt::KeyboardModifiers held =
        modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    if (held == Qt::NoModifier && !m_strSearchText.isEmpty())
        FindScriptText(m_strSearchText, true);
    else
        cmdSearch_Click();
}

void frmCustomReportSetting::FindScriptText(const QString& text, bool fromSelection) {
    // An empty text finds nothing to select: the caret stays where it is.
    if (!text.isEmpty()) {
        QTextCursor cursor = txtVBScript_->textCursor();
        const int from = fromSelection ? cursor.selectionEnd() : 0;
        const int found = txtVBScript_->toPlainText().indexOf(text, from, Qt::CaseInsensitive);
        if (found < 0) {
            Prompt::instance().msgBox(QStringLiteral("non trovato"), vbOKOnly, kSearchTitle, this);
        } else {
            cursor.setPosition(found);
            cursor.setPosition(found + static_cast<int>(text.size()), QTextCursor::KeepAnchor);
            txtVBScript_->setTextCursor(cursor);
        }
    }
    txtVBScript_->setFocus();
}
