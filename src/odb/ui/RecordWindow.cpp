// The record window.
#include "odb/ui/RecordWindow.h"

#include <QApplication>
#include <QCursor>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSplitter>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "base/AppError.h"
#include "odb/DataSet.h"
#include "odb/Database.h"
#include "odb/FieldValueText.h"
#include "odb/LibraryError.h"
#include "odb/Schema.h"
#include "odb/Table.h"
#include "odb/ViewColumns.h"
#include "odb/ui/DataGrid.h"
#include "odb/ui/FieldEditor.h"
#include "odb/ui/LookupEditor.h"
#include "odb/ui/ModalDialog.h"
#include "odb/ui/PanelSupport.h"
#include "odb/ui/RowChooser.h"

namespace odb {

namespace {

// A lookup the user may choose, at the user's level.
bool LookupEditable(const Database& db, const ReferenceDef& r) {
    if (r.ReadOnly() || PanelsReadOnly(db)) return false;
    return !(db.GetUserLevel() <= kLevelJobOrdersOnly && r.flags1 == 1);
}

// The screen a dialog opens on: its owner's, else the active window's (a modal dialog with no
// owner stands over it), else the pointer's.
QScreen* OpeningScreen(const QWidget* owner) {
    const QWidget* over = owner ? owner : QApplication::activeWindow();
    QScreen* screen = over ? over->screen() : QGuiApplication::screenAt(QCursor::pos());
    return screen ? screen : QGuiApplication::primaryScreen();
}

}  // namespace

RecordWindow::RecordWindow(std::shared_ptr<DataSet> dataSet, bool isNew, bool editable, QWidget* owner)
    : QDialog(owner), dataSet_(std::move(dataSet)), isNew_(isNew) {
    Database& db = dataSet_->GetDatabase();
    Table& table = dataSet_->GetTable();
    editable_ = editable && !PanelsReadOnly(db) && dataSet_->EditEnabled();
    setObjectName(QStringLiteral("RecordWindow"));
    setWindowTitle(table.Title());
    setModal(true);
    CloseWithConnection(*this, dataSet_->GetConnection());

    auto* layout = new QVBoxLayout(this);
    auto* heading = new QLabel(isNew ? table.Title() + QStringLiteral(" - nuovo") : table.Title(), this);
    QFont bold = heading->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.2);
    heading->setFont(bold);
    layout->addWidget(heading);

    auto* body = new QWidget;
    auto* form = new QFormLayout(body);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    for (const FieldDef* f : table.Fields()) {
        auto* editor = new FieldEditor(*f, editable_ && FieldEditable(db, *f), body);
        auto* label = new QLabel(f->Caption() + QLatin1Char(':'), body);
        if (!f->description.isEmpty()) {
            label->setToolTip(f->description);
            editor->setToolTip(f->description);
        }
        form->addRow(label, editor);
        connect(editor, &FieldEditor::edited, this, &RecordWindow::fieldEdited);
        editors_.push_back(editor);
    }
    for (const ReferenceDef* r : table.References()) {
        if (r->collection) continue;
        auto* editor = new LookupEditor(*r, editable_ && LookupEditable(db, *r), body);
        auto* label = new QLabel(NameWords(r->name) + QLatin1Char(':'), body);
        if (!r->description.isEmpty()) label->setToolTip(r->description);
        form->addRow(label, editor);
        connect(editor, &LookupEditor::chooseRequested, this,
                [this](LookupEditor* e) { chooseLookup(e->reference().name); });
        connect(editor, &LookupEditor::clearRequested, this,
                [this](LookupEditor* e) { clearLookup(e->reference().name); });
        lookups_.push_back(editor);
    }
    auto* scroll = new QScrollArea(this);
    scroll->setWidget(body);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    // The fields and the lists of rows share the height; the user moves the border between them.
    auto* split = new QSplitter(Qt::Vertical, this);
    split->setChildrenCollapsible(false);
    split->addWidget(scroll);
    layout->addWidget(split, 1);

