// The lookup editor.
#include "odb/ui/LookupEditor.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QToolButton>

#include "odb/Schema.h"

namespace odb {

LookupEditor::LookupEditor(const ReferenceDef& reference, bool editable, QWidget* parent)
    : QWidget(parent), reference_(reference) {
    setObjectName(reference.name);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    line_ = new QLineEdit(this);
    line_->setReadOnly(true);
    choose_ = new QToolButton(this);
    choose_->setText(QStringLiteral("..."));
    choose_->setToolTip(QStringLiteral("Scegli"));
    clear_ = new QToolButton(this);
    clear_->setText(QStringLiteral("X"));
    clear_->setToolTip(QStringLiteral("Togli la scelta"));
    choose_->setVisible(editable);
    clear_->setVisible(editable);
    layout->addWidget(line_, 1);
    layout->addWidget(choose_);
    layout->addWidget(clear_);
    connect(choose_, &QToolButton::clicked, this, [this] { emit chooseRequested(this); });
    connect(clear_, &QToolButton::clicked, this, [this] { emit clearRequested(this); });
}

void LookupEditor::setText(const QString& text) {
    line_->setText(text);
    line_->setCursorPosition(0);
}

}  // namespace odb
