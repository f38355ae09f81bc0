// The libetpan stream driver over a QSslSocket, used blocking: every call waits for the socket,
// never for the event loop.
#include "platform/MailSocketStream.h"

#include <QSslSocket>

#include <libetpan/libetpan.h>

#include <cstdlib>
#include <cstring>

#include "platform/MailErrors.h"

struct MailSocketStream::Driver {
    static MailSocketStream& self(mailstream_low* s) { return *static_cast<MailSocketStream*>(s->data); }

    // A server that stayed silent once is not waited for again.
    static ssize_t read(mailstream_low* s, void* buffer, size_t count) {
        MailSocketStream& c = self(s);
        QSslSocket* so = c.socket_.get();
        if (c.timedOut_) return -1;
        if (so->bytesAvailable() == 0 && !so->waitForReadyRead(c.timeoutMs_)) {
            if (so->state() == QAbstractSocket::UnconnectedState) return 0;
            c.timedOut_ = so->error() == QAbstractSocket::SocketTimeoutError;
            return -1;
        }
        return static_cast<ssize_t>(so->read(static_cast<char*>(buffer), static_cast<qint64>(count)));
    }
    static ssize_t write(mailstream_low* s, const void* buffer, size_t count) {
        MailSocketStream& c = self(s);
        QSslSocket* so = c.socket_.get();
        if (c.timedOut_) return -1;
        if (so->write(static_cast<const char*>(buffer), static_cast<qint64>(count)) !=
            static_cast<qint64>(count))
            return -1;
        while (so->bytesToWrite() > 0)
            if (!so->waitForBytesWritten(c.timeoutMs_)) {
                c.timedOut_ = so->error() == QAbstractSocket::SocketTimeoutError;
                return -1;
            }
        return static_cast<ssize_t>(count);
    }
    static int close(mailstream_low* s) {
        self(s).socket_->abort();
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

MailSocketStream::MailSocketStream(QString host, int port, int timeoutMs)
    : host_(std::move(host)), port_(port), timeoutMs_(timeoutMs), socket_(std::make_unique<QSslSocket>()) {}

MailSocketStream::~MailSocketStream() = default;

void MailSocketStream::Connect(bool tls) {
    const QString where = MailHostPort(host_, port_);
    if (tls) {
        socket_->connectToHostEncrypted(host_, static_cast<quint16>(port_));
        if (!socket_->waitForEncrypted(timeoutMs_)) {
            if (socket_->state() == QAbstractSocket::ConnectedState ||
                !socket_->sslHandshakeErrors().isEmpty())
                failTls();
        } else {
            return;
        }
    } else {
        socket_->connectToHost(host_, static_cast<quint16>(port_));
        if (socket_->waitForConnected(timeoutMs_)) return;
    }
    switch (socket_->error()) {
        case QAbstractSocket::HostNotFoundError:
            MailFail(QStringLiteral("Server di posta non trovato: ") + host_);
        case QAbstractSocket::SocketTimeoutError:
            MailFail(QStringLiteral("Il server di posta ") + where + QStringLiteral(" non risponde."));
        case QAbstractSocket::SslHandshakeFailedError:
            failTls();
        default:
            MailFail(QStringLiteral("Impossibile collegarsi al server di posta ") + where +
                     QStringLiteral(" (") + socket_->errorString() + QLatin1Char(')'));
    }
}

QString MailSocketStream::Where() const {
    return MailHostPort(host_, port_);
}

void MailSocketStream::StartTls() {
    socket_->startClientEncryption();
    if (!socket_->waitForEncrypted(timeoutMs_)) failTls();
}

void MailSocketStream::failTls() {
    const QString where = MailHostPort(host_, port_);
    const QList<QSslError> errors = socket_->sslHandshakeErrors();
    if (!errors.isEmpty())
        MailFail(QStringLiteral("Il certificato del server di posta ") + where +
                 QStringLiteral(" non è valido (") + errors.first().errorString() + QLatin1Char(')'));
    MailFail(QStringLiteral("Connessione protetta con il server di posta ") + where +
             QStringLiteral(" non riuscita (") + socket_->errorString() + QLatin1Char(')'));
}

_mailstream* MailSocketStream::NewStream() {
    mailstream_low* low = mailstream_low_new(this, Driver::table());
    if (!low) return nullptr;
    mailstream* s = mailstream_new(low, 8192);
    if (!s) mailstream_low_free(low);
    return s;
}
