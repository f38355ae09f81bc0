// The mail transport against servers that misbehave on loopback: the listing's one deadline and
// its bound on a response, with the window's events flowing meanwhile; the program's end stopping
// an exchange at once, whatever it waits for; failures told in Italian, the server quoted only
// when it answered; line breaks in the account refused before any connection.
#include <QCoreApplication>
#include <QFile>
#include <QTimer>

#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <condition_variable>
#include <memory>
#include <mutex>

#include "base/AppError.h"
#include "base/ErrorOf.h"
#include "platform/EventWait.h"
#include "platform/MailAccount.h"
#include "platform/MailErrors.h"
#include "platform/MailMessage.h"
#include "platform/MailService.h"
#include "platform/MailSocketStream.h"
#include "support/HostileImapServer.h"
#include "support/ImapTestServer.h"
#include "support/SmtpTestSink.h"
#include "support/TestEnvironment.h"

namespace {

using Mode = HostileImapServer::Mode;

// Far below what a server that never ends would have sent.
constexpr qint64 kSmall = 64LL * 1024 * 1024;

// A listener on loopback whose queue is full: one connection waits in it, never accepted, and
// those that come after it are never answered.
class FullListener {
  public:
    FullListener() {
        listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        ::bind(listener_, reinterpret_cast<sockaddr*>(&address), length);
        ::listen(listener_, 0);
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        filler_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        ::connect(filler_, reinterpret_cast<sockaddr*>(&address), length);
        // Full once the filler waits to be accepted.
        pollfd p{listener_, POLLIN, 0};
        ::poll(&p, 1, 60000);
    }
    ~FullListener() {
        ::close(filler_);
        ::close(listener_);
    }
    int port() const { return port_; }
    // True while a connection to the listener waits for an answer (SYN sent).
    bool connecting() const {
        QFile table("/proc/net/tcp");
        if (!table.open(QIODevice::ReadOnly)) return false;
        const QByteArray peer = ':' + QByteArray::number(port_, 16).toUpper().rightJustified(4, '0');
        for (const QByteArray& line : table.readAll().split('\n')) {
            const QList<QByteArray> fields = line.simplified().split(' ');
            if (fields.size() > 3 && fields[2].endsWith(peer) && fields[3] == "02") return true;
        }
        return false;
    }

