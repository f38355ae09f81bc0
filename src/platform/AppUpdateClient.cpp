// The update client on libcurl. The transfer runs on a thread of its own while the window's
// events keep flowing here; what arrives goes straight to the file (or to the line) within its
// bounds, and the whole exchange ends by its deadline however the server behaves.
#include "platform/AppUpdateClient.h"

#include <QSaveFile>
#include <QUrl>
#include <QUrlQuery>

#include <curl/curl.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <thread>

#include "base/AppError.h"
#include "platform/EventWait.h"

namespace {

const QString kSource = QStringLiteral("APPLICATION UPDATE");
constexpr int64_t kMinRate = 16 * 1024;  // bytes a second a download is granted besides the deadline
constexpr int kMaxDeadlineMs = 60 * 60 * 1000;
constexpr int kMaxConnectMs = 15000;
constexpr auto kTick = std::chrono::milliseconds(50);

[[noreturn]] void Fail(const QString& description) {
    throw AppError(kAppErrorNumber, kSource, description);
}

QString VersionText(int major, int minor, int revision) {
    return QStringLiteral("%1_%2_%3")
        .arg(major, 4, 10, QLatin1Char('0'))
        .arg(minor, 4, 10, QLatin1Char('0'))
        .arg(revision, 4, 10, QLatin1Char('0'));
}

void initCurl() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// Why the callbacks cut a transfer.
enum class Cut { None, Headers, Line, TooLarge, WriteFailed, Stopped };

// What the transfer's thread and the waiting one share.
struct Transfer {
    QSaveFile* out = nullptr;  // a download; without it the line is kept
    QByteArray line;
    int64_t expected = -1;
    int64_t headerBytes = 0;
    int64_t written = 0;
    Cut cut = Cut::None;
    std::atomic<int64_t> received{0};
    std::atomic<int64_t> total{-1};
    std::atomic<bool> stop{false};
    std::atomic<bool> done{false};

    static size_t header(char*, size_t size, size_t count, void* self) {
        auto* t = static_cast<Transfer*>(self);
        const size_t n = size * count;
        t->headerBytes += static_cast<int64_t>(n);
        if (t->headerBytes > AppUpdateClient::kMaxHeaderBytes) {
            t->cut = Cut::Headers;
            return 0;
        }
        return n;
    }

    static size_t body(char* data, size_t size, size_t count, void* self) {
        auto* t = static_cast<Transfer*>(self);
        const auto n = static_cast<int64_t>(size * count);
        if (!t->out) {
            if (t->line.size() + n > AppUpdateClient::kMaxLineBytes) {
                t->cut = Cut::Line;
                return 0;
            }
            t->line.append(data, static_cast<qsizetype>(n));
            return static_cast<size_t>(n);
        }
        if (t->expected >= 0 && t->written + n > t->expected) {
            t->cut = Cut::TooLarge;
            return 0;
        }
        if (t->out->write(data, n) != n) {
            t->cut = Cut::WriteFailed;
            return 0;
        }
        t->written += n;
        return static_cast<size_t>(n);
    }

    static int progress(void* self, curl_off_t total, curl_off_t now, curl_off_t, curl_off_t) {
        auto* t = static_cast<Transfer*>(self);
        t->received = now;
        t->total = total > 0 ? total : -1;
        if (!t->stop) return 0;
        t->cut = Cut::Stopped;
        return 1;
    }
};

// What went wrong, in the user's words.
QString Reason(CURLcode rc, const Transfer& t, long status, int deadlineMs) {
    switch (t.cut) {
        case Cut::Headers:
            return QStringLiteral("le intestazioni della risposta superano i %1 KB")
                .arg(AppUpdateClient::kMaxHeaderBytes / 1024);
        case Cut::Line:
            return QStringLiteral("la risposta supera i %1 KB").arg(AppUpdateClient::kMaxLineBytes / 1024);
        case Cut::TooLarge:
            return QStringLiteral("il file supera i %1 byte annunciati").arg(t.expected);
        case Cut::WriteFailed:
            return QStringLiteral("impossibile scrivere il file ricevuto");
        case Cut::Stopped:
            return QStringLiteral("trasferimento interrotto");
        case Cut::None:
            break;
    }
    switch (rc) {
        case CURLE_FILESIZE_EXCEEDED:
            return QStringLiteral("il file supera i %1 byte annunciati").arg(t.expected);
        case CURLE_OPERATION_TIMEDOUT:
            return QStringLiteral("il server non ha completato la risposta entro %1 secondi")
                .arg(std::max(1, (deadlineMs + 500) / 1000));
        case CURLE_COULDNT_RESOLVE_HOST:
        case CURLE_COULDNT_RESOLVE_PROXY:
            return QStringLiteral("server non trovato");
        case CURLE_COULDNT_CONNECT:
            return QStringLiteral("connessione al server non riuscita");
        case CURLE_HTTP_RETURNED_ERROR:
            return QStringLiteral("il server ha risposto con l'errore %1").arg(status);
        case CURLE_TOO_MANY_REDIRECTS:
            return QStringLiteral("troppi reindirizzamenti");
        case CURLE_UNSUPPORTED_PROTOCOL:
            return QStringLiteral("reindirizzamento verso un indirizzo non ammesso");
        case CURLE_SSL_CONNECT_ERROR:
        case CURLE_PEER_FAILED_VERIFICATION:
        case CURLE_SSL_CERTPROBLEM:
        case CURLE_SSL_CIPHER:
        case CURLE_SSL_CACERT_BADFILE:
        case CURLE_SSL_ISSUER_ERROR:
        case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
            return QStringLiteral("connessione sicura non riuscita (certificato del server non valido)");
        case CURLE_GOT_NOTHING:
        case CURLE_RECV_ERROR:
        case CURLE_SEND_ERROR:
        case CURLE_PARTIAL_FILE:
            return QStringLiteral("la connessione si è interrotta prima della fine della risposta");
        default:
            return QStringLiteral("risposta non valida del server (codice %1)").arg(static_cast<int>(rc));
    }
}

}  // namespace

