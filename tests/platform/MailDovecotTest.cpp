// The inbox listing against a real IMAP server: Debian's dovecot, started with a configuration of
// its own on loopback over a maildir the test fills. Its TLS port, with a certificate nobody
// signed, must be refused by the listing and by the sending alike. Skipped, saying why, where
// dovecot cannot start.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include "base/AppError.h"
#include "platform/MailService.h"
#include "support/TestEnvironment.h"

namespace {

int freePort() {
    QTcpServer s;
    s.listen(QHostAddress::LocalHost, 0);
    return s.serverPort();
}

bool listening(int port) {
    QTcpSocket s;
    s.connectToHost(QStringLiteral("127.0.0.1"), static_cast<quint16>(port));
    return s.waitForConnected(200);
}

class MailDovecotTest : public TempFolderTest {
  protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        dovecot = QStandardPaths::findExecutable("dovecot", {"/usr/sbin", "/usr/bin", "/sbin"});
        if (dovecot.isEmpty())
            GTEST_SKIP() << "dovecot is not installed (scripts/setup installs dovecot-imapd)";
        root = path("dovecot");
        for (const char* d : {"run", "state", "home", "Maildir/cur", "Maildir/new", "Maildir/tmp"})
            QDir().mkpath(root + "/" + d);
    }
    void TearDown() override {
        if (server.state() != QProcess::NotRunning) {
            server.terminate();
            if (!server.waitForFinished(5000)) server.kill();
        }
        TempFolderTest::TearDown();
    }

