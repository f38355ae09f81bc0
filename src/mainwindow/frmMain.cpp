// The main window's shell: loading, activation, closing and unloading, title, status line, tray,
// the view and help commands and the library's notifications.
#include "mainwindow/frmMain.h"
#include "odb/ui/DataGrid.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>
#include <QToolBar>
#include <QWindow>

#include "base/AppError.h"
#include "base/DateUtil.h"
#include "base/Variant.h"
#include "mainwindow/ImageLists.h"
#include "model/CalcWorkedMinutes.h"
#include "model/ModelState.h"
#include "odb/Connection.h"
#include "odb/DataSet.h"
#include "odb/Database.h"
#include "odb/DbmsGlobal.h"
#include "odb/GridLayout.h"
#include "platform/Clock.h"
#include "platform/Prompt.h"
#include "platform/SettingsStore.h"
#include "platform/clsOSTNA.h"
#include "startup/DatabaseOpening.h"
#include "startup/LoadedForms.h"
#include "startup/SharedState.h"
#include "startup/ShowErrorDetails.h"
#include "startup/frmAbout.h"
#include "startup/frmMessage.h"
#include "startup/frmOptions.h"
#include "startup/modZeltoFormUtility.h"

namespace {

constexpr int kTwipsPerPixel = 15;
const QString kSettings = QStringLiteral("Settings");
const QString kAdministrator = QStringLiteral("Amministratore");

int placement(const QString& key, int defaultTwips) {
    double v = 0;
    if (!ParseVbNumber(GetSetting(kAppSettingsName, kSettings, key, QString::number(defaultTwips)), v))
        return defaultTwips;
    return static_cast<int>(v);
}

void savePlacementValue(const QString& key, int twips) {
    SaveSetting(kAppSettingsName, kSettings, key, QString::number(twips));
}

// A database time parameter; an unreadable value leaves the variable as it was.
void readTime(const QString& key, double defaultTime, double& target) {
    try {
        const QString text = g_objDatabase->GetSetting(g_objConnection, key, FormatVbDate(defaultTime));
        double value = 0;
        if (ParseVbDate(text, value)) target = value;
    } catch (const AppError&) {
    }
}

void readMinutes(const QString& key, int16_t& target) {
    try {
        target = Variant(g_objDatabase->GetSetting(g_objConnection, key, QStringLiteral("0"))).toInteger();
    } catch (const AppError&) {
    }
}

}  // namespace

frmMain::frmMain() {
    setObjectName(QStringLiteral("frmMain"));
    LoadedForms::Track();
    setWindowTitle(kAppSettingsName);
    setWindowIcon(ApplicationIcon());
    createControls();
    createMenus();
    createToolbar();
    createPopupMenus();

    settleState_ = new QTimer(this);
    settleState_->setObjectName(QStringLiteral("tmSettleState"));
    settleState_->setSingleShot(true);
    settleState_->setInterval(250);
    connect(settleState_, &QTimer::timeout, this, [this] {
        if (!isVisible() || isMinimized()) return;
        shownState_ = windowState() & Qt::WindowMaximized;
        rememberNormalPlacement();
    });
    // Load, in its order: placement, splitter, tray icon with the design caption, title, date.
    restorePlacement();
    splitterLeft_ = placement(QStringLiteral("MainSplit"), 3500);
    tray_ = std::make_unique<clsOSTNA>();
    tray_->IconStart([this](float x) { txtTNAInterface_MouseMove(x); }, windowIcon(), windowTitle());
    SetAppTitle();
    g_vntSelDate = Variant::fromDate(Clock::today());
    SetDateSelectionCaption();
    lblTitle1Tag_ = lblTitle_[1]->text();

    // Activation runs when the window becomes the active one of the program, not when the
    // program comes back from another one, nor when the message window of an operation of this
    // window goes (that operation has just read the data). A menu or a drop-down list takes the
    // focus for a moment under X: passed over, so that a command chosen from a menu is not followed
    // by a re-read of the whole view. The message window, when it goes, hands the focus to this
    // window and on to the windows loaded after it: a focus that has already moved on when the
    // activation would run only passed through (the desktop may report the other window's focus
    // late, while the message was still up, so the window it seems to come from proves nothing).
    connect(qApp, &QGuiApplication::focusWindowChanged, this, [this](QWindow* focus) {
        if (!focus || focus->type() == Qt::Popup || focus->type() == Qt::ToolTip) return;
        const QWindow* previous = lastFocus_;
        lastFocus_ = focus;
        if (focus != windowHandle() || unloaded_) return;
        if (previous == focus || (previous && previous == frmMessage::instance().windowHandle())) return;
        QTimer::singleShot(0, this, [this] {
            if (QGuiApplication::focusWindow() == windowHandle()) Form_Activate();
        });
    });
    MainWindowServices::setInstance(this);
}

