// The simulated card reader/encoder.
#include "support/CardReaderSimulator.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/eventfd.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

#include "terminal/carddevices/Track1Codec.h"

namespace {

constexpr char kEsc = 0x1B;
constexpr char kFs = 0x1C;

unsigned char reversedBits(unsigned char b) {
    unsigned char r = 0;
    for (int i = 0; i < 8; ++i)
        if (b & (1u << i)) r |= static_cast<unsigned char>(0x80u >> i);
    return r;
}

QByteArray reversedBytes(const QByteArray& bytes) {
    QByteArray out(bytes);
    for (char& c : out)
        c = static_cast<char>(reversedBits(static_cast<unsigned char>(c)));
    return out;
}

// Length of the raw write frame at the start of `in`, 0 while incomplete, -1 when malformed.
qsizetype rawWriteLength(const QByteArray& in) {
    qsizetype pos = 2;
    for (char track = 1; track <= 3; ++track) {
        const bool first = track == 1;
        if (first) {  // ESC s ESC 01 L
            if (in.size() < pos + 5) return 0;
            if (in[pos] != kEsc || in[pos + 1] != 's' || in[pos + 2] != kEsc || in[pos + 3] != track)
                return -1;
            pos += 4;
        } else {
            if (in.size() < pos + 3) return 0;
            if (in[pos] != kEsc || in[pos + 1] != track) return -1;
            pos += 2;
        }
        const int length = static_cast<unsigned char>(in[pos]);
        pos += 1 + length;
    }
    if (in.size() < pos + 2) return 0;
    if (in[pos] != '?' || in[pos + 1] != kFs) return -1;
    return pos + 2;
}

}  // namespace

CardReaderSimulator::CardReaderSimulator(Model model)
    : model_(model), start_(std::chrono::steady_clock::now()) {
    char name[256] = {};
    if (openpty(&master_, &slave_, name, nullptr, nullptr) != 0) throw std::runtime_error("openpty failed");
    // Raw mode, or the terminal echoes and rewrites CR; the slave stays open here so that the port
    // can close and open again while the device lives.
    termios tio{};
    tcgetattr(slave_, &tio);
    cfmakeraw(&tio);
    tcsetattr(slave_, TCSANOW, &tio);
    fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
    path_ = QString::fromLocal8Bit(name);
    wakeFd_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    thread_ = std::thread([this] { run(); });
}

CardReaderSimulator::~CardReaderSimulator() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wake();
    thread_.join();
    if (master_ >= 0) close(master_);
    if (slave_ >= 0) close(slave_);
    close(wakeFd_);
}

void CardReaderSimulator::wake() {
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = write(wakeFd_, &one, sizeof one);
}

void CardReaderSimulator::run() {
    for (;;) {
        int timeout = -1;
        int master = -1;
        bool flooding = false;
        {
            std::lock_guard lock(mutex_);
            if (stop_) return;
            master = master_;
            flooding = !flood_.isEmpty();
            if (!output_.empty()) {
                const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                    output_.front().due - std::chrono::steady_clock::now());
                timeout = std::max<int>(0, static_cast<int>(left.count()) + 1);
            }
        }
        pollfd fds[2] = {{wakeFd_, POLLIN, 0},
                         {master, static_cast<short>(POLLIN | (flooding ? POLLOUT : 0)), 0}};
        poll(fds, master >= 0 ? 2 : 1, timeout);

        std::lock_guard lock(mutex_);
        if (stop_) return;
        if (fds[0].revents & POLLIN) {
            uint64_t count = 0;
            [[maybe_unused]] const ssize_t n = read(wakeFd_, &count, sizeof count);
        }
        if (master_ >= 0 && master == master_ && (fds[1].revents & POLLIN)) {
            char buffer[512];
            const ssize_t n = read(master_, buffer, sizeof buffer);
            if (n > 0) {
                input_.append(buffer, n);
                parseInput();
            }
        }
        if (master_ >= 0 && master == master_ && !flood_.isEmpty() && (fds[1].revents & POLLOUT)) {
            [[maybe_unused]] const ssize_t n = write(master_, flood_.constData(), flood_.size());
        }
        const auto now = std::chrono::steady_clock::now();
        while (!output_.empty() && output_.front().due <= now) {
            const QByteArray bytes = output_.front().bytes;
            output_.pop_front();
            if (master_ < 0) continue;
            qsizetype sent = 0;
            while (sent < bytes.size()) {
                const ssize_t n = write(master_, bytes.constData() + sent, bytes.size() - sent);
                if (n < 0 && errno != EAGAIN && errno != EINTR) break;
                if (n > 0) sent += n;
            }
            log(false, bytes);
        }
        changed_.notify_all();
    }
}

