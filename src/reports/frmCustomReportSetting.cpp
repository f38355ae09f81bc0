// The report layout editor: its controls, their arrangement, the source and name choices, the keys the
// window sees first, and closing.
#include "reports/frmCustomReportSetting.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "base/AppError.h"
#include "labels/ScriptAssistant.h"
#include "odb/Connection.h"
#include "odb/ConnectionNotices.h"
#include "odb/Database.h"
#include "platform/CommandIcons.h"
#include "platform/DrawSurface.h"
#include "platform/MaskedBox.h"
#include "platform/PrinterRegistry.h"
#include "platform/Prompt.h"
#include "platform/ScriptBox.h"
#include "reports/TextPhrasePositions.h"
#include "startup/modZeltoFormUtility.h"

namespace {

QPointer<frmCustomReportSetting> g_window;

QLabel* label(const QString& text, QWidget* parent, const char* name) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    return l;
}

MaskedBox* sizeBox(QWidget* parent, const char* name, int maxLength, const QString& tip,
                   const QString& mask = {}) {
    auto* box = new MaskedBox(mask, maxLength, parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setToolTip(tip);
    box->setAlignment(Qt::AlignRight);
    box->setFixedWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("00000,0")) + 12);
    return box;
}

QPushButton* button(const QString& text, QWidget* parent, const char* name, const QString& tip = {}) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setToolTip(tip);
    return b;
}

QToolButton* iconButton(const QIcon& icon, QWidget* parent, const char* name, const QString& tip) {
    auto* b = new QToolButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setIcon(icon);
    b->setIconSize(QSize(18, 18));
    b->setToolTip(tip);
    return b;
}

}  // namespace

frmCustomReportSetting* frmCustomReportSetting::EditSetting(
    QWidget* frmParent, std::shared_ptr<odb::Database> database, std::shared_ptr<odb::Connection> connection,
    const QString& onlyTableList, bool includeReference, bool requiredNote, const QString& contextNameList) {
    if (!g_window) {
        g_window = new frmCustomReportSetting(frmParent, std::move(database), std::move(connection),
                                              onlyTableList, includeReference, requiredNote, contextNameList);
    } else {
        g_window->p_objDatabase = std::move(database);
        g_window->p_objConnection = std::move(connection);
        g_window->p_strOnlyTableList = onlyTableList;
        g_window->p_blnIncludeReference = includeReference;
        g_window->p_blnRequiredNote = requiredNote;
        g_window->p_strContextNameList = contextNameList;
    }
    g_window->show();
    g_window->raise();
    g_window->activateWindow();
    g_window->selectOnlySource();
    return g_window;
}

frmCustomReportSetting* frmCustomReportSetting::Instance() {
    return g_window;
}

frmCustomReportSetting::frmCustomReportSetting(QWidget* parent, std::shared_ptr<odb::Database> database,
                                               std::shared_ptr<odb::Connection> connection,
                                               const QString& onlyTableList, bool includeReference,
                                               bool requiredNote, const QString& contextNameList)
    : QWidget(parent, Qt::Dialog),
      p_objDatabase(std::move(database)),
      p_objConnection(std::move(connection)),
      p_strOnlyTableList(onlyTableList),
      p_blnIncludeReference(includeReference),
      p_blnRequiredNote(requiredNote),
      p_strContextNameList(contextNameList) {
    setObjectName(QStringLiteral("frmCustomReportSetting"));
    setWindowTitle(QStringLiteral("Impostazione Report"));
    setAttribute(Qt::WA_DeleteOnClose);
    buildControls();
    arrangeControls();
    createAssistant();
    ApplyFormFont(this, g_strFontName, g_sngFontSizeIncrement);
    fillLists();
    resize(qMax(sizeHint().width(), 900), 640);
    connectControls();
    lblLine_->clear();
    m_blnModified = false;
    m_strSearchText.clear();
    EnableEditControls(false);
    qApp->installEventFilter(this);
    // The program lets its database go: a wanted save is made while the file is still open, and the
    // window goes with the database.
    connect(&odb::ConnectionNotices::instance(), &odb::ConnectionNotices::closing, this,
            [this](const odb::Connection* connection) {
                if (connection != p_objConnection.get()) return;
                ConfirmSaveIfChanged();
                m_blnModified = false;
                close();
            });
    try {
        LoadFormSettings(this, false, false, 0, 0);
    } catch (const std::exception& e) {
        showError(e);
    }
}

