// The scripted, recording prompt service.
#include "support/RecordingPrompt.h"

#include <algorithm>
#include <utility>

namespace {

MsgResult defaultResult(int style) {
    static const MsgResult sets[][3] = {
        {MsgResult::OK, MsgResult::OK, MsgResult::OK},
        {MsgResult::OK, MsgResult::Cancel, MsgResult::Cancel},
        {MsgResult::Abort, MsgResult::Retry, MsgResult::Ignore},
        {MsgResult::Yes, MsgResult::No, MsgResult::Cancel},
        {MsgResult::Yes, MsgResult::No, MsgResult::No},
        {MsgResult::Retry, MsgResult::Cancel, MsgResult::Cancel},
    };
    const int buttons = std::min(style & MsgBoxStyle::kButtonsMask, 5);
    const int def = std::min((style & MsgBoxStyle::kDefaultMask) / 256, 2);
    return sets[buttons][def];
}

}  // namespace

QStringList RecordingPrompt::texts() const {
    QStringList out;
    for (const Shown& s : shown_)
        out << s.text;
    return out;
}

MsgResult RecordingPrompt::msgBox(const QString& text, int style, const QString& title, QWidget*) {
    shown_.push_back({Kind::MsgBox, text, title, style, {}});
    if (msgAnswers_.empty()) return defaultResult(style);
    const MsgResult r = msgAnswers_.front();
    msgAnswers_.pop_front();
    return r;
}

bool RecordingPrompt::inputBox(const QString& prompt, const QString& title, const QString&, QString& value,
                               QWidget*) {
    shown_.push_back({Kind::InputBox, prompt, title, 0, {}});
    if (textAnswers_.empty()) {
        value.clear();
        return false;
    }
    const auto [text, ok] = textAnswers_.front();
    textAnswers_.pop_front();
    value = ok ? text : QString();
    return ok;
}

QString RecordingPrompt::nextPath(Kind kind, const QString& title, const QString& dir,
                                  const QString& filter) {
    shown_.push_back({kind, QString(), title, 0, filter.isEmpty() ? dir : dir + u'|' + filter});
    if (chooserError_) std::rethrow_exception(std::exchange(chooserError_, nullptr));
    if (pathAnswers_.empty()) return QString();
    const QString p = pathAnswers_.front();
    pathAnswers_.pop_front();
    return p;
}

QString RecordingPrompt::openFileName(const QString& title, const QString& dir, const QString& filter,
                                      QWidget*) {
    return nextPath(Kind::OpenFile, title, dir, filter);
}
QString RecordingPrompt::saveFileName(const QString& title, const QString& dir, const QString& filter,
                                      QWidget*) {
    return nextPath(Kind::SaveFile, title, dir, filter);
}
QString RecordingPrompt::folder(const QString& title, const QString& dir, QWidget*) {
    return nextPath(Kind::Folder, title, dir, {});
}

bool RecordingPrompt::printerSetup(const QString& title, const std::vector<PrinterSetting>& printers,
                                   PrinterSetting& choice, QWidget*) {
    QStringList names;
    for (const PrinterSetting& p : printers)
        names << p.printer;
    shown_.push_back({Kind::PrinterSetup, names.join(u'|'), title, 0, {}});
    if (setupAnswers_.empty()) return false;
    choice = setupAnswers_.front();
    setupAnswers_.pop_front();
    return true;
}

bool RecordingPrompt::choosePrinter(const QString& title, const QStringList& printers, QString& name,
                                    int* copies, QWidget*) {
    shown_.push_back({Kind::Printer, printers.join(u'|'), title, 0, {}});
    if (printerAnswers_.empty()) return false;
    const auto [chosen, count] = printerAnswers_.front();
    printerAnswers_.pop_front();
    name = chosen;
    if (copies) *copies = count;
    return true;
}

bool RecordingPrompt::chooseFont(QFont& font, QWidget*) {
    shown_.push_back({Kind::Font, QString(), QString(), 0, {}});
    if (fontAnswers_.empty()) return false;
    font = fontAnswers_.front();
    fontAnswers_.pop_front();
    return true;
}

bool RecordingPrompt::chooseColor(QColor& color, QWidget*) {
    shown_.push_back({Kind::Color, QString(), QString(), 0, {}});
    if (colorAnswers_.empty()) return false;
    color = colorAnswers_.front();
    colorAnswers_.pop_front();
    return true;
}

void RecordingPrompt::beep() {
    shown_.push_back({Kind::Beep, QString(), QString(), 0, {}});
}

int RecordingPrompt::beeps() const {
    return static_cast<int>(
        std::count_if(shown_.begin(), shown_.end(), [](const Shown& s) { return s.kind == Kind::Beep; }));
}

ScopedRecordingPrompt::ScopedRecordingPrompt() : prompt_(std::make_shared<RecordingPrompt>()) {
    previous_ = Prompt::setInstance(prompt_);
}
ScopedRecordingPrompt::~ScopedRecordingPrompt() {
    Prompt::setInstance(previous_);
}