frmMain::~frmMain() {
    if (m_objCurDSEvents) disconnect(m_objCurDSEvents);
    if (MainWindowServices::instance() == this) MainWindowServices::setInstance(nullptr);
}

void frmMain::restorePlacement() {
    if (GetSetting(kAppSettingsName, kSettings, QStringLiteral("MainLeft")).isEmpty()) {
        // First start: a window of 6,500 twips cannot hold the toolbar on today's screens; it
        // fills the screen, and its normal size is most of it, centred.
        const QScreen* screen = QGuiApplication::primaryScreen();
        const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
        const QSize size = area.size() * 3 / 4;
        setGeometry(QRect(area.center() - QPoint(size.width() / 2, size.height() / 2), size));
        normalPlacement_ = geometry();
        setWindowState(Qt::WindowMaximized);
        shownState_ = Qt::WindowMaximized;
        return;
    }
    const int left = placement(QStringLiteral("MainLeft"), 1000);
    const int top = placement(QStringLiteral("MainTop"), 1000);
    const int width = placement(QStringLiteral("MainWidth"), 6500);
    const int height = placement(QStringLiteral("MainHeight"), 6500);
    setGeometry(left / kTwipsPerPixel, top / kTwipsPerPixel, width / kTwipsPerPixel, height / kTwipsPerPixel);
    normalPlacement_ = geometry();
    switch (placement(QStringLiteral("MainState"), 0)) {
        case 1:
            setWindowState(Qt::WindowMinimized);
            break;
        case 2:
            setWindowState(Qt::WindowMaximized);
            break;
        default:
            break;
    }
    shownState_ = windowState() & Qt::WindowMaximized;
}

void frmMain::savePlacement() {
    const int state = isMinimized() ? 1 : isMaximized() ? 2 : 0;
    savePlacementValue(QStringLiteral("MainState"), state);
    // The normal window's placement, whatever the state.
    const QRect normal = state != 0 ? normalPlacement_ : geometry();
    savePlacementValue(QStringLiteral("MainLeft"), normal.x() * kTwipsPerPixel);
    savePlacementValue(QStringLiteral("MainTop"), normal.y() * kTwipsPerPixel);
    savePlacementValue(QStringLiteral("MainWidth"), normal.width() * kTwipsPerPixel);
    savePlacementValue(QStringLiteral("MainHeight"), normal.height() * kTwipsPerPixel);
    // A collapsed tree pane keeps the width saved before.
    if (splitterLeft_ > 0) savePlacementValue(QStringLiteral("MainSplit"), splitterLeft_);
}

void frmMain::SetAppTitle() {
    if (g_strCurrentUser.isEmpty())
        setWindowTitle(kAppSettingsName);
    else
        setWindowTitle(kAppSettingsName + QStringLiteral("  (") + g_strCurrentUser +
                       QStringLiteral("  su  ") + odb::DbmsGlobal::ComputerName() + QStringLiteral(")"));
}

void frmMain::SetStatusMsg(const QString& msg) {
    sbPanel1_->setText(msg);
    if (g_blnCommandPanelActive) CommandPanelStatusMsg(msg);
}

QString frmMain::statusText() const {
    return sbPanel1_->text();
}

