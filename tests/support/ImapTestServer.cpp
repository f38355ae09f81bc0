// The IMAP test server's conversation.
#include "support/ImapTestServer.h"

#include <QRegularExpression>
#include <QStringList>

#include <algorithm>
#include <functional>
#include <optional>

namespace {

// Tokens of a command's arguments: atoms (brackets and their contents kept whole), quoted strings,
// literals, and parenthesised lists kept as their raw text.
QList<QByteArray> tokenize(const QByteArray& text, const QList<QByteArray>& literals) {
    QList<QByteArray> tokens;
    qsizetype i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c == ' ') {
            ++i;
        } else if (c == '"') {
            QByteArray s;
            for (++i; i < text.size() && text[i] != '"'; ++i) {
                if (text[i] == '\\' && i + 1 < text.size()) ++i;
                s += text[i];
            }
            ++i;
            tokens << s;
        } else if (c == '\x01') {
            qsizetype j = i + 1;
            while (j < text.size() && std::isdigit(static_cast<unsigned char>(text[j])))
                ++j;
            tokens << literals.value(text.mid(i + 1, j - i - 1).toInt());
            i = j;
        } else {
            QByteArray s;
            int depth = 0;
            for (; i < text.size(); ++i) {
                const char d = text[i];
                if (d == '(' || d == '[') ++depth;
                if (d == ')' || d == ']') --depth;
                if (d == ' ' && depth <= 0) break;
                s += d;
            }
            tokens << s;
        }
    }
    return tokens;
}

// A sequence set over 1..last ("*" is last).
std::vector<uint32_t> parseSet(const QByteArray& set, uint32_t last) {
    std::vector<uint32_t> out;
    for (const QByteArray& part : set.split(',')) {
        const QList<QByteArray> ends = part.split(':');
        auto value = [last](const QByteArray& v) { return v == "*" ? last : v.toUInt(); };
        uint32_t a = value(ends.value(0));
        uint32_t b = ends.size() > 1 ? value(ends.value(1)) : a;
        if (a > b) std::swap(a, b);
        for (uint32_t n = a; n <= b && n != 0; ++n) {
            out.push_back(n);
            if (n == UINT32_MAX) break;
        }
    }
    return out;
}

QByteArray imapDate(const QDateTime& at) {
    static const char* months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const int offset = at.offsetFromUtc() / 60;
    const int a = std::abs(offset);
    return QByteArray::number(at.date().day()).rightJustified(2, '0') + '-' + months[at.date().month() - 1] +
           '-' + QByteArray::number(at.date().year()) + ' ' +
           at.time().toString(QStringLiteral("HH:mm:ss")).toLatin1() + ' ' + (offset < 0 ? '-' : '+') +
           QByteArray::number(a / 60).rightJustified(2, '0') +
           QByteArray::number(a % 60).rightJustified(2, '0');
}

QByteArray quoted(const QByteArray& s) {
    QByteArray q = s;
    q.replace('\\', "\\\\");
    q.replace('"', "\\\"");
    return '"' + q + '"';
}

QByteArray headerPart(const QByteArray& raw) {
    const qsizetype end = raw.indexOf("\r\n\r\n");
    return end < 0 ? raw + "\r\n" : raw.left(end + 4);
}

// The header lines of `raw` whose names are in `names` (upper case), with their continuations.
QByteArray headerFields(const QByteArray& raw, const QList<QByteArray>& names) {
    QByteArray out;
    bool keep = false;
    for (QByteArray line : headerPart(raw).split('\n')) {
        if (line.endsWith('\r')) line.chop(1);
        if (line.isEmpty()) break;
        if (line.startsWith(' ') || line.startsWith('\t')) {
            if (keep) out += line + "\r\n";
            continue;
        }
        const QByteArray name = line.left(line.indexOf(':')).trimmed().toUpper();
        keep = names.contains(name);
        if (keep) out += line + "\r\n";
    }
    return out + "\r\n";
}

}  // namespace

struct ImapTestServer::Session {
    bool loggedIn = false;
    bool selected = false;
    bool readOnly = true;
};

ImapTestServer::ImapTestServer(TestMailbox& mailbox, int port) : LoopbackServer(port), mailbox_(mailbox) {}

ImapTestServer::~ImapTestServer() {
    stop();
}

void ImapTestServer::requireLogin(const QByteArray& user, const QByteArray& password) {
    std::lock_guard<std::mutex> lock(mutex_);
    user_ = user;
    password_ = password;
}

