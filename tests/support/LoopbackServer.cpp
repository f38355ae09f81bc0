// The loopback server's accept loop and connection reading.
#include "support/LoopbackServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>

LoopbackServer::LoopbackServer(int port) {
    listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
    if (listener_ < 0) throw std::runtime_error("socket");
    const int yes = 1;
    ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener_, 16) != 0)
        throw std::runtime_error("bind/listen");
    socklen_t length = sizeof address;
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    acceptor_ = std::thread([this] { run(); });
}

LoopbackServer::~LoopbackServer() {
    stop();
}

void LoopbackServer::stop() {
    if (stopping_.exchange(true)) return;
    ::shutdown(listener_, SHUT_RDWR);
    acceptor_.join();
    ::close(listener_);
    std::lock_guard<std::mutex> lock(mutex_);
    for (std::thread& t : clients_)
        t.join();
}

void LoopbackServer::run() {
    while (!stopping_) {
        pollfd p{listener_, POLLIN, 0};
        if (::poll(&p, 1, 50) <= 0) continue;
        const int fd = ::accept(listener_, nullptr, nullptr);
        if (fd < 0) continue;
        ++connections_;
        std::lock_guard<std::mutex> lock(mutex_);
        clients_.emplace_back([this, fd] {
            Connection c(fd, stopping_);
            serve(c);
            ::close(fd);
        });
    }
}

bool LoopbackServer::Connection::fill() {
    char chunk[16384];
    while (!stopping_) {
        pollfd p{fd_, POLLIN, 0};
        const int r = ::poll(&p, 1, 50);
        if (r < 0) return false;
        if (r == 0) continue;
        const ssize_t n = ::recv(fd_, chunk, sizeof chunk, 0);
        if (n <= 0) return false;
        buffer_.append(chunk, n);
        return true;
    }
    return false;
}

bool LoopbackServer::Connection::readLine(QByteArray& line) {
    qsizetype end;
    while ((end = buffer_.indexOf("\r\n")) < 0)
        if (!fill()) return false;
    line = buffer_.left(end);
    buffer_.remove(0, end + 2);
    return true;
}

bool LoopbackServer::Connection::readBytes(qsizetype count, QByteArray& out) {
    while (buffer_.size() < count)
        if (!fill()) return false;
    out = buffer_.left(count);
    buffer_.remove(0, count);
    return true;
}

bool LoopbackServer::Connection::send(const QByteArray& data) {
    qsizetype sent = 0;
    while (sent < data.size()) {
        // A client that stops reading must not hold the server past its stop.
        pollfd p{fd_, POLLOUT, 0};
        const int r = ::poll(&p, 1, 50);
        if (r < 0 || stopping_) return false;
        if (r == 0) continue;
        const ssize_t n =
            ::send(fd_, data.constData() + sent, static_cast<size_t>(data.size() - sent), MSG_NOSIGNAL);
        if (n <= 0) return false;
        sent += n;
    }
    return true;
}

qint64 LoopbackServer::Connection::flood(const QByteArray& unit, qint64 bytes, int ms) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    QByteArray chunk;
    while (chunk.size() < 64 * 1024)
        chunk += unit;
    qint64 sent = 0;
    while (sent < bytes && std::chrono::steady_clock::now() < end && send(chunk))
        sent += chunk.size();
    return sent;
}

bool LoopbackServer::Connection::pause(int ms) {
    for (int waited = 0; waited < ms && !stopping_; waited += 10)
        ::usleep(10000);
    return !stopping_;
}

void LoopbackServer::Connection::stayQuiet() {
    while (fill())
        buffer_.clear();
}
