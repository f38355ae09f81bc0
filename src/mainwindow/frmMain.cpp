// The main window's start-up side.
#include "mainwindow/frmMain.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QStyle>
#include <QTableView>
#include <QTimer>

#include "base/AppError.h"
#include "base/DateUtil.h"
#include "base/Variant.h"
#include "model/CalcWorkedMinutes.h"
#include "model/ModelState.h"
#include "odb/Connection.h"
#include "odb/Database.h"
#include "odb/DbmsGlobal.h"
#include "platform/Clock.h"
#include "platform/Prompt.h"
#include "platform/SettingsStore.h"
#include "platform/clsOSTNA.h"
#include "startup/DatabaseOpening.h"
#include "startup/SharedState.h"
#include "startup/frmMessage.h"
#include "startup/frmOptions.h"

namespace {

constexpr int kTwipsPerPixel = 15;
const QString kSettings = QStringLiteral("Settings");

int placement(const QString& key, int defaultTwips) {
    double v = 0;
    if (!ParseVbNumber(GetSetting(kAppSettingsName, kSettings, key, QString::number(defaultTwips)), v))
        return defaultTwips;
    return static_cast<int>(v);
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
    setWindowTitle(kAppSettingsName);
    setWindowIcon(style()->standardIcon(QStyle::SP_DriveHDIcon));
    dgView_ = new QTableView(this);
    setCentralWidget(dgView_);
    sbStatus_ = new QLabel(this);
    statusBar()->addWidget(sbStatus_, 1);

    QMenu* mnuFile = menuBar()->addMenu(QStringLiteral("&Dati"));
    QAction* mnuFileClose = mnuFile->addAction(QStringLiteral("Chiudi"));
    connect(mnuFileClose, &QAction::triggered, this, [this] { Unload(); });
    QMenu* mnuTools = menuBar()->addMenu(QStringLiteral("&Strumenti"));
    mnuToolsOptions_ = mnuTools->addAction(QStringLiteral("Parametri &Generali..."));
    connect(mnuToolsOptions_, &QAction::triggered, this, [] { frmOptions::ShowModeless(); });

    mnuPopUp_ = new QMenu(this);
    QAction* mnuActivate = mnuPopUp_->addAction(QStringLiteral("&Visualizza"));
    connect(mnuActivate, &QAction::triggered, this, [this] { showFromTray(); });
    QAction* mnuClose = mnuPopUp_->addAction(QStringLiteral("&Chiudi"));
    connect(mnuClose, &QAction::triggered, this, [this] { Unload(); });

    restorePlacement();
    tray_ = std::make_unique<clsOSTNA>();
    tray_->IconStart([this](float x) { txtTNAInterface_MouseMove(x); }, windowIcon(), windowTitle());
    SetAppTitle();
    g_vntSelDate = Variant::fromDate(Clock::today());
    MainWindowServices::setInstance(this);
}

frmMain::~frmMain() {
    if (MainWindowServices::instance() == this) MainWindowServices::setInstance(nullptr);
}

void frmMain::restorePlacement() {
    const int left = placement(QStringLiteral("MainLeft"), 1000);
    const int top = placement(QStringLiteral("MainTop"), 1000);
    const int width = placement(QStringLiteral("MainWidth"), 6500);
    const int height = placement(QStringLiteral("MainHeight"), 6500);
    setGeometry(left / kTwipsPerPixel, top / kTwipsPerPixel, width / kTwipsPerPixel, height / kTwipsPerPixel);
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
}

void frmMain::savePlacement() {
    const int state = isMinimized() ? 1 : isMaximized() ? 2 : 0;
    SaveSetting(kAppSettingsName, kSettings, QStringLiteral("MainState"), QString::number(state));
    const QRect normal = normalGeometry().isValid() ? normalGeometry() : geometry();
    SaveSetting(kAppSettingsName, kSettings, QStringLiteral("MainLeft"),
                QString::number(normal.x() * kTwipsPerPixel));
    SaveSetting(kAppSettingsName, kSettings, QStringLiteral("MainTop"),
                QString::number(normal.y() * kTwipsPerPixel));
    SaveSetting(kAppSettingsName, kSettings, QStringLiteral("MainWidth"),
                QString::number(normal.width() * kTwipsPerPixel));
    SaveSetting(kAppSettingsName, kSettings, QStringLiteral("MainHeight"),
                QString::number(normal.height() * kTwipsPerPixel));
}

void frmMain::SetAppTitle() {
    if (g_strCurrentUser.isEmpty())
        setWindowTitle(kAppSettingsName);
    else
        setWindowTitle(kAppSettingsName + QStringLiteral("  (") + g_strCurrentUser +
                       QStringLiteral("  su  ") + odb::DbmsGlobal::ComputerName() + QStringLiteral(")"));
}

void frmMain::SetStatusMsg(const QString& msg) {
    sbStatus_->setText(msg);
}
QString frmMain::statusText() const {
    return sbStatus_->text();
}

bool frmMain::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate && !unloaded_)
        QTimer::singleShot(0, this, [this] { Form_Activate(); });
    return QMainWindow::event(e);
}