    for (const ReferenceDef* r : table.References()) {
        if (!r->collection) continue;
        if (!tabs_) {
            tabs_ = new QTabWidget(split);
            split->addWidget(tabs_);
            // The fields keep the height they are given; the lists take what the window adds.
            split->setStretchFactor(0, 0);
            split->setStretchFactor(1, 1);
        }
        auto* page = new QWidget(tabs_);
        auto* pageLayout = new QVBoxLayout(page);
        Collection c;
        c.reference = r;
        c.grid = new DataGrid(page);
        pageLayout->addWidget(c.grid, 1);
        auto* buttons = new QHBoxLayout;
        c.cmdNew = new QPushButton(QStringLiteral("Nuovo..."), page);
        c.cmdOpen = new QPushButton(QStringLiteral("Apri..."), page);
        c.cmdDelete = new QPushButton(QStringLiteral("Elimina"), page);
        // Rows gathered without being owned are only shown from here.
        c.cmdNew->setVisible(r->owned);
        c.cmdDelete->setVisible(r->owned);
        c.cmdNew->setEnabled(editable_);
        c.cmdDelete->setEnabled(editable_ && dataSet_->DeleteAllowed());
        buttons->addWidget(c.cmdNew);
        buttons->addWidget(c.cmdOpen);
        buttons->addWidget(c.cmdDelete);
        buttons->addStretch();
        pageLayout->addLayout(buttons);
        const QString name = r->name;
        connect(c.cmdNew, &QPushButton::clicked, this, [this, name] { newChild(name); });
        connect(c.cmdOpen, &QPushButton::clicked, this, [this, name] { openChild(name); });
        connect(c.grid, &DataGrid::DblClick, this, [this, name] { openChild(name); });
        connect(c.cmdDelete, &QPushButton::clicked, this, [this, name] { deleteChild(name); });
        tabs_->addTab(page, r->GetTexts(0).value(2));
        collections_.push_back(c);
    }
    for (Collection& c : collections_)
        loadRows(c);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    if (editable_) {
        cmdOK_ = new QPushButton(QStringLiteral("OK"), this);
        cmdCancel_ = new QPushButton(QStringLiteral("Annulla"), this);
        buttons->addWidget(cmdOK_);
        connect(cmdOK_, &QPushButton::clicked, this, &RecordWindow::accept);
    } else {
        cmdCancel_ = new QPushButton(QStringLiteral("Chiudi"), this);
    }
    // Enter on a focused button presses it; anywhere else it is OK (Chiudi when nothing can
    // change), never a list's button.
    (cmdOK_ ? cmdOK_ : cmdCancel_)->setDefault(true);
    buttons->addWidget(cmdCancel_);
    connect(cmdCancel_, &QPushButton::clicked, this, &RecordWindow::reject);
    layout->addLayout(buttons);
    refresh();
    // What the fields need, within the screen the window opens on (the fields scroll, the buttons
    // stay in sight); a window with lists of rows is taller.
    const QSize fields = body->sizeHint();
    const QRect screen = OpeningScreen(owner)->availableGeometry();
    const int height = std::min(screen.height() * 85 / 100,
                                fields.height() + heading->sizeHint().height() + 90 + (tabs_ ? 280 : 0));
    const int width = std::min(screen.width() * 90 / 100, std::max(700, fields.width() + 60));
    setMinimumSize(std::min(420, width), std::min(tabs_ ? 420 : 200, height));
    resize(width, height);
    // The fields as high as they need (a scroll area asks for less), the lists the rest.
    if (tabs_) split->setSizes({fields.height() + 2 * scroll->frameWidth(), tabs_->sizeHint().height()});
    // The first field that takes typing has the focus as the window opens, as a form's first
    // control does: the first keys typed go there (file links and secrets are never typed).
    for (FieldEditor* e : editors_) {
        if (!e->editable() || (e->line() && e->line()->isReadOnly())) continue;
        e->input()->setFocus();
        break;
    }
    // Fields the user cannot change look so.
    setStyleSheet(
        QStringLiteral("QLineEdit[readOnly=\"true\"], QPlainTextEdit[readOnly=\"true\"] "
                       "{ background: palette(window); }"));
}

RecordWindow::~RecordWindow() = default;

FieldEditor* RecordWindow::editor(const QString& field) const {
    for (FieldEditor* e : editors_)
        if (e->field().name.compare(field, Qt::CaseInsensitive) == 0) return e;
    return nullptr;
}

LookupEditor* RecordWindow::lookup(const QString& reference) const {
    for (LookupEditor* e : lookups_)
        if (e->reference().name.compare(reference, Qt::CaseInsensitive) == 0) return e;
    return nullptr;
}

const RecordWindow::Collection* RecordWindow::collection(const QString& reference) const {
    for (const Collection& c : collections_)
        if (c.reference->name.compare(reference, Qt::CaseInsensitive) == 0) return &c;
    return nullptr;
}

Variant RecordWindow::result() const {
    if (!stored_ || dataSet_->NoCurrentRow()) return Variant();
    return dataSet_->Bookmark();
}