void frmMain::showEvent(QShowEvent* e) {
    QMainWindow::showEvent(e);
    ArrangeMainWindow(splitterLeft_);
    // The first showing activates the window even where the desktop gives it no focus.
    if (!e->spontaneous() && !unloaded_ && !shownOnce_) {
        shownOnce_ = true;
        QTimer::singleShot(0, this, [this] { Form_Activate(); });
    }
}

void frmMain::Form_Activate() {
    if (m_blnOptionFormVisible || unloading_ || unloaded_) return;
    // A dialog shown while the database opens activates the window again: that does nothing.
    if (activating_) return;
    activating_ = true;
    if (!g_objConnection && !g_objDatabase) {
        if (!openAndLogIn()) {
            activating_ = false;
            return;
        }
    } else if (m_objCurDS) {
        try {
            m_objCurDS->Requery();
            rowsReadable();
        } catch (const AppError& e) {
            // Reported on the status line: a box here would come back at every activation.
            rowsUnreadable(e.description());
        }
    }
    dgView_->viewport()->update();
    activating_ = false;
    setUpRoles();
}

bool frmMain::openAndLogIn() {
    using namespace MsgBoxStyle;
    try {
        // OpenDatabase reports its own failures.
        if (!OpenDatabase()) {
            activating_ = false;
            Unload();
            return false;
        }
        // The library's last word of the opening ("Creazione della tabella <...>") is over.
        SetStatusMsg(QString());
        readWorkingHours();
    } catch (const AppError& e) {
        activating_ = false;
        const MsgResult answer =
            Prompt::instance().msgBox(e.description() + QStringLiteral("\r\rVuoi cambiare le impostazioni ?"),
                                      vbYesNo | vbExclamation, QString(), this);
        if (answer == MsgResult::Yes) {
            frmOptions::ShowModal();
            ReleaseDatabase();
        } else {
            Unload();
        }
        return false;
    }
    if (isMinimized()) showNormal();
    if (!UserLogin(true, g_blnIsWorkStation ? g_strCommandPanelUserName : QString(), false)) {
        activating_ = false;
        Unload();
        return false;
    }
    ShowTreeAndView();
    return true;
}

void frmMain::readWorkingHours() {
    // Each value on its own: an unreadable one keeps its previous value.
    if (!g_objDatabase) return;
    readTime(QStringLiteral("OraPredefinitaEntrataMattino"), DefaultOraEntrataMattino(),
             g_dtmOraPredefinitaEntrataMattino);
    readTime(QStringLiteral("OraPredefinitaUscitaMattino"), DefaultOraUscitaMattino(),
             g_dtmOraPredefinitaUscitaMattino);
    readTime(QStringLiteral("OraPredefinitaEntrataPomeriggio"), DefaultOraEntrataPomeriggio(),
             g_dtmOraPredefinitaEntrataPomeriggio);
    readTime(QStringLiteral("OraPredefinitaUscitaPomeriggio"), DefaultOraUscitaPomeriggio(),
             g_dtmOraPredefinitaUscitaPomeriggio);
    readMinutes(QStringLiteral("MinPausaMattutina"), g_intMinPausaMattutina);
    readMinutes(QStringLiteral("MinRitardoAmmessi"), g_intMinRitardoAmmessi);
    try {
        g_intTotMinGiornataLavorativa =
            CalcWorkedMinutes(g_dtmOraPredefinitaEntrataMattino, g_dtmOraPredefinitaUscitaMattino,
                              g_dtmOraPredefinitaEntrataPomeriggio, g_dtmOraPredefinitaUscitaPomeriggio,
                              g_intMinPausaMattutina);
        g_objDatabase->SaveSetting(g_objConnection, QStringLiteral("TotMinGiornataLavorativa"),
                                   QString::number(g_intTotMinGiornataLavorativa));
    } catch (const AppError&) {
    }
}

