// The libetpan stream driver over a QSslSocket, used blocking: every call waits for the socket,
// never for an event loop.
#include "platform/MailSocketStream.h"

#include <QSslSocket>

#include <libetpan/libetpan.h>

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/MailErrors.h"

namespace {

MailCertificateFault faultOf(QSslError::SslError error) {
    switch (error) {
        case QSslError::SelfSignedCertificate:
        case QSslError::SelfSignedCertificateInChain:
            return MailCertificateFault::SelfSigned;
        case QSslError::UnableToGetIssuerCertificate:
        case QSslError::UnableToGetLocalIssuerCertificate:
        case QSslError::UnableToVerifyFirstCertificate:
        case QSslError::CertificateUntrusted:
        case QSslError::InvalidCaCertificate:
            return MailCertificateFault::UnknownIssuer;
        case QSslError::CertificateExpired:
            return MailCertificateFault::Expired;
        case QSslError::CertificateNotYetValid:
            return MailCertificateFault::NotYetValid;
        case QSslError::HostNameMismatch:
            return MailCertificateFault::WrongName;
        case QSslError::CertificateRevoked:
            return MailCertificateFault::Revoked;
        default:
            return MailCertificateFault::Other;
    }
}

}  // namespace

MailSocketStream::Switch::~Switch() {
    unwatch();
}

void MailSocketStream::Switch::Stop() {
    std::lock_guard<std::mutex> lock(mutex_);
    stopped_ = true;
    if (watched_ >= 0) ::shutdown(watched_, SHUT_RDWR);
}

bool MailSocketStream::Switch::Stopped() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return stopped_;
}

void MailSocketStream::Switch::watch(qintptr descriptor) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (watched_ >= 0 || descriptor < 0) return;
    watched_ = ::fcntl(static_cast<int>(descriptor), F_DUPFD_CLOEXEC, 0);
    if (stopped_ && watched_ >= 0) ::shutdown(watched_, SHUT_RDWR);
}

void MailSocketStream::Switch::unwatch() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (watched_ >= 0) ::close(watched_);
    watched_ = -1;
}

struct MailSocketStream::Driver {
    static MailSocketStream& self(mailstream_low* s) { return *static_cast<MailSocketStream*>(s->data); }

    static ssize_t cut(MailSocketStream& c, Cut why) {
        c.cut_ = why;
        return -1;
    }

    // Once cut, the server is not waited for again.
    static ssize_t read(mailstream_low* s, void* buffer, size_t count) {
        MailSocketStream& c = self(s);
        QSslSocket* so = c.socket_.get();
        if (c.cut_ != Cut::None || c.Stopped()) return -1;
        while (so->bytesAvailable() == 0) {
            const int limit = c.waitLimit();
            if (limit <= 0) return cut(c, Cut::Late);
            if (!so->waitForReadyRead(limit)) {
                if (so->state() == QAbstractSocket::UnconnectedState) return 0;
                if (so->error() == QAbstractSocket::SocketTimeoutError) return cut(c, c.timeoutCut(limit));
                return -1;
            }
        }
        // What does not fit within the bound is never read.
        const qint64 room = kMaxResponseBytes - c.received_;
        if (room <= 0) return cut(c, Cut::TooLong);
        const qint64 n = so->read(static_cast<char*>(buffer), std::min(static_cast<qint64>(count), room));
        if (n > 0) {
            c.received_ += n;
            c.answered_ = true;
        }
        return static_cast<ssize_t>(n);
    }
    static ssize_t write(mailstream_low* s, const void* buffer, size_t count) {
        MailSocketStream& c = self(s);
        QSslSocket* so = c.socket_.get();
        if (c.cut_ != Cut::None || c.Stopped()) return -1;
        // A command: the response to it is bounded afresh.
        c.received_ = 0;
        if (so->write(static_cast<const char*>(buffer), static_cast<qint64>(count)) !=
            static_cast<qint64>(count))
            return -1;
        while (so->bytesToWrite() > 0) {
            const int limit = c.waitLimit();
            if (limit <= 0) return cut(c, Cut::Late);
            if (!so->waitForBytesWritten(limit)) {
                if (so->error() == QAbstractSocket::SocketTimeoutError) return cut(c, c.timeoutCut(limit));
                return -1;
            }
        }
        return static_cast<ssize_t>(count);
    }
    static int close(mailstream_low* s) {
        MailSocketStream& c = self(s);
        c.socket_->abort();
        // The duplicate would keep the connection open.
        if (c.stop_) c.stop_->unwatch();
        return 0;
    }
    static int fd(mailstream_low* s) { return static_cast<int>(self(s).socket_->socketDescriptor()); }
    static void free(mailstream_low* s) { std::free(s); }
    static struct mailstream_cancel* cancel(mailstream_low*) { return nullptr; }

