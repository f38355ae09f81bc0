// The printer setup: a printer box, its papers and two orientations.
#include "platform/PrinterSetupDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

PrinterSetupDialog::PrinterSetupDialog(const QString& title, const std::vector<PrinterSetting>& printers,
                                       const PrinterSetting& proposed, QWidget* parent)
    : QDialog(parent), printers_(printers) {
    setObjectName(QStringLiteral("PrinterSetupDialog"));
    setWindowTitle(title);
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    cboPrinter_ = new QComboBox(this);
    cboPrinter_->setObjectName(QStringLiteral("cboPrinter"));
    for (const PrinterSetting& p : printers_)
        cboPrinter_->addItem(p.printer);
    form->addRow(QStringLiteral("Stampante:"), cboPrinter_);
    cboPaper_ = new QComboBox(this);
    cboPaper_->setObjectName(QStringLiteral("cboPaper"));
    form->addRow(QStringLiteral("Carta:"), cboPaper_);
    optPortrait_ = new QRadioButton(QStringLiteral("Verticale"), this);
    optPortrait_->setObjectName(QStringLiteral("optPortrait"));
    optLandscape_ = new QRadioButton(QStringLiteral("Orizzontale"), this);
    optLandscape_->setObjectName(QStringLiteral("optLandscape"));
    auto* orientation = new QHBoxLayout;
    orientation->addWidget(optPortrait_);
    orientation->addWidget(optLandscape_);
    orientation->addStretch();
    form->addRow(QStringLiteral("Orientamento:"), orientation);
    layout->addLayout(form);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(buttons);
    buttons->button(QDialogButtonBox::Ok)->setEnabled(!printers_.empty());
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    // The proposed printer with the paper and orientation proposed, else the first as it is.
    const int at = cboPrinter_->findText(proposed.printer);
    cboPrinter_->setCurrentIndex(at >= 0 ? at : 0);
    if (!printers_.empty()) {
        PrinterSetting shown = printers_[static_cast<size_t>(at >= 0 ? at : 0)];
        if (at >= 0) {
            if (proposed.paper.isValid()) shown.paper = proposed.paper;
            shown.orientation = proposed.orientation;
        }
        showSetting(shown);
    }
    connect(cboPrinter_, &QComboBox::currentIndexChanged, this, [this](int row) {
        if (row >= 0) showSetting(printers_[static_cast<size_t>(row)]);
    });
    // Each printer name shows whole.
    cboPrinter_->setMinimumWidth(cboPrinter_->sizeHint().width());
}

void PrinterSetupDialog::showSetting(const PrinterSetting& setting) {
    cboPaper_->clear();
    const QList<QPageSize>& papers = setting.papers;
    for (int i = 0; i < papers.size(); ++i)
        cboPaper_->addItem(papers[i].name(), i);
    if (papers.isEmpty() && setting.paper.isValid()) cboPaper_->addItem(setting.paper.name(), -1);
    const int at = static_cast<int>(papers.indexOf(setting.paper));
    cboPaper_->setCurrentIndex(at >= 0 ? at : 0);
    cboPaper_->setEnabled(!papers.isEmpty());
    (setting.orientation == 2 ? optLandscape_ : optPortrait_)->setChecked(true);
}

PrinterSetting PrinterSetupDialog::choice() const {
    const int row = cboPrinter_->currentIndex();
    if (row < 0) return {};
    PrinterSetting chosen = printers_[static_cast<size_t>(row)];
    const int paper = cboPaper_->currentData().toInt();
    if (cboPaper_->currentIndex() >= 0 && paper >= 0 && paper < chosen.papers.size())
        chosen.paper = chosen.papers[paper];
    chosen.orientation = optLandscape_->isChecked() ? 2 : 1;
    return chosen;
}
