// The Windows-1252 code page, checked against the C library's own table.
#include <gtest/gtest.h>

#include <iconv.h>

#include "base/Windows1252.h"

namespace {

// The character glibc gives for a code, or 0 where the page leaves the code undefined.
char16_t iconvChar(unsigned char code) {
    iconv_t cd = iconv_open("UTF-16LE", "WINDOWS-1252");
    char in[1] = {static_cast<char>(code)};
    unsigned char out[4] = {};
    char* inPtr = in;
    char* outPtr = reinterpret_cast<char*>(out);
    size_t inLeft = 1, outLeft = sizeof out;
    const bool done = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<size_t>(-1);
    iconv_close(cd);
    return done ? static_cast<char16_t>(out[0] | out[1] << 8) : 0;
}

TEST(Windows1252, EveryCodeMapsAsTheCLibraryAndBack) {
    QByteArray all;
    for (int code = 0; code < 256; ++code)
        all.append(static_cast<char>(code));
    const QString text = DecodeWindows1252(all);
    ASSERT_EQ(256, text.size());
    for (int code = 0; code < 256; ++code) {
        // Undefined codes stand for the control character of their number.
        const char16_t expected = iconvChar(static_cast<unsigned char>(code));
        EXPECT_EQ(expected ? expected : char16_t(code), text[code].unicode()) << code;
        EXPECT_EQ(text[code], AnsiToChar(code)) << code;
        EXPECT_EQ(code, CharToAnsi(text[code])) << code;
    }
    EXPECT_EQ(all, EncodeWindows1252(text));
    // Outside the page: one "?" a character, also for one outside the basic plane or half of one.
    EXPECT_EQ(QByteArray("a?b?c?\x80"), EncodeWindows1252(u"a\u03A9b\U0001F600c\xD83D\u20AC"));
}

}  // namespace
