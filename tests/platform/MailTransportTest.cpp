// The mail transport against the SMTP sink and the IMAP test server on loopback: sign-on and its
// failures, the message as it arrives (encoded words, quoted-printable, no header injection), and
// the read-only listing of the inbox.
#include <QElapsedTimer>
#include <QFile>

#include <gtest/gtest.h>

#include "base/AppError.h"
#include "base/ErrorOf.h"
#include "platform/MailAccount.h"
#include "platform/MailMessage.h"
#include "platform/MailService.h"
#include "support/ImapTestServer.h"
#include "support/SmtpTestSink.h"
#include "support/TestEnvironment.h"

namespace {

class MailTransportTest : public TempFolderTest {
  protected:
    MailAccount account() const {
        MailAccount a;
        a.smtpServer = "127.0.0.1";
        a.smtpPort = smtp.port();
        a.smtpSecurity = MailAccount::Security::None;
        a.imapPort = imap.port();
        a.imapSecurity = MailAccount::Security::None;
        a.user = "ufficio";
        a.password = "segreta";
        a.sender = "ufficio@ditta.it";
        a.timeoutSeconds = 1;
        return a;
    }
    void send(const MailMessage& m) {
        MailService mail(account());
        mail.SignOn(MailService::Purpose::Sending);
        mail.Send(m);
        mail.SignOff();
    }

