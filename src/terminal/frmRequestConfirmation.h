// frmRequestConfirmation: tells the worker that the action was done and asks whether to go on with
// another job-order detail. One shared window; its answer outlives the display.
#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QPushButton;

class frmRequestConfirmation : public QDialog {
    Q_OBJECT
  public:
    static frmRequestConfirmation* Get();

    // Shows the window modally over `parent`: the question is built from m_strOperationType.
    void ShowModal(QWidget* parent);

    // True ends the use of the action window (also when the window is closed any other way).
    bool m_bTerminate = true;
    // The verb of the question ("APRIRE"); the caller sets it before showing the window.
    QString m_strOperationType;

    QLabel* lblQuestion() const { return lblQuestion_; }
    QPushButton* cmdContinued() const { return cmdContinued_; }
    QPushButton* cmdTerminate() const { return cmdTerminate_; }

    void cmdContinued_Click();
    void cmdTerminate_Click();
    void reject() override;

  protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

  private:
    frmRequestConfirmation();
    void Form_Load();

    QLabel* lblFieldName_ = nullptr;
    QLabel* lblQuestion_ = nullptr;
    QPushButton* cmdContinued_ = nullptr;
    QPushButton* cmdTerminate_ = nullptr;
};