frmCustomReportSetting::~frmCustomReportSetting() {
    qApp->removeEventFilter(this);
}

void frmCustomReportSetting::buildControls() {
    lblTableSel_ = label(QStringLiteral("Sorgente Dati:"), this, "lblTableSel");
    cbTableSel_ = new QComboBox(this);
    cbTableSel_->setObjectName(QStringLiteral("cbTableSel"));
    cbTableSel_->setToolTip(QStringLiteral("Tabella di origine dei dati da stampare"));
    cbTableSel_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    cbTableSel_->setMinimumContentsLength(24);

    lblReportName_ = label(QStringLiteral("Nome Report:"), this, "lblReportName");
    cbReportName_ = new QComboBox(this);
    cbReportName_->setObjectName(QStringLiteral("cbReportName"));
    cbReportName_->setToolTip(QStringLiteral("Nome identificativo del Report"));
    cbReportName_->setMinimumContentsLength(24);
    // The edit's end of editing is seen before the combo's own handling, which activates an entry whose
    // text was typed: such a name counts as typed, not chosen.
    auto* nameEdit = new QLineEdit(cbReportName_);
    nameEdit->setMaxLength(64);
    connect(nameEdit, &QLineEdit::editingFinished, this, [this] { m_blnNameFromEditing = true; });
    cbReportName_->setEditable(true);
    cbReportName_->setLineEdit(nameEdit);
    connect(nameEdit, &QLineEdit::editingFinished, this, [this] { m_blnNameFromEditing = false; });
    cbReportName_->setInsertPolicy(QComboBox::NoInsert);
    cbReportName_->setCompleter(nullptr);

    lblReportGroup_ = label(QStringLiteral("Contesto:"), this, "lblReportGroup");
    cboReportGroup_ = new QComboBox(this);
    cboReportGroup_->setObjectName(QStringLiteral("cboReportGroup"));
    cboReportGroup_->setToolTip(QStringLiteral("Nome identificativo del Report"));
    cboReportGroup_->setMinimumContentsLength(16);

    lblPrinter_ = label(QStringLiteral("Stampante:"), this, "lblPrinter");
    cboPrinter_ = new QComboBox(this);
    cboPrinter_->setObjectName(QStringLiteral("cboPrinter"));
    cboPrinter_->setToolTip(QStringLiteral("Selezione della stampante "));
    cboPrinter_->setMinimumContentsLength(24);
    chkPrinterSelection_ = new QCheckBox(QStringLiteral("Selezionabile"), this);
    chkPrinterSelection_->setObjectName(QStringLiteral("chkPrinterSelection"));
    chkPrinterSelection_->setToolTip(QStringLiteral("Indica che l'utente deve selezionare la stampante"));
    cmdPrnSetting_ =
        iconButton(PrinterSetupIcon(), this, "cmdPrnSetting", QStringLiteral("Impostazione stampanti"));

    txtColumns_ =
        sizeBox(this, "txtColumns", 2,
                QStringLiteral("Numero di moduli stampabili nella stessa riga (per copie multiple)"),
                QStringLiteral("9#"));
    txtReportHeight_ = sizeBox(this, "txtReportHeight", 5, QStringLiteral("Altezza del modulo (millimetri)"));
    txtReportWidth_ = sizeBox(this, "txtReportWidth", 5, QStringLiteral("Larghezza del modulo (millimetri)"));
    txtReportTop_ =
        sizeBox(this, "txtReportTop", 5, QStringLiteral("Margine superiore del modulo (millimetri)"));
    txtReportLeft_ =
        sizeBox(this, "txtReportLeft", 5, QStringLiteral("Margine sinistro del modulo (millimetri)"));
    txtReportRowsTop_ = sizeBox(
        this, "txtReportRowsTop", 5,
        QStringLiteral("Margine superiore dell'area riservata alle righe del prospetto (millimetri)"));
    txtReportRowsBottom_ = sizeBox(
        this, "txtReportRowsBottom", 5,
        QStringLiteral("Margine inferiore dell'area riservata alle righe del prospetto (millimetri)"));
    txtReportRowsDim_ =
        sizeBox(this, "txtReportRowsDim", 4,
                QStringLiteral("Dimensione (massima) di una riga del prospetto (millimetri), vedi anche "
                               "prn.RowDimCur per variare in esecuzione"));
    txtBackImage_ = new QLineEdit(this);
    txtBackImage_->setObjectName(QStringLiteral("txtBackImage"));
    txtBackImage_->setToolTip(QStringLiteral("File con l'immagine di sfondo (max 150 dpi)"));
    cmdSelBackImage_ = new QToolButton(this);
    cmdSelBackImage_->setObjectName(QStringLiteral("cmdSelBackImage"));
    cmdSelBackImage_->setText(QStringLiteral("..."));
    cmdSelBackImage_->setToolTip(QStringLiteral("Seleziona l'immagine di sfondo (max 150 dpi)"));
    txtBottomImageBorder_ = sizeBox(this, "txtBottomImageBorder", 5,
                                    QStringLiteral("Bordo inferiore dell'immagine nel modulo (millimetri)"));
    chkHorizontal_ = new QCheckBox(QStringLiteral("Ordinamento orizzintale:"), this);
    chkHorizontal_->setObjectName(QStringLiteral("chkHorizontal"));
    chkHorizontal_->setToolTip(QStringLiteral("Orienta i moduli orizzontalmente (ruota di 90 gradi)"));
    chkHorizontal_->setLayoutDirection(Qt::RightToLeft);  // the caption ends with ":", the box follows

    lblScript_ = label(QStringLiteral("VB Script di composizione comandi per la stampa:"), this, "lblScript");
    cmdSearch_ = iconButton(SearchIcon(), this, "cmdSearch", QStringLiteral("Cerca nello script"));
    cmdDelete_ =
        iconButton(DeleteIcon(), this, "cmdDelete", QStringLiteral("Elimina lo script di stampa corrente"));
    lblLine_ = label(QStringLiteral("Line 0/0"), this, "lblLine");
    lblLine_->setToolTip(QStringLiteral("Numero di linea corrente"));
    cmdInstruction_ = button(QStringLiteral("Istruzioni"), this, "cmdInstruction");
    cmdField_ = button(QStringLiteral("Campi >>"), this, "cmdField");
    cmdDefault_ = button(QStringLiteral("Imposta &Predefinito"), this, "cmdDefault",
                         QStringLiteral("Imposta lo script di stampa predefinito"));

    txtVBScript_ = new ScriptBox(this);
    txtVBScript_->setObjectName(QStringLiteral("txtVBScript"));

    pnlBottom_ = new QWidget(this);
    pnlBottom_->setObjectName(QStringLiteral("pnlBottom"));
    cmdTest_ =
        button(QStringLiteral("&Test"), pnlBottom_, "cmdTest", QStringLiteral("Esegue il test di stampa"));
    cmdPreview_ = button(QStringLiteral("&Anteprima"), pnlBottom_, "cmdPreview",
                         QStringLiteral("Attiva l'anteprima di stampa"));
    cmdLoad_ = button(QStringLiteral("&Importa"), pnlBottom_, "cmdLoad",
                      QStringLiteral("Attiva l'importazione delllo Script di stampa"));
    cmdSave_ = button(QStringLiteral("&Esporta"), pnlBottom_, "cmdSave",
                      QStringLiteral("Attiva l' esportazione delllo Script di stampa"));
    cmdOK_ =
        button(QStringLiteral("&Salva"), pnlBottom_, "cmdOK", QStringLiteral("Salva lo script di stampa"));
    cmdCancel_ = button(QStringLiteral("&Esci"), pnlBottom_, "cmdCancel");

    editControls_ = {cbReportName_,     cboReportGroup_, cboPrinter_,       chkPrinterSelection_,
                     cmdPrnSetting_,    txtColumns_,     txtReportHeight_,  txtReportWidth_,
                     txtReportTop_,     txtReportLeft_,  txtReportRowsTop_, txtReportRowsBottom_,
                     txtReportRowsDim_, txtBackImage_,   cmdSelBackImage_,  txtBottomImageBorder_,
                     chkHorizontal_,    lblScript_,      cmdSearch_,        cmdDelete_,
                     lblLine_,          cmdDefault_,     txtVBScript_,      cmdTest_,
                     cmdPreview_,       cmdLoad_,        cmdSave_,          cmdOK_,
                     lblReportName_,    lblPrinter_,     cmdInstruction_,   cmdField_};
}

