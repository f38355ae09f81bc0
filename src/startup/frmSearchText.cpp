// The search dialog.
#include "startup/frmSearchText.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "odb/ui/ModalDialog.h"

QString frmSearchText::LastFieldName;
QString frmSearchText::LastSearchText;
QString frmSearchText::SearchText;
bool frmSearchText::SearchInside = false;
bool frmSearchText::Confirmed = false;
bool frmSearchText::SearchNext = false;
QString frmSearchText::PendingKeys;

namespace {
// The inside search needs a text of at least this length.
constexpr int kMinInsideLength = 2;
}  // namespace

frmSearchText::frmSearchText(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Cerca in"));
    setObjectName(QStringLiteral("frmSearchText"));
    lblFieldName_ = new QLabel(this);
    QFont bold = lblFieldName_->font();
    bold.setBold(true);
    lblFieldName_->setFont(bold);
    txtSearch_ = new QLineEdit(this);
    txtSearch_->setMinimumWidth(260);
    chkInternal_ = new QCheckBox(QStringLiteral(" [F2] &Intern."), this);
    chkInternal_->setToolTip(QStringLiteral("Cerca anche all'interno delle stringhe"));
    chkInternal_->setEnabled(false);
    cmdOK_ = new QPushButton(QStringLiteral("&OK"), this);
    cmdNext_ = new QPushButton(QStringLiteral("&Successivo [F3]"), this);
    cmdOK_->setDefault(true);

    auto* grid = new QGridLayout(this);
    grid->addWidget(lblFieldName_, 0, 0);
    grid->addWidget(txtSearch_, 1, 0);
    grid->addWidget(cmdOK_, 1, 1);
    grid->addWidget(chkInternal_, 2, 0);
    grid->addWidget(cmdNext_, 2, 1);
    grid->setSizeConstraint(QLayout::SetFixedSize);

    connect(cmdOK_, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(cmdNext_, &QPushButton::clicked, this, [this] { cmdNext_Click(); });
    connect(txtSearch_, &QLineEdit::textChanged, this, [this] { txtSearch_Change(); });
    for (QWidget* w : {static_cast<QWidget*>(txtSearch_), static_cast<QWidget*>(chkInternal_),
                       static_cast<QWidget*>(cmdOK_), static_cast<QWidget*>(cmdNext_)})
        w->installEventFilter(this);
    installEventFilter(this);

    // Load: this call's results start empty; the last field and text stay.
    txtSearch_->clear();
    SearchText.clear();
    SearchInside = false;
    Confirmed = false;
    SearchNext = false;
}

bool frmSearchText::GetSelection(QWidget* parentForm, const QString& fieldName, bool enableInternal,
                                 bool enableNext, const QString& caption) {
    frmSearchText dialog(parentForm);
    if (!caption.isEmpty()) dialog.setWindowTitle(caption);
    dialog.lblFieldName_->setText(fieldName);
    dialog.chkInternal_->setVisible(enableInternal);
    dialog.cmdNext_->setVisible(enableNext);
    dialog.Form_Activate();
    dialog.typePendingKeys();
    odb::RunModal(dialog);
    return Confirmed;
}

void frmSearchText::typePendingKeys() {
    if (PendingKeys.isEmpty()) return;
    // As typed: the keys take the place of the text shown, the cursor after them.
    txtSearch_->setText(PendingKeys);
    PendingKeys.clear();
    keysTyped_ = true;
}

void frmSearchText::Form_Activate() {
    if (lblFieldName_->text() != LastFieldName) {
        cmdOK_->setDefault(true);
        return;
    }
    // The same field again: its last text comes back, and Enter goes on with the search.
    txtSearch_->setText(LastSearchText);
    if (!cmdNext_->isHidden()) cmdNext_->setDefault(true);
}

void frmSearchText::txtSearch_Change() {
    if (cmdNext_->isDefault()) cmdOK_->setDefault(true);
    chkInternal_->setEnabled(txtSearch_->text().size() >= kMinInsideLength);
}

void frmSearchText::cmdOK_Click() {
    confirm(false);
}

void frmSearchText::cmdNext_Click() {
    confirm(true);
}

void frmSearchText::confirm(bool next) {
    SearchText = txtSearch_->text();
    SearchInside = chkInternal_->isEnabled() && chkInternal_->isChecked();
    SearchNext = next;
    Confirmed = true;
    LastFieldName = lblFieldName_->text();
    LastSearchText = SearchText;
    accept();
}

bool frmSearchText::handleKey(int key) {
    switch (key) {
        case Qt::Key_F2:
            chkInternal_->setChecked(!chkInternal_->isChecked());
            return true;
        case Qt::Key_F3:
            cmdNext_Click();
            return true;
        case Qt::Key_Escape:
            reject();
            return true;
        default:
            return false;
    }
}

bool frmSearchText::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() == Qt::NoModifier && handleKey(key->key())) return true;
    } else if (event->type() == QEvent::FocusIn && watched == txtSearch_) {
        // Keys typed before the dialog opened go on with the next key, they are not replaced by it.
        if (keysTyped_)
            keysTyped_ = false;
        else
            QMetaObject::invokeMethod(txtSearch_, &QLineEdit::selectAll, Qt::QueuedConnection);
    }
    return QDialog::eventFilter(watched, event);
}
