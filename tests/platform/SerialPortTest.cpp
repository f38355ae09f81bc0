// The serial port: the settings text, the device a port number opens, bytes passing unchanged both
// ways over a pseudo-terminal, its errors, and a device that goes away while the port is open.
#include <QCoreApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <functional>

#include "base/AppError.h"
#include "platform/EventWait.h"
#include "platform/SerialPort.h"
#include "platform/SerialSettings.h"

namespace {

using namespace std::chrono_literals;

bool pumpUntil(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        EventWait().Wait(5ms);
    }
    return true;
}

AppError errorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const AppError& e) {
        return e;
    }
    return AppError();
}

// The other end of a port: a raw pseudo-terminal whose slave the port opens.
class Terminal {
  public:
    Terminal() {
        char name[256] = {};
        EXPECT_EQ(openpty(&master, &slave, name, nullptr, nullptr), 0);
        termios tio{};
        tcgetattr(slave, &tio);
        cfmakeraw(&tio);
        tcsetattr(slave, TCSANOW, &tio);
        path = QString::fromLocal8Bit(name);
    }
    ~Terminal() {
        if (master >= 0) close(master);
        if (slave >= 0) close(slave);
    }
    QByteArray read(qsizetype count) {
        QByteArray got;
        fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
        pumpUntil([&] {
            char buffer[512];
            const ssize_t n = ::read(master, buffer, sizeof buffer);
            if (n > 0) got.append(buffer, n);
            return got.size() >= count;
        });
        return got;
    }
    int master = -1, slave = -1;
    QString path;
};

QByteArray everyByte() {
    QByteArray bytes;
    for (int b = 0; b < 256; ++b)
        bytes.append(static_cast<char>(b));
    return bytes;
}

TEST(SerialSettings, ParsesSpeedParityDataAndStopBits) {
    using P = SerialSettings::Parity;
    using S = SerialSettings::StopBits;
    const struct {
        const char* text;
        int32_t baud;
        P parity;
        int data;
        S stop;
    } good[] = {
        {"9600,n,8,1", 9600, P::None, 8, S::One},
        {"19200,E,7,2", 19200, P::Even, 7, S::Two},
        {" 2400 , o , 5 , 1.5 ", 2400, P::Odd, 5, S::OneAndHalf},
        {"115200,s,6,1", 115200, P::Space, 6, S::One},
    };
    for (const auto& c : good) {
        const SerialSettings s = SerialSettings::Parse(QString::fromLatin1(c.text));
        EXPECT_EQ(s.baudRate, c.baud) << c.text;
        EXPECT_EQ(s.parity, c.parity) << c.text;
        EXPECT_EQ(s.dataBits, c.data) << c.text;
        EXPECT_EQ(s.stopBits, c.stop) << c.text;
    }
    const struct {
        const char* text;
        const char* named;  // the part the message names
    } bad[] = {
        {"9600,x,8,1", "parità \"x\""},        {"9600,n,9,1", "bit di dati \"9\""},
        {"9600,n,8,3", "bit di stop \"3\""},   {"abc,n,8,1", "velocità \"abc\""},
        {"-9600,n,8,1", "velocità \"-9600\""}, {"9600,n,8", "servono velocità"},
    };
    for (const auto& c : bad) {
        const AppError e = errorOf([&] { SerialSettings::Parse(QString::fromUtf8(c.text)); });
        EXPECT_EQ(e.number(), 380) << c.text;
        EXPECT_TRUE(e.description().startsWith(
            QStringLiteral("Parametri porta \"%1\" non validi: ").arg(QString::fromUtf8(c.text))))
            << e.description().toStdString();
        EXPECT_TRUE(e.description().contains(QString::fromUtf8(c.named))) << e.description().toStdString();
    }
}