void frmCustomReportSetting::createAssistant() {
    ScriptAssistantSetup setup;
    setup.outputCaption = QStringLiteral("Presentazione");
    setup.dataCaption = QStringLiteral("Dati");
    setup.referenceDataCaption = QStringLiteral(" > Dati &Referenziati ()");
    // The report engine's boxes may cast a shadow.
    setup.boxOutTag = QStringLiteral("BoxOut nY, nX, nDimY, nDimX, bFill, bShadow");
    setup.database = [this] { return p_objDatabase.get(); };
    setup.tableName = [this] { return SelectedTableName(); };
    setup.referenceName = [this] { return SelectedReferenceName(); };
    setup.allReferencesName = kAllReferencesName;
    setup.dataSetName = [this] { return CurrentDataSetName(); };
    setup.listsFollowCaret = true;
    assistant_ =
        new ScriptAssistant(this, txtVBScript_, lblLine_, cmdInstruction_, cmdField_, std::move(setup));
    functionHeads_ = new TextPhrasePositions(
        txtVBScript_->document(),
        {QStringLiteral("Function PrintReportRow"), QStringLiteral("Function PrintNoteRow")}, this);
}

QString frmCustomReportSetting::CurrentDataSetName() const {
    const int p = txtVBScript_->textCursor().selectionStart();
    if (p < 0 || p >= txtVBScript_->document()->characterCount() - 1) return {};
    // The functions stand in the order PrintReportMask, PrintReportRow, PrintDataInit, PrintNoteRow.
    if (functionHeads_->OccursFrom(0, p)) return QStringLiteral("ds");
    if (!functionHeads_->OccursFrom(1, p) && p_blnRequiredNote) return QStringLiteral("ds");
    return QStringLiteral("dsRow");
}