void frmMain::setUpRoles() {
    using namespace MsgBoxStyle;
    if (unloaded_ || unloading_ || askingEntry_) return;
    if (g_blnIsWorkStation && !g_blnCommandPanelClosed) {
        ShowCommandPanel();
    } else if (g_blnIsWorkStation && g_strCurrentUser.trimmed().isEmpty()) {
        // The terminal's user closed the command panel: nobody is logged in. Activations while the
        // question and the login are up ask nothing more.
        askingEntry_ = true;
        const MsgResult answer =
            Prompt::instance().msgBox(QStringLiteral("Entrare nell'applicazione ?"),
                                      vbYesNo | vbQuestion | vbDefaultButton2, QString(), this);
        bool loggedIn = false;
        if (answer == MsgResult::Yes) {
            loggedIn = UserLogin(true, QString(), false);
            if (loggedIn) {
                ShowTreeAndView();
            }
        }
        askingEntry_ = false;
        if (!loggedIn) {
            Unload();
            return;
        }
    }
    if (g_strCurrentUser == kAdministrator)
        LoadMemoWindow();
    else
        UnloadMemoWindow();
    const bool mailServer = g_blnIsMailNotificationServer;
    if (mailServer)
        tmSendMail_->start();
    else
        tmSendMail_->stop();
    ToolbarButton(QStringLiteral("SendMail"))->setEnabled(mailServer);
}

void frmMain::ReleaseDatabase() {
    dgView_->bind(nullptr, {});
    gridBound_ = false;
    if (m_objCurDSEvents) disconnect(m_objCurDSEvents);
    m_objCurDSEvents = {};
    m_objCurDS.reset();
    // The view's selections are read from the file: the next view loads them from the one it opens.
    m_objSelectionSet.reset();
    m_objFilterSet.reset();
    if (g_objConnection) {
        try {
            g_objConnection->CloseConnection();
        } catch (const AppError&) {
        }
    }
    g_objConnection.reset();
    g_objDatabase.reset();
}

void frmMain::closeEvent(QCloseEvent* e) {
    if (unloading_ || unloaded_) {
        e->accept();
        return;
    }
    // The window's own close button only hides it; the program ends through "Chiudi".
    e->ignore();
    settleState_->stop();
    shownState_ = windowState() & Qt::WindowMaximized;
    if (clsOSTNA::TrayAvailable())
        hide();
    else
        showMinimized();
}

bool frmMain::unloadOtherWindows(bool reportRefusal) {
    using namespace MsgBoxStyle;
    // The most recently loaded first; windows up before the record began count as the oldest.
    QList<QWidget*> windows = LoadedForms::InOrder();
    for (QWidget* w : QApplication::topLevelWidgets())
        if (!windows.contains(w)) windows.prepend(w);
    for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
        QWidget* w = *it;
        if (w == this || w == &frmMessage::instance() || !w->isVisible()) continue;
        const Qt::WindowType type = w->windowType();
        if (type == Qt::Popup || type == Qt::ToolTip || type == Qt::Desktop) continue;
        if (w->close()) continue;
        if (!reportRefusal) continue;
        Prompt::instance().msgBox(QStringLiteral("Impossibile chiudere l'applicazione...\r\r") +
                                      QStringLiteral("La finestra <") + w->windowTitle() +
                                      QStringLiteral("> non può essere chiusa."),
                                  vbExclamation, QString(), this);
        return false;
    }
    return true;
}

void frmMain::Unload() {
    if (unloading_ || unloaded_) return;
    // The program closes the window: the grid's columns are kept, then every other window must close.
    if (m_objGridLayout) {
        try {
            m_objGridLayout->Save();
        } catch (const AppError&) {
        }
    }
    if (!unloadOtherWindows(true)) return;

    unloading_ = true;
    try {
        frmMessage::instance().ShowMsg(QStringLiteral("Chiusura di ") + kAppExeName + QStringLiteral(" ..."),
                                       this);
    } catch (...) {
    }
    savePlacement();
    tray_->IconStop();
    unloadOtherWindows(false);
    ReleaseDatabase();
    frmMessage::Unload();
    hide();
    unloading_ = false;
    unloaded_ = true;
    emit unloaded();
}

