// The printer chooser: the proposed printer selected, OK only with a printer chosen.
#include "platform/PrinterChoiceDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

PrinterChoiceDialog::PrinterChoiceDialog(const QString& title, const QStringList& printers,
                                         const QString& proposed, int copies, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("PrinterChoiceDialog"));
    setWindowTitle(title);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Stampante:"), this));
    lstPrinters_ = new QListWidget(this);
    lstPrinters_->addItems(printers);
    const int at = printers.indexOf(proposed);
    lstPrinters_->setCurrentRow(at >= 0 ? at : 0);
    layout->addWidget(lstPrinters_);
    if (copies > 0) {
        auto* form = new QFormLayout;
        txtCopies_ = new QSpinBox(this);
        txtCopies_->setRange(1, 9999);
        txtCopies_->setValue(copies);
        form->addRow(QStringLiteral("Copie:"), txtCopies_);
        layout->addLayout(form);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(buttons);
    QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
    ok->setEnabled(lstPrinters_->currentItem() != nullptr);
    connect(lstPrinters_, &QListWidget::currentRowChanged, this, [ok](int row) { ok->setEnabled(row >= 0); });
    connect(lstPrinters_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    resize(360, 280);
}

QString PrinterChoiceDialog::printerName() const {
    const QListWidgetItem* item = lstPrinters_->currentItem();
    return item ? item->text() : QString();
}

int PrinterChoiceDialog::copies() const {
    return txtCopies_ ? txtCopies_->value() : 1;
}
