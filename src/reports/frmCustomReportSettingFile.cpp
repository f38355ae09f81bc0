// The report layout editor's export file ("ReportPrint.vbs"): the names, geometry, background image and
// orientation of the profile as header lines, then its script. The source, printer and "Selezionabile"
// stay out of it.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include "base/AppError.h"
#include "base/TextUtil.h"
#include "base/Variant.h"
#include "labels/LayoutExportFile.h"
#include "platform/MaskedBox.h"
#include "platform/ScriptBox.h"
#include "reports/frmCustomReportSetting.h"

namespace {

const QString kFileName = QStringLiteral("ReportPrint.vbs");

QString rightTrimmed(const QString& text) {
    qsizetype n = text.size();
    while (n > 0 && text[n - 1] == u' ')
        --n;
    return text.left(n);
}

}  // namespace

LayoutExportKeys frmCustomReportSetting::exportKeys() {
    auto boxKey = [](const char* key, MaskedBox* box) {
        return LayoutExportKey{QString::fromLatin1(key), [box] { return box->text(); },
                               [box](const QString& value) { box->SetText(value); }};
    };
    return {
        {QStringLiteral("ReportName"), [this] { return cbReportName_->currentText(); },
         [this](const QString& value) {
             // A name already shown is kept.
             if (!cbReportName_->currentText().isEmpty()) return;
             if (value.size() > cbReportName_->lineEdit()->maxLength()) RaiseVbError(380);
             setNameListIndex(-1);
             setNameText(value);
         }},
        {QStringLiteral("ReportGroup"), [this] { return cboReportGroup_->currentText(); },
         [this](const QString& value) { importGroup(value); }},
        {QStringLiteral("BackImageFile"), [this] { return txtBackImage_->text(); },
         [this](const QString& value) {
             if (!rightTrimmed(value).isEmpty() && txtBackImage_->text().isEmpty())
                 txtBackImage_->setText(value);
         }},
        boxKey("BottomImageBorder", txtBottomImageBorder_),
        boxKey("Columns", txtColumns_),
        boxKey("ReportHeight", txtReportHeight_),
        boxKey("ReportWidth", txtReportWidth_),
        boxKey("ReportTop", txtReportTop_),
        boxKey("ReportLeft", txtReportLeft_),
        boxKey("ReportRowsDim", txtReportRowsDim_),
        boxKey("ReportRowsTop", txtReportRowsTop_),
        boxKey("ReportRowsBottom", txtReportRowsBottom_),
        {QStringLiteral("HorizontalOrientation"),
         [this] { return chkHorizontal_->isChecked() ? QStringLiteral("1") : QStringLiteral("0"); },
         [this](const QString& value) { chkHorizontal_->setChecked(StrToBool(value)); }},
    };
}

void frmCustomReportSetting::importGroup(const QString& value) {
    double number = 0;
    if (ParseVbNumber(value, number)) {
        // A number is the entry's place in the list, the empty first entry being 0.
        const double index = RoundHalfEven(number);
        if (index >= 0 && index < cboReportGroup_->count())
            cboReportGroup_->setCurrentIndex(static_cast<int>(index));
        return;
    }
    LoadReportGroups(value);
}

void frmCustomReportSetting::cmdSave_Click() {
    try {
        LayoutExportFile::Export(this, kFileName, exportKeys(), ScriptText());
    } catch (const std::exception& e) {
        showError(e);
    }
}

void frmCustomReportSetting::cmdLoad_Click() {
    try {
        QString script;
        if (LayoutExportFile::Import(this, kFileName, exportKeys(), script)) SetScriptText(script);
    } catch (const std::exception& e) {
        showError(e);
    }
}
