// Random driver for the track-1 codec and the two read-block parsers under the sanitizers: random
// and mutated texts and bytes in both directions for a given time; a crash, an endless loop or a
// broken round trip fails it.
// card_codec_fuzz --seconds N [--seed S]
#include <QByteArray>
#include <QString>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>

#include "terminal/carddevices/CardTrackData.h"
#include "terminal/carddevices/Track1Codec.h"

namespace {

std::mt19937_64 g_random;

int below(int n) {
    return static_cast<int>(g_random() % static_cast<uint64_t>(n));
}

// Characters of the alphabet mostly, sometimes anything at all (lower case, accents, controls).
QString randomText(int maxLength, bool alphabetOnly) {
    QString text;
    const int length = below(maxLength + 1);
    for (int i = 0; i < length; ++i) {
        if (alphabetOnly || below(8) != 0)
            text.append(Track1Character(below(64)));
        else
            text.append(QChar(static_cast<char16_t>(1 + below(0x2FF))));
    }
    return text;
}

QByteArray randomBytes(int maxLength) {
    QByteArray bytes;
    const int length = below(maxLength + 1);
    // Bytes the frames give meaning to come often: ESC, FS, "?", "%", 0, the track markers.
    static const char special[] = {0x1B, 0x1C, '?', '%', 0, 1, 2, 3, 's'};
    for (int i = 0; i < length; ++i)
        bytes.append(below(3) == 0 ? special[below(sizeof special)] : static_cast<char>(below(256)));
    return bytes;
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

[[noreturn]] void fail(const char* what, const QString& detail) {
    std::fprintf(stderr, "card_codec_fuzz: %s: %s\n", what, qPrintable(detail));
    std::abort();
}

void once() {
    // Encoding anything, with any sentinels, then decoding the result either way round.
    const QString start = below(4) == 0 ? randomText(2, false) : QStringLiteral("%");
    const QString end = below(4) == 0 ? randomText(2, false) : QStringLiteral("?");
    const QByteArray packed = AsciiToHexForTrack1(randomText(120, false), start, end);
    if (packed.endsWith('\0')) fail("trailing zero byte", QString::fromLatin1(packed.toHex()));
    HexToAsciiFromTrack1(packed, start, end);
    HexToAsciiFromTrack1(reverseBits(packed));

    // Decoding any bytes.
    const QString decoded = HexToAsciiFromTrack1(randomBytes(300));
    for (QChar c : decoded)
        if (Track1Code(c) < 0) fail("character outside the alphabet", decoded);

    // The round trip through a device that hands the bits back reversed.
    QString text = randomText(60, true).remove(QLatin1Char('?'));
    const QByteArray card = AsciiToHexForTrack1(text);
    if (!card.contains('\0') && HexToAsciiFromTrack1(reverseBits(card)) != text) fail("round trip", text);

    // Read blocks: random, and well framed around random contents.
    QString id, data;
    const bool crypt = below(2) == 0;
    ParseIsoTrackData(randomBytes(200), id, data, crypt);
    ParseRawTrackData(randomBytes(200), id, data, crypt);
    const QByteArray raw = randomBytes(255);
    ParseRawTrackData(QByteArray("\x1B\x01") + static_cast<char>(below(256)) + raw, id, data, crypt);
    ParseIsoTrackData(QByteArray("\x1B\x01%") + randomBytes(80) + QByteArray("?\x1B\x02"), id, data, crypt);
    if (JoinTrackFields(id, data).size() > 400) fail("fields longer than any block", id);
}

}  // namespace

int main(int argc, char** argv) {
    double seconds = 60;
    uint64_t seed = std::random_device()();
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--seconds")) seconds = std::atof(argv[i + 1]);
        if (!std::strcmp(argv[i], "--seed")) seed = std::strtoull(argv[i + 1], nullptr, 10);
    }
    // Sized for CI as the other slow checks are.
    const char* size = std::getenv("ZL_SLOW_TESTS");
    if (size && !std::strcmp(size, "ci")) seconds = std::min(seconds, 20.0);
    g_random.seed(seed);
    std::printf("card_codec_fuzz: seed %llu, %g s\n", static_cast<unsigned long long>(seed), seconds);
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    long runs = 0;
    while (std::chrono::steady_clock::now() < end) {
        for (int i = 0; i < 100; ++i)
            once();
        runs += 100;
    }
    std::printf("card_codec_fuzz: %ld runs, no fault\n", runs);
    return 0;
}
