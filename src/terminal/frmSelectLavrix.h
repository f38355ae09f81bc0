// frmSelectLavrix: the worker who closes a work step chooses which of his other open job-order
// details close with it, as one group sharing the time. Numbers move between the two lists by
// scanning them, typing them or double-clicking them. One shared window.
#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

class QLineEdit;
class QListWidget;
class QPushButton;

class frmSelectLavrix : public QDialog {
    Q_OBJECT
  public:
    static frmSelectLavrix* Get();

    QListWidget* lstOpenSubLavrix() const { return lstOpenSubLavrix_; }
    QListWidget* lstSubLavrixToClose() const { return lstSubLavrixToClose_; }
    QLineEdit* txtFind_Commessa() const { return txtFind_Commessa_; }
    QPushButton* cmdConferma() const { return cmdConferma_; }

    // Shows the window modally over `parent` with the lists the caller filled.
    void ShowModal(QWidget* parent);
    // The numbers of the list to close, in list order.
    QStringList ToClose() const;
    // Closes the window and empties both lists: a window left this way closes nothing.
    void Unload();

    void cmdConferma_Click();
    void reject() override { Unload(); }

  protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

  private:
    frmSelectLavrix();
    void txtFind_Commessa_Change();
    void listDoubleClicked(QListWidget* list);
    void MoveScannedNumber(const QString& number);
    static bool FindInList(QListWidget* list, const QString& number, int& index);
    void MoveListItem(QListWidget* from, int index, QListWidget* to);

    QListWidget* lstOpenSubLavrix_ = nullptr;
    QListWidget* lstSubLavrixToClose_ = nullptr;
    QLineEdit* txtFind_Commessa_ = nullptr;
    QPushButton* cmdConferma_ = nullptr;
    bool moving_ = false;
};