void RecordWindow::refresh() {
    if (dataSet_->NoCurrentRow()) return;
    for (FieldEditor* e : editors_) {
        const QString& name = e->field().name;
        e->setValue(e->isFile() ? Variant(dataSet_->ColFilePath(name)) : dataSet_->ColValue(name));
    }
    for (LookupEditor* e : lookups_) {
        QStringList parts;
        auto target = dataSet_->GetReference(e->reference().name);
        if (!target->NoCurrentRow())
            for (const QString& shown : e->reference().displayFieldList())
                if (const FieldDef* f = target->GetTable().FieldByName(shown)) {
                    const QString text = FieldValueText(*f, target->ColValue(f->name));
                    if (!text.isEmpty()) parts << text;
                }
        e->setText(parts.join(QStringLiteral(" - ")));
    }
}

QWidget* RecordWindow::focusTarget(const QString& field) const {
    if (FieldEditor* e = editor(field)) return e->input();
    if (LookupEditor* l = lookup(field)) return l->choose();
    return nullptr;
}

void RecordWindow::refused(const QString& field) {
    // The window stays on the stored value, the focus where the rule points.
    const QString named = dataSet_->FocusedField().isEmpty() ? field : dataSet_->FocusedField();
    dataSet_->FocusField({});
    refresh();
    editRefused_ = true;
    focusedField_ = named;
    if (QWidget* w = focusTarget(named)) w->setFocus();
}

void RecordWindow::errorShown(const QString& text, const QString& field) {
    // The stored value is back before the message shows, so that leaving the field for the
    // message box finds nothing more to write.
    refused(field);
    ShowPanelMessage(dataSet_->GetDatabase(), text);
    if (QWidget* w = focusTarget(focusedField_)) w->setFocus();
}

void RecordWindow::busyShown(const QString& text, const QString& field) {
    // Nothing of the window is read again: the row is as before, the editors show what was typed.
    editRefused_ = true;
    focusedField_ = field;
    ShowPanelMessage(dataSet_->GetDatabase(), text);
    if (QWidget* w = focusTarget(field)) w->setFocus();
}

void RecordWindow::fieldEdited(FieldEditor* editor) {
    if (writing_) return;  // a message of this very edit took the focus away
    struct Writing {
        bool& flag;
        explicit Writing(bool& f) : flag(f) { flag = true; }
        ~Writing() { flag = false; }
    } writing(writing_);
    const QString name = editor->field().name;
    Variant value;
    QString problem;
    // A text that does not read as the field's type never reaches the row.
    if (!editor->read(value, problem)) return errorShown(problem, name);
    try {
        const bool ok = editor->isFile() ? dataSet_->SetColFilePath(name, value.toText())
                                         : dataSet_->SetColValue(name, value);
        if (!ok) return refused(name);
        changed_ = true;
    } catch (const AppError& e) {
        if (LibraryError::Is(e, odbErrBusy)) return busyShown(e.description(), name);
        return errorShown(e.description(), name);
    }
    refresh();
}

void RecordWindow::chooseLookup(const QString& reference) {
    if (!editable_) return;
    const ReferenceDef& r = dataSet_->GetReferenceDef(reference);
    try {
        // The rules hear of the choice first: they may order, narrow or refuse it.
        auto offered = dataSet_->SelectReference(r.name);
        if (!offered) return refused(r.name);
        RowChooser chooser(offered, true, r.displayFieldList().value(0), this);
        RunModal(chooser);
        if (chooser.result().isEmpty() || ConnectionClosed(*dataSet_)) return;
        if (!dataSet_->SetColValue(r.name, chooser.result())) return refused(r.name);
        changed_ = true;
    } catch (const AppError& e) {
        return errorShown(e.description(), r.name);
    }
    refresh();
}

void RecordWindow::clearLookup(const QString& reference) {
    if (!editable_) return;
    const ReferenceDef& r = dataSet_->GetReferenceDef(reference);
    try {
        if (!dataSet_->SetColValue(r.name, Variant::null())) return refused(r.name);
        changed_ = true;
    } catch (const AppError& e) {
        return errorShown(e.description(), r.name);
    }
    refresh();
}

