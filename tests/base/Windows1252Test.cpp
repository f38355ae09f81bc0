// The Windows-1252 code page: characters and whole texts, checked against the C library's own table.
#include <gtest/gtest.h>

#include <iconv.h>

#include "base/Windows1252.h"

namespace {

// The character glibc gives for a code, or 0 where the page leaves the code undefined.
char16_t iconvChar(unsigned char code) {
    iconv_t cd = iconv_open("UTF-16LE", "WINDOWS-1252");
    EXPECT_NE(cd, reinterpret_cast<iconv_t>(-1));
    char in[1] = {static_cast<char>(code)};
    char out[4] = {};
    char* inPtr = in;
    char* outPtr = out;
    size_t inLeft = 1, outLeft = sizeof out;
    const size_t done = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (done == static_cast<size_t>(-1)) return 0;
    return static_cast<char16_t>(static_cast<unsigned char>(out[0]) | static_cast<unsigned char>(out[1])
                                                                          << 8);
}

TEST(Windows1252, EveryCodeMapsAsTheCLibraryAndBack) {
    QByteArray all;
    for (int code = 0; code < 256; ++code)
        all.append(static_cast<char>(code));
    const QString text = DecodeWindows1252(all);
    ASSERT_EQ(256, text.size());
    for (int code = 0; code < 256; ++code) {
        const char16_t expected = iconvChar(static_cast<unsigned char>(code));
        // Undefined codes stand for the control character of their number.
        EXPECT_EQ(expected ? expected : char16_t(code), text[code].unicode()) << code;
        EXPECT_EQ(text[code], AnsiToChar(code)) << code;
        EXPECT_EQ(code, CharToAnsi(text[code])) << code;
    }
    EXPECT_EQ(all, EncodeWindows1252(text));
}

TEST(Windows1252, TextsOutsideThePageBecomeQuestionMarks) {
    EXPECT_EQ(QStringLiteral("à"), DecodeWindows1252("\xE0"));
    EXPECT_EQ(QByteArray("\x80 \xE8", 3), EncodeWindows1252(u"€ è"));
    // A Greek letter, a CJK character and one outside the basic plane (two UTF-16 units): one "?" each.
    EXPECT_EQ(QByteArray("a?b?c?d"), EncodeWindows1252(u"a\u03A9b\u4E2Dc\U0001F600d"));
    EXPECT_EQ('?', CharToAnsi(QChar(0x03A9)));
    // A lone half of a surrogate pair is a character outside the page too.
    EXPECT_EQ(QByteArray("?x?"),
              EncodeWindows1252(QString(QChar(0xD83D)) + QLatin1Char('x') + QChar(0xDE00)));
    EXPECT_EQ(QByteArray(), EncodeWindows1252(QString()));
    EXPECT_EQ(QString(), DecodeWindows1252(QByteArray()));
}

}  // namespace
