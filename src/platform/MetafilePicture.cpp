// Metafile pictures: the decoding libraries run in a forked child that sends back pixels (WMF) or SVG
// (EMF, drawn here through Qt's SVG renderer).
#include "platform/MetafilePicture.h"

#include <QDeadlineTimer>
#include <QPainter>
#include <QSvgRenderer>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "platform/MetafileDecoders.h"

namespace {

constexpr double kDpi = 300;
// An A4 page at about that resolution, 32 MB of pixels; a larger picture is drawn at a lower one.
constexpr uint64_t kMaxPixels = 8ull << 20;
constexpr size_t kMaxSvgBytes = 256ull << 20;
// Bounds for the child: a broken file may loop or ask for memory without end. A sound picture of a
// page takes well under a second.
constexpr int kChildMilliseconds = 10000;
constexpr rlim_t kChildMemory = 2ull << 30;

// What the child writes before the pixels or the SVG text.
struct Reply {
    uint32_t kind = 0;  // MetafileKind
    uint32_t width = 0, height = 0;
    uint32_t reserved = 0;
    double widthMm = 0, heightMm = 0;
    uint64_t length = 0;
};

bool writeAll(int fd, const void* data, size_t size) {
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd, p, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n;
        size -= size_t(n);
    }
    return true;
}

// The memory the child may add to what it inherits (a sanitizer's reservations count too).
void limitChildMemory() {
    rlim_t current = 0;
    const int fd = ::open("/proc/self/statm", O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        char text[64] = {};
        if (::read(fd, text, sizeof text - 1) > 0) current = rlim_t(std::strtoull(text, nullptr, 10));
        ::close(fd);
    }
    // Only the soft limit, and only lowered: a tighter limit the caller set holds here too, and the
    // hard one (raised only with a privilege the program may lack) stays as inherited.
    rlimit limit{};
    if (::getrlimit(RLIMIT_AS, &limit) != 0) return;
    limit.rlim_cur = std::min(limit.rlim_cur, current * rlim_t(::sysconf(_SC_PAGESIZE)) + kChildMemory);
    ::setrlimit(RLIMIT_AS, &limit);
}

// What the child sends: the pixels or the SVG text after the reply; false when it cannot.
bool decodeAndSend(int fd, const QByteArray& data, MetafileKind kind) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(data.constData());
    const size_t size = size_t(data.size());
    Reply reply;
    reply.kind = uint32_t(kind);
    if (kind == MetafileKind::Wmf) {
        WmfPixels picture;
        if (!DrawWmf(bytes, size, kDpi, kMaxPixels, picture)) return false;
        reply.width = picture.width;
        reply.height = picture.height;
        reply.widthMm = picture.widthMm;
        reply.heightMm = picture.heightMm;
        reply.length = picture.argb.size() * sizeof(uint32_t);
        return writeAll(fd, &reply, sizeof reply) && writeAll(fd, picture.argb.data(), reply.length);
    }
    EmfSvg picture;
    if (!ConvertEmf(bytes, size, picture) || picture.svg.size() > kMaxSvgBytes) return false;
    reply.widthMm = picture.widthMm;
    reply.heightMm = picture.heightMm;
    reply.length = picture.svg.size();
    return writeAll(fd, &reply, sizeof reply) && writeAll(fd, picture.svg.data(), reply.length);
}

// The child: decodes, writes the reply and ends without running anything of the parent's, also when
// the decoding throws (out of memory under the bound, say): unwinding would run the parent's code here.
[[noreturn]] void decodeInChild(int fd, const QByteArray& data, MetafileKind kind) noexcept {
    const int quiet = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (quiet >= 0) {
        ::dup2(quiet, STDOUT_FILENO);
        ::dup2(quiet, STDERR_FILENO);
    }
    limitChildMemory();
    bool sent = false;
    try {
        sent = decodeAndSend(fd, data, kind);
    } catch (...) {
        sent = false;
    }
    ::_exit(sent ? 0 : 1);
}

