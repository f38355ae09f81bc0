// The closed-job-order mail.
#include "mainwindow/MailNotification.h"

#include "base/AppError.h"
#include "model/GetDBTable.h"
#include "model/ModelState.h"
#include "odb/DataSet.h"
#include "odb/Database.h"
#include "odb/Table.h"
#include "platform/Clock.h"
#include "platform/MailService.h"

namespace {

QString setting(const QString& key, const QString& fallback = {}) {
    return g_objDatabase->GetSetting(g_objConnection, key, fallback);
}

}  // namespace

MailSettings MailSettings::Load() {
    MailSettings s;
    s.subject = setting(QStringLiteral("EMailObject"));
    s.text =
        g_objDatabase->GetSettingVariant(g_objConnection, QStringLiteral("EMailText"), Variant(QString()))
            .toText();
    s.useAdminCopy = setting(QStringLiteral("Use_MailAdminNotification"), QStringLiteral("True"));
    s.adminName = setting(QStringLiteral("AccountAdminName"));
    s.adminAddress = setting(QStringLiteral("MailAdminAddress"));
    s.intervalMinutes = setting(QStringLiteral("IntervalSendMail"), QStringLiteral("60"));
    s.maxDays = setting(QStringLiteral("MaxDayCheck"), QStringLiteral("15"));
    return s;
}

void MailSettings::Save(bool copyFlag) const {
    auto save = [](const QString& key, const QString& value) {
        g_objDatabase->SaveSetting(g_objConnection, key, value);
    };
    save(QStringLiteral("EMailObject"), subject);
    g_objDatabase->SaveSetting(g_objConnection, QStringLiteral("EMailText"), QString(), Variant(text));
    save(QStringLiteral("Use_MailAdminNotification"), copyFlag ? QStringLiteral("1") : QStringLiteral("0"));
    save(QStringLiteral("AccountAdminName"), adminName);
    save(QStringLiteral("MailAdminAddress"), adminAddress);
    save(QStringLiteral("IntervalSendMail"), intervalMinutes);
    save(QStringLiteral("MaxDayCheck"), maxDays);
}

bool MailSettings::CopyFlag() const {
    return Variant(useAdminCopy).toBool();
}

void ScanClosedJobOrdersForNotification() {
    const MailSettings s = MailSettings::Load();
    const bool copy = s.CopyFlag();
    const int32_t days = Variant(s.maxDays).toLong();
    const QString where = QStringLiteral("CommessaChiusa AND StatoNotifica=2 AND DataChiusura > ") +
                          g_objDatabase->DateLiteral(
                              Variant::fromDate(Clock::today() - static_cast<double>(days)), false, true);
    auto rows = GetDBTable(QStringLiteral("CommesseCliente")).OpenData(where);
    for (rows->RowFirst(); !rows->RowInvalid(); rows->RowNext()) {
        // Marked before the mail goes: a failed mail is not sent again.
        rows->SetColValue(QStringLiteral("StatoNotifica"), 3);
        rows->SaveRow();
        auto customer = rows->GetReference(QStringLiteral("Cliente"));
        SendMailNotification(customer->ColText(QStringLiteral("Descrizione")),
                             customer->ColText(QStringLiteral("EMail")), s.subject, s.text, copy,
                             Variant(s.adminName), Variant(s.adminAddress));
    }
}

void SendMailNotification(const QString& recipientName, const QString& recipientAddress,
                          const QString& subject, const QString& text, bool adminCopy,
                          const Variant& adminName, const Variant& adminAddress) {
    MailService mail;
    // The message being prepared, as far as it is filled in.
    MailMessage current;
    try {
        mail.SignOn(MailService::Purpose::Sending);
        current = {recipientName, recipientAddress, subject, text};
        mail.Send(current);
        if (adminCopy) {
            current = {adminName.toText(), adminAddress.toText(),
                       QStringLiteral("Notifica inviata a: ") + recipientName + QStringLiteral(" (") +
                           recipientAddress + QStringLiteral(")"),
                       QStringLiteral("Testo della notifica inviata: ") + text};
            mail.Send(current);
        }
        mail.SignOff();
    } catch (const AppError& e) {
        QString detail = e.description();
        if (detail == QStringLiteral("Accesso fallito"))
            detail += QStringLiteral(
                ": L'invio delle notifiche avviene tramite  l'account predefinito del sistema;\rcontrollare "
                "che "
                "esista un accont predefinito nel sistema.");
        const QString message =
            QStringLiteral("Errore durante l'invio dell' E-Mail di notifica\r\rDettagli:\r") + detail +
            QStringLiteral("\r\rNome Destinatario: ") + current.recipientName +
            QStringLiteral("\rIndirizzo Destinatario: ") + current.recipientAddress +
            QStringLiteral("\rOggetto del messaggio: ") + current.subject +
            QStringLiteral("\rTesto del messaggio: ") + current.text;
        if (mail.SignedOn()) mail.SignOff();
        throw AppError(vbObjectError, QStringLiteral("Mail notification"), message);
    }
}
