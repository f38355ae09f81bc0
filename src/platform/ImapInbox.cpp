// The inbox over IMAP with libetpan.
#include "platform/ImapInbox.h"

#include <QTimeZone>

#include <libetpan/libetpan.h>

#include <algorithm>
#include <cstdlib>
#include <map>

#include "platform/AsideThread.h"
#include "platform/MailErrors.h"
#include "platform/MailSocketStream.h"

namespace {

QDateTime toDateTime(const mailimap_date_time* d) {
    if (!d) return {};
    // The zone comes as +hhmm written as a number.
    const int sign = d->dt_zone < 0 ? -1 : 1;
    const int zone = std::abs(d->dt_zone);
    const int offsetSeconds = sign * ((zone / 100) * 3600 + (zone % 100) * 60);
    const QDateTime at(QDate(d->dt_year, d->dt_month, d->dt_day), QTime(d->dt_hour, d->dt_min, d->dt_sec),
                       QTimeZone(offsetSeconds));
    return at.toLocalTime();
}

struct Fetched {
    QDateTime received;
    QString subject;
};

// The items of one FETCH answer: UID, INTERNALDATE and the header section.
void readItems(mailimap_msg_att* att, uint32_t& uid, Fetched& f) {
    for (clistiter* it = clist_begin(att->att_list); it; it = clist_next(it)) {
        auto* item = static_cast<mailimap_msg_att_item*>(clist_content(it));
        if (item->att_type != MAILIMAP_MSG_ATT_ITEM_STATIC) continue;
        mailimap_msg_att_static* s = item->att_data.att_static;
        switch (s->att_type) {
            case MAILIMAP_MSG_ATT_UID:
                uid = s->att_data.att_uid;
                break;
            case MAILIMAP_MSG_ATT_INTERNALDATE:
                f.received = toDateTime(s->att_data.att_internal_date);
                break;
            case MAILIMAP_MSG_ATT_BODY_SECTION:
                if (s->att_data.att_body_section && s->att_data.att_body_section->sec_body_part)
                    f.subject = DecodeSubjectField(
                        QByteArray(s->att_data.att_body_section->sec_body_part,
                                   static_cast<qsizetype>(s->att_data.att_body_section->sec_length)));
                break;
            default:
                break;
        }
    }
}

}  // namespace

QString DecodeSubjectField(const QByteArray& field) {
    // Unfolds the field and drops its name.
    QByteArray value;
    bool inSubject = false;
    for (const QByteArray& raw : field.split('\n')) {
        QByteArray line = raw;
        if (line.endsWith('\r')) line.chop(1);
        if (line.isEmpty()) {
            if (inSubject) break;
            continue;
        }
        const bool continuation = line.startsWith(' ') || line.startsWith('\t');
        if (!continuation) {
            if (inSubject) break;
            if (!line.toLower().startsWith("subject:")) continue;
            inSubject = true;
            value = line.mid(8);
        } else if (inSubject) {
            value += line;
        }
    }
    value = value.trimmed();
    if (value.isEmpty()) return {};
    size_t index = 0;
    char* decoded = nullptr;
    if (mailmime_encoded_phrase_parse("utf-8", value.constData(), static_cast<size_t>(value.size()), &index,
                                      "utf-8", &decoded) != MAILIMF_NO_ERROR ||
        !decoded)
        return QString::fromUtf8(value);
    const QString text = QString::fromUtf8(decoded);
    std::free(decoded);
    return text;
}

ImapInbox::ImapInbox(MailAccount account) : account_(std::move(account)) {}

ImapInbox::~ImapInbox() {
    // No LOGOUT here: a destructor does not wait for a server.
    if (thread_) thread_->RunBlocked([this] { drop(); });
}