    TestMailbox mailbox;
    SmtpTestSink smtp{mailbox};
    ImapTestServer imap{mailbox};
};

TEST_F(MailTransportTest, AMessageArrivesWhole) {
    smtp.requireLogin("ufficio", "segreta");
    const QString longText =
        "Riga uno con àèìòù €\rRiga due\n.inizia con un punto\r\n" + QString(300, 'x') + " fine";
    send({"Società Verdi", "info@verdi.it", "Commessa chiusa: è pronta, più di quanto ", longText});
    ASSERT_EQ(mailbox.size(), 1u);
    const TestMail m = mailbox.messages()[0];
    EXPECT_EQ(m.envelopeFrom, "ufficio@ditta.it");
    EXPECT_EQ(m.recipients, QList<QByteArray>{"info@verdi.it"});
    EXPECT_EQ(m.subject, "Commessa chiusa: è pronta, più di quanto");
    EXPECT_EQ(m.header("To"), "Società Verdi <info@verdi.it>");
    // The text's line breaks, whatever they were, arrive as CRLF.
    EXPECT_EQ(m.text(),
              "Riga uno con àèìòù €\r\nRiga due\r\n.inizia con un punto\r\n" + QString(300, 'x') + " fine");
    // Nothing on the wire passes 78 characters or carries a bare CR or LF.
    for (const QByteArray& line : m.raw.split('\n')) {
        EXPECT_LE(line.size(), 79) << line.constData();
        EXPECT_TRUE(line.isEmpty() || line.endsWith('\r')) << line.constData();
        EXPECT_FALSE(line.chopped(line.isEmpty() ? 0 : 1).contains('\r'));
    }
    EXPECT_EQ(smtp.authentications(), 2);  // sign-on, then the send
}

TEST_F(MailTransportTest, NamesAndSubjectsCannotAddHeadersOrRecipients) {
    send({"Rossi Srl\r\nBcc: spia@altrove.it", "info@rossi.it", "Oggetto\nBcc: spia@altrove.it", "testo"});
    ASSERT_EQ(mailbox.size(), 1u);
    const TestMail m = mailbox.messages()[0];
    EXPECT_EQ(m.recipients, QList<QByteArray>{"info@rossi.it"});
    EXPECT_EQ(m.header("Bcc"), "");
    EXPECT_EQ(m.subject, "Oggetto Bcc: spia@altrove.it");
    EXPECT_EQ(m.header("To"), "\"Rossi Srl Bcc: spia@altrove.it\" <info@rossi.it>");
    const QByteArray head = m.raw.left(m.raw.indexOf("\r\n\r\n"));
    EXPECT_FALSE(head.contains("\r\nBcc:"));

    // An address that is not one plain address is refused before anything reaches the server.
    for (const char* bad : {"", "  ", "info@rossi.it, spia@altrove.it", "info@rossi.it\r\nRCPT TO:<x@y.it>",
                            "Rossi <info@rossi.it>", "senza-chiocciola", "a@b@c.it", "a b@c.it"}) {
        const QString e = DescriptionOf([&] { send({"Rossi", bad, "s", "t"}); });
        EXPECT_TRUE(e.startsWith("Destinatario rifiutato")) << bad << " -> " << e.toStdString();
    }
    EXPECT_EQ(mailbox.size(), 1u);
    EXPECT_EQ(smtp.transactions(), 1);
    EXPECT_TRUE(IsValidMailAddress("nome.cognome+notifiche@sub.ditta-x.it"));
}

TEST_F(MailTransportTest, SignOnFailuresSayWhat) {
    // No account at all, and a refused authentication, read the same.
    MailAccount none;
    EXPECT_EQ(DescriptionOf([&] { MailService(none).SignOn(MailService::Purpose::Sending); }),
              "Accesso fallito");
    EXPECT_EQ(DescriptionOf([&] { MailService(none).SignOn(MailService::Purpose::Listing); }),
              "Accesso fallito");
    smtp.refuseAuthentication(true);
    EXPECT_EQ(DescriptionOf([&] { MailService(account()).SignOn(MailService::Purpose::Sending); }),
              "Accesso fallito");
    imap.requireLogin("ufficio", "altra");
    EXPECT_EQ(DescriptionOf([&] { MailService(account()).SignOn(MailService::Purpose::Listing); }),
              "Accesso fallito");

    // A port nobody listens on.
    MailAccount closed = account();
    {
        SmtpTestSink gone(mailbox);
        closed.smtpPort = closed.imapPort = gone.port();
    }
    EXPECT_TRUE(DescriptionOf([&] {
                    MailService(closed).SignOn(MailService::Purpose::Sending);
                }).startsWith("Impossibile collegarsi al server di posta 127.0.0.1:"));
    EXPECT_TRUE(DescriptionOf([&] {
                    MailService(closed).SignOn(MailService::Purpose::Listing);
                }).startsWith("Impossibile collegarsi al server di posta 127.0.0.1:"));

    // A server asked for a protected connection it does not offer.
    MailAccount tls = account();
    tls.smtpSecurity = MailAccount::Security::StartTls;
    smtp.refuseAuthentication(false);
    EXPECT_TRUE(DescriptionOf([&] {
                    MailService(tls).SignOn(MailService::Purpose::Sending);
                }).startsWith("Connessione protetta con il server di posta"));
    EXPECT_EQ(mailbox.size(), 0u);
}

TEST_F(MailTransportTest, ASilentServerEndsInAnError) {
    smtp.setSilent(true);
    imap.setSilent(true);
    for (auto purpose : {MailService::Purpose::Sending, MailService::Purpose::Listing}) {
        QElapsedTimer clock;
        clock.start();
        const QString e = DescriptionOf([&] { MailService(account()).SignOn(purpose); });
        EXPECT_TRUE(e.startsWith("Il server di posta 127.0.0.1:") && e.endsWith(" non risponde."))
            << e.toStdString();
        EXPECT_LT(clock.elapsed(), 4000);
    }
}

TEST_F(MailTransportTest, ARefusedRecipientCarriesTheServersReply) {
    smtp.refuseRecipient("nessuno@rossi.it");
    const QString e = DescriptionOf([&] { send({"Rossi", "nessuno@rossi.it", "s", "t"}); });
    EXPECT_EQ(
        e.toStdString(),
        "Destinatario rifiutato dal server di posta\rRisposta del server: 550 5.1.1 <nessuno@rossi.it>: "
        "Recipient address rejected: User unknown");
    EXPECT_EQ(mailbox.size(), 0u);
}

TEST_F(MailTransportTest, TheInboxIsListedNewestFirstWithoutChangingIt) {
    const QDateTime base(QDate(2026, 3, 2), QTime(9, 15));
    mailbox.addWithSubject("Notifica inviata a: Rossi Srl (info@rossi.it)", base);
    mailbox.addWithSubject("Re: Notifica inviata a: Rossi Srl (info@rossi.it)", base.addSecs(60));
    mailbox.addWithSubject("notifica inviata a: minuscolo", base.addSecs(120));
    mailbox.addWithSubject("Notifica inviata a: Società Verdi (info@verdi.it)", base.addSecs(180));
    mailbox.addWithSubject("Altro", base.addSecs(240));
    mailbox.locked([](std::vector<TestMail>& mails) { return mails[0].flags.insert("\\Seen"), 0; });

    MailService mail(account());
    mail.SignOn(MailService::Purpose::Listing);
    const auto list = mail.ListInbox("Notifica inviata a: ", 301);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].subject, "Notifica inviata a: Società Verdi (info@verdi.it)");
    EXPECT_EQ(list[0].received, base.addSecs(180));
    EXPECT_EQ(list[1].subject, "Notifica inviata a: Rossi Srl (info@rossi.it)");
    EXPECT_EQ(mail.ListInbox("Notifica inviata a: ", 1).size(), 1u);
    mail.SignOff();
    EXPECT_EQ(imap.flagChanges(), 0);
    EXPECT_EQ(mailbox.messages()[0].flags, QSet<QByteArray>{"\\Seen"});
    EXPECT_EQ(mailbox.messages()[3].flags, QSet<QByteArray>{});
}

TEST_F(MailTransportTest, TheAccountIsKeptForItsOwnerOnly) {
    MailAccount a = account();
    a.imapServer = "imap.ditta.it";
    a.password = "p@ss; più=segreta";
    a.Save();
    const MailAccount b = MailAccount::Load();
    EXPECT_EQ(b.smtpServer, "127.0.0.1");
    EXPECT_EQ(b.smtpPort, smtp.port());
    EXPECT_EQ(b.ImapHost(), "imap.ditta.it");
    EXPECT_EQ(b.password, "p@ss; più=segreta");
    EXPECT_EQ(b.smtpSecurity, MailAccount::Security::None);
    EXPECT_EQ(b.sender, "ufficio@ditta.it");
    EXPECT_EQ(QFile::permissions(path("settings/Zelto Lavrix.ini")) & 0x0077, 0);
}

}  // namespace
