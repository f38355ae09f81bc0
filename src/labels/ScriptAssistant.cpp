// The code assistant's menus: the instruction lists, the field and reference lists of a table, the
// reference menu, the If sections; where they pop up; the line label.
#include "labels/ScriptAssistant.h"

#include <QAction>
#include <QCursor>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTextBlock>
#include <QTimer>

#include "odb/Database.h"
#include "odb/Table.h"
#include "odb/Tables.h"
#include "platform/ScriptBox.h"

namespace {

struct Instruction {
    const char* caption;
    const char* tag;
};

// The engine's drawing vocabulary; " - Stampa Riquadro" takes its tag from the setup.
const Instruction kOutputInstructions[] = {
    {" - Stampa Testo", "TxtOut nY, nX, \"testo\", nWrapLen, bMantainOriginalWrap"},
    {" - Stampa Testo a Destra", "TxtOutR nY, nEndX, \"testo\""},
    {" - Stampa Testo Verticale", "TxtOutV nY, nX, \"testo\", bDownToUp, bBaseToLastChar"},
    {" - Stampa Riquadro", nullptr},
    {" - Stampa Cerchio", "CircleOut nY, nX, nRadius, bFill"},
    {" - Stampa Linea", "LineOut nY, nX, nToY, nToX"},
    {" - Stampa Immagine", "ImageOut sFile, nY, nX, nDimY, nDimX, bStretch"},
    {" - Stampa Barcode 128b", "Barcode128bOut nY, nX, 10, 0.25, sCode"},
    {" - Imposta Font", "SetFont "},
    {" - Imposta Color", "Color "},
    {" - Stampa oggetto Esterno", "PrintObject sClassProgrID, \"file=\" & sFile, \"PrintMethod\""},
    {" - Stampa Internet Browser", "PrintObject \"Shell.Explorer\", \"navigate \" & sFile, \"ExecWB 6, 1\""},
};

// The data set's functions; the third takes its caption from the setup, the headings have no tag.
const Instruction kDataFunctions[] = {
    {" * Contenuto Campo ()", "ColValue("},
    {" * Contenuto Campo Formattato ()", "FormattedColValue("},
    {nullptr, "GetReference("},
    {"Posizionamento record:", ""},
    {"   Record Successivo", "RowNext"},
    {"   Record Precedente", "RowPrevious"},
    {"   Record Primo", "RowFirst"},
    {"   Record Ultimo", "RowLast"},
    {"Informazioni sui dati:", ""},
    {" = Test Dati Vuoti", "DataEmpty"},
    {" = Test Validità Record Corrente", "RowInvalid"},
    {" = Numero Record", "RowCount(True)"},
};

QMenu* topMenu(QWidget* form, const char* name, const char* caption) {
    auto* menu = new QMenu(QString::fromUtf8(caption), form);
    menu->setObjectName(QString::fromLatin1(name));
    return menu;
}

QMenu* subMenu(QMenu* parent, const char* name, const QString& caption) {
    QMenu* menu = parent->addMenu(caption);
    menu->setObjectName(QString::fromLatin1(name));
    return menu;
}

QAction* separator(QMenu* menu, const char* name) {
    QAction* bar = menu->addSeparator();
    bar->setObjectName(QString::fromLatin1(name));
    return bar;
}

}  // namespace

ScriptAssistant::ScriptAssistant(QWidget* form, ScriptBox* txtVBScript, QLabel* lblLine,
                                 QPushButton* cmdInstruction, QPushButton* cmdField,
                                 ScriptAssistantSetup setup)
    : QObject(form),
      form_(form),
      box_(txtVBScript),
      lblLine_(lblLine),
      cmdField_(cmdField),
      setup_(std::move(setup)) {
    tmFunc_ = new QTimer(this);
    tmFunc_->setObjectName(QStringLiteral("tmFunc"));
    tmFunc_->setInterval(1);
    tmFunc_->setSingleShot(true);
    connect(tmFunc_, &QTimer::timeout, this, [this] { tmFunc_Timer(); });
    buildMenus();
    fillInstructionLists();
    connect(box_, &QPlainTextEdit::textChanged, this, [this] { txtVBScript_Change(); });
    // The caret moved by a click or a key.
    connect(box_, &QPlainTextEdit::cursorPositionChanged, this, [this] { ShowScriptLinePosition(); });
    connect(cmdInstruction, &QPushButton::clicked, this, [this] { cmdInstruction_Click(); });
    connect(cmdField, &QPushButton::clicked, this, [this] { cmdField_Click(); });
}

ScriptAssistant::~ScriptAssistant() = default;