TEST(SerialPort, PortNumbersAndPathsChooseTheDevice) {
    SerialPort port;
    EXPECT_EQ(port.DevicePath(), QString());
    port.SetCommPort(1);
    EXPECT_EQ(port.DevicePath(), QStringLiteral("/dev/ttyS0"));
    port.SetCommPort(3);
    EXPECT_EQ(port.DevicePath(), QStringLiteral("/dev/ttyS2"));
    port.SetDevicePath(QStringLiteral("/dev/ttyUSB0"));
    EXPECT_EQ(port.DevicePath(), QStringLiteral("/dev/ttyUSB0"));
    port.SetCommPort(0);  // no port, whatever the path
    EXPECT_EQ(port.DevicePath(), QString());

    // No port, or a device that is not there: refused, and nothing can be written.
    QTemporaryDir folder;
    const QString missing = folder.filePath(QStringLiteral("no-port"));
    for (const QString& path : {QString(), missing}) {
        SerialPort p;
        p.SetCommPort(path.isEmpty() ? 0 : 1);
        p.SetDevicePath(path);
        const AppError e = errorOf([&] { p.Open(); });
        EXPECT_EQ(e.number(), path.isEmpty() ? SerialPort::kErrInvalidPort : SerialPort::kErrNotAvailable);
        EXPECT_EQ(e.description(), path.isEmpty()
                                       ? QStringLiteral("Nessuna porta seriale impostata")
                                       : QStringLiteral("La porta seriale \"%1\" non esiste").arg(missing));
        EXPECT_EQ(errorOf([&] { p.Write("x"); }).number(), SerialPort::kErrNotOpen);
    }
}

TEST(SerialPort, BytesPassUnchangedBothWaysAndTheDeviceCanLeave) {
    Terminal terminal;
    SerialPort port;
    port.SetCommPort(1);
    port.SetDevicePath(terminal.path);
    port.Open();
    ASSERT_TRUE(port.PortOpen());
    EXPECT_EQ(errorOf([&] { port.SetCommPort(2); }).number(), SerialPort::kErrPortOpen);
    port.Open();  // already open: nothing happens

    const QByteArray bytes = everyByte() + QByteArray("\x1B\x85\x00\r\n", 5);
    port.Write(bytes);
    EXPECT_EQ(terminal.read(bytes.size()), bytes);

    int received = 0;
    QObject::connect(&port, &SerialPort::Received, [&] { ++received; });
    ASSERT_EQ(write(terminal.master, bytes.constData(), bytes.size()), bytes.size());
    ASSERT_TRUE(pumpUntil([&] { return port.InBufferCount() >= bytes.size(); }));
    EXPECT_GE(received, 1);
    EXPECT_EQ(port.ReadAll(), bytes);

    // Input dropped, also what the system still held.
    ASSERT_EQ(write(terminal.master, "abc", 3), 3);
    ASSERT_TRUE(pumpUntil([&] { return port.InBufferCount() > 0; }));
    port.ClearInput();
    EXPECT_EQ(port.InBufferCount(), 0);
    EXPECT_EQ(port.ReadAll(), QByteArray());

    // Closed, it opens again at once.
    port.Close();
    EXPECT_FALSE(port.PortOpen());
    port.Open();
    EXPECT_TRUE(port.PortOpen());

    // The other end goes away: one notice, the port closed.
    std::vector<AppError> lost;
    QObject::connect(&port, &SerialPort::DeviceLost, [&](const AppError& e) { lost.push_back(e); });
    close(terminal.master);
    terminal.master = -1;
    ASSERT_TRUE(pumpUntil([&] { return !lost.empty(); }));
    EventWait().Wait(100ms);
    ASSERT_EQ(lost.size(), 1u);
    EXPECT_EQ(lost[0].description(),
              QStringLiteral(
                  "Il dispositivo della porta seriale \"%1\" non risponde più: è stato scollegato o spento")
                  .arg(terminal.path));
    EXPECT_FALSE(port.PortOpen());
    EXPECT_EQ(errorOf([&] { port.Write("x"); }).number(), SerialPort::kErrNotOpen);
}

}  // namespace
