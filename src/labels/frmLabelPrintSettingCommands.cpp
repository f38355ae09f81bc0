// The label layout window's commands: save, leave, default script, test print and preview, printer
// setup, export and import.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>

#include "base/AppError.h"
#include "base/TextUtil.h"
#include "base/Variant.h"
#include "labels/PrinterChoice.h"
#include "labels/frmLabelPreview.h"
#include "labels/frmLabelPrintSetting.h"
#include "labels/modLabelPrint.h"
#include "odb/DataSet.h"
#include "odb/Database.h"
#include "odb/Table.h"
#include "odb/Tables.h"
#include "platform/MaskedBox.h"
#include "platform/Prompt.h"
#include "platform/ScriptBox.h"
#include "startup/modZeltoFormUtility.h"

#include <cmath>
#include <limits>

namespace {

using namespace MsgBoxStyle;

const QChar kCr(u'\r');
const QString kExportFile = QStringLiteral("LabelPrint.vbs");

void message(QWidget* owner, const QString& text, int style) {
    Prompt::instance().msgBox(text, style, g_strMsgBoxTitle, owner);
}

// The box's caption without its colon, to name it in a message.
QString captionOf(QWidget* window, const char* labelName) {
    auto* l = window->findChild<QLabel*>(QString::fromLatin1(labelName));
    QString caption = l ? l->text() : QString();
    if (caption.endsWith(u':')) caption.chop(1);
    return caption;
}

// Saving and the test print need a printer in the box: without one the user is asked to choose it.
bool printerChosen(QWidget* owner, QComboBox* box) {
    if (!box->currentText().isEmpty()) return true;
    message(owner, QStringLiteral("Devi selezionare la stampante"), vbInformation);
    box->setFocus();
    return false;
}

}  // namespace

void frmLabelPrintSetting::cmdOK_Click() {
    if (!printerChosen(this, cboPrinter_)) return;
    try {
        auto row = database_->Tables()
                       .Item(QStringLiteral("TabStampaEtichette"))
                       .OpenData(QStringLiteral("NomeTabellaOrigine=") +
                                 database_->TextLiteral(GetSelectedTableName()));
        if (row->DataEmpty()) row->AddEmptyRow();
        const std::pair<const char*, Variant> fields[] = {
            {"NomeTabellaOrigine", Variant(GetSelectedTableName())},
            {"NumeroColonne", Variant(txtColumns_->text())},
            {"IstruzioniStampa", Variant(txtVBScript_->Script())},
            {"LarghezzaEtichetta", Variant(txtLabelWidth_->text())},
            {"AltezzaEtichetta", Variant(txtLabelHeight_->text())},
            {"MargineSuperiore", Variant(txtLabelTop_->text())},
            {"MargineSinistro", Variant(txtLabelLeft_->text())},
            {"NomeStampante", Variant(cboPrinter_->currentText())},
            {"OrientamentoOrizzontale", Variant(chkHorizontal_->isChecked())},
            {"AbilitaPosizionamento", Variant(chkEnableLabelAlignment_->isChecked())},
            {"RichiediSelezioneStampante", Variant(chkPrinterSelection_->isChecked())},
            {"NumeroCopie", Variant(txtCopy_->text())},
        };
        for (const auto& [name, value] : fields)
            if (!row->SetColValue(QString::fromLatin1(name), value)) return;
        // A refusal was told by the library; nothing was stored.
        if (!row->SaveRow()) return;
    } catch (const std::exception& e) {
        showError(e);
        return;
    }
    message(this, QStringLiteral("Impostazioni Salvate."), vbInformation);
    modified_ = false;
}

bool frmLabelPrintSetting::confirmLeave() {
    if (!modified_) return true;
    const QString question = QStringLiteral("Lo script è stato modificato...") + kCr + kCr +
                             QStringLiteral("Uscire senza salvare ?");
    const bool leave = Prompt::instance().msgBox(question, vbYesNo | vbQuestion | vbDefaultButton2,
                                                 g_strMsgBoxTitle, this) == MsgResult::Yes;
    // Either way the question is not asked twice: No stays, and a second "&Esci" closes.
    modified_ = false;
    return leave;
}

void frmLabelPrintSetting::cmdCancel_Click() {
    if (confirmLeave()) close();
}