void frmMain::showEvent(QShowEvent* e) {
    QMainWindow::showEvent(e);
    // The first showing activates the window even where the desktop gives it no focus.
    if (!e->spontaneous() && !unloaded_) QTimer::singleShot(0, this, [this] { Form_Activate(); });
}

void frmMain::Form_Activate() {
    if (optionsActive_ || activating_ || unloading_ || unloaded_) return;
    // A dialog shown while the database opens activates the window again: that does nothing.
    activating_ = true;
    if (!g_objConnection && !g_objDatabase) {
        // OpenDatabase reports its own failures.
        if (!OpenDatabase()) {
            activating_ = false;
            Unload();
            return;
        }
        readWorkingHours();
        if (isMinimized()) showNormal();
    }
    dgView_->viewport()->update();
    activating_ = false;
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

void frmMain::ReleaseDatabase() {
    dgView_->setModel(nullptr);
    if (g_objConnection) {
        try {
            g_objConnection->CloseConnection();
        } catch (const AppError&) {
        }
        g_objConnection.reset();
    }
    g_objDatabase.reset();
}

void frmMain::closeEvent(QCloseEvent* e) {
    if (unloading_ || unloaded_) {
        e->accept();
        return;
    }
    // The window's own close button only hides it; the program ends through "Chiudi".
    e->ignore();
    if (clsOSTNA::TrayAvailable())
        hide();
    else
        showMinimized();
}

void frmMain::Unload() {
    if (unloading_ || unloaded_) return;
    unloading_ = true;
    try {
        frmMessage::instance().ShowMsg(QStringLiteral("Chiusura di ") + kAppExeName + QStringLiteral(" ..."),
                                       this);
    } catch (...) {
    }
    savePlacement();
    tray_->IconStop();
    // The other windows go first, the most recent one first.
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
        QWidget* w = *it;
        if (w != this && w != &frmMessage::instance() && w->isVisible()) w->close();
    }
    ReleaseDatabase();
    frmMessage::Unload();
    hide();
    unloading_ = false;
    unloaded_ = true;
    emit unloaded();
}

void frmMain::showFromTray() {
    showNormal();
    raise();
    activateWindow();
}

void frmMain::txtTNAInterface_MouseMove(float x) {
    if (clsOSTNA::IsDoubleClick(x))
        showFromTray();
    else if (clsOSTNA::IsRightButton(x))
        mnuPopUp_->popup(QCursor::pos());
}

void frmMain::OnEvent(int32_t action, void*, const QString& detail) {
    QString text = odb::DbmsGlobal::EventText(action, 0);
    if (!detail.isEmpty()) text += QStringLiteral(" <") + detail + QStringLiteral(">...");
    SetStatusMsg(text);
    QCoreApplication::processEvents();
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

void frmMain::OnReportRequest(odb::DataSet&, int32_t, const QString&, const QString&) {
    // Report requests reach the print dispatch once it exists.
}