void ImapInbox::fail(const QString& what, int code) {
    if (connection_ && connection_->Stopped()) {
        drop();
        MailFailStopped();
    }
    const QString cut = connection_ ? connection_->CutText() : QString();
    const QString where = connection_ ? connection_->Where() : QString();
    const bool answered = connection_ && connection_->Answered();
    breached_ = connection_ && connection_->Breached();
    // Only a reply of the server to the command is quoted: a broken or garbled stream has none.
    QString reply;
    if (code != MAILIMAP_ERROR_STREAM && code != MAILIMAP_ERROR_PARSE && imap_ && imap_->imap_response)
        reply = QString::fromUtf8(imap_->imap_response);
    drop();
    if (!cut.isEmpty()) MailFail(cut);
    if ((code == MAILIMAP_ERROR_STREAM || code == MAILIMAP_ERROR_PARSE) && !answered)
        MailFail(MailHungUp(where));
    if (code == MAILIMAP_ERROR_STREAM)
        MailFail(what + QStringLiteral("\rIl server di posta ha chiuso la connessione."));
    if (code == MAILIMAP_ERROR_PARSE)
        MailFail(what + QStringLiteral("\rRisposta del server di posta non valida."));
    MailFail(MailWithReply(what, reply));
}

std::function<void()> ImapInbox::stopping() {
    return [this] { stop_.Stop(); };
}

void ImapInbox::drop() {
    // No LOGOUT: the connection is broken or the server silent.
    if (imap_) mailimap_free(imap_);
    imap_ = nullptr;
    connection_.reset();
}

void ImapInbox::SignOn() {
    SignOff();
    account_.RequireSingleLines();
    thread_ = std::make_unique<AsideThread>();
    thread_->Run(
        [this] {
            try {
                signOnSteps();
            } catch (...) {
                drop();
                throw;
            }
        },
        stopping());
}

void ImapInbox::signOnSteps() {
    const QString host = account_.ImapHost();
    if (host.isEmpty()) MailFail(MailLoginFailed());
    const int timeoutMs = std::max(1, account_.timeoutSeconds) * 1000;
    connection_ = std::make_unique<MailSocketStream>(host, account_.imapPort, timeoutMs,
                                                     account_.DeadlineSeconds(), &stop_);
    connection_->Connect(account_.imapSecurity == MailAccount::Security::Tls);
    imap_ = mailimap_new(0, nullptr);
    if (!imap_) MailFail(QStringLiteral("Impossibile preparare la lettura della posta."));
    mailimap_set_timeout(imap_, account_.timeoutSeconds);
    mailstream* stream = connection_->NewStream();
    int r = mailimap_connect(imap_, stream);
    const bool authenticated = r == MAILIMAP_NO_ERROR_AUTHENTICATED;
    if (r != MAILIMAP_NO_ERROR_AUTHENTICATED && r != MAILIMAP_NO_ERROR_NON_AUTHENTICATED)
        fail(QStringLiteral("Il server di posta ") + MailHostPort(host, account_.imapPort) +
                 QStringLiteral(" non ha accettato la connessione."),
             r);
    if (account_.imapSecurity == MailAccount::Security::StartTls) {
        r = mailimap_starttls(imap_);
        if (r != MAILIMAP_NO_ERROR)
            fail(QStringLiteral("Il server di posta non consente la connessione protetta (STARTTLS)."), r);
        // Nothing the server sent before the handshake may be read as protected.
        if (imap_->imap_stream->read_buffer_len != 0)
            fail(MailUnexpectedStartTlsAnswer(), MAILIMAP_ERROR_STARTTLS);
        connection_->StartTls();
    }
    if (!authenticated) {
        r = mailimap_login(imap_, account_.user.toUtf8().constData(), account_.password.toUtf8().constData());
        if (r == MAILIMAP_ERROR_LOGIN) {
            drop();
            MailFail(MailLoginFailed());
        }
        if (r != MAILIMAP_NO_ERROR) fail(QStringLiteral("Accesso alla casella di posta non riuscito."), r);
    }
    r = mailimap_examine(imap_, "INBOX");
    if (r != MAILIMAP_NO_ERROR) fail(QStringLiteral("Impossibile aprire la casella di posta in arrivo."), r);
}

