// The report layout editor's profiles: the names of a source, loading a profile or a new one's
// defaults, the group choice, saving, deleting, and which controls are usable.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QToolButton>

#include "labels/ScriptAssistant.h"
#include "odb/DataSet.h"
#include "odb/Database.h"
#include "odb/Table.h"
#include "odb/Tables.h"
#include "platform/MaskedBox.h"
#include "platform/Prompt.h"
#include "platform/ScriptBox.h"
#include "reports/ReportScriptTemplates.h"
#include "reports/frmCustomReportSetting.h"

#include "labels/ScriptAssistant.h"
#include "startup/modZeltoFormUtility.h"

namespace {

using namespace MsgBoxStyle;

const QString kProfileTable = QStringLiteral("TabProspettiStampa");

MsgResult message(QWidget* owner, const QString& text, int style) {
    return Prompt::instance().msgBox(text, style, g_strMsgBoxTitle, owner);
}

}  // namespace

std::shared_ptr<odb::DataSet> frmCustomReportSetting::profileRows(const QString& name) const {
    odb::Database& db = *p_objDatabase;
    const QString filter = QStringLiteral("NomeTabellaOrigine=") + db.TextLiteral(SelectedTableName()) +
                           QStringLiteral(" And NomeReference=") + db.TextLiteral(SelectedReferenceName()) +
                           QStringLiteral(" And NomeProspetto=") + db.TextLiteral(name);
    return db.Tables().Item(kProfileTable).OpenData(filter);
}

void frmCustomReportSetting::fillNameList() {
    cbReportName_->clear();
    setNameListIndex(-1);
    setNameText(QString());
    odb::Database& db = *p_objDatabase;
    auto names =
        db.Tables()
            .Item(kProfileTable)
            .OpenData(QStringLiteral("NomeTabellaOrigine=") + db.TextLiteral(SelectedTableName()) +
                      QStringLiteral(" AND NomeReference=") + db.TextLiteral(SelectedReferenceName()));
    for (names->RowFirst(); !names->RowInvalid(); names->RowNext())
        cbReportName_->addItem(names->ColText(QStringLiteral("NomeProspetto")));
    cbReportName_->setCurrentIndex(-1);
    setNameText(QString());
}

void frmCustomReportSetting::setNameListIndex(int index) {
    m_intNameIndex = index;
    cbReportName_->setCurrentIndex(index);
}

void frmCustomReportSetting::setNameText(const QString& name) {
    m_strNameText = name;
    cbReportName_->setEditText(name);
}

void frmCustomReportSetting::LoadReportProfile() {
    try {
        auto row = profileRows(cbReportName_->currentText());
        if (row->DataEmpty()) {
            showNewProfile();
        } else {
            auto text = [&](const char* field) { return row->ColText(QString::fromLatin1(field)); };
            txtColumns_->SetText(text("NumeroColonne"));
            txtReportHeight_->SetText(text("AltezzaModulo"));
            txtReportWidth_->SetText(text("LarghezzaModulo"));
            txtReportTop_->SetText(text("MargineSuperiore"));
            txtReportLeft_->SetText(text("MargineSinistro"));
            txtReportRowsDim_->SetText(text("AltezzaRigheDettaglio"));
            txtReportRowsTop_->SetText(text("MargineSuperioreRighe"));
            txtReportRowsBottom_->SetText(text("MargineInferioreRighe"));
            txtBackImage_->setText(text("ImmagineSfondo"));
            txtBottomImageBorder_->SetText(text("MargineInferioreSfondo"));
            SetScriptText(text("IstruzioniStampa"));
            chkHorizontal_->setChecked(row->ColValueBool(QStringLiteral("OrientamentoOrizzontale")));
            chkPrinterSelection_->setChecked(row->ColValueBool(QStringLiteral("RichiediSelezioneStampante")));
            // A printer not installed here shows none, so that a save does not store another one.
            cboPrinter_->setCurrentIndex(cboPrinter_->findText(text("NomeStampante"), Qt::MatchExactly));
            LoadReportGroups(text("NomeGruppo"));
        }
    } catch (const std::exception& e) {
        showError(e);
    }
    m_blnModified = false;
}

void frmCustomReportSetting::showNewProfile() {
    txtColumns_->SetText(QStringLiteral("1"));
    SetScriptText(DefaultReportScript(p_blnRequiredNote));
    txtReportHeight_->SetText(QStringLiteral("0"));
    txtReportWidth_->SetText(QStringLiteral("0"));
    txtReportTop_->SetText(QStringLiteral("5"));
    txtReportLeft_->SetText(QStringLiteral("5"));
    cboPrinter_->setCurrentIndex(-1);
    txtBottomImageBorder_->SetText(QStringLiteral("0"));
    txtBackImage_->clear();
    txtReportRowsTop_->SetText(QStringLiteral("40"));
    txtReportRowsBottom_->SetText(QStringLiteral("240"));
    txtReportRowsDim_->SetText(QStringLiteral("6"));
    chkHorizontal_->setChecked(false);
    // A list without group names may hold the group of the profile shown before: it goes.
    LoadReportGroups(QString());
    chkPrinterSelection_->setChecked(false);
}

