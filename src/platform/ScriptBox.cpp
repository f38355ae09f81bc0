// The script box and its line-end conversions.
#include "platform/ScriptBox.h"

#include <QFont>

namespace {

QString toLf(const QString& text) {
    QString out(text);
    out.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    out.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return out;
}

}  // namespace

ScriptBox::ScriptBox(QWidget* parent) : QPlainTextEdit(parent) {
    QFont font(QStringLiteral("Courier New"), 10);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    setFont(font);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setWordWrapMode(QTextOption::NoWrap);
}

void ScriptBox::SetScript(const QString& script) {
    given_ = script;
    shown_ = toLf(script);
    setPlainText(shown_);
    // The box's own text may differ (characters a document keeps otherwise): compare with what it shows.
    shown_ = EditedText();
}

QString ScriptBox::EditedText() const {
    // The raw text keeps non-breaking spaces, which toPlainText would turn into blanks.
    QString text = document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return text;
}

QString ScriptBox::Script() const {
    QString text = EditedText();
    if (text == shown_) return given_;
    text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return text;
}