void ImapTestServer::serve(Connection& client) {
    if (silent_) {
        client.stayQuiet();
        return;
    }
    client.send("* OK [CAPABILITY IMAP4rev1 AUTH=PLAIN] test server ready\r\n");
    Session session;
    QByteArray line;
    while (client.readLine(line)) {
        // Literals of the client: "{n}" at the end of a line, the bytes after the continuation.
        QList<QByteArray> literals;
        static const QRegularExpression literal(QStringLiteral("\\{(\\d+)(\\+?)\\}$"));
        QRegularExpressionMatch m;
        while ((m = literal.match(QString::fromLatin1(line))).hasMatch()) {
            if (m.captured(2).isEmpty()) client.send("+ Ready\r\n");
            QByteArray bytes, rest;
            if (!client.readBytes(m.captured(1).toInt(), bytes) || !client.readLine(rest)) return;
            line = line.left(m.capturedStart()) + '\x01' + QByteArray::number(literals.size()) + rest;
            literals << bytes;
        }
        const QList<QByteArray> words = tokenize(line, literals);
        const QByteArray tag = words.value(0);
        QByteArray command = words.value(1).toUpper();
        QList<QByteArray> args = words.mid(2);
        bool byUid = false;
        if (command == "UID") {
            byUid = true;
            command = args.value(0).toUpper();
            args = args.mid(1);
        }
        auto ok = [&](const QByteArray& text = "completed") { client.send(tag + " OK " + text + "\r\n"); };
        auto bad = [&](const QByteArray& text) { client.send(tag + " BAD " + text + "\r\n"); };
        auto no = [&](const QByteArray& text) { client.send(tag + " NO " + text + "\r\n"); };

        if (command == "CAPABILITY") {
            client.send("* CAPABILITY IMAP4rev1 AUTH=PLAIN\r\n");
            ok();
        } else if (command == "NOOP" || command == "CHECK") {
            ok();
        } else if (command == "LOGOUT") {
            client.send("* BYE logging out\r\n");
            ok();
            return;
        } else if (command == "LOGIN") {
            bool accepted;
            {
                std::lock_guard<std::mutex> lock(mutex_);
                accepted = user_.isEmpty() || (args.value(0) == user_ && args.value(1) == password_);
            }
            if (!accepted) {
                no("[AUTHENTICATIONFAILED] Authentication failed.");
                continue;
            }
            session.loggedIn = true;
            ok("[CAPABILITY IMAP4rev1] Logged in");
        } else if (!session.loggedIn) {
            bad("not logged in");
        } else if (command == "SELECT" || command == "EXAMINE") {
            if (args.value(0).toUpper() != "INBOX") {
                no("Mailbox doesn't exist");
                continue;
            }
            session.selected = true;
            session.readOnly = command == "EXAMINE";
            const auto [count, next] = mailbox_.locked([](std::vector<TestMail>& mails) {
                return std::make_pair(mails.size(), mails.empty() ? 1u : mails.back().uid + 1);
            });
            client.send("* FLAGS (\\Answered \\Flagged \\Deleted \\Seen \\Draft)\r\n* " +
                        QByteArray::number(count) +
                        " EXISTS\r\n* 0 RECENT\r\n* OK [UIDVALIDITY 1] UIDs valid\r\n* OK [UIDNEXT " +
                        QByteArray::number(next) + "] next\r\n");
            ok(session.readOnly ? "[READ-ONLY] Examine completed" : "[READ-WRITE] Select completed");
        } else if (!session.selected) {
            bad("no mailbox selected");
        } else if (command == "SEARCH") {
            ++searches_;
            if (!args.isEmpty() && args[0].toUpper() == "CHARSET") args = args.mid(2);
            // Every key must hold: HEADER name text, SUBJECT text, ALL.
            std::vector<std::function<bool(const TestMail&)>> keys;
            bool understood = true;
            for (qsizetype i = 0; i < args.size(); ++i) {
                const QByteArray key = args[i].toUpper();
                if (key == "ALL") continue;
                if (key == "SUBJECT" || (key == "HEADER" && args.value(i + 1).toUpper() == "SUBJECT")) {
                    if (key == "HEADER") ++i;
                    const QString needle = QString::fromUtf8(args.value(++i));
                    keys.push_back([needle](const TestMail& m) {
                        return m.subject.contains(needle, Qt::CaseInsensitive);
                    });
                } else if (key == "HEADER") {
                    const QByteArray name = args.value(i + 1);
                    const QString needle = QString::fromUtf8(args.value(i + 2));
                    i += 2;
                    keys.push_back([name, needle](const TestMail& m) {
                        return m.header(name).contains(needle, Qt::CaseInsensitive);
                    });
                } else {
                    understood = false;
                }
            }
            if (!understood) {
                bad("search key not supported");
                continue;
            }
            const QByteArray found = mailbox_.locked([&](std::vector<TestMail>& mails) {
                QByteArray list;
                for (size_t n = 0; n < mails.size(); ++n)
                    if (std::all_of(keys.begin(), keys.end(), [&](const auto& k) { return k(mails[n]); }))
                        list += ' ' + QByteArray::number(byUid ? mails[n].uid : static_cast<uint32_t>(n + 1));
                return list;
            });
            client.send("* SEARCH" + found + "\r\n");
            ok();
        } else if (command == "FETCH" || command == "STORE") {
            if (command == "FETCH") ++fetchCommands_;
            const QByteArray set = args.value(0);
            QByteArray items = args.mid(1).join(' ');
            if (items.startsWith('(') && items.endsWith(')')) items = items.mid(1, items.size() - 2);
            const QByteArray upper = items.toUpper();
            if (command == "STORE" && session.readOnly) {
                no("mailbox is read-only");
                continue;
            }
            QByteArray answer;
            mailbox_.locked([&](std::vector<TestMail>& mails) {
                const uint32_t last =
                    mails.empty() ? 0 : (byUid ? mails.back().uid : static_cast<uint32_t>(mails.size()));
                std::vector<uint32_t> wanted = parseSet(set, last);
                std::vector<size_t> positions;
                if (byUid) {
                    for (uint32_t uid : wanted) {
                        auto it = std::lower_bound(mails.begin(), mails.end(), uid,
                                                   [](const TestMail& m, uint32_t u) { return m.uid < u; });
                        if (it != mails.end() && it->uid == uid)
                            positions.push_back(static_cast<size_t>(it - mails.begin()));
                    }
                } else {
                    for (uint32_t n : wanted)
                        if (n >= 1 && n <= mails.size()) positions.push_back(n - 1);
                }
                std::sort(positions.begin(), positions.end());
                for (size_t p : positions) {
                    TestMail& mail = mails[p];
                    QList<QByteArray> parts;
                    if (command == "STORE") {
                        // "+FLAGS (\Seen)", "-FLAGS ...", "FLAGS ...".
                        const QList<QByteArray> fields = tokenize(items, {});
                        const QByteArray how = fields.value(0).toUpper();
                        QByteArray list = fields.mid(1).join(' ');
                        list.replace('(', "").replace(')', "");
                        const QSet<QByteArray> given(list.split(' ').begin(), list.split(' ').end());
                        QSet<QByteArray> flags = mail.flags;
                        if (how.startsWith("+FLAGS"))
                            flags.unite(given);
                        else if (how.startsWith("-FLAGS"))
                            flags.subtract(given);
                        else
                            flags = given;
                        flags.remove(QByteArray());
                        if (flags != mail.flags) ++flagChanges_;
                        mail.flags = flags;
                        if (!how.endsWith(".SILENT"))
                            parts << "FLAGS (" +
                                         QList<QByteArray>(mail.flags.begin(), mail.flags.end()).join(' ') +
                                         ')';
                    } else {
                        if (byUid || upper.contains("UID")) parts << "UID " + QByteArray::number(mail.uid);
                        if (upper.contains("INTERNALDATE"))
                            parts << "INTERNALDATE " + quoted(imapDate(mail.received));
                        if (upper.contains("RFC822.SIZE"))
                            parts << "RFC822.SIZE " + QByteArray::number(mail.raw.size());
                        // Body sections, each as a literal.
                        static const QRegularExpression section(
                            QStringLiteral("BODY(\\.PEEK)?\\[([^\\]]*)\\]"));
                        auto it = section.globalMatch(QString::fromLatin1(upper));
                        while (it.hasNext()) {
                            const QRegularExpressionMatch sm = it.next();
                            const QByteArray spec = sm.captured(2).toLatin1();
                            QByteArray content;
                            if (spec.startsWith("HEADER.FIELDS")) {
                                QByteArray names = spec.mid(spec.indexOf('(') + 1);
                                names.chop(1);
                                content = headerFields(mail.raw, names.trimmed().split(' '));
                                ++headersServed_;
                            } else if (spec == "HEADER") {
                                content = headerPart(mail.raw);
                                ++headersServed_;
                            } else {
                                content = mail.raw;
                            }
                            if (sm.captured(1).isEmpty() && !session.readOnly &&
                                !mail.flags.contains("\\Seen")) {
                                mail.flags.insert("\\Seen");
                                ++flagChanges_;
                            }
                            parts << "BODY[" + spec + "] {" + QByteArray::number(content.size()) + "}\r\n" +
                                         content;
                        }
                        if (upper.contains("FLAGS"))
                            parts << "FLAGS (" +
                                         QList<QByteArray>(mail.flags.begin(), mail.flags.end()).join(' ') +
                                         ')';
                    }
                    answer += "* " + QByteArray::number(static_cast<qulonglong>(p + 1)) + " FETCH (" +
                              parts.join(' ') + ")\r\n";
                }
                return 0;
            });
            client.send(answer);
            ok();
        } else if (command == "CLOSE") {
            session.selected = false;
            ok();
        } else {
            bad("command not supported");
        }
    }
}
