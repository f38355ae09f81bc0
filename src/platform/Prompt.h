// The prompt service: every message box, question, input box and file chooser of the program goes
// through it, so that tests answer questions and read the exact texts shown.
#pragma once

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

#include "platform/PrinterSetting.h"

class QColor;
class QFont;
class QWidget;

// VB's MsgBox style bits: buttons (0-5), icon (16, 32, 48, 64), default button (0, 256, 512).
namespace MsgBoxStyle {
inline constexpr int vbOKOnly = 0;
inline constexpr int vbOKCancel = 1;
inline constexpr int vbAbortRetryIgnore = 2;
inline constexpr int vbYesNoCancel = 3;
inline constexpr int vbYesNo = 4;
inline constexpr int vbRetryCancel = 5;
inline constexpr int vbCritical = 16;
inline constexpr int vbQuestion = 32;
inline constexpr int vbExclamation = 48;
inline constexpr int vbInformation = 64;
inline constexpr int vbDefaultButton1 = 0;
inline constexpr int vbDefaultButton2 = 256;
inline constexpr int vbDefaultButton3 = 512;
inline constexpr int kButtonsMask = 7;
inline constexpr int kIconMask = 112;
inline constexpr int kDefaultMask = 768;
}  // namespace MsgBoxStyle

// VB's MsgBox results.
enum class MsgResult { OK = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7 };

class Prompt {
  public:
    virtual ~Prompt() = default;

    virtual MsgResult msgBox(const QString& text, int style = 0, const QString& title = {},
                             QWidget* owner = nullptr) = 0;
    // Returns false when the user cancels; `value` then stays empty.
    virtual bool inputBox(const QString& prompt, const QString& title, const QString& defaultValue,
                          QString& value, QWidget* owner = nullptr) = 0;
    // File choosers: filter in Qt's form ("Database (*.mdb);;Tutti i file (*)"); empty when cancelled.
    // `dir` may end with a file name, which is then proposed. An empty title leaves the dialog's own.
    // The save chooser never asks whether to replace an existing file: callers ask their own question.
    virtual QString openFileName(const QString& title, const QString& dir, const QString& filter,
                                 QWidget* owner = nullptr) = 0;
    virtual QString saveFileName(const QString& title, const QString& dir, const QString& filter,
                                 QWidget* owner = nullptr) = 0;
    virtual QString folder(const QString& title, const QString& dir, QWidget* owner = nullptr) = 0;
    // The printer chooser: `printers` are the device names offered; `name` comes in as the one proposed
    // and goes out as the one chosen. With `copies` a copies box shows it and takes the answer back.
    // Returns false when the user cancels (`name` and `copies` are then left as they were).
    virtual bool choosePrinter(const QString& title, const QStringList& printers, QString& name,
                               int* copies = nullptr, QWidget* owner = nullptr) = 0;
    // The printer setup under that title: `printers` as they are set now; `choice` comes in as the one
    // proposed and goes out as the printer, paper and orientation chosen. Returns false when the user
    // cancels (`choice` is then left as it was). A quiet service (benchmarks) cancels.
    virtual bool printerSetup(const QString& title, const std::vector<PrinterSetting>& printers,
                              PrinterSetting& choice, QWidget* owner = nullptr);
    // The font chooser, proposing `font`; returns false when the user cancels (`font` then stays).
    // A quiet service (benchmarks) cancels.
    virtual bool chooseFont(QFont& font, QWidget* owner = nullptr);
    // The colour chooser, proposing `color`; returns false when the user cancels. A quiet service cancels.
    virtual bool chooseColor(QColor& color, QWidget* owner = nullptr);
    // The warning beep of a refused answer or action.
    virtual void beep();

    // The service in use (a Qt implementation unless one was set), each box and chooser marked as a
    // wait for the user (WaitingForUser).
    static Prompt& instance();
    // Replaces the service (tests); returns the previous one.
    static std::shared_ptr<Prompt> setInstance(std::shared_ptr<Prompt> prompt);
};

// The program's title for message boxes that give none.
QString DefaultMsgBoxTitle();
// A text or title as a box shows it: VB texts end their lines with CR LF or a bare CR.
QString ShownText(const QString& vbText);