void ScriptAssistant::buildMenus() {
    mnuIntructionHelp_ = topMenu(form_, "mnuIntructionHelp", "InstructionHelp");
    mnuOutputInstructions_ = subMenu(mnuIntructionHelp_, "mnuOutputInstructions", setup_.outputCaption);
    mnuInstructionItem_ = std::make_unique<ScriptMenuArray>(
        mnuOutputInstructions_, QStringLiteral("mnuInstructionItem"), QStringLiteral("Istruzioni (prn.):"),
        [this](int i) { chosen(QStringLiteral("mnuInstructionItem"), i); });
    mnuDataInstructions_ = subMenu(mnuIntructionHelp_, "mnuDataInstructions", setup_.dataCaption);
    mnuFunctionDataItem_ = std::make_unique<ScriptMenuArray>(
        mnuDataInstructions_, QStringLiteral("mnuFunctionDataItem"), QStringLiteral("Istruzioni (ds.):"),
        [this](int i) { chosen(QStringLiteral("mnuFunctionDataItem"), i); });
    if (!setup_.allReferencesName.isEmpty()) {
        mnuRefIfSectionSelection_ =
            subMenu(mnuIntructionHelp_, "mnuRefIfSectionSelection", QStringLiteral("Sezione:"));
        mnuRefIfSectionItem_ = std::make_unique<ScriptMenuArray>(
            mnuRefIfSectionSelection_, QStringLiteral("mnuRefIfSectionItem"),
            QStringLiteral("Riferimenti (If)"),
            [this](int i) { chosen(QStringLiteral("mnuRefIfSectionItem"), i); });
    }

    mnuFieldHelp_ = topMenu(form_, "mnuFieldHelp", "FieldHelp");
    mnuFields_ = subMenu(mnuFieldHelp_, "mnuFields", QStringLiteral("Campi"));
    mnuFieldItem_ = std::make_unique<ScriptMenuArray>(
        mnuFields_, QStringLiteral("mnuFieldItem"), QStringLiteral("Campi:"),
        [this](int i) { chosen(QStringLiteral("mnuFieldItem"), i); });
    mnuFieldItem_->EndBefore(separator(mnuFields_, "mnuFieldItemBar"));
    mnuFieldItemRef_ = std::make_unique<ScriptMenuArray>(mnuFields_, QStringLiteral("mnuFieldItemRef"),
                                                         QStringLiteral("Campi dei Riferimenti:"),
                                                         [this](int i) { mnuFieldItemRef_Click(i); });
    mnuReferences_ = subMenu(mnuFieldHelp_, "mnuReferences", QStringLiteral("Riferimenti"));
    mnuReferenceItem_ = std::make_unique<ScriptMenuArray>(
        mnuReferences_, QStringLiteral("mnuReferenceItem"), QStringLiteral("Riferimenti:"),
        [this](int i) { chosen(QStringLiteral("mnuReferenceItem"), i); });

    mnuRefFieldHelp_ = topMenu(form_, "mnuRefFieldHelp", "RefFieldHelp");
    mnuRefName_ = mnuRefFieldHelp_->addAction(QStringLiteral("ReferenceName"));
    mnuRefName_->setObjectName(QStringLiteral("mnuRefName"));
    mnuRefName_->setEnabled(false);
    mnuRefFieldItem_ = std::make_unique<ScriptMenuArray>(
        mnuRefFieldHelp_, QStringLiteral("mnuRefFieldItem"), QStringLiteral("Campi:"),
        [this](int i) { chosen(QStringLiteral("mnuRefFieldItem"), i); });
    mnuRefFieldItem_->EndBefore(separator(mnuRefFieldHelp_, "mnuRefBar"));
    mnuRefReferenceItem_ = std::make_unique<ScriptMenuArray>(
        mnuRefFieldHelp_, QStringLiteral("mnuRefReferenceItem"), QStringLiteral("Campi dei Riferimenti:"),
        [this](int i) { mnuRefReferenceItem_Click(i); });

    if (!setup_.allReferencesName.isEmpty()) {
        mnuRefSelHelp_ = topMenu(form_, "mnuRefSelHelp", "RefSelHelp");
        mnuSelReferenceItem_ = std::make_unique<ScriptMenuArray>(
            mnuRefSelHelp_, QStringLiteral("mnuSelReferenceItem"), QStringLiteral("Riferimenti:"),
            [this](int i) { chosenRowSource_ = mnuSelReferenceItem_->Tag(i); });
    }
}

void ScriptAssistant::fillInstructionLists() {
    mnuInstructionItem_->Empty();
    for (const Instruction& i : kOutputInstructions)
        mnuInstructionItem_->Load(QString::fromUtf8(i.caption),
                                  i.tag ? QString::fromUtf8(i.tag) : setup_.boxOutTag);
    mnuFunctionDataItem_->Empty();
    for (const Instruction& i : kDataFunctions)
        mnuFunctionDataItem_->Load(i.caption ? QString::fromUtf8(i.caption) : setup_.referenceDataCaption,
                                   QString::fromUtf8(i.tag));
}

void ScriptAssistant::loadFields(ScriptMenuArray& array, const odb::Table* table) {
    for (const odb::Table* t = table; t; t = t->BaseTable())
        for (const auto& field : t->OwnFields())
            if (!field->Hidden())
                array.Load(QStringLiteral("* ") + field->GetTexts().value(2), field->Name());
}

void ScriptAssistant::loadReferences(ScriptMenuArray& array, const odb::Table* table, const QString& prefix) {
    for (const odb::Table* t = table; t; t = t->BaseTable())
        for (const auto& ref : t->OwnReferences())
            if (!ref->Hidden()) array.Load(prefix + ref->GetTexts().value(2), ref->Name());
}

