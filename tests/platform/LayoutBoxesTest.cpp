// The boxes of the layout windows: the script box's line ends, the masked box's refusals.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontInfo>
#include <QKeyEvent>

#include "base/AppError.h"
#include "platform/MaskedBox.h"
#include "platform/ScriptBox.h"

namespace {

void type(QWidget& w, const QString& text) {
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(&w, &press);
    }
}

TEST(ScriptBox, AnUntouchedScriptComesBackByteForByteAnEditedOneWithCrLf) {
    ScriptBox box;
    EXPECT_TRUE(QFontInfo(box.font()).fixedPitch());
    // Mixed line ends, a tab and a non-breaking space (which a plain-text read would turn into a blank).
    const QString stored = QStringLiteral("a\r\nb\rc\nd\t\u00A0e\r\n");
    box.SetScript(stored);
    EXPECT_EQ(QStringLiteral("a\nb\nc\nd\t\u00A0e\n"), box.EditedText());
    EXPECT_EQ(stored, box.Script());
    // Typed at the end: every line now ends with CR LF, the typed line without one.
    box.moveCursor(QTextCursor::End);
    type(box, QStringLiteral("x"));
    EXPECT_EQ(QStringLiteral("a\r\nb\r\nc\r\nd\t\u00A0e\r\nx"), box.Script());
    // Taken back, the box shows what it was given again: the given text comes back.
    box.textCursor().deletePreviousChar();
    EXPECT_EQ(stored, box.Script());
}

TEST(MaskedBox, TakesWhatItsMaskAndLengthAllowAndRefusesTheRest) {
    MaskedBox digits(QStringLiteral("9#"), 2);
    MaskedBox any(QString(), 5);
    for (const char* t : {"", "7", "12"})
        EXPECT_TRUE(digits.Accepts(QString::fromLatin1(t))) << t;
    for (const char* t : {"123", "x7", "1.", " 1"})
        EXPECT_FALSE(digits.Accepts(QString::fromLatin1(t))) << t;
    EXPECT_TRUE(any.Accepts(QStringLiteral("32,5 ")));
    EXPECT_FALSE(any.Accepts(QStringLiteral("123456")));

    // A refused text raises "Valore della proprietà non valido" and leaves the box as it was, where a
    // QLineEdit would have cut it to its length.
    digits.SetText(QStringLiteral("3"));
    for (const char* t : {"x7", "123"}) {
        try {
            digits.SetText(QString::fromLatin1(t));
            ADD_FAILURE() << t;
        } catch (const AppError& e) {
            EXPECT_EQ(380, e.number());
        }
        EXPECT_EQ(QStringLiteral("3"), digits.text());
    }
    // Typing goes through the same rules.
    digits.clear();
    type(digits, QStringLiteral("4a56"));
    EXPECT_EQ(QStringLiteral("45"), digits.text());
}

}  // namespace