void RecordWindow::loadRows(Collection& c) {
    // The rules order and narrow the rows they list (their event writes nothing, yet runs as an
    // operation): a window that only shows leaves the file alone.
    if (editable_) c.rows = dataSet_->SelectReference(c.reference->name);
    if (!c.rows) c.rows = dataSet_->GetReference(c.reference->name);
    QStringList columns;
    for (const QString& name : c.reference->displayFieldList())
        if (ViewColumnDef(c.rows->GetTable(), name)) columns << name;
    if (columns.isEmpty()) columns = c.rows->ColumnNames();
    c.grid->bind(c.rows, columns);
    c.rows->RowFirst();
}

bool RecordWindow::ensureStored() {
    if (!dataSet_->IsNewRow()) return true;
    for (FieldEditor* e : editors_)
        e->commit();
    try {
        if (!dataSet_->SaveRow()) {
            refused({});
            return false;
        }
    } catch (const AppError& e) {
        errorShown(e.description(), {});
        return false;
    }
    stored_ = true;
    isNew_ = false;
    return true;
}

void RecordWindow::newChild(const QString& reference) {
    auto it = std::find_if(collections_.begin(), collections_.end(),
                           [&](const Collection& c) { return c.reference->name == reference; });
    if (it == collections_.end() || !editable_ || !it->reference->owned) return;
    if (!ensureStored()) return;
    loadRows(*it);
    Table& target = it->rows->GetTable();
    Variant base;
    if (target.HasBaseTable() && target.GetBaseKind() == BaseKind::SharedBase) {
        // A child that stands on a row of its base table picks that row first.
        auto bases = dataSet_->SelectReference(reference, true);
        if (!bases) return refused({});
        RowChooser chooser(bases, true, {}, this);
        RunModal(chooser);
        base = chooser.result();
        if (base.isEmpty() || ConnectionClosed(*dataSet_)) return;
    }
    auto rows = it->rows;
    try {
        if (!rows->NewRow()) return refresh();
        if (!base.isEmpty() && !rows->SetColValue(target.BaseLinkField(), base)) {
            rows->CancelRow();
            return refresh();
        }
    } catch (const AppError& e) {
        rows->CancelRow();
        return errorShown(e.description(), {});
    }
    RecordWindow child(rows, true, true, this);
    RunModal(child);
    if (ConnectionClosed(*dataSet_)) return;
    if (!child.result().isEmpty()) stored_ = true;
    loadRows(*it);
    refresh();
}

void RecordWindow::openChild(const QString& reference) {
    auto it = std::find_if(collections_.begin(), collections_.end(),
                           [&](const Collection& c) { return c.reference->name == reference; });
    if (it == collections_.end()) return;
    const Variant bookmark = it->grid->Bookmark();
    if (bookmark.isEmptyOrNull() || !it->rows->FindBookmark(bookmark)) return;
    RecordWindow child(it->rows, false, editable_, this);
    RunModal(child);
    if (ConnectionClosed(*dataSet_)) return;
    if (!child.result().isEmpty()) stored_ = true;
    loadRows(*it);
    it->rows->FindBookmark(bookmark);
    refresh();
}

void RecordWindow::deleteChild(const QString& reference) {
    auto it = std::find_if(collections_.begin(), collections_.end(),
                           [&](const Collection& c) { return c.reference->name == reference; });
    if (it == collections_.end() || !editable_ || !dataSet_->DeleteAllowed()) return;
    const Variant bookmark = it->grid->Bookmark();
    if (bookmark.isEmptyOrNull()) return;
    if (!AskPanelQuestion(dataSet_->GetDatabase(),
                          QStringLiteral("Confermi l'eliminazione dei dati selezionati ?")))
        return;
    try {
        if (it->rows->FindBookmark(bookmark) && it->rows->DeleteRow()) stored_ = true;
    } catch (const AppError& e) {
        errorShown(e.description(), {});
    }
    loadRows(*it);
    refresh();
}

void RecordWindow::accept() {
    if (!editable_) return QDialog::accept();
    // What is being typed is written first, as leaving the field would.
    editRefused_ = false;
    for (FieldEditor* e : editors_) {
        e->commit();
        if (editRefused_) return;
    }
    try {
        const bool anything = dataSet_->IsNewRow() || changed_;
        if (!dataSet_->SaveRow()) return refused({});
        if (anything) stored_ = true;
    } catch (const AppError& e) {
        if (LibraryError::Is(e, odbErrBusy)) return busyShown(e.description(), {});
        return errorShown(e.description(), {});
    }
    QDialog::accept();
}

void RecordWindow::reject() {
    if (editable_) {
        try {
            dataSet_->CancelRow();
        } catch (const AppError&) {
            // Nothing left to drop.
        }
    }
    QDialog::reject();
}

}  // namespace odb
