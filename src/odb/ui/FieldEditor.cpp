// Field editors of the record window.
#include "odb/ui/FieldEditor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStringList>
#include <QToolButton>

#include "odb/FieldValueText.h"
#include "odb/Schema.h"
#include "platform/Prompt.h"

namespace odb {

namespace {
const QString kSecretMask = QStringLiteral("********");
}

FieldEditor::FieldEditor(const FieldDef& field, bool editable, QWidget* parent)
    : QWidget(parent), field_(field), editable_(editable) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    setObjectName(field.name);
    if (!field.valueList.isEmpty()) {
        combo_ = new QComboBox(this);
        combo_->addItem(QString(), QString());
        const QStringList parts = field.valueList.split(QLatin1Char('|'));
        for (int i = 0; i + 1 < parts.size(); i += 2)
            combo_->addItem(parts[i + 1], parts[i].trimmed());
        combo_->setEnabled(editable);
        layout->addWidget(combo_, 1);
        connect(combo_, &QComboBox::activated, this, [this] { emit edited(this); });
        return;
    }
    if (field.type == ftBoolean) {
        check_ = new QCheckBox(this);
        check_->setEnabled(editable);
        layout->addWidget(check_, 1);
        connect(check_, &QCheckBox::clicked, this, [this] { emit edited(this); });
        return;
    }
    if (field.type == ftMemo) {
        memo_ = new QPlainTextEdit(this);
        memo_->setReadOnly(!editable);
        memo_->setTabChangesFocus(true);
        memo_->setFixedHeight(memo_->fontMetrics().height() * 4 + 12);
        memo_->installEventFilter(this);
        layout->addWidget(memo_, 1);
        return;
    }
    line_ = new QLineEdit(this);
    layout->addWidget(line_, 1);
    if (field.Secret()) {
        // Written by the program only, and never shown in clear.
        line_->setEchoMode(QLineEdit::Password);
        line_->setReadOnly(true);
        return;
    }
    if (field.size > 0 && (field.type == ftText || field.type == ftCodeText || field.type == ftMailLink))
        line_->setMaxLength(field.size);
    switch (field.type) {
        case ftDate:
            line_->setPlaceholderText(QStringLiteral("gg/mm/aaaa"));
            break;
        case ftTime:
            line_->setPlaceholderText(QStringLiteral("hh:mm"));
            break;
        case ftDateTime:
            line_->setPlaceholderText(QStringLiteral("gg/mm/aaaa hh:mm"));
            break;
        case ftLong:
        case ftDecimal:
        case ftQuantity:
        case ftCurrency:
            line_->setAlignment(Qt::AlignRight);
            break;
        default:
            break;
    }
    if (isFile()) {
        // The file is chosen, never typed.
        line_->setReadOnly(true);
        browse_ = new QToolButton(this);
        browse_->setText(QStringLiteral("..."));
        browse_->setToolTip(QStringLiteral("Scegli il file"));
        clear_ = new QToolButton(this);
        clear_->setText(QStringLiteral("X"));
        clear_->setToolTip(QStringLiteral("Togli il file"));
        browse_->setVisible(editable);
        clear_->setVisible(editable);
        layout->addWidget(browse_);
        layout->addWidget(clear_);
        connect(browse_, &QToolButton::clicked, this, &FieldEditor::chooseFile);
        connect(clear_, &QToolButton::clicked, this, [this] {
            line_->clear();
            emit edited(this);
        });
        return;
    }
    line_->setReadOnly(!editable);
    connect(line_, &QLineEdit::editingFinished, this, &FieldEditor::commit);
}

bool FieldEditor::isFile() const {
    return field_.type == ftFileLink || field_.type == ftPictureFile || field_.type == ftImageFile;
}

QWidget* FieldEditor::input() const {
    if (combo_) return combo_;
    if (check_) return check_;
    if (memo_) return memo_;
    return line_;
}

void FieldEditor::setValue(const Variant& value) {
    if (combo_) {
        const int i = value.isEmptyOrNull() ? 0 : combo_->findData(value.toText());
        if (i >= 0) {
            combo_->setCurrentIndex(i);
        } else {
            // A code the list does not name is shown as it is.
            combo_->addItem(value.toText(), value.toText());
            combo_->setCurrentIndex(combo_->count() - 1);
        }
        shown_ = combo_->currentText();
        return;
    }
    if (check_) {
        check_->setChecked(!value.isEmptyOrNull() && value.toBool());
        return;
    }
    if (field_.Secret()) {
        secretSet_ = !value.toText().isEmpty();
        shown_ = secretSet_ ? kSecretMask : QString();
        line_->setText(shown_);
        return;
    }
    shown_ = isFile() ? value.toText() : FieldValueText(field_, value);
    if (memo_)
        memo_->setPlainText(shown_);
    else
        line_->setText(shown_);
}

QString FieldEditor::currentText() const {
    if (memo_) return memo_->toPlainText();
    if (line_) return line_->text();
    if (combo_) return combo_->currentText();
    return {};
}

void FieldEditor::commit() {
    if (!editable_ || combo_ || check_ || field_.Secret()) return;
    if (currentText() != shown_) emit edited(this);
}

bool FieldEditor::read(Variant& value, QString& problem) const {
    if (combo_) {
        const QString code = combo_->currentData().toString();
        if (code.isEmpty()) {
            value = Variant::null();
            return true;
        }
        return ParseFieldText(field_, code, value, &problem);
    }
    if (check_) {
        value = Variant(check_->isChecked());
        return true;
    }
    const QString text = currentText();
    if (isFile()) {
        value = text.isEmpty() ? Variant::null() : Variant(text);
        return true;
    }
    // An amount is read as the user sees it, with or without the euro sign.
    return ParseFieldText(field_, text, value, &problem);
}

void FieldEditor::chooseFile() {
    const bool image = field_.type == ftPictureFile || field_.type == ftImageFile;
    const QString filter = image
                               ? QStringLiteral("Immagini (*.png *.jpg *.jpeg *.bmp *.gif);;Tutti i file (*)")
                               : QStringLiteral("Tutti i file (*)");
    const QString dir = line_->text().isEmpty() ? QString() : QFileInfo(line_->text()).absolutePath();
    const QString file = Prompt::instance().openFileName(
        image ? QStringLiteral("Scegli l'immagine") : QStringLiteral("Scegli il file"), dir, filter, this);
    if (file.isEmpty()) return;
    line_->setText(file);
    emit edited(this);
}

bool FieldEditor::eventFilter(QObject* watched, QEvent* event) {
    if (watched == memo_ && event->type() == QEvent::FocusOut) commit();
    return QWidget::eventFilter(watched, event);
}

}  // namespace odb
