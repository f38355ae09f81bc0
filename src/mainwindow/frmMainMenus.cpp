// The main window's controls, menus, toolbar and pop-up menus, with their captions.
#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>

#include "mainwindow/ImageLists.h"
#include "mainwindow/frmMain.h"
#include "odb/ui/DataGrid.h"

namespace {

constexpr int kTwipsPerPixel = 15;
constexpr int px(int twips) {
    return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel;
}

const QColor kLightGrey(224, 224, 224);

QFont titleFont(double points, bool bold) {
    QFont f(QStringLiteral("Times New Roman"));
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

QLabel* titleLabel(const QString& caption, const QString& name, QWidget* parent) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(name);
    label->setFont(titleFont(10, true));
    label->setAutoFillBackground(true);
    QPalette pal = label->palette();
    pal.setColor(QPalette::Window, kLightGrey);
    label->setPalette(pal);
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Sunken);
    return label;
}

}  // namespace

void frmMain::createControls() {
    client_ = new QWidget(this);
    client_->setObjectName(QStringLiteral("client"));
    setCentralWidget(client_);
    client_->installEventFilter(this);

    tbToolBar_ = new QToolBar(client_);
    tbToolBar_->setObjectName(QStringLiteral("tbToolBar"));
    tbToolBar_->setMovable(false);
    tbToolBar_->setFloatable(false);
    tbToolBar_->setIconSize(QSize(22, 22));
    tbToolBar_->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    tbToolBar_->setContentsMargins(0, 0, 0, 0);
    tbToolBar_->setStyleSheet(QStringLiteral("QToolBar { padding: 0px; spacing: 0px; }"));
    tbToolBar_->setFixedHeight(px(810));

    picTitles_ = new QWidget(client_);
    picTitles_->setObjectName(QStringLiteral("picTitles"));
    lblTitle_[0] = titleLabel(QStringLiteral(" Sezione:"), QStringLiteral("lblTitle0"), picTitles_);
    lblTitle_[1] = titleLabel(QStringLiteral(" Dettagli:"), QStringLiteral("lblTitle1"), picTitles_);
    cmdHideTree_ = new QPushButton(picTitles_);
    cmdHideTree_->setObjectName(QStringLiteral("cmdHideTree"));
    cmdHideTree_->setIcon(HideTreeIcon(true));
    cmdHideTree_->setIconSize(QSize(12, 12));
    cmdHideTree_->setToolTip(QStringLiteral("Nascondi / Visualizza Sezione"));
    cmdHideTree_->setFocusPolicy(Qt::NoFocus);
    setHideTreeColor(kLightGrey);
    connect(cmdHideTree_, &QPushButton::clicked, this, [this] { cmdHideTree_Click(); });
    cmdDateSel_ = new QPushButton(picTitles_);
    cmdDateSel_->setObjectName(QStringLiteral("cmdDateSel"));
    cmdDateSel_->setToolTip(QStringLiteral("Imposta il periodo di selezione dei dati"));
    cmdDateSel_->setStyleSheet(
        QStringLiteral("QPushButton { background-color: rgb(224, 224, 224); "
                       "border: 1px solid rgb(128, 128, 128); padding: 0 4px; }"));
    cmdDateSel_->setFocusPolicy(Qt::NoFocus);
    cmdDateSel_->hide();
    connect(cmdDateSel_, &QPushButton::clicked, this, [this] { cmdDateSel_Click(); });
    for (QWidget* w : {static_cast<QWidget*>(lblTitle_[0]), static_cast<QWidget*>(lblTitle_[1]),
                       static_cast<QWidget*>(cmdHideTree_), static_cast<QWidget*>(cmdDateSel_)})
        w->setFixedHeight(px(405));
    cmdHideTree_->setFixedWidth(px(225));
    cmdDateSel_->setFixedWidth(px(3615));
    lblTitle_[0]->move(px(60), px(30));
    cmdHideTree_->move(0, px(30));
    lblTitle_[1]->move(0, px(30));
    cmdDateSel_->move(0, px(30));

    tvTreeView_ = new QTreeWidget(client_);
    tvTreeView_->setObjectName(QStringLiteral("tvTreeView"));
    tvTreeView_->installEventFilter(this);
    tvTreeView_->setHeaderHidden(true);
    tvTreeView_->setColumnCount(1);
    tvTreeView_->setIconSize(QSize(16, 16));
    tvTreeView_->setRootIsDecorated(true);
    // Whole texts in a narrow pane: a horizontal scroll bar rather than cut names.
    tvTreeView_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    tvTreeView_->header()->setStretchLastSection(false);
    connect(tvTreeView_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* current) {
        // A selection made by the user (mouse or keys) is a node click; an assignment is not.
        if (!settingSelection_ && current) tvTreeView_NodeClick(current);
    });
    connect(tvTreeView_, &QTreeWidget::itemClicked, this, [this] { tvTreeView_Click(); });
    connect(tvTreeView_, &QTreeWidget::itemDoubleClicked, this, [this] { tvTreeView_DblClick(); });

    imgSplitter_ = new QWidget(client_);
    imgSplitter_->setObjectName(QStringLiteral("imgSplitter"));
    imgSplitter_->setCursor(Qt::SplitHCursor);
    imgSplitter_->installEventFilter(this);
    picSplitter_ = new QWidget(client_);
    picSplitter_->setObjectName(QStringLiteral("picSplitter"));
    picSplitter_->setAutoFillBackground(true);
    QPalette grey = picSplitter_->palette();
    grey.setColor(QPalette::Window, QColor(128, 128, 128));
    picSplitter_->setPalette(grey);
    picSplitter_->hide();

    dgView_ = new odb::DataGrid(client_);
    dgView_->setObjectName(QStringLiteral("dgView"));
    dgView_->hide();
    dgView_->installEventFilter(this);
    connect(dgView_, &odb::DataGrid::DblClick, this, [this] { dgView_DblClick(); });
    connect(dgView_, &odb::DataGrid::HeadClick, this, [this](int column) { dgView_HeadClick(column); });
    connect(dgView_, &odb::DataGrid::ColResize, this,
            [this](int column, int twips) { dgView_ColResize(column, twips); });
    connect(dgView_, &odb::DataGrid::RowColChange, this,
            [this](int lastRow, int lastCol) { dgView_RowColChange(lastRow, lastCol); });
    connect(dgView_, &odb::DataGrid::MouseUp, this,
            [this](Qt::MouseButton button, Qt::KeyboardModifiers, int x, int y) {
                dgView_MouseUp(button, x, y);
            });
    connect(dgView_, &odb::DataGrid::RowsUnreadable, this,
            [this](const QString& text) { rowsUnreadable(text); });
    connect(dgView_, &odb::DataGrid::RowsReadable, this, [this] { rowsReadable(); });
    cmdGridSetting_ = new QToolButton(client_);
    cmdGridSetting_->setObjectName(QStringLiteral("cmdGridSetting"));
    cmdGridSetting_->setText(QStringLiteral("..."));
    cmdGridSetting_->setToolTip(QStringLiteral("Griglia"));
    cmdGridSetting_->setFixedSize(px(270), px(270));
    cmdGridSetting_->setFocusPolicy(Qt::NoFocus);
    cmdGridSetting_->hide();
    connect(cmdGridSetting_, &QToolButton::clicked, this, [this] { cmdGridSetting_Click(); });

    sbStatusBar_ = new QStatusBar(client_);
    sbStatusBar_->setObjectName(QStringLiteral("sbStatusBar"));
    sbPanel1_ = new QLabel(sbStatusBar_);
    sbPanel1_->setObjectName(QStringLiteral("sbPanel1"));
    sbStatusBar_->addWidget(sbPanel1_, 1);
    // Panel 2 tells that reminders are due.
    sbPanel2_ = new QLabel(QStringLiteral("Promemoria"), sbStatusBar_);
    sbPanel2_->setObjectName(QStringLiteral("sbPanel2"));
    sbStatusBar_->addPermanentWidget(sbPanel2_);
    sbPanel2_->hide();
    sbStatusBar_->setFixedHeight(sbStatusBar_->sizeHint().height());

    tmSendMail_ = new QTimer(this);
    tmSendMail_->setObjectName(QStringLiteral("tmSendMail"));
    tmSendMail_->setInterval(59980);
    connect(tmSendMail_, &QTimer::timeout, this, [this] { tmSendMail_Timer(); });
    tmFunc_ = new QTimer(this);
    tmFunc_->setObjectName(QStringLiteral("tmFunc"));
    tmFunc_->setInterval(1);
    connect(tmFunc_, &QTimer::timeout, this, [this] { tmFunc_Timer(); });
}

