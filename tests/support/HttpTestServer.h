// A small HTTP server on the loopback address for tests: answers each GET or POST from a handler
// per path, records the requests, and can send a short body to play a broken transfer, or stream
// an answer piece by piece to play a server that never ends or drips. It runs on a thread of its
// own, so that blocking clients and event-loop clients both reach it.
#pragma once

#include <QByteArray>
#include <QString>
#include <QUrlQuery>

#include <atomic>
#include <functional>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

class HttpTestServer {
  public:
    struct Request {
        QByteArray method;
        QString path;  // without the query
        QUrlQuery query;
        QByteArray body;
    };
    struct Response {
        int status = 200;
        QByteArray body;
        QByteArray contentType = "application/octet-stream";
        // The Content-Length sent: -1 the body's size, -2 none (the end of the body is the
        // connection's close). A length above the body's size plays a transfer cut short.
        qint64 contentLength = -1;
        // Sends what follows the head (or, with `raw`, the whole answer, status line included) one
        // piece at a time until it returns; `send` answers false once the client has gone or the
        // server is stopping.
        std::function<void(const std::function<bool(const QByteArray&)>& send)> stream = {};
        bool raw = false;
    };
    using Handler = std::function<Response(const Request&)>;
    using Send = std::function<bool(const QByteArray&)>;

    // Streams of a hostile server, for `Response::stream`: 64 KB pieces without end, a byte every
    // 300 ms, and (with `raw`) a status line followed by header lines without end.
    static void SendEndlessly(const Send& send);
    static void Drip(const Send& send);
    static void FloodHeaders(const Send& send);

    // Listens on 127.0.0.1 at a free port.
    HttpTestServer();
    ~HttpTestServer();
    HttpTestServer(const HttpTestServer&) = delete;
    HttpTestServer& operator=(const HttpTestServer&) = delete;

    // "http://127.0.0.1:<port>"
    QString baseUrl() const;
    // Paths without a handler answer 404.
    void route(const QString& path, Handler handler);
    void route(const QString& path, const Response& fixed);
    std::vector<Request> requests() const;

  private:
    void run();
    void serve(int client);
    // False when the client went away or the server is stopping.
    bool sendAll(int client, const QByteArray& data);

    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    mutable std::mutex mutex_;
    std::map<QString, Handler> handlers_;
    std::vector<Request> requests_;
    std::thread thread_;
};
