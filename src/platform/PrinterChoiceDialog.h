// PrinterChoiceDialog: the printer chooser of the prompt service: a list of the printers offered and,
// for the runs that print several copies, a copies box.
#pragma once

#include <QDialog>
#include <QStringList>

class QListWidget;
class QSpinBox;

class PrinterChoiceDialog : public QDialog {
    Q_OBJECT
  public:
    // `copies` 0 hides the copies box.
    PrinterChoiceDialog(const QString& title, const QStringList& printers, const QString& proposed,
                        int copies, QWidget* parent = nullptr);

    QString printerName() const;
    int copies() const;

  private:
    QListWidget* lstPrinters_ = nullptr;
    QSpinBox* txtCopies_ = nullptr;
};
