// frmSplash: the start-up window with the product name and version.
#pragma once

#include <QWidget>

class QLabel;

class frmSplash : public QWidget {
    Q_OBJECT
  public:
    frmSplash();
    QString versionText() const;
    QString productText() const;

  private:
    QLabel* lblProductName_ = nullptr;
    QLabel* lblVersion_ = nullptr;
};