void frmCustomReportSetting::LoadReportGroups(const QString& group) {
    // Without group names the list holds the profile's own group, kept as it was stored.
    if (m_blnGroupListFixed) {
        cboReportGroup_->clear();
        cboReportGroup_->addItem(group.trimmed().isEmpty() ? QString() : group);
        cboReportGroup_->setCurrentIndex(0);
        return;
    }
    cboReportGroup_->setCurrentIndex(0);
    const QString wanted = QString(group).remove(QRegularExpression(QStringLiteral(" +$")));
    for (int i = 0; i < cboReportGroup_->count(); ++i)
        if (cboReportGroup_->itemText(i).compare(wanted, Qt::CaseInsensitive) == 0) {
            cboReportGroup_->setCurrentIndex(i);
            break;
        }
}

bool frmCustomReportSetting::SaveReportProfile() {
    const QString name = cbReportName_->currentText();
    if (name.trimmed().isEmpty()) {
        message(this, QStringLiteral("Devi specificare il nome del Report"), vbInformation);
        cbReportName_->setFocus();
        return false;
    }
    if (cboPrinter_->currentIndex() < 0 &&
        message(this, QStringLiteral("La stampante predefinita non è stata selezionata, salvare ?"),
                vbYesNo | vbInformation) != MsgResult::Yes) {
        cboPrinter_->setFocus();
        return false;
    }
    if (!numbersValid()) return false;
    try {
        auto row = profileRows(name);
        if (row->DataEmpty()) {
            row->AddEmptyRow();
            if (!row->SetColValue(QStringLiteral("NomeTabellaOrigine"), SelectedTableName()) ||
                !row->SetColValue(QStringLiteral("NomeReference"), SelectedReferenceName()) ||
                !row->SetColValue(QStringLiteral("NomeProspetto"), name))
                return false;
        } else if (m_intNameIndex < 0 &&
                   message(this,
                           QStringLiteral(
                               "Un Report con stesso nome esiste già in archivio...\r\rSovrascriverlo ?"),
                           vbYesNo | vbQuestion | vbDefaultButton2) != MsgResult::Yes) {
            return false;
        }
        const std::pair<const char*, Variant> values[] = {
            {"NumeroColonne", txtColumns_->text()},
            {"AltezzaModulo", txtReportHeight_->text()},
            {"LarghezzaModulo", txtReportWidth_->text()},
            {"MargineSuperiore", txtReportTop_->text()},
            {"MargineSinistro", txtReportLeft_->text()},
            {"AltezzaRigheDettaglio", txtReportRowsDim_->text()},
            {"MargineSuperioreRighe", txtReportRowsTop_->text()},
            {"MargineInferioreRighe", txtReportRowsBottom_->text()},
            {"ImmagineSfondo", txtBackImage_->text()},
            {"MargineInferioreSfondo", txtBottomImageBorder_->text()},
            {"NomeStampante", cboPrinter_->currentText()},
            {"IstruzioniStampa", ScriptText()},
            {"NomeGruppo", cboReportGroup_->currentText()},
            {"OrientamentoOrizzontale", chkHorizontal_->isChecked()},
            {"RichiediSelezioneStampante", chkPrinterSelection_->isChecked()},
        };
        for (const auto& [field, value] : values)
            if (!row->SetColValue(QString::fromLatin1(field), value)) return false;
        if (!row->SaveRow()) return false;
        if (row->RowWasAdded()) {
            cbReportName_->addItem(name);
            setNameListIndex(cbReportName_->count() - 1);
            setNameText(name);
        }
    } catch (const std::exception& e) {
        showError(e);
        return false;
    }
    m_blnModified = false;
    return true;
}

void frmCustomReportSetting::cmdOK_Click() {
    if (!SaveReportProfile()) message(this, QStringLiteral("SALVATAGGIO FALLITO."), vbCritical);
}

void frmCustomReportSetting::cmdDelete_Click() {
    if (m_intNameIndex < 0) {
        message(this, QStringLiteral("Devi selezionare il Report da eliminare"), vbExclamation);
        if (cbReportName_->isVisible() && cbReportName_->isEnabled()) cbReportName_->setFocus();
        return;
    }
    if (message(this, QStringLiteral("Eliminare il profilo del Report corrente?"),
                vbYesNo | vbQuestion | vbDefaultButton2) != MsgResult::Yes)
        return;
    try {
        auto row = profileRows(cbReportName_->currentText());
        if (row->DataEmpty()) {
            message(this, QStringLiteral("Il Report con questo nome non è presente in archivio"), vbOKOnly);
            return;
        }
        if (!row->DeleteRows()) return;
        cbReportName_->removeItem(m_intNameIndex);
        setNameListIndex(-1);
        setNameText(QString());
        message(this, QStringLiteral("Profilo eliminato."), vbInformation);
    } catch (const std::exception& e) {
        showError(e);
        return;
    }
    LoadReportProfile();
}

void frmCustomReportSetting::cmdDefault_Click() {
    SetScriptText(DefaultReportScript(p_blnRequiredNote));
    txtReportTop_->SetText(QStringLiteral("5"));
    txtReportLeft_->SetText(QStringLiteral("5"));
}

void frmCustomReportSetting::EnableEditControls(bool enable) {
    for (QWidget* w : editControls_)
        w->setEnabled(enable);
    cboReportGroup_->setEnabled(enable && cboReportGroup_->count() >= 2);
    lblReportGroup_->setEnabled(cboReportGroup_->isEnabled());
    assistant_->SetEnabled(enable);
}