void CardReaderSimulator::log(bool fromHost, const QByteArray& bytes) {
    const auto at =
        std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start_);
    frames_.push_back({at, fromHost, bytes});
    if (listener_) listener_(frames_.back());
}

void CardReaderSimulator::parseInput() {
    QByteArray frame;
    while (takeFrame(frame)) {
        log(true, frame);
        handleFrame(frame);
    }
}

bool CardReaderSimulator::takeFrame(QByteArray& frame) {
    if (input_.isEmpty()) return false;
    qsizetype length = 0;
    if (input_[0] != kEsc) {
        // Noise up to the next ESC.
        length = input_.indexOf(kEsc);
        if (length < 0) length = input_.size();
    } else if (input_.size() < 2) {
        return false;
    } else {
        switch (input_[1]) {
            case 'c':
                length = input_.size() >= 3 ? 3 : 0;
                break;
            case 'o':
                length = input_.size() >= 5 ? 5 : 0;
                break;
            case 'w': {
                const qsizetype fs = input_.indexOf(kFs, 2);
                length = fs < 0 ? 0 : fs + 1;
                break;
            }
            case 'n': {
                length = rawWriteLength(input_);
                if (length < 0) {  // malformed: up to the next FS, or all
                    const qsizetype fs = input_.indexOf(kFs, 2);
                    length = fs < 0 ? input_.size() : fs + 1;
                }
                break;
            }
            default:
                length = 2;
                break;
        }
        if (length == 0) return false;
    }
    frame = input_.left(length);
    input_.remove(0, length);
    return true;
}

void CardReaderSimulator::handleFrame(const QByteArray& frame) {
    if (frame.size() < 2 || frame[0] != kEsc) return;
    const char command = frame[1];
    const bool raw = model_ == Model::Raw;
    switch (command) {
        case 'a':
            waiting_ = Waiting::None;
            break;  // reset: no answer
        case '\x85':
            if (!failureReply_.isEmpty()) reply(failureReply_);
            break;
        case 'x':
        case 'y':
        case 'o':
            if (raw) reply(QByteArray(1, kEsc).append(statusFor(command)));
            break;
        case 'r':
        case 'm':
        case 'c':
            if (command == 'm' && !raw) break;
            waiting_ = command == 'r' ? Waiting::IsoRead : command == 'm' ? Waiting::RawRead : Waiting::Erase;
            waitingCommand_ = command;
            if (instant_) answerWaiting();
            break;
        case 'w':
        case 'n': {
            if (command == 'n' && !raw) break;
            waiting_ = Waiting::Write;
            waitingCommand_ = command;
            if (command == 'w') {
                const qsizetype end = frame.indexOf(kEsc, 6);
                pendingText_ = QString::fromLatin1(frame.mid(6, end < 0 ? -1 : end - 6));
                pendingRaw_ = AsciiToHexForTrack1(pendingText_);
            } else {
                const int length = frame.size() > 6 ? static_cast<unsigned char>(frame[6]) : 0;
                pendingRaw_ = frame.mid(7, length);
                pendingText_ = HexToAsciiFromTrack1(reversedBytes(pendingRaw_));
            }
            if (instant_) answerWaiting();
            break;
        }
        default:
            break;
    }
}

char CardReaderSimulator::statusFor(char command) {
    if (nextStatus_) {
        const char s = *nextStatus_;
        nextStatus_.reset();
        return s;
    }
    const auto it = statusFor_.find(command);
    return it == statusFor_.end() ? '0' : it->second;
}

QByteArray CardReaderSimulator::readReply(bool raw, char status) const {
    QByteArray r("\x1Bs\x1B\x01");
    if (raw) {
        const QByteArray track = rawWire_ ? *rawWire_ : reverse_ ? reversedBytes(cardRaw_) : cardRaw_;
        r.append(static_cast<char>(track.size())).append(track);
        r.append(QByteArray("\x1B\x02\x00\x1B\x03\x00", 6));
    } else {
        r.append('%').append(cardText_.toLatin1()).append("?\x1B\x02\x1B\x03");
    }
    r.append("?\x1C\x1B").append(status);
    return r;
}