// Runs the decoder in a child; its whole reply, or empty when it failed, crashed or overran its bounds.
QByteArray decode(const QByteArray& data, MetafileKind kind) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return {};
    const pid_t pid = ::fork();
    if (pid < 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        return {};
    }
    if (pid == 0) {
        ::close(fds[0]);
        decodeInChild(fds[1], data, kind);
    }
    ::close(fds[1]);
    const qsizetype most = qsizetype(sizeof(Reply) + std::max<uint64_t>(kMaxPixels * 4, kMaxSvgBytes));
    QByteArray reply;
    bool whole = false;
    const QDeadlineTimer deadline(kChildMilliseconds);
    while (true) {
        pollfd ready{fds[0], POLLIN, 0};
        const int polled = ::poll(&ready, 1, int(deadline.remainingTime()));
        if (polled < 0 && errno == EINTR) continue;
        if (polled <= 0) break;
        char chunk[65536];
        const ssize_t n = ::read(fds[0], chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) break;
        if (n == 0) {
            whole = true;
            break;
        }
        if (reply.size() + n > most) break;
        reply.append(chunk, n);
    }
    ::close(fds[0]);
    if (!whole) ::kill(pid, SIGKILL);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (!whole || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return {};
    return reply;
}

void setSize(QImage& image, double widthMm, double heightMm) {
    image.setDotsPerMeterX(qRound(image.width() * 1000.0 / widthMm));
    image.setDotsPerMeterY(qRound(image.height() * 1000.0 / heightMm));
}

QImage pixelsPicture(const Reply& reply, const char* pixels) {
    const uint64_t count = uint64_t(reply.width) * reply.height;
    if (reply.width == 0 || reply.height == 0 || count > kMaxPixels || reply.length != count * 4) return {};
    QImage image(int(reply.width), int(reply.height), QImage::Format_ARGB32);
    if (image.isNull()) return {};
    for (int y = 0; y < image.height(); ++y)
        std::memcpy(image.scanLine(y), pixels + size_t(y) * reply.width * 4, size_t(reply.width) * 4);
    setSize(image, reply.widthMm, reply.heightMm);
    return image;
}

QImage svgPicture(const Reply& reply, const QByteArray& svg) {
    QSvgRenderer renderer(svg);
    if (!renderer.isValid()) return {};
    // As a WMF is drawn: at 300 dpi unless that makes too many pixels.
    double dpi = kDpi;
    const double atDpi = reply.widthMm / 25.4 * dpi * reply.heightMm / 25.4 * dpi;
    if (atDpi > double(kMaxPixels)) dpi *= std::sqrt(double(kMaxPixels) / atDpi);
    const int width = std::max(1, qRound(reply.widthMm / 25.4 * dpi));
    const int height = std::max(1, qRound(reply.heightMm / 25.4 * dpi));
    if (uint64_t(width) * uint64_t(height) > kMaxPixels) return {};
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) return {};
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter, QRectF(0, 0, width, height));
    painter.end();
    setSize(image, reply.widthMm, reply.heightMm);
    return image;
}

}  // namespace

bool IsMetafile(const QByteArray& start) {
    return MetafileKindOf(reinterpret_cast<const unsigned char*>(start.constData()), size_t(start.size())) !=
           MetafileKind::None;
}

QImage ReadMetafile(const QByteArray& data) {
    const MetafileKind kind =
        MetafileKindOf(reinterpret_cast<const unsigned char*>(data.constData()), size_t(data.size()));
    if (kind == MetafileKind::None) return {};
    const QByteArray reply = decode(data, kind);
    if (size_t(reply.size()) < sizeof(Reply)) return {};
    Reply header;
    std::memcpy(&header, reply.constData(), sizeof header);
    if (header.kind != uint32_t(kind) || header.length != uint64_t(reply.size()) - sizeof header ||
        !(header.widthMm > 0) || !(header.heightMm > 0) || !std::isfinite(header.widthMm) ||
        !std::isfinite(header.heightMm))
        return {};
    const char* payload = reply.constData() + sizeof header;
    if (kind == MetafileKind::Wmf) return pixelsPicture(header, payload);
    return svgPicture(header, QByteArray::fromRawData(payload, qsizetype(header.length)));
}
