// The SMTP sink's conversation.
#include "support/SmtpTestSink.h"

SmtpTestSink::SmtpTestSink(TestMailbox& mailbox, int port) : LoopbackServer(port), mailbox_(mailbox) {}

SmtpTestSink::~SmtpTestSink() {
    stop();
}

void SmtpTestSink::requireLogin(const QByteArray& user, const QByteArray& password) {
    std::lock_guard<std::mutex> lock(mutex_);
    user_ = user;
    password_ = password;
}

void SmtpTestSink::answerStartTls(const QByteArray& reply) {
    std::lock_guard<std::mutex> lock(mutex_);
    startTlsAnswer_ = reply;
}

void SmtpTestSink::refuseRecipient(const QByteArray& address) {
    std::lock_guard<std::mutex> lock(mutex_);
    refused_.insert(address.toLower());
}

namespace {

// The address inside "<...>" of a MAIL or RCPT argument.
QByteArray pathOf(const QByteArray& argument) {
    const qsizetype open = argument.indexOf('<');
    const qsizetype close = argument.indexOf('>', open + 1);
    if (open < 0 || close < 0) return argument.mid(argument.indexOf(':') + 1).trimmed();
    return argument.mid(open + 1, close - open - 1);
}

}  // namespace

bool SmtpTestSink::authenticate(Connection& client, const QByteArray& argument) {
    ++authentications_;
    if (fault_ == Fault::EndlessAuthReply) {
        if (client.send("334 ")) client.flood("x", kGiveUpBytes, kGiveUpMs);
        return false;
    }
    const QList<QByteArray> parts = argument.split(' ');
    const QByteArray mechanism = parts.value(0).toUpper();
    QByteArray user, password;
    if (mechanism == "PLAIN") {
        QByteArray token = parts.value(1);
        if (token.isEmpty()) {
            client.send("334 \r\n");
            if (!client.readLine(token)) return false;
        }
        const QList<QByteArray> fields = QByteArray::fromBase64(token).split('\0');
        user = fields.value(1);
        password = fields.value(2);
    } else if (mechanism == "LOGIN") {
        QByteArray line;
        if (parts.size() > 1) {
            line = parts.value(1);
        } else {
            client.send("334 VXNlcm5hbWU6\r\n");
            if (!client.readLine(line)) return false;
        }
        user = QByteArray::fromBase64(line);
        client.send("334 UGFzc3dvcmQ6\r\n");
        if (!client.readLine(line)) return false;
        password = QByteArray::fromBase64(line);
    } else {
        client.send("504 5.5.4 Unrecognized authentication type\r\n");
        return false;
    }
    bool ok = !refuseAuth_;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!user_.isEmpty()) ok = ok && user == user_ && password == password_;
    }
    client.send(ok ? "235 2.7.0 Authentication successful\r\n"
                   : "535 5.7.8 Authentication credentials invalid\r\n");
    return ok;
}

void SmtpTestSink::serve(Connection& client) {
    if (silent_) {
        client.stayQuiet();
        return;
    }
    if (fault_ == Fault::EndlessGreeting) {
        if (client.send("220 ")) client.flood("x", kGiveUpBytes, kGiveUpMs);
        return;
    }
    QByteArray startTlsAnswer;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        startTlsAnswer = startTlsAnswer_;
    }
    client.send("220 sink.test ESMTP ready\r\n");
    bool authenticated = false;
    QByteArray from;
    QList<QByteArray> recipients;
    QByteArray line;
    while (client.readLine(line)) {
        const qsizetype blank = line.indexOf(' ');
        const QByteArray verb = (blank < 0 ? line : line.left(blank)).toUpper();
        const QByteArray argument = blank < 0 ? QByteArray() : line.mid(blank + 1);
        if (verb == "EHLO" && fault_ == Fault::EndlessLines) {
            client.flood("250-" + QByteArray(1000, 'x') + "\r\n", kGiveUpBytes, kGiveUpMs);
            return;
        } else if (verb == "EHLO") {
            client.send("250-sink.test\r\n250-AUTH PLAIN LOGIN\r\n250-8BITMIME\r\n" +
                        QByteArray(startTlsAnswer.isEmpty() ? "" : "250-STARTTLS\r\n") +
                        "250 SIZE 10485760\r\n");
        } else if (verb == "STARTTLS" && !startTlsAnswer.isEmpty()) {
            client.send(startTlsAnswer);
            client.stayQuiet();
            return;
        } else if (verb == "HELO") {
            client.send("250 sink.test\r\n");
        } else if (verb == "AUTH") {
            authenticated = authenticate(client, argument);
            if (fault_ == Fault::EndlessAuthReply) return;
        } else if (verb == "MAIL") {
            bool loginNeeded;
            {
                std::lock_guard<std::mutex> lock(mutex_);
                loginNeeded = !user_.isEmpty();
            }
            if (loginNeeded && !authenticated) {
                client.send("530 5.7.0 Authentication required\r\n");
                continue;
            }
            ++transactions_;
            from = pathOf(argument);
            recipients.clear();
            client.send("250 2.1.0 Ok\r\n");
        } else if (verb == "RCPT") {
            const QByteArray to = pathOf(argument);
            bool refused;
            {
                std::lock_guard<std::mutex> lock(mutex_);
                refused = refused_.contains(to.toLower());
            }
            if (refused) {
                client.send("550 5.1.1 <" + to + ">: Recipient address rejected: User unknown\r\n");
            } else {
                recipients << to;
                client.send("250 2.1.5 Ok\r\n");
            }
        } else if (verb == "DATA") {
            if (recipients.isEmpty()) {
                client.send("554 5.5.1 No valid recipients\r\n");
                continue;
            }
            client.send("354 End data with <CR><LF>.<CR><LF>\r\n");
            QByteArray data, l;
            bool complete = false;
            while (client.readLine(l)) {
                if (l == ".") {
                    complete = true;
                    break;
                }
                if (l.startsWith('.')) l.remove(0, 1);
                data += l + "\r\n";
            }
            if (!complete) return;
            mailbox_.add(data, QDateTime::currentDateTime(), from, recipients);
            recipients.clear();
            client.send("250 2.0.0 Ok: queued\r\n");
        } else if (verb == "RSET") {
            recipients.clear();
            client.send("250 2.0.0 Ok\r\n");
        } else if (verb == "NOOP") {
            client.send("250 2.0.0 Ok\r\n");
        } else if (verb == "QUIT") {
            client.send("221 2.0.0 Bye\r\n");
            return;
        } else {
            client.send("502 5.5.2 Error: command not recognized\r\n");
        }
    }
}
