// The loopback HTTP server: one connection at a time, closed after each answer.
#include "support/HttpTestServer.h"

#include <QList>
#include <QUrl>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <stdexcept>

namespace {

QByteArray reason(int status) {
    switch (status) {
        case 200:
            return "OK";
        case 404:
            return "Not Found";
        case 500:
            return "Internal Server Error";
        default:
            return "Status";
    }
}

}  // namespace

HttpTestServer::HttpTestServer() {
    listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
    if (listener_ < 0) throw std::runtime_error("socket");
    const int yes = 1;
    ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener_, 8) != 0)
        throw std::runtime_error("bind/listen");
    socklen_t length = sizeof address;
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { run(); });
}

HttpTestServer::~HttpTestServer() {
    stopping_ = true;
    ::shutdown(listener_, SHUT_RDWR);
    thread_.join();
    ::close(listener_);
}

bool HttpTestServer::sendAll(int client, const QByteArray& data) {
    qint64 sent = 0;
    while (sent < data.size()) {
        // A client that reads nothing must not hold the server when it stops.
        if (stopping_) return false;
        pollfd p{client, POLLOUT, 0};
        if (::poll(&p, 1, 100) <= 0) continue;
        const ssize_t n = ::send(client, data.constData() + sent, static_cast<size_t>(data.size() - sent),
                                 MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
        if (n <= 0) return false;
        sent += n;
    }
    return true;
}

QString HttpTestServer::baseUrl() const {
    return QStringLiteral("http://127.0.0.1:%1").arg(port_);
}

void HttpTestServer::route(const QString& path, Handler handler) {
    std::lock_guard<std::mutex> lock(mutex_);
    handlers_[path] = std::move(handler);
}

void HttpTestServer::route(const QString& path, const Response& fixed) {
    route(path, [fixed](const Request&) { return fixed; });
}

std::vector<HttpTestServer::Request> HttpTestServer::requests() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
}

void HttpTestServer::run() {
    while (!stopping_) {
        pollfd p{listener_, POLLIN, 0};
        if (::poll(&p, 1, 100) <= 0) continue;
        const int client = ::accept(listener_, nullptr, nullptr);
        if (client < 0) continue;
        serve(client);
        ::close(client);
    }
}

void HttpTestServer::serve(int client) {
    QByteArray data;
    char buffer[4096];
    qsizetype headerEnd = -1;
    while ((headerEnd = data.indexOf("\r\n\r\n")) < 0) {
        const ssize_t n = ::recv(client, buffer, sizeof buffer, 0);
        if (n <= 0) return;
        data.append(buffer, n);
    }
    const QList<QByteArray> lines = data.left(headerEnd).split('\n');
    const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
    qint64 bodyLength = 0;
    for (const QByteArray& line : lines.mid(1)) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).trimmed().toLower() == "content-length")
            bodyLength = line.mid(colon + 1).trimmed().toLongLong();
    }
    QByteArray body = data.mid(headerEnd + 4);
    while (body.size() < bodyLength) {
        const ssize_t n = ::recv(client, buffer, sizeof buffer, 0);
        if (n <= 0) break;
        body.append(buffer, n);
    }
    Request request;
    request.method = first.value(0);
    const QUrl target(QString::fromUtf8(first.value(1)));
    request.path = target.path();
    request.query = QUrlQuery(target);
    request.body = body;

    Handler handler;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        requests_.push_back(request);
        auto it = handlers_.find(request.path);
        if (it != handlers_.end()) handler = it->second;
    }
    Response response;
    if (handler)
        response = handler(request);
    else
        response.status = 404;

    const auto send = [this, client](const QByteArray& data) { return sendAll(client, data); };
    if (response.stream && response.raw) {
        response.stream(send);
        ::shutdown(client, SHUT_WR);
        return;
    }
    QByteArray head =
        "HTTP/1.1 " + QByteArray::number(response.status) + ' ' + reason(response.status) + "\r\n";
    head += "Content-Type: " + response.contentType + "\r\n";
    if (response.contentLength != -2)
        head +=
            "Content-Length: " +
            QByteArray::number(response.contentLength < 0 ? response.body.size() : response.contentLength) +
            "\r\n";
    head += "Connection: close\r\n\r\n";
    if (sendAll(client, head) && sendAll(client, response.body) && response.stream) response.stream(send);
    ::shutdown(client, SHUT_WR);
}

void HttpTestServer::SendEndlessly(const Send& send) {
    const QByteArray chunk(64 * 1024, 'x');
    while (send(chunk)) {
    }
}

void HttpTestServer::Drip(const Send& send) {
    while (send("x"))
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
}

void HttpTestServer::FloodHeaders(const Send& send) {
    if (!send("HTTP/1.1 200 OK\r\n")) return;
    const QByteArray line = "X-Riempitivo: " + QByteArray(200, 'a') + "\r\n";
    while (send(line)) {
    }
}