std::vector<ReceivedMail> ImapInbox::List(const QString& prefix, int limit,
                                          const std::function<void(const ReceivedMail&)>& each) {
    if (!imap_ || limit <= 0) return {};
    // Heard here only once the exchange is over: a breach takes back what was read before it.
    std::vector<ReceivedMail> list;
    breached_ = false;
    const auto tell = [&] {
        if (each && !breached_)
            for (const ReceivedMail& m : list)
                each(m);
    };
    try {
        thread_->Run([&] { listSteps(prefix, limit, list); }, stopping());
    } catch (...) {
        tell();
        throw;
    }
    tell();
    return list;
}

void ImapInbox::listSteps(const QString& prefix, int limit, std::vector<ReceivedMail>& list) {
    const QByteArray needle = prefix.toUtf8();
    mailimap_search_key* key = mailimap_search_key_new_header(strdup("Subject"), strdup(needle.constData()));
    clist* found = nullptr;
    int r = mailimap_uid_search(imap_, nullptr, key, &found);
    mailimap_search_key_free(key);
    if (r != MAILIMAP_NO_ERROR) fail(QStringLiteral("Ricerca nella casella di posta non riuscita."), r);
    std::vector<uint32_t> uids;
    for (clistiter* it = clist_begin(found); it; it = clist_next(it))
        uids.push_back(*static_cast<uint32_t*>(clist_content(it)));
    mailimap_search_result_free(found);
    // The newest arrival has the highest identifier.
    std::sort(uids.begin(), uids.end(), std::greater<>());

    for (size_t start = 0; start < uids.size() && static_cast<int>(list.size()) < limit; start += kBatch) {
        const size_t end = std::min(uids.size(), start + kBatch);
        mailimap_set* set = mailimap_set_new_empty();
        for (size_t i = start; i < end; ++i)
            mailimap_set_add_single(set, uids[i]);
        mailimap_fetch_type* type = mailimap_fetch_type_new_fetch_att_list_empty();
        mailimap_fetch_type_new_fetch_att_list_add(type, mailimap_fetch_att_new_uid());
        mailimap_fetch_type_new_fetch_att_list_add(type, mailimap_fetch_att_new_internaldate());
        clist* names = clist_new();
        clist_append(names, strdup("Subject"));
        mailimap_section* section = mailimap_section_new_header_fields(mailimap_header_list_new(names));
        mailimap_fetch_type_new_fetch_att_list_add(type, mailimap_fetch_att_new_body_peek_section(section));
        clist* answers = nullptr;
        r = mailimap_uid_fetch(imap_, set, type, &answers);
        mailimap_fetch_type_free(type);
        mailimap_set_free(set);
        if (r != MAILIMAP_NO_ERROR) fail(QStringLiteral("Lettura della casella di posta non riuscita."), r);
        std::map<uint32_t, Fetched> byUid;
        for (clistiter* it = clist_begin(answers); it; it = clist_next(it)) {
            uint32_t uid = 0;
            Fetched f;
            readItems(static_cast<mailimap_msg_att*>(clist_content(it)), uid, f);
            if (uid) byUid[uid] = std::move(f);
        }
        mailimap_fetch_list_free(answers);
        for (size_t i = start; i < end && static_cast<int>(list.size()) < limit; ++i) {
            auto it = byUid.find(uids[i]);
            // The server's search ignores case and may match elsewhere: the prefix is checked here.
            if (it == byUid.end() || !it->second.subject.startsWith(prefix)) continue;
            list.push_back({it->second.received, it->second.subject});
        }
    }
}

void ImapInbox::SignOff() {
    if (!thread_) return;
    thread_->Run(
        [this] {
            if (imap_ && imap_->imap_stream) mailimap_logout(imap_);
            drop();
        },
        stopping());
    thread_.reset();
}