void CardReaderSimulator::answerWaiting() {
    const Waiting what = waiting_;
    if (what == Waiting::None) return;
    waiting_ = Waiting::None;
    const char status = statusFor(waitingCommand_);
    switch (what) {
        case Waiting::IsoRead:
        case Waiting::RawRead:
            reply(readReply(what == Waiting::RawRead, status));
            return;
        case Waiting::Write:
            if (status == '0') {
                cardText_ = pendingText_;
                cardRaw_ = pendingRaw_;
                rawWire_.reset();
            }
            break;
        case Waiting::Erase:
            if (status == '0') {
                cardText_.clear();
                cardRaw_.clear();
                rawWire_.reset();
            }
            break;
        case Waiting::None:
            return;
    }
    reply(QByteArray(1, kEsc).append(status));
}

void CardReaderSimulator::reply(const QByteArray& body) {
    if (silent_) return;
    const auto now = std::chrono::steady_clock::now();
    if (splitAt_ > 0 && splitAt_ < body.size()) {
        output_.push_back({now, body.left(splitAt_)});
        output_.push_back({now + splitGap_, body.mid(splitAt_)});
        splitAt_ = 0;
        return;
    }
    output_.push_back({now, body});
}

void CardReaderSimulator::swipe(const QString& text) {
    {
        std::lock_guard lock(mutex_);
        cardText_ = text;
        cardRaw_ = AsciiToHexForTrack1(text);
        rawWire_.reset();
        answerWaiting();
    }
    wake();
}

void CardReaderSimulator::swipeRawBytes(const QByteArray& wireBytes) {
    {
        std::lock_guard lock(mutex_);
        rawWire_ = wireBytes;
        cardText_.clear();
        cardRaw_.clear();
        answerWaiting();
    }
    wake();
}

void CardReaderSimulator::setInstant(bool instant) {
    std::lock_guard lock(mutex_);
    instant_ = instant;
}

QString CardReaderSimulator::cardText() const {
    std::lock_guard lock(mutex_);
    return cardText_;
}

QByteArray CardReaderSimulator::cardRaw() const {
    std::lock_guard lock(mutex_);
    return cardRaw_;
}

bool CardReaderSimulator::operationWaiting() const {
    std::lock_guard lock(mutex_);
    return waiting_ != Waiting::None;
}

void CardReaderSimulator::setNextStatus(char status) {
    std::lock_guard lock(mutex_);
    nextStatus_ = status;
}

void CardReaderSimulator::setStatusFor(char command, char status) {
    std::lock_guard lock(mutex_);
    statusFor_[command] = status;
}

void CardReaderSimulator::setSilent(bool silent) {
    std::lock_guard lock(mutex_);
    silent_ = silent;
}

void CardReaderSimulator::setFailureIndicationReply(const QByteArray& reply) {
    std::lock_guard lock(mutex_);
    failureReply_ = reply;
}

void CardReaderSimulator::splitNextReply(int at, std::chrono::milliseconds gap) {
    std::lock_guard lock(mutex_);
    splitAt_ = at;
    splitGap_ = gap;
}

void CardReaderSimulator::setBitReversal(bool reverse) {
    std::lock_guard lock(mutex_);
    reverse_ = reverse;
}

void CardReaderSimulator::inject(const QByteArray& bytes) {
    {
        std::lock_guard lock(mutex_);
        output_.push_back({std::chrono::steady_clock::now(), bytes});
    }
    wake();
}

void CardReaderSimulator::flood(const QByteArray& chunk) {
    {
        std::lock_guard lock(mutex_);
        flood_ = chunk;
    }
    wake();
}

void CardReaderSimulator::vanish() {
    {
        std::lock_guard lock(mutex_);
        if (master_ >= 0) close(master_);
        if (slave_ >= 0) close(slave_);
        master_ = slave_ = -1;
        output_.clear();
    }
    wake();
}

std::vector<CardReaderSimulator::Frame> CardReaderSimulator::frames() const {
    std::lock_guard lock(mutex_);
    return frames_;
}

std::vector<QByteArray> CardReaderSimulator::hostFrames() const {
    std::lock_guard lock(mutex_);
    std::vector<QByteArray> out;
    for (const Frame& f : frames_)
        if (f.fromHost) out.push_back(f.bytes);
    return out;
}

void CardReaderSimulator::clearFrames() {
    std::lock_guard lock(mutex_);
    frames_.clear();
}

void CardReaderSimulator::setFrameListener(std::function<void(const Frame&)> listener) {
    std::lock_guard lock(mutex_);
    listener_ = std::move(listener);
}

bool CardReaderSimulator::waitForHostFrames(size_t count, std::chrono::milliseconds limit) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, limit, [&] {
        size_t n = 0;
        for (const Frame& f : frames_)
            if (f.fromHost) ++n;
        return n >= count;
    });
}
