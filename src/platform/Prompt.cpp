// The process-wide prompt service.
#include "platform/Prompt.h"

#include <QApplication>

#include "platform/QtPrompt.h"
#include "platform/WaitingForUser.h"

namespace {

std::shared_ptr<Prompt>& current() {
    static std::shared_ptr<Prompt> p;
    return p;
}

Prompt& service() {
    if (!current()) current() = std::make_shared<QtPrompt>();
    return *current();
}

// What callers reach: the service in use, with each of its boxes and choosers marked as a wait for
// the user, so that no caller has to say so.
class MarkedPrompt final : public Prompt {
  public:
    MsgResult msgBox(const QString& text, int style, const QString& title, QWidget* owner) override {
        const WaitingForUser waiting;
        return service().msgBox(text, style, title, owner);
    }
    bool inputBox(const QString& prompt, const QString& title, const QString& defaultValue, QString& value,
                  QWidget* owner) override {
        const WaitingForUser waiting;
        return service().inputBox(prompt, title, defaultValue, value, owner);
    }
    QString openFileName(const QString& title, const QString& dir, const QString& filter,
                         QWidget* owner) override {
        const WaitingForUser waiting;
        return service().openFileName(title, dir, filter, owner);
    }
    QString saveFileName(const QString& title, const QString& dir, const QString& filter,
                         QWidget* owner) override {
        const WaitingForUser waiting;
        return service().saveFileName(title, dir, filter, owner);
    }
    QString folder(const QString& title, const QString& dir, QWidget* owner) override {
        const WaitingForUser waiting;
        return service().folder(title, dir, owner);
    }
    bool choosePrinter(const QString& title, const QStringList& printers, QString& name, int* copies,
                       QWidget* owner) override {
        const WaitingForUser waiting;
        return service().choosePrinter(title, printers, name, copies, owner);
    }
    bool printerSetup(const QString& title, const std::vector<PrinterSetting>& printers,
                      PrinterSetting& choice, QWidget* owner) override {
        const WaitingForUser waiting;
        return service().printerSetup(title, printers, choice, owner);
    }
    bool chooseFont(QFont& font, QWidget* owner) override {
        const WaitingForUser waiting;
        return service().chooseFont(font, owner);
    }
    bool chooseColor(QColor& color, QWidget* owner) override {
        const WaitingForUser waiting;
        return service().chooseColor(color, owner);
    }
    void beep() override { service().beep(); }
};

}  // namespace

Prompt& Prompt::instance() {
    static MarkedPrompt marked;
    return marked;
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