void frmMain::changeEvent(QEvent* e) {
    QMainWindow::changeEvent(e);
    // The state a window hidden or minimised comes back in, read once it has settled: minimising
    // a maximised window passes through a plain state on the way.
    if (e->type() == QEvent::WindowStateChange) settleState_->start();
}

void frmMain::moveEvent(QMoveEvent* e) {
    QMainWindow::moveEvent(e);
    rememberNormalPlacement();
}

void frmMain::resizeEvent(QResizeEvent* e) {
    QMainWindow::resizeEvent(e);
    rememberNormalPlacement();
}

void frmMain::rememberNormalPlacement() {
    // Only a plain state that has settled: a state on its way may still cover the screen.
    if (settleState_->isActive() ||
        (windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)))
        return;
    normalPlacement_ = geometry();
}

void frmMain::showFromTray() {
    // As it was before it was hidden or minimised: maximised stays maximised.
    setWindowState(shownState_ | Qt::WindowActive);
    show();
    raise();
    activateWindow();
}

void frmMain::BringForward() {
    if (unloading_ || unloaded_) return;
    showFromTray();
}

void frmMain::txtTNAInterface_MouseMove(float x) {
    if (clsOSTNA::IsDoubleClick(x))
        showFromTray();
    else if (clsOSTNA::IsRightButton(x))
        mnuPopUp_->popup(QCursor::pos());
}

void frmMain::mnuViewRefresh_Click() {
    try {
        frmMessage::instance().ShowMsg(QStringLiteral("Rilettura dati..."), this);
        if (!g_objConnection) RaiseVbError(91);
        g_objConnection->Refresh();
        RefreshDetailView();
        frmMessage::Unload();
    } catch (const AppError& e) {
        SetCurrentError(e);
        ShowErrorDetails(QString());
        frmMessage::Unload();
    }
}

void frmMain::mnuViewToolbar_Click() {
    mnuViewToolbar_->setChecked(!mnuViewToolbar_->isChecked());
    tbToolBar_->setVisible(mnuViewToolbar_->isChecked());
    ArrangeMainWindow(splitterLeft_);
}

void frmMain::mnuViewStatusBar_Click() {
    mnuViewStatusBar_->setChecked(!mnuViewStatusBar_->isChecked());
    sbStatusBar_->setVisible(mnuViewStatusBar_->isChecked());
    ArrangeMainWindow(splitterLeft_);
}

void frmMain::mnuViewWebBrowser_Click() {
    if (!GridVisible() || !m_objCurDS) {
        Prompt::instance().beep();
        return;
    }
    ExportHtmlTable(m_objCurDS, this, QString());
}

void frmMain::mnuHelpContents_Click() {
    Prompt::instance().msgBox(
        QStringLiteral("Unable to display Help Contents. There is no Help associated with this project."),
        MsgBoxStyle::vbInformation, windowTitle(), this);
}

void frmMain::mnuHelpAbout_Click() {
    frmAbout::ShowModal(this);
}

void frmMain::OnEvent(int32_t action, void*, const QString& detail) {
    QString text = odb::DbmsGlobal::EventText(action, 0);
    if (!detail.isEmpty()) text += QStringLiteral(" <") + detail + QStringLiteral(">...");
    SetStatusMsg(text);
    // Painted now, but no other event runs: a click would start a second operation inside the
    // library's one. The message window's stop button is seen through its own progress calls.
    sbPanel1_->repaint();
}

void frmMain::OnInternalMessage(void*, const QString& detail) {
    Prompt::instance().msgBox(detail, MsgBoxStyle::vbExclamation, QString(), this);
}

void frmMain::OnQueryMessage(void*, int32_t messageType, const QString& queryMessage, bool& cancel) {
    using namespace MsgBoxStyle;
    int style = vbOKCancel | (messageType == 3 ? vbExclamation : vbQuestion);
    if (cancel) style |= vbDefaultButton2;
    cancel = Prompt::instance().msgBox(queryMessage, style, QString(), this) != MsgResult::OK;
}

void frmMain::OnReportRequest(odb::DataSet& source, int32_t func, const QString& title, const QString&) {
    PrintDataView(source, func, title);
}
