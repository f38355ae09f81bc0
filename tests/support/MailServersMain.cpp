// mail_test_servers: the SMTP sink and the IMAP test server on loopback, sharing one mailbox, for
// trying the program's mail by hand. Usage: mail_test_servers [SMTP-PORT [IMAP-PORT]]; with a user
// and password after the ports, both servers require them. Stops with Ctrl+C.
#include <QCoreApplication>

#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "support/ImapTestServer.h"
#include "support/SmtpTestSink.h"

namespace {
volatile std::sig_atomic_t stopRequested = 0;
void onSignal(int) {
    stopRequested = 1;
}
}  // namespace

int main(int argc, char** argv) {
    const int smtpPort = argc > 1 ? std::atoi(argv[1]) : 0;
    const int imapPort = argc > 2 ? std::atoi(argv[2]) : 0;
    TestMailbox mailbox;
    SmtpTestSink smtp(mailbox, smtpPort);
    ImapTestServer imap(mailbox, imapPort);
    if (argc > 4) {
        smtp.requireLogin(argv[3], argv[4]);
        imap.requireLogin(argv[3], argv[4]);
    }
    std::printf("SMTP 127.0.0.1:%d\nIMAP 127.0.0.1:%d\n", smtp.port(), imap.port());
    std::fflush(stdout);
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
    size_t reported = 0;
    while (!stopRequested) {
        const auto mails = mailbox.messages();
        for (; reported < mails.size(); ++reported)
            std::printf("ricevuto: %s -> %s: %s\n", mails[reported].envelopeFrom.constData(),
                        mails[reported].recipients.join(',').constData(),
                        mails[reported].subject.toUtf8().constData());
        std::fflush(stdout);
        struct timespec pause {
            0, 200 * 1000 * 1000
        };
        nanosleep(&pause, nullptr);
    }
    return 0;
}