void ScriptAssistant::buildTableLists(const odb::Table* table) {
    mnuFieldItem_->Empty();
    loadFields(*mnuFieldItem_, table);
    mnuFieldItemRef_->Empty();
    mnuReferenceItem_->Empty();
    loadReferences(*mnuFieldItemRef_, table, QStringLiteral("> "));
    loadReferences(*mnuReferenceItem_, table, QStringLiteral("* "));
}

void ScriptAssistant::ShowReferenceMenu(const odb::ReferenceDef* ref) {
    if (!ref) return;
    mnuRefName_->setText(QStringLiteral("< ") + ref->GetTexts().value(2) + QStringLiteral(" >"));
    mnuRefName_->setData(ref->RefTableName());
    const odb::Table* target = table(ref->RefTableName());
    mnuRefFieldItem_->Empty();
    loadFields(*mnuRefFieldItem_, target);
    mnuRefReferenceItem_->Empty();
    loadReferences(*mnuRefReferenceItem_, target, QStringLiteral("> "));
    PopupScriptMenu(mnuRefFieldHelp_);
}

void ScriptAssistant::loadIfSections() {
    const bool all = setup_.referenceName && setup_.referenceName() == setup_.allReferencesName;
    mnuRefIfSectionSelection_->menuAction()->setVisible(all);
    if (!all) return;
    mnuRefIfSectionItem_->Empty();
    for (const odb::Table* t = table(setup_.tableName()); t; t = t->BaseTable())
        for (const auto& ref : t->OwnReferences())
            if (ref->RowSource() && !ref->Hidden())
                mnuRefIfSectionItem_->Load(QStringLiteral("> ") + ref->GetTexts().value(2), ref->Name());
}

void ScriptAssistant::PopupScriptMenu(QMenu* menu) {
    QPoint at;
    if (form_->focusWidget() == box_)
        at = box_->mapToGlobal(box_->rect().center());
    else
        at = QPoint(QCursor::pos().x(), cmdField_->mapToGlobal(QPoint(0, 0)).y());
    menu->popup(at);
}

odb::Table* ScriptAssistant::table(const QString& name) const {
    return &setup_.database()->Tables().Item(name);
}

odb::Table* ScriptAssistant::CaretDataTable() {
    const QString main = setup_.tableName();
    if (main.isEmpty()) return nullptr;
    odb::Table* source = table(main);
    if (dataSetName() == QLatin1String("ds")) return source;
    const QString reference = setup_.referenceName ? setup_.referenceName() : QString();
    if (reference.isEmpty()) return source;
    if (reference != setup_.allReferencesName) return &source->ReferenceByName(reference).RefTable();
    if (chosenRowSource_.isEmpty()) {
        // dsRow reads the rows of one of the references: the user says which.
        mnuSelReferenceItem_->Empty();
        for (const odb::Table* t = source; t; t = t->BaseTable())
            for (const auto& ref : t->OwnReferences())
                if (ref->ManyRows() && !ref->Hidden())
                    mnuSelReferenceItem_->Load(QStringLiteral("> ") + ref->GetTexts().value(2), ref->Name());
        mnuRefSelHelp_->exec(QCursor::pos());
    }
    if (chosenRowSource_.isEmpty()) return nullptr;
    return &source->ReferenceByName(chosenRowSource_).RefTable();
}

void ScriptAssistant::LoadTableMenu() {
    startAction(QStringLiteral("LoadTableMenù"));
}

void ScriptAssistant::SetEnabled(bool enable) {
    for (QMenu* menu : {mnuIntructionHelp_, mnuFieldHelp_, mnuRefFieldHelp_, mnuRefSelHelp_})
        if (menu) menu->setEnabled(enable);
    if (enable)
        tmFunc_->start();
    else
        tmFunc_->stop();
}

void ScriptAssistant::ShowScriptLinePosition() {
    const QTextDocument* document = box_->document();
    const int line = document->findBlock(box_->textCursor().selectionStart()).blockNumber();
    const QString text = line < 0 ? QString()
                                  : QString::number(line + 1) + QStringLiteral(" / ") +
                                        QString::number(document->blockCount());
    // A label whose text is set anew lays the window out again: only when it changes.
    if (lblLine_->text() != text) lblLine_->setText(text);
}

void ScriptAssistant::cmdInstruction_Click() {
    try {
        mnuOutputInstructions_->menuAction()->setVisible(true);
        mnuDataInstructions_->menuAction()->setVisible(true);
        if (mnuRefIfSectionSelection_) loadIfSections();
        PopupScriptMenu(mnuIntructionHelp_);
    } catch (const std::exception& e) {
        showError(e);
    }
}

void ScriptAssistant::cmdField_Click() {
    mnuFields_->menuAction()->setVisible(true);
    mnuReferences_->menuAction()->setVisible(true);
    if (setup_.listsFollowCaret)
        startAction(QStringLiteral("PopUpTableMenù"));
    else
        PopupScriptMenu(mnuFields_);
}