    // A message in the maildir, received at `at` (the file's time), with maildir flags `flags`.
    void deliver(int n, const QByteArray& subject, const QDateTime& at, const char* flags = "S") {
        const QString name =
            QStringLiteral("%1.M%2P1.test:2,%3").arg(at.toSecsSinceEpoch()).arg(n).arg(flags);
        QFile f(root + "/Maildir/cur/" + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("From: <ufficio@ditta.it>\r\nTo: <admin@ditta.it>\r\nSubject: " + subject +
                "\r\nMIME-Version: 1.0\r\n\r\ntesto\r\n");
        f.close();
        const timeval times[2] = {{static_cast<time_t>(at.toSecsSinceEpoch()), 0},
                                  {static_cast<time_t>(at.toSecsSinceEpoch()), 0}};
        ::utimes(QFile::encodeName(f.fileName()).constData(), times);
    }

    // Starts dovecot; false (with the reason in `why`) when it does not come up.
    bool start(QString& why, bool withTls) {
        const bool asRoot = ::geteuid() == 0;
        // As root, the mail is read as "nobody", which must reach the folder.
        const QString owner = asRoot ? QStringLiteral("65534") : QString::number(::getuid());
        const QString group = asRoot ? QStringLiteral("65534") : QString::number(::getgid());
        if (asRoot) {
            for (QString d = root; d.startsWith(QDir::tempPath()) && d.size() > QDir::tempPath().size();
                 d = QFileInfo(d).path())
                ::chmod(QFile::encodeName(d).constData(), 0755);
            QProcess::execute("chown", {"-R", owner + ":" + group, root + "/Maildir", root + "/home"});
        }
        const QString user = asRoot ? QString() : qEnvironmentVariable("USER", QStringLiteral("nobody"));
        imapPort = freePort();
        imapsPort = freePort();
        QString conf =
            QStringLiteral(
                "base_dir = %1/run\nstate_dir = %1/state\nlog_path = %1/dovecot.log\n"
                "protocols = imap\nlisten = 127.0.0.1\ndisable_plaintext_auth = no\n"
                "auth_mechanisms = plain login\nmail_location = maildir:%1/Maildir\n"
                "first_valid_uid = 1\nfirst_valid_gid = 1\n"
                "default_internal_user = %2\ndefault_login_user = %3\n"
                "passdb {\n  driver = passwd-file\n  args = scheme=PLAIN username_format=%u %1/passwd\n}\n"
                "userdb {\n  driver = static\n  args = uid=%4 gid=%5 home=%1/home\n}\n"
                "service imap-login {\n  chroot =\n  inet_listener imap {\n    address = 127.0.0.1\n"
                "    port = %6\n  }\n  inet_listener imaps {\n    address = 127.0.0.1\n    port = %7\n"
                "  }\n}\nservice anvil {\n  chroot =\n}\nservice stats {\n  chroot =\n}\n")
                .arg(root, asRoot ? "dovecot" : user, asRoot ? "dovenull" : user, owner, group)
                .arg(imapPort)
                .arg(withTls ? imapsPort : 0);
        if (withTls)
            conf += QStringLiteral("ssl = yes\nssl_cert = <%1/cert.pem\nssl_key = <%1/key.pem\n").arg(root);
        else
            conf += QStringLiteral("ssl = no\n");
        QFile c(root + "/dovecot.conf");
        c.open(QIODevice::WriteOnly);
        c.write(conf.toUtf8());
        c.close();
        QFile p(root + "/passwd");
        p.open(QIODevice::WriteOnly);
        p.write("ufficio:{PLAIN}segreta\n");
        p.close();

        server.setProcessChannelMode(QProcess::MergedChannels);
        server.start(dovecot, {"-F", "-c", root + "/dovecot.conf"});
        if (!server.waitForStarted(5000)) {
            why = "dovecot did not start: " + server.errorString();
            return false;
        }
        for (int i = 0; i < 100; ++i) {
            if (listening(imapPort) && (!withTls || listening(imapsPort))) return true;
            if (server.state() == QProcess::NotRunning) break;
            QThread::msleep(100);
        }
        QFile log(root + "/dovecot.log");
        log.open(QIODevice::ReadOnly);
        why = "dovecot did not come up: " + QString::fromUtf8(server.readAll() + log.readAll()).trimmed();
        return false;
    }

    MailAccount account(MailAccount::Security security, int port) const {
        MailAccount a;
        a.smtpServer = "127.0.0.1";
        a.smtpPort = port;
        a.smtpSecurity = security;
        a.imapPort = port;
        a.imapSecurity = security;
        a.user = "ufficio";
        a.password = "segreta";
        a.sender = "ufficio@ditta.it";
        a.timeoutSeconds = 5;
        return a;
    }

    QStringList maildir() const { return QDir(root + "/Maildir/cur").entryList(QDir::Files, QDir::Name); }

    QString dovecot, root;
    int imapPort = 0, imapsPort = 0;
    QProcess server;
};

TEST_F(MailDovecotTest, ListsTheCopiesOfARealMailboxNewestFirstAndLeavesItAsItWas) {
    const QDateTime base(QDate(2026, 5, 4), QTime(8, 0));
    int n = 0;
    for (int i = 0; i < 40; ++i) {
        const QDateTime at = base.addSecs(600 * i);
        deliver(
            ++n,
            "Notifica inviata a: Cliente " + QByteArray::number(i) + " (c" + QByteArray::number(i) + "@x.it)",
            at, i % 2 ? "S" : "");
        deliver(++n, "Re: Notifica inviata a: Cliente " + QByteArray::number(i), at.addSecs(60));
        deliver(++n, "notifica inviata a: minuscolo " + QByteArray::number(i), at.addSecs(120));
    }
    deliver(++n,
            "Notifica inviata a: =?UTF-8?B?" + QString("Società Verdi (info@verdi.it)").toUtf8().toBase64() +
                "?=",
            base.addDays(1));
    const QStringList before = maildir();

    QString why;
    if (!start(why, false)) GTEST_SKIP() << why.toStdString();
    MailService mail(account(MailAccount::Security::None, imapPort));
    mail.SignOn(MailService::Purpose::Listing);
    const auto list = mail.ListInbox("Notifica inviata a: ", 30);
    mail.SignOff();

    ASSERT_EQ(list.size(), 30u);
    EXPECT_EQ(list[0].subject, "Notifica inviata a: Società Verdi (info@verdi.it)");
    EXPECT_EQ(list[0].received, base.addDays(1));
    EXPECT_EQ(list[1].subject, "Notifica inviata a: Cliente 39 (c39@x.it)");
    EXPECT_EQ(list[1].received, base.addSecs(600 * 39));
    EXPECT_EQ(list[29].subject, "Notifica inviata a: Cliente 11 (c11@x.it)");
    // Read only: no flag changed, nothing moved.
    EXPECT_EQ(maildir(), before);
}

TEST_F(MailDovecotTest, ACertificateNobodySignedIsRefused) {
    if (QStandardPaths::findExecutable("openssl").isEmpty()) GTEST_SKIP() << "openssl is not installed";
    QProcess openssl;
    openssl.setProcessChannelMode(QProcess::MergedChannels);
    openssl.start("openssl", {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj",
                              "/CN=127.0.0.1", "-keyout", root + "/key.pem", "-out", root + "/cert.pem"});
    ASSERT_TRUE(openssl.waitForFinished(30000));
    ASSERT_EQ(openssl.exitCode(), 0) << openssl.readAll().constData();
    QString why;
    if (!start(why, true)) GTEST_SKIP() << why.toStdString();
    for (auto purpose : {MailService::Purpose::Listing, MailService::Purpose::Sending}) {
        QString error;
        try {
            MailService(account(MailAccount::Security::Tls, imapsPort)).SignOn(purpose);
        } catch (const AppError& e) {
            error = e.description();
        }
        // Said in Italian, whichever library refused it (one tells a self-signed one from the rest).
        const QString opening =
            "Il certificato del server di posta 127.0.0.1:" + QString::number(imapsPort) + " non è valido (";
        EXPECT_TRUE(error == opening + "certificato autofirmato)." ||
                    error == opening + "emesso da un'autorità non riconosciuta).")
            << error.toStdString();
    }
}

}  // namespace