int AppUpdateClient::DeadlineFor(int64_t expectedSize) const {
    const int64_t extra = expectedSize > 0 ? expectedSize * 1000 / kMinRate : 0;
    return static_cast<int>(std::min<int64_t>(kMaxDeadlineMs, deadlineMs_ + extra));
}

QString AppUpdateClient::GetAppUpdateFile(const QString& scriptUrl, const QString& applicationName, int major,
                                          int minor, int revision, const QString& localFile,
                                          const Progress& progress, int64_t expectedSize) {
    QUrl url(scriptUrl);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != QLatin1String("http") && scheme != QLatin1String("https")))
        Fail(QStringLiteral("Indirizzo del server di aggiornamento non valido: ") + scriptUrl);
    QUrlQuery query(url);
    query.addQueryItem(QStringLiteral("App"), applicationName);
    query.addQueryItem(QStringLiteral("Ver"), VersionText(major, minor, revision));
    const bool download = !localFile.isEmpty();
    if (download) query.addQueryItem(QStringLiteral("Get"), QStringLiteral("1"));
    url.setQuery(query);

    std::unique_ptr<QSaveFile> out;
    if (download) {
        out = std::make_unique<QSaveFile>(localFile);
        if (!out->open(QIODevice::WriteOnly))
            Fail(QStringLiteral("Impossibile scrivere il file di aggiornamento ") + localFile);
    }
    initCurl();
    std::unique_ptr<CURL, void (*)(CURL*)> curl(curl_easy_init(), curl_easy_cleanup);
    if (!curl) Fail(QStringLiteral("Impossibile preparare il collegamento con il server di aggiornamento"));
    Transfer t;
    t.out = out.get();
    t.expected = download ? expectedSize : -1;
    const int deadline = DeadlineFor(t.expected);
    const QByteArray address = url.toEncoded();
    CURL* c = curl.get();
    curl_easy_setopt(c, CURLOPT_URL, address.constData());
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
    // Redirects, but never from a secure address to a plain one.
    curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(c, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(c, CURLOPT_REDIR_PROTOCOLS_STR,
                     scheme == QLatin1String("https") ? "https" : "http,https");
    curl_easy_setopt(c, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(c, CURLOPT_SSL_VERIFYHOST, 2L);
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(c, CURLOPT_TIMEOUT_MS, static_cast<long>(deadline));
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(std::min(deadline, kMaxConnectMs)));
    curl_easy_setopt(c, CURLOPT_HEADERFUNCTION, &Transfer::header);
    curl_easy_setopt(c, CURLOPT_HEADERDATA, &t);
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, &Transfer::body);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &t);
    curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, &Transfer::progress);
    curl_easy_setopt(c, CURLOPT_XFERINFODATA, &t);
    if (t.expected >= 0) curl_easy_setopt(c, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(t.expected));

    CURLcode rc = CURLE_OK;
    bool stopped = false;
    {
        // However this wait is left, the transfer is stopped and its thread ended first.
        std::thread worker([&] {
            rc = curl_easy_perform(c);
            t.done = true;
        });
        struct Join {
            Transfer& t;
            std::thread& worker;
            ~Join() {
                t.stop = true;
                worker.join();
            }
        } join{t, worker};
        EventWait wait;
        int64_t reported = -1;
        // The last report too may be answered with a stop: what arrived is then not kept.
        const auto report = [&] {
            const int64_t received = t.received;
            if (!progress || stopped || received == reported) return;
            reported = received;
            if (!progress(received, t.total)) stopped = t.stop = true;
        };
        while (!t.done) {
            wait.Reset();
            wait.Wait(kTick);
            report();
        }
        report();
    }
    long status = 0;
    curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &status);
    if (stopped) Fail(QStringLiteral("Aggiornamento interrotto"));
    if (rc != CURLE_OK)
        Fail(QStringLiteral("Errore di comunicazione con il server di aggiornamento: ") +
             Reason(rc, t, status, deadline));
    if (status != 200)
        Fail(QStringLiteral("Il server di aggiornamento ha risposto con l'errore ") +
             QString::number(status));
    if (out) {
        if (!out->commit())
            Fail(QStringLiteral("Impossibile scrivere il file di aggiornamento ") + localFile);
        return QString();
    }
    // One line: a trailing line end is not part of the reply.
    return QString::fromUtf8(t.line).section(QLatin1Char('\n'), 0, 0).trimmed();
}
