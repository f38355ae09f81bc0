// The hostile IMAP server's conversation.
#include "support/HostileImapServer.h"

#include <QRegularExpression>

#include <chrono>

namespace {

using Clock = std::chrono::steady_clock;

bool givenUp(Clock::time_point since, qint64 sent) {
    return sent >= HostileImapServer::kGiveUpBytes ||
           Clock::now() - since >= std::chrono::milliseconds(HostileImapServer::kGiveUpMs);
}

}  // namespace

HostileImapServer::HostileImapServer(Mode mode, int dripMs) : mode_(mode), dripMs_(dripMs) {}

HostileImapServer::~HostileImapServer() {
    stop();
}

QList<QByteArray> HostileImapServer::received() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return received_;
}

qint64 HostileImapServer::finish() {
    stop();
    return sent_;
}

bool HostileImapServer::flood(Connection& client, const QByteArray& unit) {
    const Clock::time_point start = Clock::now();
    QByteArray chunk;
    while (chunk.size() < 64 * 1024)
        chunk += unit;
    while (!givenUp(start, sent_)) {
        if (!client.send(chunk)) return false;
        sent_ += chunk.size();
    }
    return true;
}

void HostileImapServer::serve(Connection& client) {
    const auto say = [&](const QByteArray& data) {
        if (!client.send(data)) return false;
        sent_ += data.size();
        return true;
    };
    switch (mode_) {
        case Mode::HangUp:
            return;
        case Mode::DripGreeting: {
            const Clock::time_point start = Clock::now();
            const QByteArray opening = "* OK ";
            for (qsizetype i = 0; !givenUp(start, sent_); ++i)
                if (!say(QByteArray(1, i < opening.size() ? opening[i] : 'x')) || !client.pause(dripMs_))
                    return;
            return;
        }
        case Mode::EndlessGreeting:
            if (say("* OK ")) flood(client, "x");
            return;
        default:
            break;
    }
    if (!say("* OK hostile server ready\r\n")) return;
    QByteArray line;
    while (client.readLine(line)) {
        // A literal of the client: its bytes after the continuation, then the rest of the line.
        static const QRegularExpression literal(QStringLiteral("\\{(\\d+)\\+?\\}$"));
        QRegularExpressionMatch m;
        while ((m = literal.match(QString::fromLatin1(line))).hasMatch()) {
            QByteArray bytes, rest;
            if (!say("+ go on\r\n") || !client.readBytes(m.captured(1).toInt(), bytes) ||
                !client.readLine(rest))
                return;
            line += "\r\n" + bytes + rest;
        }
        {
            std::lock_guard<std::mutex> lock(mutex_);
            received_ << line;
        }
        const QList<QByteArray> words = line.split(' ');
        const QByteArray tag = words.value(0);
        QByteArray command = words.value(1).toUpper();
        if (command == "UID") command = words.value(2).toUpper();
        bool going = true;
        if (command == "LOGIN" && mode_ == Mode::EndlessLines) {
            flood(client, "* OK " + QByteArray(1000, 'x') + "\r\n");
            return;
        } else if (command == "SEARCH" && mode_ == Mode::EndlessSearch) {
            if (say("* SEARCH")) flood(client, " 1234567");
            return;
        } else if (command == "SEARCH") {
            going = say("* SEARCH\r\n" + tag + " OK done\r\n");
        } else if (command == "SELECT" || command == "EXAMINE") {
            going = say("* 0 EXISTS\r\n* 0 RECENT\r\n* OK [UIDVALIDITY 1] valid\r\n" + tag +
                        " OK [READ-ONLY] done\r\n");
        } else if (command == "LOGOUT") {
            say("* BYE bye\r\n" + tag + " OK done\r\n");
            return;
        } else {
            going = say(tag + " OK done\r\n");
        }
        if (!going) return;
    }
}
