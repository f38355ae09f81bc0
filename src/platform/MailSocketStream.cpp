// The libetpan stream driver over a QSslSocket, used blocking: every call waits for the socket,
// never for an event loop.
#include "platform/MailSocketStream.h"

#include <QSslSocket>
#include <QUrl>

#include <libetpan/libetpan.h>

#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <thread>

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

QList<QHostAddress> systemLookup(const QByteArray& name) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_ADDRCONFIG;
    addrinfo* found = nullptr;
    if (::getaddrinfo(name.constData(), nullptr, &hints, &found) != 0) return {};
    QList<QHostAddress> addresses;
    for (const addrinfo* a = found; a; a = a->ai_next) {
        const QHostAddress address(a->ai_addr);
        if (!address.isNull() && !addresses.contains(address)) addresses.append(address);
    }
    ::freeaddrinfo(found);
    return addresses;
}

std::mutex lookupMutex;
MailSocketStream::HostLookup& hostLookup() {
    static MailSocketStream::HostLookup lookup = &systemLookup;
    return lookup;
}

int millisecondsUntil(std::chrono::steady_clock::time_point end) {
    return static_cast<int>(std::max<long long>(
        0, std::chrono::ceil<std::chrono::milliseconds>(end - std::chrono::steady_clock::now()).count()));
}

}  // namespace

MailSocketStream::HostLookup MailSocketStream::SetHostLookup(HostLookup lookup) {
    std::lock_guard<std::mutex> lock(lookupMutex);
    std::swap(hostLookup(), lookup);
    return lookup;
}

MailSocketStream::Switch::~Switch() {
    unwatch();
}

void MailSocketStream::Switch::Stop() {
    std::lock_guard<std::mutex> lock(mutex_);
    stopped_ = true;
    if (watched_ >= 0) ::shutdown(watched_, SHUT_RDWR);
    if (wake_) wake_();
}

bool MailSocketStream::Switch::Stopped() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return stopped_;
}

void MailSocketStream::Switch::watch(int descriptor) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (watched_ >= 0) ::close(watched_);
    watched_ = ::fcntl(descriptor, F_DUPFD_CLOEXEC, 0);
    if (stopped_ && watched_ >= 0) ::shutdown(watched_, SHUT_RDWR);
}

void MailSocketStream::Switch::wakeOnStop(std::function<void()> wake) {
    std::lock_guard<std::mutex> lock(mutex_);
    wake_ = std::move(wake);
    if (stopped_ && wake_) wake_();
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
    // The lookup, the connection and the handshake share the one wait.
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(limit);
    int error = ETIMEDOUT;
    // Each address in turn, as they came; the last one's failure is told.
    for (const QHostAddress& address : addresses(end, limit)) {
        error = connectTo(address, end);
        if (error == 0 || error == ETIMEDOUT || Stopped()) break;
    }
    if (Stopped()) MailFailStopped();
    if (error == ETIMEDOUT) {
        cut_ = timeoutCut(limit);
        MailFail(CutText());
    }
    if (error != 0) MailFail(MailNoConnection(Where()));
    // The certificate, now or after STARTTLS, is checked against the name, not the address.
    socket_->setPeerVerifyName(host_);
    if (!tls) return;
    socket_->startClientEncryption();
    if (!socket_->waitForEncrypted(std::max(1, millisecondsUntil(end))) || Stopped()) failTls(limit);
}

QList<QHostAddress> MailSocketStream::addresses(std::chrono::steady_clock::time_point end, int limit) {
    QHostAddress literal;
    if (literal.setAddress(host_)) return {literal};
    const QByteArray name = QUrl::toAce(host_);
    if (name.isEmpty()) MailFail(QStringLiteral("Server di posta non trovato: ") + host_);
    struct Pending {
        std::mutex mutex;
        std::condition_variable changed;
        bool found = false;
        bool stopped = false;
        QList<QHostAddress> addresses;
    };
    const auto pending = std::make_shared<Pending>();
    HostLookup lookup;
    {
        std::lock_guard<std::mutex> lock(lookupMutex);
        lookup = hostLookup();
    }
    // A lookup cannot be interrupted: once stopped it is left to end by itself, unheard.
    std::thread([pending, lookup, name] {
        QList<QHostAddress> addresses = lookup(name);
        std::lock_guard<std::mutex> lock(pending->mutex);
        pending->addresses = std::move(addresses);
        pending->found = true;
        pending->changed.notify_all();
    }).detach();
    if (stop_)
        stop_->wakeOnStop([pending] {
            std::lock_guard<std::mutex> lock(pending->mutex);
            pending->stopped = true;
            pending->changed.notify_all();
        });
    QList<QHostAddress> found;
    bool over = false;
    {
        std::unique_lock<std::mutex> lock(pending->mutex);
        over = pending->changed.wait_until(lock, end, [&] { return pending->found || pending->stopped; });
        found = pending->addresses;
    }
    if (stop_) stop_->wakeOnStop({});
    if (Stopped()) MailFailStopped();
    if (!over) {
        cut_ = timeoutCut(limit);
        MailFail(CutText());
    }
    if (found.isEmpty()) MailFail(QStringLiteral("Server di posta non trovato: ") + host_);
    return found;
}

int MailSocketStream::connectTo(const QHostAddress& address, std::chrono::steady_clock::time_point end) {
    sockaddr_storage peer{};
    socklen_t size = 0;
    if (address.protocol() == QAbstractSocket::IPv4Protocol) {
        auto* in = reinterpret_cast<sockaddr_in*>(&peer);
        in->sin_family = AF_INET;
        in->sin_port = htons(static_cast<quint16>(port_));
        in->sin_addr.s_addr = htonl(address.toIPv4Address());
        size = sizeof *in;
    } else {
        auto* in6 = reinterpret_cast<sockaddr_in6*>(&peer);
        in6->sin6_family = AF_INET6;
        in6->sin6_port = htons(static_cast<quint16>(port_));
        const Q_IPV6ADDR bytes = address.toIPv6Address();
        std::memcpy(&in6->sin6_addr, bytes.c, sizeof bytes.c);
        in6->sin6_scope_id = address.scopeId().toUInt();
        size = sizeof *in6;
    }
    const int fd = ::socket(peer.ss_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) return errno;
    int error = ::connect(fd, reinterpret_cast<sockaddr*>(&peer), size) == 0 ? 0 : errno;
    // Watched once connecting: shutting a socket not yet connecting would not stop its connect.
    if (stop_) stop_->watch(fd);
    while (error == EINPROGRESS || error == EINTR) {
        const int left = millisecondsUntil(end);
        if (left == 0) {
            error = ETIMEDOUT;
            break;
        }
        pollfd p{fd, POLLOUT, 0};
        const int ready = ::poll(&p, 1, left);
        if (ready < 0 && errno != EINTR) error = errno;
        if (ready <= 0) continue;
        socklen_t length = sizeof error;
        ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length);
    }
    if (error == 0 && !Stopped() && socket_->setSocketDescriptor(fd)) return 0;
    ::close(fd);
    return error == 0 ? ECONNABORTED : error;
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
