// SMTP through libcurl.
#include "platform/SmtpSender.h"

#include <QSysInfo>

#include <curl/curl.h>

#include <algorithm>
#include <cstring>
#include <mutex>

#include "base/AppError.h"
#include "platform/Clock.h"
#include "platform/MailErrors.h"

namespace {

void initCurl() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// One libcurl transfer and what the server said during it.
class CurlTransfer {
  public:
    CurlTransfer(const MailAccount& account, bool connectOnly) : account_(account) {
        curl_ = curl_easy_init();
        if (!curl_) MailFail(QStringLiteral("Impossibile preparare l'invio della posta."));
        const bool implicitTls = account.smtpSecurity == MailAccount::Security::Tls;
        QString helo = QSysInfo::machineHostName();
        if (helo.isEmpty()) helo = QStringLiteral("localhost");
        const QByteArray url =
            ((implicitTls ? QStringLiteral("smtps://") : QStringLiteral("smtp://")) +
             MailHostPort(account.smtpServer.trimmed(), account.smtpPort) + QLatin1Char('/') + helo)
                .toUtf8();
        curl_easy_setopt(curl_, CURLOPT_URL, url.constData());
        curl_easy_setopt(curl_, CURLOPT_PROTOCOLS_STR, "smtp,smtps");
        curl_easy_setopt(
            curl_, CURLOPT_USE_SSL,
            account.smtpSecurity == MailAccount::Security::None ? CURLUSESSL_NONE : CURLUSESSL_ALL);
        curl_easy_setopt(curl_, CURLOPT_SSL_VERIFYPEER, 1L);
        curl_easy_setopt(curl_, CURLOPT_SSL_VERIFYHOST, 2L);
        if (!account.user.isEmpty()) {
            curl_easy_setopt(curl_, CURLOPT_USERNAME, account.user.toUtf8().constData());
            curl_easy_setopt(curl_, CURLOPT_PASSWORD, account.password.toUtf8().constData());
        }
        const long seconds = std::max(1, account.timeoutSeconds);
        curl_easy_setopt(curl_, CURLOPT_CONNECTTIMEOUT, seconds);
        curl_easy_setopt(curl_, CURLOPT_SERVER_RESPONSE_TIMEOUT, seconds);
        curl_easy_setopt(curl_, CURLOPT_TIMEOUT, seconds * 4);
        curl_easy_setopt(curl_, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(curl_, CURLOPT_ERRORBUFFER, error_);
        // The debug stream is how the server's replies are seen.
        curl_easy_setopt(curl_, CURLOPT_VERBOSE, 1L);
        curl_easy_setopt(curl_, CURLOPT_DEBUGFUNCTION, &CurlTransfer::debug);
        curl_easy_setopt(curl_, CURLOPT_DEBUGDATA, this);
        if (connectOnly) curl_easy_setopt(curl_, CURLOPT_CONNECT_ONLY, 1L);
    }
    ~CurlTransfer() {
        if (recipients_) curl_slist_free_all(recipients_);
        if (curl_) curl_easy_cleanup(curl_);
    }
    CurlTransfer(const CurlTransfer&) = delete;
    CurlTransfer& operator=(const CurlTransfer&) = delete;

    void setMessage(const QString& from, const QString& to, QByteArray payload) {
        payload_ = std::move(payload);
        curl_easy_setopt(curl_, CURLOPT_MAIL_FROM, ('<' + from.toUtf8() + '>').constData());
        recipients_ = curl_slist_append(recipients_, ('<' + to.toUtf8() + '>').constData());
        curl_easy_setopt(curl_, CURLOPT_MAIL_RCPT, recipients_);
        curl_easy_setopt(curl_, CURLOPT_READFUNCTION, &CurlTransfer::read);
        curl_easy_setopt(curl_, CURLOPT_READDATA, this);
        curl_easy_setopt(curl_, CURLOPT_UPLOAD, 1L);
        curl_easy_setopt(curl_, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(payload_.size()));
    }

    void perform() {
        const CURLcode rc = curl_easy_perform(curl_);
        if (rc != CURLE_OK) MailFail(describe(rc));
    }

  private:
    QString describe(CURLcode rc) const {
        const QString where = MailHostPort(account_.smtpServer.trimmed(), account_.smtpPort);
        const QString reply = QString::fromUtf8(failedReply_.isEmpty() ? lastReply_ : failedReply_);
        const QByteArray command = failedReply_.isEmpty() ? lastCommand_ : failedCommand_;
        QString detail = QString::fromUtf8(error_);
        if (detail.isEmpty()) detail = QString::fromUtf8(curl_easy_strerror(rc));
        switch (rc) {
            case CURLE_LOGIN_DENIED:
                return MailLoginFailed();
            case CURLE_COULDNT_RESOLVE_HOST:
                return QStringLiteral("Server di posta non trovato: ") + account_.smtpServer.trimmed();
            case CURLE_COULDNT_CONNECT:
                return QStringLiteral("Impossibile collegarsi al server di posta ") + where +
                       QStringLiteral(" (") + detail + QLatin1Char(')');
            case CURLE_OPERATION_TIMEDOUT:
                return QStringLiteral("Il server di posta ") + where + QStringLiteral(" non risponde.");
            case CURLE_PEER_FAILED_VERIFICATION:
#if LIBCURL_VERSION_NUM < 0x073e00
            case CURLE_SSL_CACERT:
#endif
                return QStringLiteral("Il certificato del server di posta ") + where +
                       QStringLiteral(" non è valido (") + detail + QLatin1Char(')');
            case CURLE_USE_SSL_FAILED:
            case CURLE_SSL_CONNECT_ERROR:
                return QStringLiteral("Connessione protetta con il server di posta ") + where +
                       QStringLiteral(" non riuscita (") + detail + QLatin1Char(')');
            default:
                break;
        }
        QString what;
        if (command == "RCPT")
            what = QStringLiteral("Destinatario rifiutato dal server di posta");
        else if (command == "MAIL")
            what = QStringLiteral("Mittente rifiutato dal server di posta");
        else
            what = QStringLiteral("Invio non riuscito tramite il server di posta ") + where;
        return MailWithReply(what, reply.isEmpty() ? detail : reply);
    }

    static int debug(CURL*, curl_infotype type, char* data, size_t size, void* self) {
        auto* t = static_cast<CurlTransfer*>(self);
        const QByteArray text = QByteArray(data, static_cast<qsizetype>(size)).trimmed();
        if (text.isEmpty()) return 0;
        if (type == CURLINFO_HEADER_IN) {
            t->lastReply_ = text.split('\n').last().trimmed();
            // The first refusal is the one to tell: a QUIT and its answer may follow it.
            if (t->failedReply_.isEmpty() &&
                (t->lastReply_.startsWith('4') || t->lastReply_.startsWith('5'))) {
                t->failedReply_ = t->lastReply_;
                t->failedCommand_ = t->lastCommand_;
            }
        }
        if (type == CURLINFO_HEADER_OUT) {
            const qsizetype blank = text.indexOf(' ');
            t->lastCommand_ = (blank < 0 ? text : text.left(blank)).toUpper();
        }
        return 0;
    }

    static size_t read(char* buffer, size_t size, size_t count, void* self) {
        auto* t = static_cast<CurlTransfer*>(self);
        const size_t n = std::min(size * count, static_cast<size_t>(t->payload_.size() - t->sent_));
        std::memcpy(buffer, t->payload_.constData() + t->sent_, n);
        t->sent_ += static_cast<qsizetype>(n);
        return n;
    }

    const MailAccount& account_;
    CURL* curl_ = nullptr;
    curl_slist* recipients_ = nullptr;
    QByteArray payload_;
    qsizetype sent_ = 0;
    QByteArray lastReply_;
    QByteArray lastCommand_;
    QByteArray failedReply_;
    QByteArray failedCommand_;
    char error_[CURL_ERROR_SIZE] = {};
};

}  // namespace

SmtpSender::SmtpSender(MailAccount account) : account_(std::move(account)) {
    initCurl();
}

void SmtpSender::CheckSignOn() {
    if (account_.IsEmpty()) MailFail(MailLoginFailed());
    if (!IsValidMailAddress(account_.sender))
        MailFail(QStringLiteral("L'account di posta non ha un indirizzo del mittente valido: \"") +
                 account_.sender + QLatin1Char('"'));
    CurlTransfer t(account_, true);
    t.perform();
}

void SmtpSender::Send(const MailMessage& message) {
    const QString to = message.recipientAddress.trimmed();
    if (to.isEmpty()) MailFail(QStringLiteral("Destinatario rifiutato: indirizzo mancante."));
    if (!IsValidMailAddress(to))
        MailFail(QStringLiteral("Destinatario rifiutato: indirizzo non valido \"") +
                 message.recipientAddress + QLatin1Char('"'));
    MailMessage m = message;
    m.recipientAddress = to;
    CurlTransfer t(account_, false);
    t.setMessage(account_.sender, to, ComposeMail(m, account_.sender, Clock::nowDateTime()));
    t.perform();
}
