// SMTP through libcurl.
#include "platform/SmtpSender.h"

#include <QSysInfo>

#include <curl/curl.h>
#include <linux/tcp.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <mutex>

#include "base/AppError.h"
#include "platform/Clock.h"
#include "platform/MailErrors.h"

namespace {

// libcurl's own bound on what the replies of one transfer may hold.
constexpr qint64 kReplyBound = 300 * 1024;

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
        curl_easy_setopt(curl_, CURLOPT_TIMEOUT, static_cast<long>(account.DeadlineSeconds()));
        curl_easy_setopt(curl_, CURLOPT_NOSIGNAL, 1L);
        // The debug stream is how the server's replies are seen.
        curl_easy_setopt(curl_, CURLOPT_VERBOSE, 1L);
        curl_easy_setopt(curl_, CURLOPT_DEBUGFUNCTION, &CurlTransfer::debug);
        curl_easy_setopt(curl_, CURLOPT_DEBUGDATA, this);
        // What a TLS hello got back is seen in no reply: the socket says whether anything came.
        curl_easy_setopt(curl_, CURLOPT_CLOSESOCKETFUNCTION, &CurlTransfer::closeSocket);
        curl_easy_setopt(curl_, CURLOPT_CLOSESOCKETDATA, this);
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
        long replies = 0;
        curl_easy_getinfo(curl_, CURLINFO_HEADER_SIZE, &replies);
        if (rc == CURLE_RECV_ERROR && replies > kReplyBound) return MailTooLong(where, kReplyBound);
        // The reply to STARTTLS was not the go-ahead alone.
        if (rc == CURLE_WEIRD_SERVER_REPLY && lastCommand_ == "STARTTLS")
            return MailUnexpectedStartTlsAnswer();
        switch (rc) {
            case CURLE_LOGIN_DENIED:
                return MailLoginFailed();
            case CURLE_COULDNT_RESOLVE_HOST:
                return QStringLiteral("Server di posta non trovato: ") + account_.smtpServer.trimmed();
            case CURLE_COULDNT_CONNECT:
                return MailNoConnection(where);
            case CURLE_OPERATION_TIMEDOUT: {
                curl_off_t spent = 0;
                curl_easy_getinfo(curl_, CURLINFO_TOTAL_TIME_T, &spent);
                const int deadline = account_.DeadlineSeconds();
                return spent >= static_cast<curl_off_t>(deadline) * 1000000 ? MailLate(where, deadline)
                                                                            : MailSilent(where);
            }
            case CURLE_PEER_FAILED_VERIFICATION:
#if LIBCURL_VERSION_NUM < 0x073e00
            case CURLE_SSL_CACERT:
#endif
                return MailCertificateRefused(where, certificateFault());
            case CURLE_USE_SSL_FAILED:
                // The server did not offer STARTTLS, or answered it with something else than the
                // go-ahead, which is quoted.
                return lastCommand_ != "STARTTLS" || lastReply_.isEmpty()
                           ? MailProtectionFailed(where) + QStringLiteral(" Il server non la consente.")
                           : MailWithReply(MailProtectionFailed(where), QString::fromUtf8(lastReply_));
            case CURLE_SSL_CONNECT_ERROR:
                return answered_ ? MailProtectionFailed(where) : MailHungUp(where);
            default:
                break;
        }
        QString what;
        if (failedCommand_ == "RCPT")
            what = QStringLiteral("Destinatario rifiutato dal server di posta");
        else if (failedCommand_ == "MAIL")
            what = QStringLiteral("Mittente rifiutato dal server di posta");
        else
            what = QStringLiteral("Invio non riuscito tramite il server di posta ") + where;
        // The server's refusal is quoted as it gave it; without one, what happened is said.
        if (!failedReply_.isEmpty()) return MailWithReply(what, QString::fromUtf8(failedReply_));
        switch (rc) {
            case CURLE_GOT_NOTHING:
            case CURLE_RECV_ERROR:
            case CURLE_SEND_ERROR:
                return answered_ ? what + QStringLiteral("\rIl server di posta ha chiuso la connessione.")
                                 : MailHungUp(where);
            case CURLE_WEIRD_SERVER_REPLY:
                return what + QStringLiteral("\rRisposta del server di posta non valida.");
            default:
                return what + QStringLiteral(" (errore %1).").arg(static_cast<int>(rc));
        }
    }

    // Why the certificate was refused, from the verification's result: GnuTLS's status bits or
    // OpenSSL's error number, as the library was built.
    MailCertificateFault certificateFault() const {
        long result = 0;
        curl_easy_getinfo(curl_, CURLINFO_SSL_VERIFYRESULT, &result);
        const curl_version_info_data* version = curl_version_info(CURLVERSION_NOW);
        if (version->ssl_version && std::strncmp(version->ssl_version, "GnuTLS", 6) == 0) {
            if (result & 0x400) return MailCertificateFault::Expired;       // expired
            if (result & 0x200) return MailCertificateFault::NotYetValid;   // not activated
            if (result & 0x20) return MailCertificateFault::Revoked;        // revoked
            if (result & 0x4000) return MailCertificateFault::WrongName;    // unexpected owner
            if (result & 0xC0) return MailCertificateFault::UnknownIssuer;  // signer not found, not a CA
            if (result == 0) return MailCertificateFault::WrongName;        // the name checked after it
            return MailCertificateFault::Other;
        }
        switch (result) {
            case 18:  // the certificate itself, self-signed
            case 19:  // a self-signed certificate in the chain
                return MailCertificateFault::SelfSigned;
            case 2:   // issuer not found
            case 20:  // local issuer not found
            case 21:  // the first certificate not verifiable
            case 27:  // not trusted
                return MailCertificateFault::UnknownIssuer;
            case 9:
                return MailCertificateFault::NotYetValid;
            case 10:
                return MailCertificateFault::Expired;
            case 23:
                return MailCertificateFault::Revoked;
            case 0:   // verified, yet refused: the name checked after it
            case 62:  // host name mismatch
            case 64:  // IP address mismatch
                return MailCertificateFault::WrongName;
            default:
                return MailCertificateFault::Other;
        }
    }

    static int debug(CURL*, curl_infotype type, char* data, size_t size, void* self) {
        auto* t = static_cast<CurlTransfer*>(self);
        const QByteArray text = QByteArray(data, static_cast<qsizetype>(size)).trimmed();
        if (text.isEmpty()) return 0;
        if (type == CURLINFO_HEADER_IN) {
            t->answered_ = true;
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
            t->lastReply_.clear();
        }
        return 0;
    }

    static int closeSocket(void* self, curl_socket_t socket) {
        tcp_info info{};
        socklen_t size = sizeof info;
        // The server's closing counts as one byte.
        if (::getsockopt(socket, IPPROTO_TCP, TCP_INFO, &info, &size) == 0 && info.tcpi_bytes_received > 1)
            static_cast<CurlTransfer*>(self)->answered_ = true;
        return ::close(socket);
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
    bool answered_ = false;
};

}  // namespace

SmtpSender::SmtpSender(MailAccount account) : account_(std::move(account)) {
    initCurl();
}

void SmtpSender::CheckSignOn() {
    if (account_.IsEmpty()) MailFail(MailLoginFailed());
    account_.RequireSingleLines();
    if (!IsValidMailAddress(account_.sender))
        MailFail(QStringLiteral("L'account di posta non ha un indirizzo del mittente valido: \"") +
                 account_.sender + QLatin1Char('"'));
    CurlTransfer t(account_, true);
    t.perform();
}

void SmtpSender::Send(const MailMessage& message) {
    account_.RequireSingleLines();
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
