// The hostile IMAP server's conversation.
#include "support/HostileImapServer.h"

#include <QRegularExpression>

#include <algorithm>
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

void HostileImapServer::flood(Connection& client, const QByteArray& unit) {
    sent_ += client.flood(unit, kGiveUpBytes - sent_, kGiveUpMs);
}

void HostileImapServer::drip(Connection& client, const QByteArray& opening) {
    const Clock::time_point start = Clock::now();
    for (qsizetype i = 0; !givenUp(start, sent_); ++i) {
        if (!client.send(QByteArray(1, i < opening.size() ? opening[i] : 'x'))) return;
        ++sent_;
        if (!client.pause(dripMs_)) return;
    }
}

QByteArray HostileImapServer::headersOf(const QByteArray& set) {
    QByteArray answer;
    for (const QByteArray& part : set.split(',')) {
        const QList<QByteArray> ends = part.split(':');
        const int first = ends.value(0).toInt();
        const int last = ends.size() > 1 ? ends.value(1).toInt() : first;
        for (int uid = std::min(first, last); uid <= std::max(first, last) && uid <= kFound; ++uid) {
            const QByteArray n = QByteArray::number(uid);
            const QByteArray header = "Subject: Notifica inviata a: Cliente " + n + "\r\n\r\n";
            answer += "* " + n + " FETCH (UID " + n + " INTERNALDATE \"02-Mar-2026 09:15:00 +0100\" " +
                      "BODY[HEADER.FIELDS (SUBJECT)] {" + QByteArray::number(header.size()) + "}\r\n" +
                      header + ")\r\n";
        }
    }
    return answer;
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
        case Mode::DripGreeting:
            drip(client, "* OK ");
            return;
        case Mode::EndlessGreeting:
            if (say("* OK ")) flood(client, "x");
            return;
        default:
            break;
    }
    if (!say("* OK hostile server ready\r\n")) return;
    bool batchServed = false;
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
        } else if (command == "SEARCH" && mode_ >= Mode::BatchThenHangUp) {
            QByteArray found = "* SEARCH";
            for (int uid = 1; uid <= kFound; ++uid)
                found += ' ' + QByteArray::number(uid);
            going = say(found + "\r\n" + tag + " OK done\r\n");
        } else if (command == "FETCH" && mode_ >= Mode::BatchThenHangUp && !batchServed) {
            batchServed = true;
            going = say(headersOf(words.value(3)) + tag + " OK done\r\n");
        } else if (command == "FETCH" && mode_ == Mode::BatchThenEndless) {
            flood(client, "* OK " + QByteArray(1000, 'x') + "\r\n");
            return;
        } else if (command == "FETCH" && mode_ == Mode::BatchThenDrip) {
            drip(client, "* ");
            return;
        } else if (command == "FETCH" && mode_ == Mode::BatchThenHangUp) {
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
