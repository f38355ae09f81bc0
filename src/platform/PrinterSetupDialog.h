// PrinterSetupDialog: the printer setup of the prompt service: the printer, its paper and the
// orientation. Choosing another printer shows that printer's own paper and orientation.
#pragma once

#include <QDialog>

#include <vector>

#include "platform/PrinterSetting.h"

class QComboBox;
class QRadioButton;

class PrinterSetupDialog : public QDialog {
    Q_OBJECT
  public:
    PrinterSetupDialog(const QString& title, const std::vector<PrinterSetting>& printers,
                       const PrinterSetting& proposed, QWidget* parent = nullptr);

    PrinterSetting choice() const;

  private:
    void showSetting(const PrinterSetting& setting);

    std::vector<PrinterSetting> printers_;
    QComboBox* cboPrinter_ = nullptr;
    QComboBox* cboPaper_ = nullptr;
    QRadioButton* optPortrait_ = nullptr;
    QRadioButton* optLandscape_ = nullptr;
};
