// frmCheckMail ("Controllo E-Mail di notifica"): the administrator copies of the notifications
// found in this computer's inbox, newest first; and DisplaySystemMail, which fills such a list.
#pragma once

#include <QWidget>

class QListWidget;
class QPushButton;

class frmCheckMail : public QWidget {
    Q_OBJECT
  public:
    // The load: fills the list, then gives the owner its normal mouse pointer back.
    explicit frmCheckMail(QWidget* owner = nullptr);

    // Shows the window without blocking over `owner`; it deletes itself when closed. One list at a
    // time: an open one comes forward, while one is being read a beep answers; null when no list
    // is shown, as when the program's end stopped the reading.
    static frmCheckMail* ShowOver(QWidget* owner);

    QListWidget* lstMailSent() const { return lstMailSent_; }
    void cmdChiudi_Click() { close(); }

  private:
    QListWidget* lstMailSent_ = nullptr;
    QPushButton* cmdChiudi_ = nullptr;
    bool stopped_ = false;
};

// The list: "dd/mm/yyyy hh:nn - " and the subject of each message of the inbox whose subject
// begins with "Notifica inviata a: ", newest first, at most 301. The subject and text are not
// read. A failure is shown; the lines read before it stay, but none after a breach of the
// exchange's deadline or of its bound on a response. False when the program's end stopped the
// reading: nothing is shown.
bool DisplaySystemMail(const QString& mailObject, const QString& mailText, QListWidget* list);
