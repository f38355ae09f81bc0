// frmShowException: the error details window: the code and the full message of an error, shown in
// the browser, saved to a text file or mailed to the support service.
#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QPlainTextEdit;
class QPushButton;

class frmShowException : public QDialog {
    Q_OBJECT
  public:
    explicit frmShowException(QWidget* parent = nullptr);

    // Fills the window: a message whose lines are separated by carriage returns alone gets
    // carriage return plus line feed between them.
    void SetException(const QString& code, const QString& message);

    void cmdBrowser_Click();
    void cmdSave_Click();
    void cmdSupport_Click();
    void cmdEsc_Click();

    // "Error: " + code + message, the text that is saved and mailed.
    QString ErrorText() const;
    // The support mail link carrying `text` as its body, encoded so that no character of the text
    // can end the body or the link.
    static QString SupportMailLink(const QString& text);
    static QString SupportMailAddress();

    QString codeText() const;
    QString messageText() const { return message_; }
    QLabel* lblCode() const { return lblCode_; }
    QPlainTextEdit* txtMsg() const { return txtMsg_; }
    QPushButton* cmdBrowser() const { return cmdBrowser_; }
    QPushButton* cmdSave() const { return cmdSave_; }
    QPushButton* cmdSupport() const { return cmdSupport_; }
    QPushButton* cmdEsc() const { return cmdEsc_; }

  private:
    QString message_;  // the text of txtMsg, line ends as given
    QLabel* lblCode_ = nullptr;
    QPlainTextEdit* txtMsg_ = nullptr;
    QPushButton* cmdBrowser_ = nullptr;
    QPushButton* cmdSave_ = nullptr;
    QPushButton* cmdSupport_ = nullptr;
    QPushButton* cmdEsc_ = nullptr;
};
