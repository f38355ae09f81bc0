// The label layout window: its controls, its load, the table choice and the layout shown.
#include "labels/frmLabelPrintSetting.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/AppError.h"
#include "base/Variant.h"
#include "labels/ScriptAssistant.h"
#include "odb/Connection.h"
#include "odb/ConnectionNotices.h"
#include "odb/DataSet.h"
#include "odb/Database.h"
#include "odb/Table.h"
#include "odb/Tables.h"
#include "platform/CommandIcons.h"
#include "platform/DrawSurface.h"
#include "platform/MaskedBox.h"
#include "platform/PrinterRegistry.h"
#include "platform/Prompt.h"
#include "platform/ScriptBox.h"
#include "startup/modZeltoFormUtility.h"

namespace {

QPointer<frmLabelPrintSetting>& instance() {
    static QPointer<frmLabelPrintSetting> window;
    return window;
}

// Controls that stay usable without a chosen table.
const QString kAlwaysEnabled = QStringLiteral(",cbTableSel,cmdCancel,cdlg,pnlBottom,");

QLabel* label(QWidget* parent, const char* name, const char* caption) {
    auto* l = new QLabel(QString::fromUtf8(caption), parent);
    l->setObjectName(QString::fromLatin1(name));
    return l;
}

QPushButton* button(QWidget* parent, const char* name, const char* caption, const char* tip = "") {
    auto* b = new QPushButton(QString::fromUtf8(caption), parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setToolTip(QString::fromUtf8(tip));
    b->setAutoDefault(false);
    return b;
}

MaskedBox* maskedBox(QWidget* parent, const char* name, const QString& mask, int length, const char* tip) {
    auto* box = new MaskedBox(mask, length, parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setToolTip(QString::fromUtf8(tip));
    // Room for a few digits more than the values the boxes usually hold.
    box->setFixedWidth(box->fontMetrics().horizontalAdvance(QLatin1Char('0')) * (length > 2 ? 10 : 4) + 16);
    return box;
}

// A check box whose caption stands before the box, as "Caption:" reads.
QCheckBox* checkBox(QWidget* parent, const char* name, const char* caption, const char* tip,
                    bool boxAfterCaption) {
    auto* c = new QCheckBox(QString::fromUtf8(caption), parent);
    c->setObjectName(QString::fromLatin1(name));
    c->setToolTip(QString::fromUtf8(tip));
    if (boxAfterCaption) c->setLayoutDirection(Qt::RightToLeft);
    return c;
}

}  // namespace

frmLabelPrintSetting* frmLabelPrintSetting::EditSetting(QWidget* frmParent,
                                                        std::shared_ptr<odb::Database> database,
                                                        std::shared_ptr<odb::Connection> connection,
                                                        const QString& onlyTableList,
                                                        const QString& defaultScript) {
    const bool loaded = instance() != nullptr;
    if (!loaded) instance() = new frmLabelPrintSetting(frmParent);
    frmLabelPrintSetting* w = instance();
    w->database_ = std::move(database);
    w->connection_ = std::move(connection);
    w->onlyTableList_ = onlyTableList;
    w->defaultScript_ = defaultScript;
    if (!loaded) w->Form_Load();
    w->show();
    w->raise();
    w->activateWindow();
    w->Form_Activate();
    return w;
}

frmLabelPrintSetting* frmLabelPrintSetting::Get() {
    return instance();
}

QString frmLabelPrintSetting::LabelTemplate() {
    static const char* const lines[] = {
        "' =======================================================================",
        "' Composizione del codice per la stampa dell'etichetta",
        "Function PrintLabel(ds, prn)",
        "",
        "  ' Sono supportati i seguenti metodi aggiuntivi:",
        "  ' prn.Vars([NomeVar]), prn.Nums([NomeVar]), prn.Strs([NomeVar]) per leggere / impostare le "
        "variabili",
        "  ' prn.VarsCount e prn.ResetVars per contare e annullare le variabili",
        "  ' prn.CopyCount riporta il numero di copia corrente",
        "",
        "",
        "  prn.SetFont 13, True, False, \"MS San Serif\"",
        "  'prn.TxtOut 0, 0, ds.FormattedColValue(\"[NomeCampo]\")",
        "",
        "  ' Impostare False per annullare la stampa",
        "  ' Impostare prn.IgnoreLabel per ignorare l'etichetta corrente",
        "  PrintLabel = True",
        "",
        "End Function",
    };
    QStringList out;
    for (const char* line : lines)
        out << QString::fromUtf8(line);
    return out.join(QStringLiteral("\r\n"));
}

// A dialog-type window is kept above its owner by the window manager; modeless, it leaves the owner usable.
frmLabelPrintSetting::frmLabelPrintSetting(QWidget* owner)
    : QWidget(owner, Qt::Dialog | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("frmLabelPrintSetting"));
    setWindowTitle(QStringLiteral("Impostazione stampa etichette"));
    setAttribute(Qt::WA_DeleteOnClose);
    build();
    // The program lets its database go: a wanted save is made while the file is still open, and the
    // window goes with the database.
    connect(
        &odb::ConnectionNotices::instance(), &odb::ConnectionNotices::closing, this,
        [this](const odb::Connection* connection) {
            if (connection != connection_.get()) return;
            if (modified_ &&
                Prompt::instance().msgBox(
                    QStringLiteral("Lo script è stato modificato...\r\rVuoi salvare le modifiche ?"),
                    MsgBoxStyle::vbYesNo | MsgBoxStyle::vbQuestion, g_strMsgBoxTitle, this) == MsgResult::Yes)
                cmdOK_Click();
            modified_ = false;
            close();
        });
}

void frmLabelPrintSetting::build() {
    QFont verdana(QStringLiteral("Verdana"));
    cbTableSel_ = new QComboBox(this);
    cbTableSel_->setObjectName(QStringLiteral("cbTableSel"));
    cbTableSel_->setFont(verdana);
    cbTableSel_->setMinimumContentsLength(24);
    cboPrinter_ = new QComboBox(this);
    cboPrinter_->setObjectName(QStringLiteral("cboPrinter"));
    cboPrinter_->setFont(verdana);
    cboPrinter_->setToolTip(QStringLiteral("Stampante etichette"));
    cboPrinter_->setMinimumContentsLength(20);
    chkPrinterSelection_ = checkBox(this, "chkPrinterSelection", "Selezionabile",
                                    "Indica che l'utente deve selezionare la stampante", false);
    cmdPrnSetting_ = button(this, "cmdPrnSetting", "", "Impostazione stampanti");
    cmdPrnSetting_->setIcon(PrinterSetupIcon());

    const QString twoDigits = QStringLiteral("9#");
    txtColumns_ = maskedBox(this, "txtColumns", twoDigits, 2,
                            "Numero di etichette stampabili nella stessa riga del modulo");
    txtLabelHeight_ = maskedBox(this, "txtLabelHeight", {}, 64, "Altezza dell'etichetta (millimetri)");
    txtLabelWidth_ = maskedBox(this, "txtLabelWidth", {}, 64, "Larghezza dell'etichetta (millimetri)");
    txtLabelTop_ =
        maskedBox(this, "txtLabelTop", {}, 64, "Margine superiore della prima etichetta (millimetri)");
    txtLabelLeft_ =
        maskedBox(this, "txtLabelLeft", {}, 64, "Margine sinistro della prima etichetta (millimetri)");
    txtCopy_ = maskedBox(this, "txtCopy", twoDigits, 2, "Numero di copie per ogni etichetta");
    chkHorizontal_ =
        checkBox(this, "chkHorizontal",
                 "Orientamento Orizzontale:", "Orienta i moduli orizzontalmente (ruota di 90 gradi)", true);
    chkEnableLabelAlignment_ =
        checkBox(this, "chkEnableLabelAlignment", "Richiedi Posizione Iniziale Etichette:",
                 "Richiede all'utente il numero di eventuali etichette da saltare", true);

    cmdInstruction_ = button(this, "cmdInstruction", "Istruzioni");
    cmdField_ = button(this, "cmdField", "Campi >>");
    cmdDefault_ =
        button(this, "cmdDefault", "Imposta &Predefinito", "Imposta lo script di stampa predefinito");
    txtVBScript_ = new ScriptBox(this);
    txtVBScript_->setObjectName(QStringLiteral("txtVBScript"));
    lblLine_ = label(this, "lblLine", "Line 0/0");
    lblLine_->setFont(QFont(QStringLiteral("MS Sans Serif")));
    lblLine_->setToolTip(QStringLiteral("Numero di linea corrente"));
    lblLine_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    pnlBottom_ = new QWidget(this);
    pnlBottom_->setObjectName(QStringLiteral("pnlBottom"));
    auto* cmdTest = button(pnlBottom_, "cmdTest", "&Test", "Esegue il test di stampa");
    auto* cmdPreview = button(pnlBottom_, "cmdPreview", "&Anteprima", "Attiva l'anteprima di stampa");
    auto* cmdLoad =
        button(pnlBottom_, "cmdLoad", "&Importa", "Attiva l'importazione delllo Script di stampa");
    auto* cmdSave =
        button(pnlBottom_, "cmdSave", "&Esporta", "Attiva l'esportazione delllo Script di stampa");
    auto* cmdOK = button(pnlBottom_, "cmdOK", "&Salva", "Salva lo script di stampa");
    auto* cmdCancel = button(pnlBottom_, "cmdCancel", "&Esci");

    auto* top = new QGridLayout;
    top->addWidget(label(this, "Label9", "Sorgente Dati:"), 0, 0);
    top->addWidget(cbTableSel_, 0, 1, 1, 3);
    top->addWidget(label(this, "Label2", "Stampante:"), 0, 4);
    auto* printerRow = new QHBoxLayout;
    printerRow->addWidget(cboPrinter_, 1);
    printerRow->addWidget(chkPrinterSelection_);
    printerRow->addWidget(cmdPrnSetting_);
    top->addLayout(printerRow, 0, 5, 1, 2);
    top->addWidget(label(this, "Label3", "Numero di etichette per riga:"), 1, 0);
    top->addWidget(txtColumns_, 1, 1);
    top->addWidget(label(this, "Label5", "Altezza Etichetta (mm):"), 1, 2);
    top->addWidget(txtLabelHeight_, 1, 3);
    top->addWidget(label(this, "Label6", "Larghezza (mm):"), 1, 4);
    top->addWidget(txtLabelWidth_, 1, 5);
    top->addWidget(label(this, "Label10", "Numero di copie per etichetta:"), 2, 0);
    top->addWidget(txtCopy_, 2, 1);
    top->addWidget(label(this, "Label8", "Margine Superiore (mm):"), 2, 2);
    top->addWidget(txtLabelTop_, 2, 3);
    top->addWidget(label(this, "Label7", "Sinistro (mm):"), 2, 4);
    top->addWidget(txtLabelLeft_, 2, 5);
    auto* options = new QHBoxLayout;
    options->addWidget(chkHorizontal_);
    options->addSpacing(24);
    options->addWidget(chkEnableLabelAlignment_);
    options->addStretch(1);
    top->addLayout(options, 3, 0, 1, 7);
    top->addWidget(
        label(this, "Label4", "N.B.: Tutte le dimensioni e le posizioni sono espresse in millimetri"), 4, 0,
        1, 7);
    top->setColumnStretch(6, 1);

    auto* scriptBar = new QHBoxLayout;
    scriptBar->addWidget(
        label(this, "Label1", "VB Script di composizione comandi per la stampa dell'etichetta:"));
    scriptBar->addSpacing(12);
    scriptBar->addWidget(cmdInstruction_);
    scriptBar->addWidget(cmdField_);
    scriptBar->addWidget(cmdDefault_);
    scriptBar->addStretch(1);
    scriptBar->addWidget(lblLine_);

    auto* bottom = new QHBoxLayout(pnlBottom_);
    bottom->setContentsMargins(0, 4, 0, 0);
    for (QPushButton* b : {cmdTest, cmdPreview, cmdLoad, cmdSave})
        bottom->addWidget(b);
    bottom->addStretch(1);
    bottom->addWidget(cmdOK);
    bottom->addWidget(cmdCancel);
    // The script box never gets lower than the bottom panel: the window keeps room for both.
    txtVBScript_->setMinimumHeight(pnlBottom_->sizeHint().height());

    auto* column = new QVBoxLayout(this);
    column->addLayout(top);
    column->addLayout(scriptBar);
    column->addWidget(txtVBScript_, 1);
    column->addWidget(pnlBottom_);
    resize(820, 600);

    ScriptAssistantSetup setup;
    setup.database = [this] { return database_.get(); };
    setup.tableName = [this] { return GetSelectedTableName(); };
    setup.tableListsBuilt = [this] { EnableEditControls(true); };
    assistant_ =
        new ScriptAssistant(this, txtVBScript_, lblLine_, cmdInstruction_, cmdField_, std::move(setup));

    connect(cbTableSel_, &QComboBox::currentIndexChanged, this, [this] { cbTableSel_Click(); });
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
    connect(cmdDefault_, &QPushButton::clicked, this, [this] { cmdDefault_Click(); });
    connect(cmdPreview, &QPushButton::clicked, this, [this] { cmdPreview_Click(); });
    connect(cmdTest, &QPushButton::clicked, this, [this] { cmdTest_Click(); });
    connect(cmdPrnSetting_, &QPushButton::clicked, this, [this] { cmdPrnSetting_Click(); });
    connect(cmdSave, &QPushButton::clicked, this, [this] { cmdSave_Click(); });
    connect(cmdLoad, &QPushButton::clicked, this, [this] { cmdLoad_Click(); });
    connect(txtVBScript_, &QPlainTextEdit::textChanged, this, [this] { markModified(); });
    for (MaskedBox* box :
         {txtColumns_, txtLabelHeight_, txtLabelWidth_, txtLabelTop_, txtLabelLeft_, txtCopy_})
        connect(box, &QLineEdit::textChanged, this, [this] { markModified(); });
    for (QCheckBox* box : {chkPrinterSelection_, chkHorizontal_, chkEnableLabelAlignment_})
        connect(box, &QCheckBox::toggled, this, [this] { markModified(); });
    connect(cboPrinter_, &QComboBox::currentIndexChanged, this, [this] { markModified(); });
}

void frmLabelPrintSetting::Form_Load() {
    ApplyFormFont(this, g_strFontName, g_sngFontSizeIncrement);
    loading_ = true;
    cboPrinter_->clear();
    PrinterRegistry& printers = PrinterRegistry::instance();
    for (int i = 0; i < printers.count(); ++i)
        cboPrinter_->addItem(printers.item(i)->deviceName());
    cboPrinter_->setCurrentIndex(-1);

    cbTableSel_->clear();
    const QString allowed = u',' + onlyTableList_.toUpper() + u',';
    odb::Tables& tables = database_->Tables();
    for (int32_t i = 1; i <= tables.Count(); ++i) {
        odb::Table& table = tables.Item(i);
        if (table.IsHidden() || table.IsInternal() || !table.IsListed()) continue;
        if (!onlyTableList_.isEmpty() && !allowed.contains(u',' + table.Name().toUpper() + u',')) continue;
        cbTableSel_->addItem(table.Title(), i);
    }
    cbTableSel_->setCurrentIndex(-1);
    loading_ = false;
    modified_ = false;
    lblLine_->clear();
    EnableEditControls(false);
    try {
        LoadFormSettings(this, false, false, 0, 0);
    } catch (const std::exception& e) {
        showError(e);
    }
}

void frmLabelPrintSetting::Form_Activate() {
    if (cbTableSel_->count() == 1 && cbTableSel_->currentIndex() < 0) cbTableSel_->setCurrentIndex(0);
}

bool frmLabelPrintSetting::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate) Form_Activate();
    return QWidget::event(e);
}