    static mailstream_low_driver* table() {
        static mailstream_low_driver d = [] {
            mailstream_low_driver t;
            std::memset(&t, 0, sizeof t);
            t.mailstream_read = &Driver::read;
            t.mailstream_write = &Driver::write;
            t.mailstream_close = &Driver::close;
            t.mailstream_get_fd = &Driver::fd;
            t.mailstream_free = &Driver::free;
            t.mailstream_get_cancel = &Driver::cancel;
            return t;
        }();
        return &d;
    }
};

MailSocketStream::MailSocketStream(QString host, int port, int timeoutMs, int deadlineSeconds, Switch* stop)
    : host_(std::move(host)),
      port_(port),
      timeoutMs_(timeoutMs),
      deadlineSeconds_(deadlineSeconds),
      deadline_(std::chrono::steady_clock::now() + std::chrono::seconds(deadlineSeconds)),
      stop_(stop),
      socket_(std::make_unique<QSslSocket>()) {}

MailSocketStream::~MailSocketStream() {
    if (stop_) stop_->unwatch();
}

void MailSocketStream::watch() {
    if (stop_) stop_->watch(socket_->socketDescriptor());
}

int MailSocketStream::waitLimit() const {
    const auto left =
        std::chrono::ceil<std::chrono::milliseconds>(deadline_ - std::chrono::steady_clock::now()).count();
    return static_cast<int>(std::clamp<long long>(left, 0, timeoutMs_));
}

MailSocketStream::Cut MailSocketStream::timeoutCut(int limit) const {
    return limit < timeoutMs_ ? Cut::Late : Cut::Silent;
}

QString MailSocketStream::CutText() const {
    switch (cut_) {
        case Cut::Silent:
            return MailSilent(Where());
        case Cut::Late:
            return MailLate(Where(), deadlineSeconds_);
        case Cut::TooLong:
            return MailTooLong(Where(), kMaxResponseBytes);
        case Cut::None:
            break;
    }
    return {};
}

void MailSocketStream::Connect(bool tls) {
    if (Stopped()) MailFailStopped();
    const int limit = waitLimit();
    // An address has its socket at once, a name once it is found.
    if (tls) {
        socket_->connectToHostEncrypted(host_, static_cast<quint16>(port_));
        watch();
        if (socket_->waitForEncrypted(limit) && !Stopped()) return watch();
        if (socket_->state() == QAbstractSocket::ConnectedState || !socket_->sslHandshakeErrors().isEmpty())
            failTls(limit);
    } else {
        socket_->connectToHost(host_, static_cast<quint16>(port_));
        watch();
        if (socket_->waitForConnected(limit) && !Stopped()) return watch();
    }
    if (Stopped()) MailFailStopped();
    switch (socket_->error()) {
        case QAbstractSocket::HostNotFoundError:
            MailFail(QStringLiteral("Server di posta non trovato: ") + host_);
        case QAbstractSocket::SocketTimeoutError:
            cut_ = timeoutCut(limit);
            MailFail(CutText());
        case QAbstractSocket::SslHandshakeFailedError:
            failTls(limit);
        case QAbstractSocket::RemoteHostClosedError:
            MailFail(MailHungUp(Where()));
        default:
            MailFail(MailNoConnection(Where()));
    }
}

QString MailSocketStream::Where() const {
    return MailHostPort(host_, port_);
}

void MailSocketStream::StartTls() {
    if (Stopped()) MailFailStopped();
    const int limit = waitLimit();
    if (limit <= 0) {
        cut_ = Cut::Late;
        MailFail(CutText());
    }
    socket_->startClientEncryption();
    if (!socket_->waitForEncrypted(limit)) failTls(limit);
}

void MailSocketStream::failTls(int limit) {
    if (Stopped()) MailFailStopped();
    const QList<QSslError> errors = socket_->sslHandshakeErrors();
    if (!errors.isEmpty()) MailFail(MailCertificateRefused(Where(), faultOf(errors.first().error())));
    switch (socket_->error()) {
        case QAbstractSocket::SocketTimeoutError:
            cut_ = timeoutCut(limit);
            MailFail(CutText());
        case QAbstractSocket::RemoteHostClosedError:
            MailFail(answered_ ? MailProtectionFailed(Where()) : MailHungUp(Where()));
        default:
            MailFail(MailProtectionFailed(Where()));
    }
}

_mailstream* MailSocketStream::NewStream() {
    mailstream_low* low = mailstream_low_new(this, Driver::table());
    if (!low) return nullptr;
    mailstream* s = mailstream_new(low, 8192);
    if (!s) mailstream_low_free(low);
    return s;
}
