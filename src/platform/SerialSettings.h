// The line settings of a serial port as a text, "9600,n,8,1": speed, parity letter, data bits and
// stop bits, the form the card-device settings store.
#pragma once

#include <QString>

#include <cstdint>

struct SerialSettings {
    enum class Parity { None, Even, Odd, Mark, Space };
    enum class StopBits { One, OneAndHalf, Two };

    int32_t baudRate = 9600;
    Parity parity = Parity::None;
    int dataBits = 8;
    StopBits stopBits = StopBits::One;

    // Parses the text; parity letters n, e, o, m, s in either case, 5 to 8 data bits, 1, 1.5 or 2
    // stop bits, blanks around the parts allowed. Anything else raises error 380 naming the part.
    static SerialSettings Parse(const QString& text);
};