QString frmLabelPrintSetting::GetSelectedTableName() const {
    if (cbTableSel_->currentIndex() < 0) return {};
    return database_->Tables().Item(cbTableSel_->currentData().toInt()).Name();
}

void frmLabelPrintSetting::EnableEditControls(bool enable) {
    for (QWidget* w : findChildren<QWidget*>()) {
        if (w->objectName().isEmpty() || kAlwaysEnabled.contains(u',' + w->objectName() + u',')) continue;
        w->setEnabled(enable);
    }
    assistant_->SetEnabled(enable);
}

void frmLabelPrintSetting::markModified() {
    if (!loading_) modified_ = true;
}

void frmLabelPrintSetting::cbTableSel_Click() {
    if (loading_) return;
    if (cbTableSel_->currentIndex() < 0) {
        EnableEditControls(false);
        return;
    }
    try {
        loadLayout();
        // The code assistant builds the table's lists, then the controls come on.
        assistant_->LoadTableMenu();
    } catch (const std::exception& e) {
        loading_ = false;
        showError(e);
    }
}

void frmLabelPrintSetting::loadLayout() {
    auto rows =
        database_->Tables()
            .Item(QStringLiteral("TabStampaEtichette"))
            .OpenData(QStringLiteral("NomeTabellaOrigine=") + database_->TextLiteral(GetSelectedTableName()));
    if (rows->DataEmpty()) {
        txtColumns_->SetText(QStringLiteral("2"));
        txtLabelWidth_->SetText(QStringLiteral("88"));
        txtLabelHeight_->SetText(Variant(32.5).toString());
        txtLabelTop_->SetText(QStringLiteral("0"));
        txtLabelLeft_->SetText(QStringLiteral("0"));
        txtCopy_->SetText(QStringLiteral("1"));
        cboPrinter_->setCurrentIndex(-1);
        chkHorizontal_->setChecked(false);
        chkEnableLabelAlignment_->setChecked(true);
        chkPrinterSelection_->setChecked(false);
        // A new layout is not stored yet: leaving asks.
        txtVBScript_->SetScript(LabelTemplate());
        modified_ = true;
        return;
    }
    loading_ = true;
    txtColumns_->SetText(rows->ColText(QStringLiteral("NumeroColonne")));
    txtVBScript_->SetScript(rows->ColText(QStringLiteral("IstruzioniStampa")));
    txtLabelWidth_->SetText(rows->ColText(QStringLiteral("LarghezzaEtichetta")));
    txtLabelHeight_->SetText(rows->ColText(QStringLiteral("AltezzaEtichetta")));
    txtLabelTop_->SetText(rows->ColText(QStringLiteral("MargineSuperiore")));
    txtLabelLeft_->SetText(rows->ColText(QStringLiteral("MargineSinistro")));
    chkHorizontal_->setChecked(rows->ColValueBool(QStringLiteral("OrientamentoOrizzontale")));
    chkEnableLabelAlignment_->setChecked(rows->ColValueBool(QStringLiteral("AbilitaPosizionamento")));
    chkPrinterSelection_->setChecked(rows->ColValueBool(QStringLiteral("RichiediSelezioneStampante")));
    const QString copies = rows->ColText(QStringLiteral("NumeroCopie"));
    txtCopy_->SetText(copies.isEmpty() ? QStringLiteral("1") : copies);
    // A printer not installed here shows none, rather than the previous layout's, which a save would
    // store for this one.
    cboPrinter_->setCurrentIndex(cboPrinter_->findText(rows->ColText(QStringLiteral("NomeStampante")),
                                                       Qt::MatchExactly | Qt::MatchCaseSensitive));
    loading_ = false;
    modified_ = false;
}

void frmLabelPrintSetting::showError(const std::exception& e) {
    Prompt::instance().msgBox(ErrorDescription(e), MsgBoxStyle::vbOKOnly, g_strMsgBoxTitle, this);
}

void frmLabelPrintSetting::closeEvent(QCloseEvent* e) {
    // The title bar's close asks as "&Esci" does.
    if (!confirmLeave()) {
        e->ignore();
        return;
    }
    SaveFormSettings(this, false);
    instance() = nullptr;
    e->accept();
}
