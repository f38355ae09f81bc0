// The process-wide prompt service.
#include "platform/Prompt.h"

#include <QApplication>

#include "platform/QtPrompt.h"

namespace {
std::shared_ptr<Prompt>& current() {
    static std::shared_ptr<Prompt> p;
    return p;
}
}  // namespace

Prompt& Prompt::instance() {
    if (!current()) current() = std::make_shared<QtPrompt>();
    return *current();
}

std::shared_ptr<Prompt> Prompt::setInstance(std::shared_ptr<Prompt> prompt) {
    auto previous = current();
    current() = std::move(prompt);
    return previous;
}

bool Prompt::printerSetup(const QString&, const std::vector<PrinterSetting>&, PrinterSetting&, QWidget*) {
    return false;
}

bool Prompt::chooseFont(QFont&, QWidget*) {
    return false;
}

bool Prompt::chooseColor(QColor&, QWidget*) {
    return false;
}

void Prompt::beep() {
    QApplication::beep();
}

QString DefaultMsgBoxTitle() {
    return QStringLiteral("Zelto Lavrix");
}

QString ShownText(const QString& vbText) {
    return QString(vbText)
        .replace(QLatin1String("\r\n"), QLatin1String("\n"))
        .replace(QLatin1Char('\r'), QLatin1Char('\n'));
}
