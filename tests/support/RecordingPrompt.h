// A prompt service for tests: answers from a script and records every text, icon, button set and title.
#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>

#include <deque>
#include <exception>
#include <vector>

#include "platform/Prompt.h"

class RecordingPrompt : public Prompt {
  public:
    enum class Kind {
        MsgBox,
        InputBox,
        OpenFile,
        SaveFile,
        Folder,
        Printer,
        PrinterSetup,
        Font,
        Color,
        Beep
    };
    struct Shown {
        Kind kind;
        QString text;  // message or input prompt; the printers offered (or set up), joined by "|"
        QString title;
        int style = 0;  // MsgBox style bits
        QString dir;    // a file chooser's starting folder or proposed file, then "|" and its filter
        int buttons() const { return style & MsgBoxStyle::kButtonsMask; }
        int icon() const { return style & MsgBoxStyle::kIconMask; }
        int defaultButton() const { return (style & MsgBoxStyle::kDefaultMask) / 256 + 1; }
    };

    // Answers are taken in order; with none left a message box gets its default button,
    // an input box and a chooser are cancelled.
    void answer(MsgResult r) { msgAnswers_.push_back(r); }
    void answerText(const QString& text, bool ok = true) { textAnswers_.push_back({text, ok}); }
    void answerPath(const QString& path) { pathAnswers_.push_back(path); }
    // The next file chooser raises `error` instead of answering, as a failing library call would.
    void failChooser(std::exception_ptr error) { chooserError_ = std::move(error); }
    // The printer chosen (and copies, when asked); with none left the chooser is cancelled.
    void answerPrinter(const QString& name, int copies = 1) { printerAnswers_.push_back({name, copies}); }
    // The printer, paper and orientation a printer setup chooses; with none left the setup is cancelled.
    void answerPrinterSetup(const QString& name, const QPageSize& paper, int orientation) {
        setupAnswers_.push_back({name, {}, paper, orientation});
    }
    // The font and the colour chosen; with none left the chooser is cancelled.
    void answerFont(const QFont& font) { fontAnswers_.push_back(font); }
    void answerColor(const QColor& color) { colorAnswers_.push_back(color); }
    int beeps() const;

    const std::vector<Shown>& shown() const { return shown_; }
    const Shown& last() const { return shown_.back(); }
    QStringList texts() const;
    void clear() { shown_.clear(); }

    MsgResult msgBox(const QString& text, int style, const QString& title, QWidget* owner) override;
    bool inputBox(const QString& prompt, const QString& title, const QString& defaultValue, QString& value,
                  QWidget* owner) override;
    QString openFileName(const QString& title, const QString& dir, const QString& filter,
                         QWidget* owner) override;
    QString saveFileName(const QString& title, const QString& dir, const QString& filter,
                         QWidget* owner) override;
    QString folder(const QString& title, const QString& dir, QWidget* owner) override;
    bool choosePrinter(const QString& title, const QStringList& printers, QString& name, int* copies,
                       QWidget* owner) override;
    bool printerSetup(const QString& title, const std::vector<PrinterSetting>& printers,
                      PrinterSetting& choice, QWidget* owner) override;
    bool chooseFont(QFont& font, QWidget* owner) override;
    bool chooseColor(QColor& color, QWidget* owner) override;
    void beep() override;

  private:
    QString nextPath(Kind kind, const QString& title, const QString& dir, const QString& filter);
    std::vector<Shown> shown_;
    std::deque<MsgResult> msgAnswers_;
    std::deque<std::pair<QString, bool>> textAnswers_;
    std::deque<QString> pathAnswers_;
    std::exception_ptr chooserError_;
    std::deque<std::pair<QString, int>> printerAnswers_;
    std::deque<PrinterSetting> setupAnswers_;
    std::deque<QFont> fontAnswers_;
    std::deque<QColor> colorAnswers_;
};

// Installs a fresh RecordingPrompt for the scope and puts the previous service back after.
class ScopedRecordingPrompt {
  public:
    ScopedRecordingPrompt();
    ~ScopedRecordingPrompt();
    RecordingPrompt& operator*() { return *prompt_; }
    RecordingPrompt* operator->() { return prompt_.get(); }

  private:
    std::shared_ptr<RecordingPrompt> prompt_;
    std::shared_ptr<Prompt> previous_;
};
