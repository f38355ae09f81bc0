// Parsing of the serial line settings text.
#include "platform/SerialSettings.h"

#include <QStringList>

#include "base/AppError.h"

namespace {

constexpr int32_t kInvalidPropertyValue = 380;

[[noreturn]] void refuse(const QString& text, const QString& what) {
    throw AppError(kInvalidPropertyValue, QStringLiteral("Porta seriale"),
                   QStringLiteral("Parametri porta \"%1\" non validi: %2").arg(text, what));
}

}  // namespace

SerialSettings SerialSettings::Parse(const QString& text) {
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 4)
        refuse(text, QStringLiteral("servono velocità, parità, bit di dati e bit di stop (es. 9600,n,8,1)"));
    SerialSettings s;

    const QString speed = parts[0].trimmed();
    bool ok = false;
    const qlonglong baud = speed.toLongLong(&ok);
    if (!ok || baud <= 0 || baud > 4000000 || speed.startsWith(QLatin1Char('+')))
        refuse(text, QStringLiteral("velocità \"%1\"").arg(speed));
    s.baudRate = static_cast<int32_t>(baud);

    const QString parity = parts[1].trimmed().toLower();
    if (parity == QLatin1String("n")) {
        s.parity = Parity::None;
    } else if (parity == QLatin1String("e")) {
        s.parity = Parity::Even;
    } else if (parity == QLatin1String("o")) {
        s.parity = Parity::Odd;
    } else if (parity == QLatin1String("m")) {
        s.parity = Parity::Mark;
    } else if (parity == QLatin1String("s")) {
        s.parity = Parity::Space;
    } else {
        refuse(text, QStringLiteral("parità \"%1\" (ammesse n, e, o, m, s)").arg(parts[1].trimmed()));
    }

    const QString data = parts[2].trimmed();
    if (data.size() != 1 || data[0] < QLatin1Char('5') || data[0] > QLatin1Char('8'))
        refuse(text, QStringLiteral("bit di dati \"%1\" (ammessi da 5 a 8)").arg(data));
    s.dataBits = data[0].unicode() - '0';

    const QString stop = parts[3].trimmed();
    if (stop == QLatin1String("1")) {
        s.stopBits = StopBits::One;
    } else if (stop == QLatin1String("1.5")) {
        s.stopBits = StopBits::OneAndHalf;
    } else if (stop == QLatin1String("2")) {
        s.stopBits = StopBits::Two;
    } else {
        refuse(text, QStringLiteral("bit di stop \"%1\" (ammessi 1, 1.5, 2)").arg(stop));
    }
    return s;
}