void frmCustomReportSetting::arrangeControls() {
    auto sizeLabel = [this](const QString& text, QLineEdit* buddy, const char* name) {
        QLabel* l = label(text, this, name);
        l->setBuddy(buddy);
        sizeLabels_.push_back(l);
        return l;
    };
    auto* top = new QGridLayout;
    top->addWidget(lblTableSel_, 0, 0);
    top->addWidget(cbTableSel_, 0, 1);
    top->addWidget(lblReportName_, 0, 2);
    top->addWidget(cbReportName_, 0, 3);
    top->addWidget(lblReportGroup_, 0, 4);
    top->addWidget(cboReportGroup_, 0, 5);
    top->addWidget(lblPrinter_, 1, 0);
    auto* printer = new QHBoxLayout;
    printer->addWidget(cboPrinter_, 1);
    printer->addWidget(cmdPrnSetting_);
    top->addLayout(printer, 1, 1);
    top->addWidget(chkPrinterSelection_, 1, 2, 1, 2);
    top->setColumnStretch(1, 1);
    top->setColumnStretch(3, 1);
    top->setColumnStretch(5, 1);

    auto* sizes = new QGridLayout;
    auto place = [&](int row, int column, QLabel* l, QWidget* box) {
        sizes->addWidget(l, row, column * 2, Qt::AlignRight);
        sizes->addWidget(box, row, column * 2 + 1, Qt::AlignLeft);
    };
    place(0, 0, sizeLabel(QStringLiteral("Numero di moduli per riga:"), txtColumns_, "lblColumns"),
          txtColumns_);
    place(0, 1, sizeLabel(QStringLiteral("Altezza modulo (mm):"), txtReportHeight_, "lblReportHeight"),
          txtReportHeight_);
    place(0, 2, sizeLabel(QStringLiteral("Larghezza (mm):"), txtReportWidth_, "lblReportWidth"),
          txtReportWidth_);
    place(1, 0, sizeLabel(QStringLiteral("Margine Verticale modulo (mm):"), txtReportTop_, "lblReportTop"),
          txtReportTop_);
    place(1, 1, sizeLabel(QStringLiteral("Orizzontale (mm):"), txtReportLeft_, "lblReportLeft"),
          txtReportLeft_);
    sizes->addWidget(chkHorizontal_, 1, 4, 1, 2, Qt::AlignLeft);
    place(2, 0,
          sizeLabel(QStringLiteral("Margine Superiore area righe (mm):"), txtReportRowsTop_,
                    "lblReportRowsTop"),
          txtReportRowsTop_);
    place(2, 1, sizeLabel(QStringLiteral("Inferiore (mm):"), txtReportRowsBottom_, "lblReportRowsBottom"),
          txtReportRowsBottom_);
    place(2, 2, sizeLabel(QStringLiteral("Dimensione righe (mm):"), txtReportRowsDim_, "lblReportRowsDim"),
          txtReportRowsDim_);
    QLabel* image = sizeLabel(QStringLiteral("Img. Sfondo:"), txtBackImage_, "lblBackImage");
    sizes->addWidget(image, 3, 0, Qt::AlignRight);
    auto* imageRow = new QHBoxLayout;
    imageRow->addWidget(txtBackImage_, 1);
    imageRow->addWidget(cmdSelBackImage_);
    sizes->addLayout(imageRow, 3, 1, 1, 3);
    place(3, 2,
          sizeLabel(QStringLiteral("Bordo Inferiore (mm):"), txtBottomImageBorder_, "lblBottomImageBorder"),
          txtBottomImageBorder_);
    sizes->setColumnStretch(6, 1);
    for (QLabel* l : sizeLabels_)
        editControls_.push_back(l);

    auto* note = label(QStringLiteral("N.B.: Tutte le dimensioni e le posizioni sono espresse in millimetri"),
                       this, "lblNote");

    auto* scriptBar = new QHBoxLayout;
    scriptBar->addWidget(lblScript_);
    scriptBar->addWidget(cmdSearch_);
    scriptBar->addWidget(cmdDelete_);
    scriptBar->addSpacing(12);
    scriptBar->addWidget(lblLine_);
    scriptBar->addStretch(1);
    scriptBar->addWidget(cmdInstruction_);
    scriptBar->addWidget(cmdField_);
    scriptBar->addWidget(cmdDefault_);

    auto* bottom = new QHBoxLayout(pnlBottom_);
    bottom->setContentsMargins(0, 0, 0, 0);
    bottom->addWidget(cmdTest_);
    bottom->addWidget(cmdPreview_);
    bottom->addSpacing(12);
    bottom->addWidget(cmdLoad_);
    bottom->addWidget(cmdSave_);
    bottom->addStretch(1);
    bottom->addWidget(cmdOK_);
    bottom->addWidget(cmdCancel_);

    // The script box takes what the window grows by; the window never gets smaller than its controls
    // and a script box as high as the bottom panel.
    txtVBScript_->setMinimumHeight(pnlBottom_->sizeHint().height() * 2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(sizes);
    layout->addWidget(note);
    layout->addLayout(scriptBar);
    layout->addWidget(txtVBScript_, 1);
    layout->addWidget(pnlBottom_);
}

void frmCustomReportSetting::connectControls() {
    connect(cbTableSel_, &QComboBox::activated, this, &frmCustomReportSetting::sourceActivated);
    connect(cbReportName_, &QComboBox::activated, this, &frmCustomReportSetting::nameActivated);
    connect(cbReportName_->lineEdit(), &QLineEdit::textEdited, this, [this](const QString& text) {
        m_intNameIndex = -1;
        m_strNameText = text;
    });
    auto modified = [this] { m_blnModified = true; };
    for (QComboBox* c : {cboPrinter_, cboReportGroup_})
        connect(c, &QComboBox::currentIndexChanged, this, modified);
    for (QCheckBox* c : {chkHorizontal_, chkPrinterSelection_})
        connect(c, &QCheckBox::toggled, this, modified);
    for (QLineEdit* box : std::initializer_list<QLineEdit*>{
             txtBackImage_, txtBottomImageBorder_, txtColumns_, txtReportHeight_, txtReportLeft_,
             txtReportRowsBottom_, txtReportRowsDim_, txtReportRowsTop_, txtReportTop_, txtReportWidth_})
        connect(box, &QLineEdit::textChanged, this, modified);
    connect(txtVBScript_, &ScriptBox::textChanged, this, modified);

    connect(cmdOK_, &QPushButton::clicked, this, &frmCustomReportSetting::cmdOK_Click);
    connect(cmdDelete_, &QToolButton::clicked, this, &frmCustomReportSetting::cmdDelete_Click);
    connect(cmdDefault_, &QPushButton::clicked, this, &frmCustomReportSetting::cmdDefault_Click);
    connect(cmdTest_, &QPushButton::clicked, this, &frmCustomReportSetting::cmdTest_Click);
    connect(cmdPreview_, &QPushButton::clicked, this, &frmCustomReportSetting::cmdPreview_Click);
    connect(cmdSelBackImage_, &QToolButton::clicked, this, &frmCustomReportSetting::cmdSelBackImage_Click);
    connect(cmdSearch_, &QToolButton::clicked, this, &frmCustomReportSetting::cmdSearch_Click);
    connect(cmdPrnSetting_, &QToolButton::clicked, this, &frmCustomReportSetting::cmdPrnSetting_Click);
    connect(cmdSave_, &QPushButton::clicked, this, &frmCustomReportSetting::cmdSave_Click);
    connect(cmdLoad_, &QPushButton::clicked, this, &frmCustomReportSetting::cmdLoad_Click);
    connect(cmdCancel_, &QPushButton::clicked, this, &frmCustomReportSetting::cmdCancel_Click);
}

void frmCustomReportSetting::fillLists() {
    PrinterRegistry& printers = PrinterRegistry::instance();
    for (int i = 0, n = printers.count(); i < n; ++i)
        cboPrinter_->addItem(printers.item(i)->deviceName());
    cboPrinter_->setCurrentIndex(-1);

    cboReportGroup_->addItem(QString());
    if (!p_strContextNameList.isEmpty())
        cboReportGroup_->addItems(p_strContextNameList.split(QLatin1Char(',')));
    m_blnGroupListFixed = cboReportGroup_->count() < 2;

    m_colSources = ReportSourceList(p_objDatabase->Tables(), p_strOnlyTableList, p_blnIncludeReference);
    for (size_t n = 0; n < m_colSources.size(); ++n)
        cbTableSel_->addItem(m_colSources[n].caption, static_cast<int>(n));
    cbTableSel_->setCurrentIndex(-1);
    // Each source shows whole.
    cbTableSel_->setMinimumWidth(cbTableSel_->sizeHint().width());
    setNameText(QString());
    txtBackImage_->clear();
}

QString frmCustomReportSetting::SelectedTableName() const {
    if (m_intSourceIndex < 0) return {};
    return SourceTableName(m_colSources[static_cast<size_t>(m_intSourceIndex)].item);
}

QString frmCustomReportSetting::SelectedReferenceName() const {
    if (m_intSourceIndex < 0) return {};
    return SourceReferenceName(m_colSources[static_cast<size_t>(m_intSourceIndex)].item);
}

QString frmCustomReportSetting::ScriptText() const {
    return txtVBScript_->Script();
}

void frmCustomReportSetting::SetScriptText(const QString& script) {
    txtVBScript_->SetScript(script);
}

void frmCustomReportSetting::sourceActivated(int index) {
    const int entry = cbTableSel_->itemData(index).toInt();
    // The profile shown belongs to the source chosen before: it is saved, if wanted, under that one.
    if (!ConfirmSaveIfChanged()) {
        int shown = -1;
        for (int i = 0; i < cbTableSel_->count(); ++i)
            if (cbTableSel_->itemData(i).toInt() == m_intSourceIndex) shown = i;
        cbTableSel_->setCurrentIndex(shown);
        return;
    }
    m_intSourceIndex = index < 0 ? -1 : entry;
    cbTableSel_Click();
}

void frmCustomReportSetting::selectSource(int listIndex) {
    cbTableSel_->setCurrentIndex(listIndex);
    m_intSourceIndex = listIndex < 0 ? -1 : cbTableSel_->itemData(listIndex).toInt();
    cbTableSel_Click();
}

void frmCustomReportSetting::selectOnlySource() {
    if (cbTableSel_->count() == 1 && m_intSourceIndex < 0) selectSource(0);
}

void frmCustomReportSetting::nameActivated(int index) {
    if (m_blnNameFromEditing) {
        // A typed name that equals an entry is still a typed one.
        m_intNameIndex = -1;
        return;
    }
    const QString chosen = cbReportName_->itemText(index);
    // The name box shows the pick already; the profile shown is saved, if wanted, under its own name.
    const int shown = m_intNameIndex;
    setNameText(m_strNameText);
    if (!ConfirmSaveIfChanged()) {
        m_intNameIndex = shown;
        return;
    }
    setNameListIndex(index);
    setNameText(chosen);
    cbReportName_Click();
}

void frmCustomReportSetting::cbTableSel_Click() {
    if (m_intSourceIndex < 0) {
        EnableEditControls(false);
        return;
    }
    try {
        fillNameList();
    } catch (const std::exception& e) {
        showError(e);
        return;
    }
    LoadReportProfile();
    EnableEditControls(true);
    cbReportName_->setFocus();
    if (cbReportName_->count() == 1) {
        setNameListIndex(0);
        setNameText(cbReportName_->itemText(0));
        cbReportName_Click();
    } else {
        // The list drops down once the window has shown what was loaded, as after a key sent to it.
        QTimer::singleShot(0, cbReportName_, [this] {
            if (isVisible() && cbReportName_->isEnabled() && m_intNameIndex < 0 && cbReportName_->count() > 0)
                cbReportName_->showPopup();
        });
    }
}

void frmCustomReportSetting::cbReportName_Click() {
    LoadReportProfile();
}

void frmCustomReportSetting::cmdCancel_Click() {
    close();
}

bool frmCustomReportSetting::ConfirmSaveIfChanged() {
    if (!m_blnModified) return true;
    const MsgResult answer = Prompt::instance().msgBox(
        QStringLiteral("Il profilo è stato modificato...\r\rVuoi salvare le modifiche ?"),
        MsgBoxStyle::vbYesNo | MsgBoxStyle::vbQuestion, g_strMsgBoxTitle, this);
    if (answer != MsgResult::Yes) return true;
    return SaveReportProfile();
}

void frmCustomReportSetting::closeEvent(QCloseEvent* event) {
    if (!ConfirmSaveIfChanged()) {
        event->ignore();
        return;
    }
    SaveFormSettings(this, false);
    event->accept();
}

bool frmCustomReportSetting::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) selectOnlySource();
    return QWidget::event(event);
}

bool frmCustomReportSetting::eventFilter(QObject* watched, QEvent* event) {
    // The window sees F3 before its controls do.
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F3) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && widget->window() == this && isActiveWindow()) {
            searchKey(static_cast<QKeyEvent*>(event)->modifiers());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmCustomReportSetting::showError(const std::exception& e) {
    Prompt::instance().msgBox(ErrorDescription(e), MsgBoxStyle::vbCritical, g_strMsgBoxTitle, this);
}
