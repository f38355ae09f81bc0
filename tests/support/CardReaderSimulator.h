// A magnetic-card reader/encoder simulated on a pseudo-terminal: the port opens the terminal's
// path and talks to it as to the device. It answers the commands of the two drivers, waits for a
// card to be swiped (or answers at once), and keeps a timed log of the frames it received.
#pragma once

#include <QByteArray>
#include <QString>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

class CardReaderSimulator {
  public:
    // Iso: the low-coercivity device (reset, ISO read and write, erase). Raw: the dual-coercivity
    // device, which also takes the coercivity, bits-per-character and raw commands.
    enum class Model { Iso, Raw };

    struct Frame {
        std::chrono::microseconds at;  // since the simulator started
        bool fromHost;                 // false: a reply of the simulator
        QByteArray bytes;
    };

    explicit CardReaderSimulator(Model model = Model::Raw);
    ~CardReaderSimulator();
    CardReaderSimulator(const CardReaderSimulator&) = delete;
    CardReaderSimulator& operator=(const CardReaderSimulator&) = delete;

    // The pseudo-terminal's device path.
    QString path() const { return path_; }

    // A card passes the slot: a waiting read gets its text, a waiting write or erase completes.
    // Without an operation waiting, the card is only held (for instant answers).
    void swipe(const QString& text);
    // A raw card whose track-1 bytes go on the wire as given (no bit reversal).
    void swipeRawBytes(const QByteArray& wireBytes);
    // Reads, writes and erases answer at once with the card held, without a swipe.
    void setInstant(bool instant);
    // What the last write left on the card held: its text, and its packed track as written.
    QString cardText() const;
    QByteArray cardRaw() const;
    // True while a read, write or erase waits for a swipe.
    bool operationWaiting() const;

    // The status of the next reply only; then "0" again (unless set per command).
    void setNextStatus(char status);
    // The status of every reply to one command byte ('x', 'y', 'o', 'w', 'n', 'r', 'm', 'c').
    void setStatusFor(char command, char status);
    // No reply at all.
    void setSilent(bool silent);
    // The reply to the failure indication ESC 0x85 (none by default).
    void setFailureIndicationReply(const QByteArray& reply);
    // The next reply goes out in two pieces: `at` bytes, then the rest after `gap`.
    void splitNextReply(int at, std::chrono::milliseconds gap);
    // Raw reads send the stored bytes bit-reversed (default): the codec packs from the least
    // significant bit and unpacks from the most, so only this round-trips.
    void setBitReversal(bool reverse);
    // Sends bytes of its own now (line noise).
    void inject(const QByteArray& bytes);
    // Sends `chunk` again and again, as fast as the line takes it, until called with an empty one
    // (a device that never stops talking). Not logged as frames.
    void flood(const QByteArray& chunk);
    // The device goes away: both ends of the terminal close.
    void vanish();

    std::vector<Frame> frames() const;
    // The frames received from the host, bytes only.
    std::vector<QByteArray> hostFrames() const;
    void clearFrames();
    // Called on the simulator's thread for every frame received or sent.
    void setFrameListener(std::function<void(const Frame&)> listener);
    // Blocks until `count` frames came from the host (the caller's thread must not be the one the
    // host runs on).
    bool waitForHostFrames(size_t count, std::chrono::milliseconds limit) const;

  private:
    enum class Waiting { None, IsoRead, RawRead, Write, Erase };
    struct Output {
        std::chrono::steady_clock::time_point due;
        QByteArray bytes;
    };

    void run();
    void wake();
    void parseInput();
    bool takeFrame(QByteArray& frame);
    void handleFrame(const QByteArray& frame);
    void answerWaiting();
    void reply(const QByteArray& body);
    char statusFor(char command);
    QByteArray readReply(bool raw, char status) const;
    void log(bool fromHost, const QByteArray& bytes);
    void storeRawWrite(const QByteArray& frame);

    Model model_;
    int master_ = -1;
    int slave_ = -1;
    int wakeFd_ = -1;
    QString path_;
    std::chrono::steady_clock::time_point start_;

    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    bool stop_ = false;
    QByteArray input_;
    std::deque<Output> output_;
    std::vector<Frame> frames_;
    std::function<void(const Frame&)> listener_;

    QString cardText_;
    QByteArray cardRaw_;
    std::optional<QByteArray> rawWire_;  // a raw card swiped as wire bytes
    Waiting waiting_ = Waiting::None;
    char waitingCommand_ = 0;
    QString pendingText_;
    QByteArray pendingRaw_;
    bool instant_ = false;
    bool silent_ = false;
    bool reverse_ = true;
    std::optional<char> nextStatus_;
    std::map<char, char> statusFor_;
    QByteArray failureReply_;
    QByteArray flood_;
    int splitAt_ = 0;
    std::chrono::milliseconds splitGap_{0};

    std::thread thread_;
};