QAction* frmMain::addCommand(QMenu* menu, const QString& name, const QString& caption,
                             void (frmMain::*handler)()) {
    auto* action = new QAction(caption, this);
    action->setObjectName(name);
    menu->addAction(action);
    if (handler) connect(action, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
    return action;
}

QAction* frmMain::addMarkedCommand(QMenu* menu, const QString& name, const QString& caption,
                                   void (frmMain::*handler)()) {
    QAction* action = addCommand(menu, name, caption, nullptr);
    action->setCheckable(true);
    // The mark shows a state that only the command's outcome changes: a click flips it before the
    // handler runs, so it is put back first (a cancelled dialog then leaves it as it was).
    connect(action, &QAction::triggered, this, [this, action, handler](bool checked) {
        action->setChecked(!checked);
        (this->*handler)();
    });
    return action;
}

void frmMain::createMenus() {
    QMenuBar* bar = menuBar();
    auto menu = [this](QMenu* parent, const QString& name, const QString& caption) {
        QMenu* m = parent ? parent->addMenu(caption) : menuBar()->addMenu(caption);
        m->setObjectName(name);
        m->menuAction()->setObjectName(name);
        return m;
    };
    (void)bar;

    // Data.
    QMenu* mnuFile = menu(nullptr, QStringLiteral("mnuFile"), QStringLiteral("&Dati"));
    addCommand(mnuFile, QStringLiteral("mnuFileNew"), QStringLiteral("&Nuovo..."),
               &frmMain::mnuFileNew_Click);
    addCommand(mnuFile, QStringLiteral("mnuFileProperties"), QStringLiteral("&Modifica..."),
               &frmMain::mnuFileProperties_Click);
    addCommand(mnuFile, QStringLiteral("mnuFileDelete"), QStringLiteral("&Elimina"),
               &frmMain::mnuFileDelete_Click);
    mnuFile->addSeparator();
    addCommand(mnuFile, QStringLiteral("mnuSave"), QStringLiteral("&Esporta dati..."),
               &frmMain::mnuSave_Click);
    addCommand(mnuFile, QStringLiteral("mnuViewWebBrowser"), QStringLiteral("&Web Browser..."),
               &frmMain::mnuViewWebBrowser_Click);
    mnuFile->addSeparator();
    mnuFieldFuncs_ = menu(mnuFile, QStringLiteral("mnuFieldFuncs"),
                          QStringLiteral("Funzioni su campo corrente   (Click destro)"));
    addCommand(mnuFieldFuncs_, QStringLiteral("mnuFieldFilter"),
               QStringLiteral("&Filtra colonna con stesso valore..."), &frmMain::mnuFieldFilter_Click);
    addCommand(mnuFieldFuncs_, QStringLiteral("mnuFieldSearchNext"),
               QStringLiteral("&Cerca valore successivo"), &frmMain::mnuFieldSearchNext_Click);
    addCommand(mnuFieldFuncs_, QStringLiteral("mnuFieldFilterCancel"),
               QStringLiteral("&Annulla filtro colonna"), &frmMain::mnuFieldFilterCancel_Click);
    addCommand(mnuFieldFuncs_, QStringLiteral("mnuFieldFilterCancelAll"),
               QStringLiteral("Annulla &tutti i filtri"), &frmMain::mnuFieldFilterCancelAll_Click);
    mnuAssociation_ = menu(mnuFile, QStringLiteral("mnuAssociation"), QStringLiteral("Dati &associati"));
    mnuReferencedItem_ = std::make_unique<MenuArray>(mnuAssociation_, QStringLiteral("< Referenziati >"),
                                                     QStringLiteral("mnuReferencedItem"));
    mnuRefItem_ = std::make_unique<MenuArray>(mnuAssociation_, QStringLiteral("< Riferimenti >"),
                                              QStringLiteral("mnuRefItem"));
    mnuContItem_ = std::make_unique<MenuArray>(mnuAssociation_, QStringLiteral("< Contenitori >"),
                                               QStringLiteral("mnuContItem"));
    connect(mnuAssociation_, &QMenu::triggered, this, [this](QAction* a) {
        if (const int i = mnuReferencedItem_->IndexOf(a); i > 0) mnuReferencedItem_Click(i);
        if (const int i = mnuRefItem_->IndexOf(a); i > 0) mnuRefItem_Click(i);
        if (const int i = mnuContItem_->IndexOf(a); i > 0) mnuContItem_Click(i);
    });
    mnuFile->addSeparator();
    mnuPrintFunc_ = menu(mnuFile, QStringLiteral("mnuPrintFunc"), QStringLiteral("&Stampa dati"));
    addCommand(mnuPrintFunc_, QStringLiteral("mnuPrint"), QStringLiteral("&Stampa"),
               &frmMain::mnuPrint_Click);
    addCommand(mnuPrintFunc_, QStringLiteral("mnuPreview"), QStringLiteral("&Anteprima..."),
               &frmMain::mnuPreview_Click);
    addCommand(mnuPrintFunc_, QStringLiteral("mnuPrintExport"), QStringLiteral("Esporta stampa..."),
               &frmMain::mnuPrintExport_Click);
    mnuPrintFunc_->addSeparator();
    addCommand(mnuPrintFunc_, QStringLiteral("mnuPrintLavrixDetail"), QStringLiteral("Stampa &Commesse "),
               &frmMain::mnuPrintLavrixDetail_Click);
    addCommand(mnuPrintFunc_, QStringLiteral("mnuPrintLavrixSchedule"),
               QStringLiteral("Stampa Sch&eda Commessa"), &frmMain::mnuPrintLavrixSchedule_Click);
    addCommand(mnuPrintFunc_, QStringLiteral("mnuPrintLabel"), QStringLiteral("Stampa &Etichette"),
               &frmMain::mnuPrintLabel_Click);
    addCommand(mnuPrintFunc_, QStringLiteral("mnuPrintSelected_SchedeOperai"),
               QStringLiteral("Stampa Schede &Operai"), &frmMain::mnuPrintSelected_SchedeOperai_Click);
    addCommand(mnuPrintFunc_, QStringLiteral("mnuPrintMonth_Accessi"),
               QStringLiteral("Stampa &Mensile Accessi"), &frmMain::mnuPrintMonth_Accessi_Click);
    mnuFile->addSeparator();
    addCommand(mnuFile, QStringLiteral("mnuFileClose"), QStringLiteral("Chiudi"), &frmMain::Unload);

    // View.
    QMenu* mnuView = menu(nullptr, QStringLiteral("mnuView"), QStringLiteral("&Visualizza"));
    // The toggles set their check mark themselves.
    mnuViewToolbar_ = addCommand(mnuView, QStringLiteral("mnuViewToolbar"),
                                 QStringLiteral("&Barra degli strumenti"), nullptr);
    mnuViewStatusBar_ =
        addCommand(mnuView, QStringLiteral("mnuViewStatusBar"), QStringLiteral("Barra di &Stato"), nullptr);
    mnuHideSection_ =
        addCommand(mnuView, QStringLiteral("mnuHideSection"), QStringLiteral("&Sezione"), nullptr);
    for (QAction* a : {mnuViewToolbar_, mnuViewStatusBar_, mnuHideSection_}) {
        a->setCheckable(true);
        a->setChecked(true);
    }
    // A checkable action flips its own mark before the handler runs: put it back first.
    connect(mnuViewToolbar_, &QAction::triggered, this, [this](bool checked) {
        mnuViewToolbar_->setChecked(!checked);
        mnuViewToolbar_Click();
    });
    connect(mnuViewStatusBar_, &QAction::triggered, this, [this](bool checked) {
        mnuViewStatusBar_->setChecked(!checked);
        mnuViewStatusBar_Click();
    });
    connect(mnuHideSection_, &QAction::triggered, this, [this](bool checked) {
        mnuHideSection_->setChecked(!checked);
        mnuHideSection_Click();
    });
    mnuGridSetting_ = menu(mnuView, QStringLiteral("mnuGridSetting"), QStringLiteral("&Griglia"));
    addCommand(mnuGridSetting_, QStringLiteral("mnuGridFldAll"), QStringLiteral("Visualizza &tutti i campi"),
               &frmMain::mnuGridFldAll_Click);
    addMarkedCommand(mnuGridSetting_, QStringLiteral("mnuGridFldSequence"),
                     QStringLiteral("Imposta &sequenza campi..."), &frmMain::mnuGridFldSequence_Click);
    addCommand(mnuGridSetting_, QStringLiteral("mnuGridCancel"),
               QStringLiteral("Annulla sequenza campi e dimensioni"), &frmMain::mnuGridCancel_Click);
    mnuView->addSeparator();
    addCommand(mnuView, QStringLiteral("mnuViewRefresh"), QStringLiteral("&Aggiorna"),
               &frmMain::mnuViewRefresh_Click);

    // Search.
    mnuSearch_ = menu(nullptr, QStringLiteral("mnuSearch"), QStringLiteral("&Cerca"));
    addCommand(mnuSearch_, QStringLiteral("mnuSearchNext"), QStringLiteral("Cerca &successivo"),
               &frmMain::mnuSearchNext_Click)
        ->setShortcut(Qt::Key_F3);
    mnuSearch_->addSeparator();
    mnuSearchItems_ = std::make_unique<MenuArray>(mnuSearch_, QStringLiteral("Cerca in..."),
                                                  QStringLiteral("mnuSearchItems"));
    connect(mnuSearch_, &QMenu::triggered, this, [this](QAction* a) {
        if (const int i = mnuSearchItems_->IndexOf(a); i > 0) mnuSearchItems_Click(i);
    });

    // Filter, with the date selection and the predefined selections.
    mnuFilter_ = menu(nullptr, QStringLiteral("mnuFilter"), QStringLiteral("&Filtro"));
    addMarkedCommand(mnuFilter_, QStringLiteral("mnuFilterComplex"),
                     QStringLiteral("Imposta &filtro complesso..."), &frmMain::mnuFilterComplex_Click);
    mnuFilterComplexItems_ = std::make_unique<MenuArray>(mnuFilter_, QStringLiteral("Filtra con..."),
                                                         QStringLiteral("mnuFilterComplexItems"));
    mnuFilter_->addSeparator();
    addCommand(mnuFilter_, QStringLiteral("mnuFilterCancel"), QStringLiteral("&Annulla filtro"),
               &frmMain::mnuFilterCancel_Click);
    QMenu* mnuFilterShort =
        menu(mnuFilter_, QStringLiteral("mnuFilterShort"), QStringLiteral("Filtra colonna"));
    mnuFilterItems_ = std::make_unique<MenuArray>(mnuFilterShort, QStringLiteral("Filtra per..."),
                                                  QStringLiteral("mnuFilterItems"));
    // Their captions hold the texts typed for the filters and the names given to saved filters.
    mnuFilterItems_->SetLiteralCaptions(true);
    mnuFilterComplexItems_->SetLiteralCaptions(true);
    connect(mnuFilter_, &QMenu::triggered, this, [this](QAction* a) {
        if (const int i = mnuFilterComplexItems_->IndexOf(a); i > 0) mnuFilterComplexItems_Click(i);
        if (const int i = mnuFilterItems_->IndexOf(a); i > 0) mnuFilterItems_Click(i);
    });
    mnuFilter_->addSeparator();
    mnuSelection_ = menu(mnuFilter_, QStringLiteral("mnuSelection"), QStringLiteral("Selezioni in data"));
    const std::pair<const char*, const char*> dateCommands[] = {{"mnuSelAll", "&Tutti"},
                                                                {"mnuSelDate", "&Imposta data..."},
                                                                {"mnuSelMonth", "Imposta &Mese..."},
                                                                {"mnuSelPeriod", "Imposta &Periodo..."}};
    void (frmMain::*dateHandlers[])() = {&frmMain::mnuSelAll_Click, &frmMain::mnuSelDate_Click,
                                         &frmMain::mnuSelMonth_Click, &frmMain::mnuSelPeriod_Click};
    for (int i = 0; i < 4; ++i) {
        QAction* a = addCommand(mnuSelection_, QString::fromLatin1(dateCommands[i].first),
                                QString::fromUtf8(dateCommands[i].second), nullptr);
        a->setCheckable(true);
        const auto handler = dateHandlers[i];
        // The check marks follow the selection, not the click.
        connect(a, &QAction::triggered, this, [this, a, handler](bool checked) {
            a->setChecked(!checked);
            (this->*handler)();
        });
    }
    mnuSelection_->menuAction()->setVisible(false);
    QMenu* mnuDataSelection =
        menu(mnuFilter_, QStringLiteral("mnuDataSelection"), QStringLiteral("Selezioni &predefinite"));
    addMarkedCommand(mnuDataSelection, QStringLiteral("mnuDataSelBeforeQuery"),
                     QStringLiteral("Richiedi selezioni prima di visualizzare i dati..."),
                     &frmMain::mnuDataSelBeforeQuery_Click);
    addCommand(mnuDataSelection, QStringLiteral("mnuDataSelCancel"), QStringLiteral("Elimina selezioni"),
               &frmMain::mnuDataSelCancel_Click);

    // Order.
    mnuOrder_ = menu(nullptr, QStringLiteral("mnuOrder"), QStringLiteral("&Ordina"));
    addCommand(mnuOrder_, QStringLiteral("mnuOrderComplex"), QStringLiteral("&Ordinamento combinato..."),
               &frmMain::mnuOrderComplex_Click);
    addCommand(mnuOrder_, QStringLiteral("mnuOrderCancel"), QStringLiteral("&Annulla ordinamento"),
               &frmMain::mnuOrderCancel_Click);
    mnuOrder_->addSeparator();
    mnuOrderItems_ = std::make_unique<MenuArray>(mnuOrder_, QStringLiteral("Ordina per..."),
                                                 QStringLiteral("mnuOrderItems"));
    connect(mnuOrder_, &QMenu::triggered, this, [this](QAction* a) {
        if (const int i = mnuOrderItems_->IndexOf(a); i > 0) mnuOrderItems_Click(i);
    });

    // Tools.
    QMenu* mnuTools = menu(nullptr, QStringLiteral("mnuTools"), QStringLiteral("&Strumenti"));
    QMenu* mnuTotal = menu(mnuTools, QStringLiteral("mnuTotal"), QStringLiteral("&Totalizza"));
    addCommand(mnuTotal, QStringLiteral("mnuTotalCount"), QStringLiteral("Numero Elementi"),
               &frmMain::mnuTotalCount_Click);
    mnuTotal->addSeparator();
    mnuTotalItems_ = std::make_unique<MenuArray>(mnuTotal, QStringLiteral("Totalizza in..."),
                                                 QStringLiteral("mnuTotalItems"));
    connect(mnuTotal, &QMenu::triggered, this, [this](QAction* a) {
        if (const int i = mnuTotalItems_->IndexOf(a); i > 0) mnuTotalItems_Click(i);
    });
    mnuTools->addSeparator();
    addCommand(mnuTools, QStringLiteral("mnuMemo"), QStringLiteral("&Promemoria..."),
               &frmMain::mnuMemo_Click);
    addCommand(mnuTools, QStringLiteral("mnuOpenUserWindow"),
               QStringLiteral("Pannello Comandi della Postazione &Lavoro..."),
               &frmMain::mnuOpenUserWindow_Click);
    addCommand(mnuTools, QStringLiteral("mnucontrolPanel"), QStringLiteral("Pannello di &controllo..."),
               &frmMain::mnucontrolPanel_Click);
    addCommand(mnuTools, QStringLiteral("mnuCheck_Mail"),
               QStringLiteral("Controlla le E-Mail di Notifica..."), &frmMain::mnuCheck_Mail_Click);
    addCommand(mnuTools, QStringLiteral("mnuCheck_PeriodiNonLavorativi"),
               QStringLiteral("Verifica impostazione periodi non lavorativi per il mese corrente"),
               &frmMain::mnuCheck_PeriodiNonLavorativi_Click);
    QMenu* mnuMagneticTools =
        menu(mnuTools, QStringLiteral("mnuMagneticTools"), QStringLiteral("Carte &Magnetiche"));
    addCommand(mnuMagneticTools, QStringLiteral("mnuToolsCard"), QStringLiteral("&Identifica Carta..."),
               &frmMain::mnuToolsCard_Click);
    addCommand(mnuMagneticTools, QStringLiteral("mnuToolsCardWrite"), QStringLiteral("&Scrivi Carta..."),
               &frmMain::mnuToolsCardWrite_Click);
    mnuTools->addSeparator();
    addCommand(mnuTools, QStringLiteral("mnuImport"), QStringLiteral("Importa dati..."),
               &frmMain::mnuImport_Click);
    addCommand(mnuTools, QStringLiteral("mnuSoftwareUpdate"), QStringLiteral("Aggiornamento Software..."),
               &frmMain::mnuSoftwareUpdate_Click);
    mnuTools->addSeparator();
    addCommand(mnuTools, QStringLiteral("mnuToolsOptions"), QStringLiteral("Parametri &Generali..."),
               &frmMain::mnuToolsOptions_Click);
    QMenu* mnuConfigs = menu(mnuTools, QStringLiteral("mnuConfigs"), QStringLiteral("&Configurazione"));
    addCommand(mnuConfigs, QStringLiteral("mnuAccessTimeSetting"), QStringLiteral("Orari di Accesso..."),
               &frmMain::mnuAccessTimeSetting_Click);
    addCommand(mnuConfigs, QStringLiteral("mnuOrderNumberSetting"), QStringLiteral("Numeri d'Ordine..."),
               &frmMain::mnuOrderNumberSetting_Click);
    addCommand(mnuConfigs, QStringLiteral("mnuOptionsMagnetic"),
               QStringLiteral("Dispositivo Carte &Magnetiche..."), &frmMain::mnuOptionsMagnetic_Click);
    addCommand(mnuConfigs, QStringLiteral("mnuSendMail"), QStringLiteral("&Invio Automatico delle E-Mail..."),
               &frmMain::mnuSendMail_Click);
    mnuConfigs->addSeparator();
    QMenu* mnuPrintSettings = menu(mnuConfigs, QStringLiteral("mnuPrintSettings"), QStringLiteral("Stampe"));
    const std::pair<const char*, const char*> printSettings[] = {
        {"mnuLavrixPrintSetting", "Stampa &Commesse..."},
        {"mnuLavrixCardPrintSetting", "Stampa &Scheda Commessa..."},
        {"mnuPrintMachineSchedule", "Stampa Scheda &Macchinario..."},
        {"mnuLabelPrintSetting", "Stampa &Etichette..."},
        {"mnuPrintSetting_Acessi", "Stampa &Accessi Operai..."},
        {"mnuPrintSetting_SchedaOperaio", "Stampa Scheda &Operaio..."},
        {"mnuPrintSetting_CostiDettComm", "Stampa Costi &Dettagli Commesse..."},
        {"mnuPrintSetting_Macchine", "Stampa Macchine in Lavorazione / &Vendute..."},
        {"mnuPrintSetting_Order", "Stampa O&rdini..."}};
    for (const auto& [name, caption] : printSettings) {
        QAction* a =
            addCommand(mnuPrintSettings, QString::fromLatin1(name), QString::fromUtf8(caption), nullptr);
        connect(a, &QAction::triggered, this, [this, a] { mnuPrintSetting_Click(a->objectName()); });
    }
    mnuTools->addSeparator();
    addCommand(mnuTools, QStringLiteral("mnuChangeUser"), QStringLiteral("Cambia &Utente..."),
               &frmMain::mnuChangeUser_Click);
    addCommand(mnuTools, QStringLiteral("mnuChangePwd"), QStringLiteral("Cambio &Password..."),
               &frmMain::mnuChangePwd_Click);

    // Help.
    QMenu* mnuHelp = menu(nullptr, QStringLiteral("mnuHelp"), QStringLiteral("&?"));
    addCommand(mnuHelp, QStringLiteral("mnuHelpContents"), QStringLiteral("&Sommario"),
               &frmMain::mnuHelpContents_Click);
    addCommand(mnuHelp, QStringLiteral("mnuHelpAbout"), QStringLiteral("&About "),
               &frmMain::mnuHelpAbout_Click);
}

void frmMain::createToolbar() {
    struct Button {
        const char* key;
        const char* caption;
        const char* image;
        const char* tip;
    };
    const Button buttons[] = {
        {"New", "Nuovo", "New", nullptr},
        {"Properties", "Modifica", "Edit", nullptr},
        {"Delete", "Elimina", "Delete", nullptr},
        {"Filter", "Filtra", "Filter", "Filtra per selezionare una parte di dati"},
        {"Find", "Cerca", "Find", "Cerca (F3 per successivo)"},
        {"Refresh", "Rileggi", "Refresh", "Aggiorna la visualizzazione dei dati"},
        {"Print", "Stampa", "Print", nullptr},
        {"Control", "Pnl. Contr.", "Control", "Pannello di Controllo"},
        {"Memo", "Promemoria", "Memo", nullptr},
        {"SendMail", "E-Mail", "SendMail", nullptr},
    };
    for (const Button& b : buttons) {
        const QString key = QString::fromLatin1(b.key);
        QAction* a =
            tbToolBar_->addAction(ToolbarIcon(QString::fromLatin1(b.image)), QString::fromUtf8(b.caption));
        a->setObjectName(QStringLiteral("tb") + key);
        a->setToolTip(b.tip ? QString::fromUtf8(b.tip) : QString::fromUtf8(b.caption));
        if (key == "Filter") a->setCheckable(true);
        toolbarButtons_.insert(key, a);
        connect(a, &QAction::triggered, this, [this, key, a] {
            // The pressed state of "Filtra" is set by its command, not by the click.
            if (a->isCheckable()) a->setChecked(!a->isChecked());
            tbToolBar_ButtonClick(key);
        });
    }
    findButtonMenus_ = new QMenu(this);
    findButtonMenus_->setObjectName(QStringLiteral("tbFindMenus"));
    if (auto* find =
            qobject_cast<QToolButton*>(tbToolBar_->widgetForAction(ToolbarButton(QStringLiteral("Find"))))) {
        find->setMenu(findButtonMenus_);
        find->setPopupMode(QToolButton::MenuButtonPopup);
    }
    connect(findButtonMenus_, &QMenu::triggered, this, [this](QAction* a) {
        const int index = static_cast<int>(findButtonMenus_->actions().indexOf(a)) + 1;
        if (index > 0) mnuSearchItems_Click(index);
    });
    ToolbarButton(QStringLiteral("SendMail"))->setEnabled(false);
}

void frmMain::createPopupMenus() {
    // The tray icon's menu.
    mnuPopUp_ = new QMenu(this);
    mnuPopUp_->setObjectName(QStringLiteral("mnuPopUp"));
    QAction* mnuActivate = mnuPopUp_->addAction(QStringLiteral("&Visualizza"));
    mnuActivate->setObjectName(QStringLiteral("mnuActivate"));
    connect(mnuActivate, &QAction::triggered, this, [this] { showFromTray(); });
    QAction* mnuClose = mnuPopUp_->addAction(QStringLiteral("&Chiudi"));
    mnuClose->setObjectName(QStringLiteral("mnuClose"));
    connect(mnuClose, &QAction::triggered, this, [this] { Unload(); });
}

QAction* frmMain::ToolbarButton(const QString& key) const {
    return toolbarButtons_.value(key);
}
