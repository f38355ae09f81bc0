// frmCommandPanel: the home window of a shop-floor workstation. Nine large buttons, each pressed by
// its digit key, record the worker's attendance (entry, exit, extra entry and exit) or start a
// job-order action; a status bar repeats the main window's status line. Esc closes it and shows
// the window it was shown over.
#pragma once

#include <QDialog>
#include <QPointer>
#include <QString>

#include <cstdint>
#include <memory>

class HiddenPointer;
class QLabel;
class QPushButton;

class frmCommandPanel : public QDialog {
    Q_OBJECT
  public:
    // The one panel, loaded on first use; nullptr when it is not loaded.
    static frmCommandPanel* Get();
    // Loads the panel when needed and shows it without blocking over `owner`.
    static frmCommandPanel* ShowOver(QWidget* owner);

    void SetAppTitle();
    void SetStatusMsg(const QString& msg);
    QString StatusMsg() const;
    // Closes the panel for this run; on a workstation its user is logged out.
    void Unload();

    // The button that the digit `digit` (0 to 8) presses.
    QPushButton* Button(int digit) const;

    void reject() override;

  protected:
    bool eventFilter(QObject* watched, QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

  private:
    explicit frmCommandPanel(QWidget* owner);
    ~frmCommandPanel() override;
    void Form_Load();
    void RegisterAccess(int32_t kind);
    void jobOrderAction(int32_t action);

    QPointer<QWidget> owner_;
    QPushButton* buttons_[9] = {};
    QLabel* sbStatusBar_ = nullptr;
    std::unique_ptr<HiddenPointer> pointer_;
    bool loaded_ = false;
};
