// frmActionLavrixManager: the window in which a worker applies one action (open, close, suspend,
// resume a work step, or close the detail) to the job-order details he scans. It shows the
// detail's summary and state, reads the worker's card once per use, checks the action, has it
// written and asks whether to go on. An idle window closes itself after 30 seconds.
#pragma once

#include <QDialog>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <cstdint>

class QFrame;
class QLabel;
class QLineEdit;
class QTimer;

class frmActionLavrixManager : public QDialog {
    Q_OBJECT
  public:
    static frmActionLavrixManager* Get();
    static bool IsLoaded();

    // Starts a use of the window for `action` (0 to 4), shown without blocking over `parent`.
    void ExecuteFunction(QWidget* parent, int32_t action);
    // Ends the use: the worker is forgotten and the window closes.
    void Unload();
    // The idle timer's tick: closes the window unless a window opened after it is still up.
    void tmrCancelOperation_Timer();

    int32_t m_lngAction = 0;
    QString m_strOperatorCode;

    QLineEdit* txtFind_Commessa() const { return txtFind_Commessa_; }
    QLabel* lblNumeroCommessa() const { return lblNumeroCommessa_; }
    QLabel* lblDataCommessa() const { return lblDataCommessa_; }
    QLabel* lblCliente() const { return lblCliente_; }
    QLabel* lblParticolari() const { return lblParticolari_; }
    QLabel* lblNote() const { return lblNote_; }
    QLabel* lblStato() const { return lblStato_; }
    QLabel* lblUrgente() const { return lblUrgente_; }
    QLabel* lblNotFound() const { return lblNotFound_; }
    QLabel* lblNomeOperatoreattivo() const { return lblNomeOperatoreattivo_; }
    QTimer* tmrCancelOperation() const { return tmrCancelOperation_; }

    void reject() override { Unload(); }

  protected:
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

  private:
    frmActionLavrixManager();
    void ClearForm();
    void clearSummary();
    void txtFind_Commessa_Change();
    void RunJobOrderAction();
    void runAction(const QString& number);
    // Puts the choice of the details closed together to the worker; the numbers he chose.
    QStringList chooseDetailsToClose(const QStringList& offered, const QStringList& proposed);
    // The worker is forgotten after a refusal, a cancel or an error; the window waits, untimed.
    void forgetWorker();
    void showWorker(const QString& name);

    QPointer<QWidget> panel_;
    QLineEdit* txtFind_Commessa_ = nullptr;
    QLabel* lblNumeroCommessa_ = nullptr;
    QLabel* lblDataCommessa_ = nullptr;
    QLabel* lblCliente_ = nullptr;
    QLabel* lblParticolari_ = nullptr;
    QLabel* lblNote_ = nullptr;
    QLabel* lblStato_ = nullptr;
    QLabel* lblUrgente_ = nullptr;
    QFrame* shpUrgente1_ = nullptr;
    QFrame* shpUrgente2_ = nullptr;
    QLabel* lblOperatoreAttivo_ = nullptr;
    QLabel* lblNomeOperatoreattivo_ = nullptr;
    QLabel* lblNotFound_ = nullptr;
    QTimer* tmrCancelOperation_ = nullptr;
    bool loaded_ = false;
    bool running_ = false;  // an action is under way (its dialogs and messages are up)
    bool settingText_ = false;
};