void frmLabelPrintSetting::cmdDefault_Click() {
    txtVBScript_->SetScript(defaultScript_.isEmpty() ? LabelTemplate() : defaultScript_);
}

bool frmLabelPrintSetting::readNumbers(float& height, float& width, float& top, float& left,
                                       int32_t& columns) {
    struct Box {
        MaskedBox* box;
        const char* label;
        float* out;
    } sizes[] = {
        {txtLabelHeight_, "Label5", &height},
        {txtLabelWidth_, "Label6", &width},
        {txtLabelTop_, "Label8", &top},
        {txtLabelLeft_, "Label7", &left},
    };
    auto refuse = [this](MaskedBox* box, const char* labelName) {
        message(this,
                QStringLiteral("Il valore \"") + box->text() + QStringLiteral("\" di \"") +
                    captionOf(this, labelName) + QStringLiteral("\" non è un numero valido."),
                vbExclamation);
        box->setFocus();
        return false;
    };
    double value = 0;
    if (!ParseVbNumber(txtColumns_->text(), value) || std::abs(value) > 32767)
        return refuse(txtColumns_, "Label3");
    columns = Variant(value).toInteger();
    for (const Box& b : sizes) {
        if (!ParseVbNumber(b.box->text(), value) || std::abs(value) > std::numeric_limits<float>::max())
            return refuse(b.box, b.label);
        *b.out = static_cast<float>(value);
    }
    return true;
}

void frmLabelPrintSetting::showPreview(bool onPrinter) {
    float height = 0, width = 0, top = 0, left = 0;
    int32_t columns = 0;
    if (!readNumbers(height, width, top, left, columns)) return;
    if (onPrinter && !printerChosen(this, cboPrinter_)) return;
    try {
        auto rows = database_->Tables().Item(GetSelectedTableName()).OpenData();
        const QString script = txtVBScript_->Script();
        if (onPrinter) {
            ShowLabelPreview(cboPrinter_->currentText(), rows, height, width, top, left, columns,
                             chkHorizontal_->isChecked(), script, true);
        } else {
            frmLabelPreview window(this);
            ShowLabelPreview(&window, rows, height, width, top, left, columns, chkHorizontal_->isChecked(),
                             script, true);
        }
    } catch (const std::exception& e) {
        showError(e);
    }
}

void frmLabelPrintSetting::cmdPreview_Click() {
    showPreview(false);
}

void frmLabelPrintSetting::cmdTest_Click() {
    showPreview(true);
}

void frmLabelPrintSetting::cmdPrnSetting_Click() {
    SetUpCurrentPrinter(QStringLiteral("Impostazione stampanti"), this);
}

LayoutExportKeys frmLabelPrintSetting::exportKeys() {
    auto text = [](MaskedBox* box) {
        return std::make_pair([box] { return box->text(); }, [box](const QString& v) { box->SetText(v); });
    };
    auto tick = [](QCheckBox* box) {
        return std::make_pair([box] { return box->isChecked() ? QStringLiteral("1") : QStringLiteral("0"); },
                              [box](const QString& v) { box->setChecked(StrToBool(v)); });
    };
    LayoutExportKeys keys;
    auto add = [&keys](const char* key, auto pair) {
        keys.push_back({QString::fromLatin1(key), pair.first, pair.second});
    };
    add("Columns", text(txtColumns_));
    add("LabelHeight", text(txtLabelHeight_));
    add("LabelWidth", text(txtLabelWidth_));
    add("LabelTop", text(txtLabelTop_));
    add("LabelLeft", text(txtLabelLeft_));
    add("HorizontalOrientation", tick(chkHorizontal_));
    add("EnableLabelAlignment", tick(chkEnableLabelAlignment_));
    add("CopyNumber", text(txtCopy_));
    return keys;
}

void frmLabelPrintSetting::cmdSave_Click() {
    try {
        LayoutExportFile::Export(this, kExportFile, exportKeys(), txtVBScript_->Script());
    } catch (const std::exception& e) {
        showError(e);
    }
}

void frmLabelPrintSetting::cmdLoad_Click() {
    try {
        QString script;
        if (LayoutExportFile::Import(this, kExportFile, exportKeys(), script))
            txtVBScript_->SetScript(script);
    } catch (const std::exception& e) {
        showError(e);
    }
}