  private:
    int listener_ = -1;
    int filler_ = -1;
    int port_ = 0;
};

class MailBoundsTest : public TempFolderTest {
  protected:
    // Both servers on `port`, a wait of one second: the whole exchange gets four.
    static MailAccount account(int port) {
        MailAccount a;
        a.smtpServer = "127.0.0.1";
        a.smtpPort = a.imapPort = port;
        a.smtpSecurity = a.imapSecurity = MailAccount::Security::None;
        a.user = "ufficio";
        a.password = "segreta";
        a.sender = "ufficio@ditta.it";
        a.timeoutSeconds = 1;
        return a;
    }
    static QString where(const LoopbackServer& server) {
        return "127.0.0.1:" + QString::number(server.port());
    }
    // Lists through `server`; what the listing heard stays in `heard`.
    static QString listError(const LoopbackServer& server, int& heard) {
        return DescriptionOf([&] {
            MailService mail(account(server.port()));
            mail.SignOn(MailService::Purpose::Listing);
            mail.ListInbox("Notifica inviata a: ", 301, [&](const ReceivedMail&) { ++heard; });
        });
    }
};

TEST_F(MailBoundsTest, ADrippingServerEndsByTheDeadlineWhileTheWindowGoesOn) {
    HostileImapServer server(Mode::DripGreeting, 200);
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(20);
    int heard = 0;
    EXPECT_EQ(listError(server, heard).toStdString(), "Il server di posta " + where(server).toStdString() +
                                                          " non ha completato la risposta entro 4 secondi.");
    EXPECT_EQ(heard, 0);
    EXPECT_GT(ticks, 0);
}

TEST_F(MailBoundsTest, ResponsesThatNeverEndAreCutAtTheBound) {
    for (Mode mode : {Mode::EndlessGreeting, Mode::EndlessLines, Mode::EndlessSearch}) {
        HostileImapServer server(mode);
        int heard = 0;
        EXPECT_EQ(listError(server, heard).toStdString(),
                  "La risposta del server di posta " + where(server).toStdString() + " supera i 4 MB.")
            << static_cast<int>(mode);
        EXPECT_EQ(heard, 0);
        EXPECT_LT(server.finish(), kSmall) << static_cast<int>(mode);
    }
}

TEST_F(MailBoundsTest, ABreachAfterABatchListsNothingWhereAHangUpKeepsTheBatch) {
    struct Case {
        Mode mode;
        std::string error;
        int heard;
    };
    for (const Case& c :
         {Case{Mode::BatchThenEndless, " supera i 4 MB.", 0},
          Case{Mode::BatchThenDrip, " non ha completato la risposta entro 4 secondi.", 0},
          Case{Mode::BatchThenHangUp, "Lettura della casella di posta non riuscita.", ImapInbox::kBatch}}) {
        HostileImapServer server(c.mode);
        int heard = 0;
        const std::string error = listError(server, heard).toStdString();
        EXPECT_NE(error.find(c.error), std::string::npos) << error;
        EXPECT_EQ(heard, c.heard) << error;
    }
}

TEST_F(MailBoundsTest, TheProgramsEndStopsAnExchangeAtOnceAndNoWaitTurnsAProcessor) {
    using namespace std::chrono;
    HostileImapServer slow(Mode::DripGreeting, 60000);
    MailAccount a = account(slow.port());
    a.timeoutSeconds = 20;
    // The program is told to end once the server holds the connection.
    QTimer ender;
    QObject::connect(&ender, &QTimer::timeout, [&] {
        if (slow.connections() > 0) QCoreApplication::quit();
    });
    QTimer::singleShot(0, [&] {
        ender.start(20);
        try {
            MailService(a).SignOn(MailService::Purpose::Listing);
            ADD_FAILURE() << "signed on";
        } catch (const AppError& e) {
            EXPECT_TRUE(MailStopped(e)) << e.description().toStdString();
        }
        // Waits of 10 ms in a span of 200: a wait that came back at once would spin through thousands.
        EventWait wait;
        int waits = 0;
        for (const auto end = steady_clock::now() + 200ms; steady_clock::now() < end; ++waits)
            wait.Wait(10ms);
        EXPECT_LE(waits, 21);
        EXPECT_TRUE(wait.Ended());
    });
    QCoreApplication::exec();
}

TEST_F(MailBoundsTest, TheProgramsEndStopsAnExchangeAtOnceInEveryPhase) {
    using namespace std::chrono;
    using Security = MailAccount::Security;
    FullListener full;
    TestMailbox mailbox;
    ImapTestServer quiet(mailbox);
    quiet.setSilent(true);
    // A lookup held until released, as a name server that never answers.
    struct Held {
        std::mutex mutex;
        std::condition_variable changed;
        bool asked = false;
        bool released = false;
    };
    const auto held = std::make_shared<Held>();
    const auto asked = [held] {
        std::lock_guard<std::mutex> lock(held->mutex);
        return held->asked;
    };
    struct Phase {
        const char* name;
        int port;
        Security security;
        std::function<bool()> reached;
    };
    int accepted = 0;
    const auto newConnection = [&] { return quiet.connections() > accepted; };
    // Signs on to `p` at `host` with a wait of a minute; the program is told to end once the phase
    // is reached. The time the sign-on took.
    const auto stopIn = [&](const Phase& p, const QString& host) {
        accepted = quiet.connections();
        MailAccount a = account(p.port);
        a.imapServer = host;
        a.imapSecurity = p.security;
        a.timeoutSeconds = 60;
        QTimer ender;
        QObject::connect(&ender, &QTimer::timeout, [&] {
            if (p.reached()) QCoreApplication::quit();
        });
        milliseconds spent{};
        QTimer::singleShot(0, [&] {
            ender.start(20);
            const auto start = steady_clock::now();
            try {
                MailService(a).SignOn(MailService::Purpose::Listing);
                ADD_FAILURE() << p.name << " " << host.toStdString() << ": signed on";
            } catch (const AppError& e) {
                EXPECT_TRUE(MailStopped(e))
                    << p.name << " " << host.toStdString() << ": " << e.description().toStdString();
            }
            spent = duration_cast<milliseconds>(steady_clock::now() - start);
            // Also when the exchange ended by itself.
            QCoreApplication::quit();
        });
        QCoreApplication::exec();
        return spent;
    };
    // A name, and an address as well.
    for (const QString host : {"localhost", "127.0.0.1"})
        for (const Phase& p :
             {Phase{"connection", full.port(), Security::None, [&] { return full.connecting(); }},
              Phase{"TLS", quiet.port(), Security::Tls, newConnection},
              Phase{"reply", quiet.port(), Security::None, newConnection}})
            EXPECT_LT(stopIn(p, host), 20s) << p.name << " " << host.toStdString();

    const auto real = MailSocketStream::SetHostLookup([held](const QByteArray&) {
        std::unique_lock<std::mutex> lock(held->mutex);
        held->asked = true;
        held->changed.wait(lock, [&] { return held->released; });
        return QList<QHostAddress>{QHostAddress(QHostAddress::LocalHost)};
    });
    EXPECT_LT(stopIn({"lookup", quiet.port(), Security::None, asked}, "localhost"), 20s);
    {
        std::lock_guard<std::mutex> lock(held->mutex);
        held->released = true;
    }
    held->changed.notify_all();
    // A name the lookup does not know is told as before.
    MailSocketStream::SetHostLookup([](const QByteArray&) { return QList<QHostAddress>{}; });
    MailAccount unknown = account(quiet.port());
    unknown.imapServer = "posta.ditta.it";
    EXPECT_EQ(DescriptionOf([&] { MailService(unknown).SignOn(MailService::Purpose::Listing); }),
              "Server di posta non trovato: posta.ditta.it");
    MailSocketStream::SetHostLookup(real);
}

TEST_F(MailBoundsTest, FailuresSayWhatHappenedAndQuoteOnlyAnAnswer) {
    int closedPort = 0;
    {
        HostileImapServer gone(Mode::Polite);
        closedPort = gone.port();
    }
    HostileImapServer hangUp(Mode::HangUp);
    for (auto purpose : {MailService::Purpose::Sending, MailService::Purpose::Listing}) {
        EXPECT_EQ(DescriptionOf([&] { MailService(account(closedPort)).SignOn(purpose); }).toStdString(),
                  "Impossibile collegarsi al server di posta 127.0.0.1:" + std::to_string(closedPort) + ".");
        EXPECT_EQ(DescriptionOf([&] { MailService(account(hangUp.port())).SignOn(purpose); }).toStdString(),
                  "Il server di posta " + where(hangUp).toStdString() +
                      " ha chiuso la connessione senza rispondere.");
    }
    // An answer is quoted as the server gave it.
    TestMailbox mailbox;
    SmtpTestSink smtp(mailbox);
    smtp.refuseAuthentication(true);
    smtp.requireLogin("ufficio", "segreta");
    MailAccount a = account(smtp.port());
    EXPECT_EQ(DescriptionOf([&] { MailService(a).SignOn(MailService::Purpose::Sending); }),
              "Accesso fallito");
    smtp.refuseAuthentication(false);
    smtp.refuseRecipient("nessuno@rossi.it");
    const QString refused = DescriptionOf([&] {
        MailService mail(a);
        mail.SignOn(MailService::Purpose::Sending);
        mail.Send({"Rossi", "nessuno@rossi.it", "s", "t"});
    });
    EXPECT_TRUE(
        refused.endsWith("\rRisposta del server: 550 5.1.1 <nessuno@rossi.it>: Recipient address "
                         "rejected: User unknown"))
        << refused.toStdString();
}

TEST_F(MailBoundsTest, SendingSaysWhatHappenedWithAServerThatMisbehaves) {
    using Fault = SmtpTestSink::Fault;
    using Security = MailAccount::Security;
    struct Case {
        Fault fault;
        QByteArray startTlsAnswer;
        Security security;
        QString error;  // "%1", where there is one: where the server is
    };
    const QString tooLong = "La risposta del server di posta %1 supera i 300 KB.";
    const QString notProtected = "Connessione protetta con il server di posta %1 non riuscita.";
    for (const Case& c : {
             Case{Fault::EndlessGreeting, {}, Security::None, tooLong},
             Case{Fault::EndlessLines, {}, Security::None, tooLong},
             Case{Fault::EndlessAuthReply, {}, Security::None, tooLong},
             // A TLS hello answered in plain text.
             Case{Fault::None, {}, Security::Tls, notProtected},
             // STARTTLS agreed to with no TLS after it: said OK, sent plain text, said nothing.
             Case{Fault::None, "250 2.0.0 begin TLS\r\n", Security::StartTls,
                  notProtected + "\rRisposta del server: 250 2.0.0 begin TLS"},
             Case{Fault::None, "220 2.0.0 begin TLS\r\nsolo testo\r\n", Security::StartTls,
                  "Risposta inattesa del server di posta a STARTTLS."},
             Case{Fault::None, "220 2.0.0 begin TLS\r\n", Security::StartTls,
                  "Il server di posta %1 non risponde."},
         }) {
        TestMailbox mailbox;
        SmtpTestSink smtp(mailbox);
        smtp.setFault(c.fault);
        if (!c.startTlsAnswer.isEmpty()) smtp.answerStartTls(c.startTlsAnswer);
        MailAccount a = account(smtp.port());
        a.smtpSecurity = c.security;
        const QString expected = c.error.contains("%1") ? c.error.arg(where(smtp)) : c.error;
        EXPECT_EQ(DescriptionOf([&] { MailService(a).SignOn(MailService::Purpose::Sending); }).toStdString(),
                  expected.toStdString());
    }
    // A hang-up on the TLS hello is still one without an answer.
    HostileImapServer hangUp(Mode::HangUp);
    MailAccount a = account(hangUp.port());
    a.smtpSecurity = Security::Tls;
    EXPECT_EQ(
        DescriptionOf([&] { MailService(a).SignOn(MailService::Purpose::Sending); }).toStdString(),
        "Il server di posta " + where(hangUp).toStdString() + " ha chiuso la connessione senza rispondere.");
}

TEST_F(MailBoundsTest, LineBreaksInTheAccountNeverReachAServer) {
    HostileImapServer imap(Mode::Polite);
    TestMailbox mailbox;
    SmtpTestSink smtp(mailbox);
    const auto broken = [](MailAccount a, QString MailAccount::*field, const QString& value) {
        a.*field = value;
        return a;
    };
    struct Case {
        QString MailAccount::*field;
        const char* value;
        const char* name;
    };
    for (const Case& c : {Case{&MailAccount::user, "ufficio\r\nA2 DELETE INBOX", "Utente"},
                          Case{&MailAccount::user, "ufficio\n", "Utente"},
                          Case{&MailAccount::password, "segreta\rA2 DELETE INBOX", "Password"},
                          Case{&MailAccount::smtpServer, "127.0.0.1\r\n", "Server (SMTP)"},
                          Case{&MailAccount::imapServer, "127.0.0.1\nx", "Server (IMAP)"},
                          Case{&MailAccount::sender, "ufficio@ditta.it\n", "Indirizzo del mittente"}}) {
        for (auto purpose : {MailService::Purpose::Listing, MailService::Purpose::Sending}) {
            MailAccount a =
                broken(account(purpose == MailService::Purpose::Listing ? imap.port() : smtp.port()), c.field,
                       c.value);
            EXPECT_EQ(DescriptionOf([&] { MailService(a).SignOn(purpose); }).toStdString(),
                      std::string("Account di posta non valido: il campo \"") + c.name +
                          "\" non può contenere ritorni a capo.")
                << c.value;
        }
    }
    EXPECT_EQ(imap.received(), QList<QByteArray>{});
    EXPECT_EQ(smtp.authentications() + smtp.transactions(), 0);
    // Nor in an address.
    EXPECT_FALSE(IsValidMailAddress("ufficio@ditta.it\n"));
    MailService mail(account(smtp.port()));
    mail.SignOn(MailService::Purpose::Sending);
    EXPECT_TRUE(DescriptionOf([&] {
                    mail.Send({"Rossi", "info@rossi.it\nspia@altrove.it", "s", "t"});
                }).startsWith("Destinatario rifiutato"));
    EXPECT_EQ(smtp.transactions(), 0);
}

}  // namespace
