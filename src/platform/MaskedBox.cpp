// The masked box: a validator made from the mask, and the checked text setter.
#include "platform/MaskedBox.h"

#include <QRegularExpressionValidator>

#include "base/AppError.h"

namespace {

QString patternOf(const QString& mask) {
    if (mask.isEmpty()) return QStringLiteral(".*");
    QString pattern;
    for (const QChar c : mask)
        pattern += c == u'9' || c == u'#' ? QStringLiteral("[0-9]?") : QRegularExpression::escape(QString(c));
    return pattern;
}

}  // namespace

MaskedBox::MaskedBox(const QString& mask, int maxLength, QWidget* parent)
    : QLineEdit(parent),
      mask_(mask),
      pattern_(QRegularExpression::anchoredPattern(patternOf(mask)),
               QRegularExpression::DotMatchesEverythingOption) {
    setMaxLength(maxLength);
    if (!mask.isEmpty()) setValidator(new QRegularExpressionValidator(pattern_, this));
}

bool MaskedBox::Accepts(const QString& text) const {
    return text.size() <= maxLength() && pattern_.match(text).hasMatch();
}

void MaskedBox::SetText(const QString& text) {
    if (!Accepts(text)) RaiseVbError(380);
    setText(text);
}
