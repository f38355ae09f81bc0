// The mail settings window.
#include "mainwindow/frmMailSettings.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "base/AppError.h"
#include "mainwindow/MailNotification.h"
#include "mainwindow/frmMailAccount.h"
#include "odb/ui/ModalDialog.h"
#include "platform/Prompt.h"
#include "startup/DatabaseOpening.h"
#include "startup/PlaceDialog.h"
#include "startup/ShowErrorDetails.h"
#include "startup/modZeltoFormUtility.h"

namespace {

using namespace MsgBoxStyle;

// The text box shows line breaks as LF; the parameter keeps CR LF.
QString forBox(QString text) {
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

QString fromBox(QString text) {
    text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return text;
}

QLineEdit* numberBox(QWidget* parent) {
    auto* box = new QLineEdit(parent);
    box->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,4}")), box));
    box->setMaximumWidth(70);
    return box;
}

}  // namespace

frmMailSettings::frmMailSettings(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("frmMailSettings"));
    setWindowTitle(QStringLiteral("Impostazioni servizio E-Mail"));
    txtEMailObject_ = new QLineEdit(this);
    txtEMailObject_->setObjectName(QStringLiteral("txtEMailObject"));
    txtEMailText_ = new QPlainTextEdit(this);
    txtEMailText_->setObjectName(QStringLiteral("txtEMailText"));
    chkUse_MailAdminNotification_ =
        new QCheckBox(QStringLiteral("Invia copia del messaggio all'amministratore del sistema"), this);
    chkUse_MailAdminNotification_->setObjectName(QStringLiteral("chkUse_MailAdminNotification"));
    txtAccountAdminName_ = new QLineEdit(this);
    txtAccountAdminName_->setObjectName(QStringLiteral("txtAccountAdminName"));
    txtMailAdminAddress_ = new QLineEdit(this);
    txtMailAdminAddress_->setObjectName(QStringLiteral("txtMailAdminAddress"));
    maskIntervalSendMail_ = numberBox(this);
    maskIntervalSendMail_->setObjectName(QStringLiteral("maskIntervalSendMail"));
    maskMaxDayCheck_ = numberBox(this);
    maskMaxDayCheck_->setObjectName(QStringLiteral("maskMaxDayCheck"));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Oggetto:"), txtEMailObject_);
    form->addRow(new QLabel(QStringLiteral("Testo dell' E-Mail:"), this));
    form->addRow(txtEMailText_);
    form->addRow(chkUse_MailAdminNotification_);
    form->addRow(QStringLiteral("Nome account amministratore:"), txtAccountAdminName_);
    form->addRow(QStringLiteral("Indirizzo di posta :"), txtMailAdminAddress_);
    form->addRow(QStringLiteral("Esegui il controllo e eventuale invio dei messaggi ogni ( minuti ):"),
                 maskIntervalSendMail_);
    form->addRow(QStringLiteral("Non inviare notifca per le commessa chiuse da più di giorni ( N°):"),
                 maskMaxDayCheck_);

    cmdAccount_ = new QPushButton(QStringLiteral("Account di posta..."), this);
    cmdAccount_->setObjectName(QStringLiteral("cmdAccount"));
    cmdAccount_->setToolTip(QStringLiteral("Server e credenziali di posta di questo computer"));
    cmdOK_ = new QPushButton(QStringLiteral("OK"), this);
    cmdOK_->setObjectName(QStringLiteral("cmdOK"));
    cmdOK_->setToolTip(QStringLiteral("Esce confermando le impostazioni"));
    cmdOK_->setDefault(true);
    cmdCancel_ = new QPushButton(QStringLiteral("Annulla"), this);
    cmdCancel_->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel_->setToolTip(QStringLiteral("Esce senza salvare le impostazioni"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdAccount_);
    buttons->addStretch();
    buttons->addWidget(cmdOK_);
    buttons->addWidget(cmdCancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    resize(620, 480);
    ApplyFormFont(this, g_strFontName, g_sngFontSizeIncrement);

    connect(cmdOK_, &QPushButton::clicked, this, &frmMailSettings::cmdOK_Click);
    connect(cmdCancel_, &QPushButton::clicked, this, &frmMailSettings::cmdCancel_Click);
    connect(cmdAccount_, &QPushButton::clicked, this, &frmMailSettings::cmdAccount_Click);
    // The values shown were read from the database let go: they are not stored into another one.
    OnDatabaseRelease(this, [this] { close(); });
    LoadMailSettings();
}

frmMailSettings* frmMailSettings::ShowOver(QWidget* owner) {
    frmMailSettings* window =
        owner ? owner->findChild<frmMailSettings*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
    if (!window) {
        window = new frmMailSettings(owner);
        window->setAttribute(Qt::WA_DeleteOnClose);
        KeepAboveOwner(window, owner);
    }
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

void frmMailSettings::LoadMailSettings() {
    try {
        const MailSettings s = MailSettings::Load();
        txtEMailObject_->setText(s.subject);
        txtEMailText_->setPlainText(forBox(s.text));
        bool copy = true;
        try {
            copy = s.CopyFlag();
        } catch (const AppError&) {
            copy = false;
        }
        chkUse_MailAdminNotification_->setChecked(copy);
        txtAccountAdminName_->setText(s.adminName);
        txtMailAdminAddress_->setText(s.adminAddress);
        maskIntervalSendMail_->setText(s.intervalMinutes);
        maskMaxDayCheck_->setText(s.maxDays);
    } catch (const AppError& e) {
        SetCurrentError(e);
        ShowErrorDetails(QString());
    }
}

void frmMailSettings::cmdOK_Click() {
    // The timer converts both to numbers at every tick: an empty box would fail there every minute.
    const std::pair<QLineEdit*, const char*> numbers[] = {
        {maskIntervalSendMail_, "Impostare ogni quanti minuti eseguire il controllo"},
        {maskMaxDayCheck_, "Impostare il numero di giorni"}};
    for (const auto& [box, message] : numbers) {
        if (!box->text().trimmed().isEmpty()) continue;
        Prompt::instance().msgBox(QString::fromUtf8(message), vbCritical, QString(), this);
        box->setFocus();
        return;
    }
    MailSettings s;
    s.subject = txtEMailObject_->text();
    s.text = fromBox(txtEMailText_->toPlainText());
    s.adminName = txtAccountAdminName_->text();
    s.adminAddress = txtMailAdminAddress_->text().trimmed();
    s.intervalMinutes = maskIntervalSendMail_->text().trimmed();
    s.maxDays = maskMaxDayCheck_->text().trimmed();
    try {
        s.Save(chkUse_MailAdminNotification_->isChecked());
    } catch (const AppError& e) {
        SetCurrentError(e);
        ShowErrorDetails(QString());
        return;
    }
    close();
}

void frmMailSettings::cmdAccount_Click() {
    frmMailAccount account(this);
    odb::RunModal(account);
}
