// The track-1 codec and the read data blocks: vectors in both directions, the changed alphabet,
// the mending of a track without end sentinel, and the round trip through a device that returns
// what was written bit-reversed.
#include <gtest/gtest.h>

#include <random>

#include "CardTestSupport.h"
#include "terminal/carddevices/CardTrackData.h"
#include "terminal/carddevices/Track1Codec.h"

namespace {

// Characters packed as a device hands them back: 7 bits each (code bits, then odd parity), bit 0
// of the character in the most significant free bit of the byte. Written apart from the codec.
QByteArray packMsbFirst(const QString& text) {
    QByteArray out;
    int used = 8;
    for (QChar c : text) {
        const int code = Track1Code(c);
        int ones = 0;
        for (int b = 0; b < 6; ++b)
            ones += (code >> b) & 1;
        const int character = code | (ones % 2 == 0 ? 64 : 0);
        for (int b = 0; b < 7; ++b) {
            if (used == 8) {
                out.append('\0');
                used = 0;
            }
            if (character & (1 << b)) out.data()[out.size() - 1] |= static_cast<char>(0x80 >> used);
            ++used;
        }
    }
    return out;
}

QByteArray reverseBits(QByteArray bytes) {
    for (char& c : bytes) {
        unsigned char r = 0;
        for (int i = 0; i < 8; ++i)
            if (static_cast<unsigned char>(c) & (1u << i)) r |= static_cast<unsigned char>(0x80u >> i);
        c = static_cast<char>(r);
    }
    return bytes;
}

TEST(Track1Codec, EncodesTextBetweenSentinelsWithParityAndLrc) {
    const struct {
        const char* text;
        const char* packed;
    } cases[] = {
        {"ABC", "C5 B0 78 F4 D1 03"},
        {"", "C5 8F 06"},  // "%", "?" and the LRC: 21 bits in 3 bytes
        {"AB", "C5 B0 F8 93 01"},
        {"OP0012", "C5 17 1C 02 89 4A 3F 46"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(HexOf(AsciiToHexForTrack1(QString::fromLatin1(c.text))), QString::fromLatin1(c.packed))
            << c.text;
    // Lower case and other characters are not in the alphabet: packed like "_".
    EXPECT_EQ(AsciiToHexForTrack1(QStringLiteral("abc")), AsciiToHexForTrack1(QStringLiteral("___")));
    EXPECT_EQ(AsciiToHexForTrack1(QStringLiteral("é")), AsciiToHexForTrack1(QStringLiteral("_")));
    // The packing of a text ends with its last non-zero byte.
    for (const char* text : {"", "A", "!$", "0000000"})
        EXPECT_FALSE(AsciiToHexForTrack1(QString::fromLatin1(text)).endsWith('\0')) << text;
}

TEST(Track1Codec, AlphabetExchangesThreeCodes) {
    EXPECT_EQ(Track1Code(QLatin1Char('@')), 12);
    EXPECT_EQ(Track1Code(QLatin1Char(',')), 13);
    EXPECT_EQ(Track1Code(QLatin1Char('-')), 32);
    EXPECT_EQ(Track1Character(12), QLatin1Char('@'));
    EXPECT_EQ(Track1Character(13), QLatin1Char(','));
    EXPECT_EQ(Track1Character(32), QLatin1Char('-'));
    // The others as in the standard: 0 space, 5 "%", 31 "?", 63 "_".
    for (int code = 0; code < 64; ++code) {
        EXPECT_EQ(Track1Code(Track1Character(code)), code) << code;
        if (code != 12 && code != 13 && code != 32) {
            EXPECT_EQ(Track1Character(code).unicode(), 0x20 + code);
        }
    }
    EXPECT_EQ(Track1Code(QLatin1Char('a')), -1);
    EXPECT_EQ(Track1Code(QLatin1Char('`')), -1);
}

TEST(Track1Codec, DecodesFromTheMostSignificantBitAndMendsAMissingEndSentinel) {
    EXPECT_EQ(HexOf(packMsbFirst(QStringLiteral("%12345678?"))),
              QStringLiteral("A3 15 2E 42 B5 1A 75 1B F0"));
    const struct {
        QByteArray raw;
        const char* text;
    } cases[] = {
        {Hex("A3 15 2E 42 B5 1A 75 1B F0"), "12345678"},
        {packMsbFirst(QStringLiteral("%1234AB9X")), "12340001"},
        {packMsbFirst(QStringLiteral("%123456789")), "12345671"},
        {packMsbFirst(QStringLiteral("%12AB")), "12AB"},
        {packMsbFirst(QStringLiteral("%12345678")), "12345671"},
        {packMsbFirst(QStringLiteral("%AB 12?")), "AB 12"},
        {packMsbFirst(QStringLiteral("12?")), "12"},  // no start sentinel to drop
        {packMsbFirst(QStringLiteral("%?")), ""},
        {packMsbFirst(QStringLiteral("%1?34?")), "1"},       // the first end sentinel cuts
        {Hex("A3 15 2E 42 B5 1A 75 1B F1 28"), "12345678"},  // what follows the end sentinel is dropped
        {Hex("A3 15 00 42 B5"), "1"},  // cut at the zero byte: "%", "1" and 2 bits left over
        {QByteArray(), ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(HexToAsciiFromTrack1(c.raw), QString::fromLatin1(c.text)) << HexOf(c.raw).toStdString();
}

TEST(Track1Codec, TextComesBackThroughABitReversingDevice) {
    std::mt19937 random(20240611);
    int checked = 0;
    for (int i = 0; i < 20000; ++i) {
        QString text;
        const int length = static_cast<int>(random() % 40);
        for (int k = 0; k < length; ++k) {
            const int code = static_cast<int>(random() % 64);
            if (code != 31) text.append(Track1Character(code));  // no "?" inside the text
        }
        const QByteArray packed = AsciiToHexForTrack1(text);
        if (packed.contains('\0')) continue;  // the decoder stops there: such cards read as invalid
        ++checked;
        ASSERT_EQ(HexToAsciiFromTrack1(reverseBits(packed)), text) << HexOf(packed).toStdString();
    }
    EXPECT_GT(checked, 10000);
    // The case the zero byte stops: "!" followed by "$".
    EXPECT_TRUE(AsciiToHexForTrack1(QStringLiteral("!$")).contains('\0'));
}

TEST(CardTrackData, ReadBlocksGiveTheTwoFields) {
    const struct {
        QByteArray block;
        bool raw;
        bool crypt;
        const char* id;
        const char* data;
    } cases[] = {
        {QByteArray("\x1B\x01%12345?\x1B\x02\x1B\x03"), false, false, "12345", ""},
        {QByteArray("\x1B\x01%AB 12?\x1B\x02\x1B\x03"), false, false, "AB", "12"},
        {QByteArray("\x1B\x01%21 BA?\x1B\x02\x1B\x03"), false, true, "AB", "12"},
        {QByteArray("\x1B\x01%A B C?\x1B\x02"), false, false, "A", "B C"},
        {QByteArray("\x1B\x01%?\x1B\x02\x1B\x03"), false, false, "", ""},
        {QByteArray("\x1B\x01%1?"), false, false, "", ""},  // no ESC after the text
        {QByteArray("\x1B\x02%12?\x1B\x02"), false, false, "", ""},
        {QByteArray(), false, false, "", ""},
        {QByteArray("\x1B\x01\x0A") + Hex("A3 15 2E 42 B5 1A 75 1B F1 28") + QByteArray("\x1B\x02", 2) +
             QByteArray(1, '\0'),
         true, false, "12345678", ""},  // the packed bytes hold an ESC: the length cuts them
        {QByteArray("\x1B\x01\x08") + reverseBits(Hex("C5 17 1C 02 89 4A 3F 46")), true, false, "OP0012", ""},
        {QByteArray("\x1B\x01\x08") + reverseBits(AsciiToHexForTrack1(QStringLiteral("21 BA"))), true, true,
         "AB", "12"},
        {QByteArray("\x1B\x01") + QByteArray(1, '\0') + QByteArray("\x1B\x02", 2), true, false, "", ""},
        {QByteArray("\x1B\x01\xFF\xA3"), true, false, "", ""},  // a length beyond the block
        {QByteArray("\x1B"), true, false, "", ""},
    };
    for (const auto& c : cases) {
        QString id = QStringLiteral("old"), data = QStringLiteral("old");
        if (c.raw)
            ParseRawTrackData(c.block, id, data, c.crypt);
        else
            ParseIsoTrackData(c.block, id, data, c.crypt);
        EXPECT_EQ(id, QString::fromLatin1(c.id)) << HexOf(c.block).toStdString();
        EXPECT_EQ(data, QString::fromLatin1(c.data)) << HexOf(c.block).toStdString();
    }
}

}  // namespace
