// The complex filter and predefined selections dialog.
#include "odb/ui/ComplexFilterDialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

#include "base/AppError.h"
#include "odb/Database.h"
#include "odb/FieldValueText.h"
#include "odb/Schema.h"
#include "odb/Table.h"
#include "odb/ui/PanelSupport.h"

namespace odb {

ComplexFilterDialog::ComplexFilterDialog(SelectionSet& set, bool named, const QString& title, QWidget* owner)
    : QDialog(owner), set_(set), named_(named), conditions_(set.Conditions()) {
    setObjectName(QStringLiteral("ComplexFilter"));
    setWindowTitle(title);
    setModal(true);
    CloseWithConnection(*this, set.Table().GetDatabase().GetConnection());
    auto* layout = new QVBoxLayout(this);
    auto* heading = new QLabel(set.Table().Title(), this);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    layout->addWidget(heading);

    if (named_) {
        auto* row = new QHBoxLayout;
        row->addWidget(new QLabel(QStringLiteral("Filtro:"), this));
        cboName_ = new QComboBox(this);
        cboName_->setEditable(true);
        cboName_->setMinimumContentsLength(20);
        row->addWidget(cboName_, 1);
        cmdLoad_ = new QPushButton(QStringLiteral("Carica"), this);
        cmdSave_ = new QPushButton(QStringLiteral("Salva"), this);
        cmdDelete_ = new QPushButton(QStringLiteral("Elimina"), this);
        for (QPushButton* b : {cmdLoad_, cmdSave_, cmdDelete_}) {
            b->setAutoDefault(false);
            row->addWidget(b);
        }
        layout->addLayout(row);
        connect(cmdLoad_, &QPushButton::clicked, this, &ComplexFilterDialog::loadNamed);
        connect(cmdSave_, &QPushButton::clicked, this, &ComplexFilterDialog::saveNamed);
        connect(cmdDelete_, &QPushButton::clicked, this, &ComplexFilterDialog::deleteNamed);
        fillNames();
        cboName_->setCurrentText(set.Name());
    }

    lstConditions_ = new QTableWidget(0, 4, this);
    lstConditions_->setHorizontalHeaderLabels({QStringLiteral("Campo"), QStringLiteral("Condizione"),
                                               QStringLiteral("Valore"), QStringLiteral("Fino a")});
    lstConditions_->setSelectionBehavior(QAbstractItemView::SelectRows);
    lstConditions_->setSelectionMode(QAbstractItemView::SingleSelection);
    lstConditions_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstConditions_->verticalHeader()->setVisible(false);
    lstConditions_->horizontalHeader()->setStretchLastSection(true);
    for (int column = 0; column < 3; ++column)
        lstConditions_->setColumnWidth(column, column == 2 ? 240 : 160);
    layout->addWidget(lstConditions_, 1);

    auto* editors = new QGridLayout;
    editors->addWidget(new QLabel(QStringLiteral("Campo"), this), 0, 0);
    editors->addWidget(new QLabel(QStringLiteral("Condizione"), this), 0, 1);
    editors->addWidget(new QLabel(QStringLiteral("Valore"), this), 0, 2);
    editors->addWidget(new QLabel(QStringLiteral("Fino a"), this), 0, 3);
    cboField_ = new QComboBox(this);
    Table& table = set.Table();
    for (const FieldDef* f : table.Fields())
        if (f->type != ftFileLink && f->type != ftPictureFile && f->type != ftImageFile)
            cboField_->addItem(f->Caption(), f->name);
    for (const ReferenceDef* r : table.References())
        if (!r->collection) cboField_->addItem(NameWords(r->name), r->name);
    cboOperator_ = new QComboBox(this);
    for (int32_t op = 0; op < SelectionSet::opCount; ++op)
        cboOperator_->addItem(SelectionSet::OperatorText(op), op);
    txtValue_ = new QComboBox(this);
    txtValue2_ = new QComboBox(this);
    for (QComboBox* box : {txtValue_, txtValue2_}) {
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->setMinimumContentsLength(12);
    }
    editors->addWidget(cboField_, 1, 0);
    editors->addWidget(cboOperator_, 1, 1);
    editors->addWidget(txtValue_, 1, 2);
    editors->addWidget(txtValue2_, 1, 3);
    editors->setColumnStretch(2, 1);
    editors->setColumnStretch(3, 1);
    layout->addLayout(editors);
    connect(cboField_, &QComboBox::currentIndexChanged, this, &ComplexFilterDialog::fieldChosen);
    connect(cboOperator_, &QComboBox::currentIndexChanged, this, &ComplexFilterDialog::operatorChosen);

    auto* edits = new QHBoxLayout;
    cmdAdd_ = new QPushButton(QStringLiteral("Aggiungi condizione"), this);
    cmdRemove_ = new QPushButton(QStringLiteral("Togli condizione"), this);
    cmdClear_ = new QPushButton(QStringLiteral("Togli tutte"), this);
    for (QPushButton* b : {cmdAdd_, cmdRemove_, cmdClear_}) {
        b->setAutoDefault(false);
        edits->addWidget(b);
    }
    edits->addStretch();
    layout->addLayout(edits);
    connect(cmdAdd_, &QPushButton::clicked, this, &ComplexFilterDialog::addCondition);
    connect(cmdRemove_, &QPushButton::clicked, this, &ComplexFilterDialog::removeCondition);
    connect(cmdClear_, &QPushButton::clicked, this, [this] {
        conditions_.clear();
        showConditions();
    });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    cmdOK_ = new QPushButton(QStringLiteral("OK"), this);
    cmdCancel_ = new QPushButton(QStringLiteral("Annulla"), this);
    cmdOK_->setDefault(true);
    buttons->addWidget(cmdOK_);
    buttons->addWidget(cmdCancel_);
    layout->addLayout(buttons);
    connect(cmdOK_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdCancel_, &QPushButton::clicked, this, &QDialog::reject);

    fieldChosen();
    operatorChosen();
    showConditions();
    resize(720, 420);
}

void ComplexFilterDialog::choose(const QString& field, int32_t op) {
    const int i = cboField_->findData(field, Qt::UserRole, Qt::MatchFixedString);
    if (i >= 0) cboField_->setCurrentIndex(i);
    cboOperator_->setCurrentIndex(cboOperator_->findData(op));
}

void ComplexFilterDialog::fieldChosen() {
    // The labels of a value list are offered; any other value is typed.
    const auto def = set_.Column(cboField_->currentData().toString());
    for (QComboBox* box : {txtValue_, txtValue2_}) {
        box->clear();
        if (def && def->type == ftBoolean) box->addItems({QStringLiteral("Sì"), QStringLiteral("No")});
        if (def && !def->valueList.isEmpty()) {
            const QStringList parts = def->valueList.split(QLatin1Char('|'));
            for (int i = 0; i + 1 < parts.size(); i += 2)
                box->addItem(parts[i + 1]);
        }
        box->setCurrentIndex(-1);
        box->setEditText(QString());
    }
}

void ComplexFilterDialog::operatorChosen() {
    const int values = SelectionSet::ValueCount(cboOperator_->currentData().toInt());
    txtValue_->setEnabled(values >= 1);
    txtValue2_->setEnabled(values >= 2);
}

bool ComplexFilterDialog::addCondition() {
    const QString field = cboField_->currentData().toString();
    const int32_t op = cboOperator_->currentData().toInt();
    const int values = SelectionSet::ValueCount(op);
    SelectionSet probe(set_.Table(), set_.Kind());
    try {
        probe.AddCondition(field, values >= 1 ? Variant(txtValue_->currentText()) : Variant(), op,
                           values >= 2 ? Variant(txtValue2_->currentText()) : Variant::missing());
    } catch (const AppError& e) {
        ShowPanelMessage(set_.Table().GetDatabase(), e.description());
        txtValue_->setFocus();
        return false;
    }
    conditions_.push_back(probe.Conditions().front());
    showConditions();
    txtValue_->setEditText(QString());
    txtValue2_->setEditText(QString());
    return true;
}

void ComplexFilterDialog::removeCondition() {
    const int row = lstConditions_->currentRow();
    if (row < 0 || row >= static_cast<int>(conditions_.size())) return;
    conditions_.erase(conditions_.begin() + row);
    showConditions();
}

void ComplexFilterDialog::showConditions() {
    lstConditions_->setRowCount(static_cast<int>(conditions_.size()));
    for (size_t i = 0; i < conditions_.size(); ++i) {
        const SelectionSet::Condition& c = conditions_[i];
        const auto def = set_.Column(c.field);
        const QString caption = def ? (def->lookup ? NameWords(def->name) : def->Caption()) : c.field;
        const int values = SelectionSet::ValueCount(c.op);
        const QString v1 = values >= 1 && def ? FieldValueText(*def, c.value) : QString();
        const QString v2 = values >= 2 && def ? FieldValueText(*def, c.value2) : QString();
        const QStringList cells{caption, SelectionSet::OperatorText(c.op), v1, v2};
        for (int col = 0; col < 4; ++col)
            lstConditions_->setItem(static_cast<int>(i), col, new QTableWidgetItem(cells[col]));
    }
    // Wide enough for what they hold, never narrower than they start.
    const QFontMetrics fm = lstConditions_->fontMetrics();
    for (int column = 0; column < 3; ++column) {
        int wanted = lstConditions_->columnWidth(column);
        for (int row = 0; row < lstConditions_->rowCount(); ++row)
            wanted = std::max(wanted, fm.horizontalAdvance(lstConditions_->item(row, column)->text()) + 16);
        lstConditions_->setColumnWidth(column, wanted);
    }
}

void ComplexFilterDialog::fillNames() {
    const QString current = cboName_->currentText();
    cboName_->clear();
    const QString names = set_.SavedNames(0);
    if (!names.isEmpty()) cboName_->addItems(names.split(QLatin1Char('|')));
    cboName_->setCurrentText(current);
}

void ComplexFilterDialog::saveNamed() {
    const QString name = cboName_->currentText().trimmed();
    Database& db = set_.Table().GetDatabase();
    if (name.isEmpty()) {
        ShowPanelMessage(db, QStringLiteral("Indicare il nome del filtro."));
        cboName_->setFocus();
        return;
    }
    try {
        set_.SetConditions(conditions_);
        set_.Save(name);
    } catch (const AppError& e) {
        ShowPanelMessage(db, e.description());
        return;
    }
    fillNames();
    cboName_->setCurrentText(name);
}

void ComplexFilterDialog::loadNamed() {
    const QString name = cboName_->currentText().trimmed();
    if (!set_.Load(name)) {
        ShowPanelMessage(set_.Table().GetDatabase(),
                         QStringLiteral("Un filtro con questo nome non è presente!"));
        return;
    }
    conditions_ = set_.Conditions();
    cboName_->setCurrentText(set_.Name());
    showConditions();
}

void ComplexFilterDialog::deleteNamed() {
    const QString name = cboName_->currentText().trimmed();
    Database& db = set_.Table().GetDatabase();
    if (name.isEmpty()) return;
    if (!AskPanelQuestion(db, QStringLiteral("Eliminare il filtro < %1 > ?").arg(name))) return;
    if (!set_.Delete(name)) ShowPanelMessage(db, QStringLiteral("Un filtro con questo nome non è presente!"));
    cboName_->setCurrentText(QString());
    fillNames();
}

void ComplexFilterDialog::accept() {
    // A condition typed and not yet added counts.
    if (txtValue_->isEnabled() && !txtValue_->currentText().trimmed().isEmpty() && !addCondition()) return;
    try {
        set_.SetConditions(conditions_);
    } catch (const AppError& e) {
        ShowPanelMessage(set_.Table().GetDatabase(), e.description());
        return;
    }
    QDialog::accept();
}

}  // namespace odb
