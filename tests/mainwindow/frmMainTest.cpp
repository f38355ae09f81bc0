// The main window's shell: the start-up road of the activation, the roles, the placement kept in
// the settings, closing and unloading, and the library's notifications.
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QLineF>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QWindow>

#include <gtest/gtest.h>

#include "MainWindowFixture.h"
#include "base/DateUtil.h"
#include "model/GetDBTable.h"
#include "odb/Connection.h"
#include "odb/DataSet.h"
#include "odb/Database.h"
#include "odb/DbmsGlobal.h"
#include "odb/Table.h"
#include "odb/ui/RecordWindow.h"
#include "odb/ui/RowChooser.h"
#include "platform/SettingsStore.h"
#include "platform/clsOSTNA.h"
#include "startup/DatabaseOpening.h"
#include "startup/SharedState.h"
#include "startup/frmMessage.h"
#include "startup/frmOptions.h"

namespace {

using namespace MsgBoxStyle;

class frmMainTest : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        g_dtmOraPredefinitaEntrataMattino = DefaultOraEntrataMattino();
        g_dtmOraPredefinitaUscitaMattino = DefaultOraUscitaMattino();
        g_dtmOraPredefinitaEntrataPomeriggio = DefaultOraEntrataPomeriggio();
        g_dtmOraPredefinitaUscitaPomeriggio = DefaultOraUscitaPomeriggio();
        g_intMinPausaMattutina = 0;
        g_intMinRitardoAmmessi = 0;
        g_intTotMinGiornataLavorativa = 0;
    }
    QString stored(const QString& key) { return g_objDatabase->GetSetting(g_objConnection, key, "assente"); }
    QString setting(const QString& key) { return GetSetting("Zelto Lavrix", "Settings", key); }
    // A terminal's main window on the screen, its first showing's activation done (its user logged in).
    frmMain& shownTerminal() {
        g_blnIsWorkStation = true;
        g_blnCommandPanelClosed = true;
        createDatabase();
        frmMain& w = load();
        w.show();
        QTest::qWait(20);
        return w;
    }
    // The window system's reports on the window's state are in, and the window has read the state
    // they settled on.
    static void settled(frmMain& w) {
        QCoreApplication::processEvents();
        auto* settling = w.findChild<QTimer*>("tmSettleState");
        ASSERT_TRUE(settling);
        ASSERT_TRUE(QTest::qWaitFor([settling] { return !settling->isActive(); }, 60000));
    }
    // Gives `window` the focus as the desktop would, and waits until the program sees it.
    static bool focusOn(QWindow* window) {
        window->requestActivate();
        return QTest::qWaitFor([window] { return QGuiApplication::focusWindow() == window; }, 2000);
    }
};

TEST_F(frmMainTest, FirstStartOpensLogsInAndShowsTheFirstSection) {
    frmMain& w = start();
    EXPECT_TRUE(IsDatabaseOpen());
    EXPECT_FALSE(w.isUnloaded());
    EXPECT_EQ(dialogsShown, QStringList({"frmSelectOper", "frmPassword"}));
    EXPECT_EQ(w.windowTitle(), "Zelto Lavrix  (Amministratore  su  " + odb::DbmsGlobal::ComputerName() + ")");
    EXPECT_EQ(g_intTotMinGiornataLavorativa, 490);  // 7:40-13:00 and 14:00-16:50, no pause
    EXPECT_EQ(stored("TotMinGiornataLavorativa"), "490");
    // The tree is built and its first group shown.
    EXPECT_EQ(frmMain::NodeText(w.SelectedNode()), "Commesse");
    EXPECT_EQ(w.statusText(), " Sezione: <Commesse>");
    // A later activation with the database open opens nothing and asks nothing.
    auto database = g_objDatabase;
    w.Form_Activate();
    EXPECT_EQ(g_objDatabase, database);
    EXPECT_EQ(dialogsShown.size(), 2);
}

TEST_F(frmMainTest, StoredWorkingHoursAreReadAndUnreadableOnesKeepTheirValue) {
    frmMain& w = start();
    g_objDatabase->SaveSetting(g_objConnection, "OraPredefinitaEntrataMattino", "08:00:00");
    g_objDatabase->SaveSetting(g_objConnection, "MinPausaMattutina", "10");
    g_objDatabase->SaveSetting(g_objConnection, "MinRitardoAmmessi", "cinque");
    g_objDatabase->SaveSetting(g_objConnection, "OraPredefinitaUscitaPomeriggio", "non un'ora");
    g_intMinRitardoAmmessi = 3;
    w.ReleaseDatabase();
    EXPECT_FALSE(IsDatabaseOpen());
    EXPECT_FALSE(w.CurrentDataSet());
    // The next activation opens it again and logs the user in again.
    expect(pickUser("Amministratore"));
    expect(typePassword(""));
    w.Form_Activate();
    ASSERT_TRUE(IsDatabaseOpen());
    EXPECT_EQ(stepsLeft(), 0);
    EXPECT_EQ(g_dtmOraPredefinitaEntrataMattino, MakeOleTime(8, 0, 0));
    EXPECT_EQ(g_intMinPausaMattutina, 10);
    EXPECT_EQ(g_intMinRitardoAmmessi, 3);
    EXPECT_EQ(g_dtmOraPredefinitaUscitaPomeriggio, MakeOleTime(16, 50, 0));
    EXPECT_EQ(g_intTotMinGiornataLavorativa, 460);
    EXPECT_EQ(stored("TotMinGiornataLavorativa"), "460");
}

TEST_F(frmMainTest, ACancelledFirstStartOrLoginUnloadsTheWindow) {
    // No database: the options dialog is cancelled.
    frmMain& w = load();
    int unloads = 0;
    QObject::connect(&w, &frmMain::unloaded, [&] { ++unloads; });
    w.Form_Activate();
    EXPECT_TRUE(w.isUnloaded());
    EXPECT_EQ(unloads, 1);
    EXPECT_EQ(dialogsShown, QStringList({"frmOptions"}));
    EXPECT_TRUE(prompt->shown().empty());
    EXPECT_FALSE(frmMessage::isLoaded());
    EXPECT_FALSE(IsDatabaseOpen());

    // A database, but nobody picked: the window unloads and releases the database.
    createDatabase();
    frmMain& second = load();
    expect(cancel());
    second.Form_Activate();
    EXPECT_TRUE(second.isUnloaded());
    EXPECT_FALSE(IsDatabaseOpen());
    EXPECT_EQ(second.windowTitle(), "Zelto Lavrix");
}

TEST_F(frmMainTest, NothingHappensWhileTheOptionsAreOpen) {
    createDatabase();
    frmMain& w = load();
    w.SetOptionsActive(true);
    w.Form_Activate();
    EXPECT_FALSE(IsDatabaseOpen());
    EXPECT_TRUE(dialogsShown.isEmpty());
    w.SetOptionsActive(false);
    expect(pickUser("Amministratore"));
    expect(typePassword(""));
    w.Form_Activate();
    EXPECT_TRUE(IsDatabaseOpen());
}

TEST_F(frmMainTest, TheOptionsCommandReleasesAChangedFolderAndTheNextActivationOpensIt) {
    frmMain& w = start();
    const QString other = path("altra");
    QDir().mkpath(other);
    QFile::copy(QDir(workFolder()).filePath("ZeltoLavrix.mdb"), QDir(other).filePath("ZeltoLavrix.mdb"));
    action("mnuToolsOptions")->trigger();
    // The dialog is shown without waiting, owned by the main window.
    frmOptions* options = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->isVisible() && qobject_cast<frmOptions*>(top)) options = qobject_cast<frmOptions*>(top);
    ASSERT_TRUE(options);
    EXPECT_TRUE(w.OptionsActive());
    options->txtWorkDir()->setText(other);
    prompt->answer(MsgResult::Yes);
    options->cmdOK()->click();
    EXPECT_FALSE(IsDatabaseOpen());
    EXPECT_FALSE(w.OptionsActive());
    expect(pickUser("Operatore"));
    expect(typePassword(""));
    w.Form_Activate();
    ASSERT_TRUE(IsDatabaseOpen());
    EXPECT_EQ(g_objConnection->Path(), QDir(other).filePath("ZeltoLavrix.mdb"));
    EXPECT_EQ(g_strCurrentUser, "Operatore");
}

TEST_F(frmMainTest, ReleasedAndOpenedAgainUnderASectionARecordWindowAndAChooser) {
    frmMain& w = start();
    ASSERT_TRUE(GetDBTable("Clienti").OpenData()->AddRow({"Descrizione", "Rossi", "Codice", "ROSSI"}));
    // What the next activation does after the options' repair or a new work folder.
    auto openAgain = [&] {
        expect(pickUser("Amministratore"));
        expect(typePassword(""));
        w.Form_Activate();
        ASSERT_TRUE(IsDatabaseOpen());
    };
    auto expectLetGo = [&](const std::weak_ptr<odb::Database>& database) {
        EXPECT_FALSE(IsDatabaseOpen());
        EXPECT_TRUE(database.expired()) << "something still holds the database let go";
    };

    // A section on screen, with its predefined selections.
    click(49);
    std::weak_ptr<odb::Database> database = g_objDatabase;
    w.ReleaseDatabase();
    expectLetGo(database);
    openAgain();
    EXPECT_EQ(w.CurrentDataSet()->GetTable().Name(), "PassaggiDettaglioCommesse");

    // A record window of the section's row.
    click(35);
    database = g_objDatabase;
    expect([&](QDialog& d) {
        EXPECT_TRUE(qobject_cast<odb::RecordWindow*>(&d));
        w.ReleaseDatabase();
    });
    w.Form_DblClick();
    expectLetGo(database);
    openAgain();
    EXPECT_EQ(w.CurrentDataSet()->GetTable().Name(), "Clienti");
    EXPECT_EQ(w.CurrentDataSet()->RowCount(), 2);

    // The chooser of a report section; opened again, the section asks for its record again.
    database = g_objDatabase;
    expect([&](QDialog& d) {
        EXPECT_TRUE(qobject_cast<odb::RowChooser*>(&d));
        w.ReleaseDatabase();
    });
    click(28);
    expectLetGo(database);
    openAgain();
    EXPECT_EQ(dialogsShown.filter("RowChooser").size(), 2);
    EXPECT_EQ(w.CurrentDataSet()->GetTable().Name(), "Ingressi");
    EXPECT_TRUE(prompt->shown().empty()) << prompt->texts().join("|").toStdString();
    EXPECT_EQ(GetDBTable("Clienti").OpenData()->RowCount(), 2);
}

TEST_F(frmMainTest, ATerminalWithoutUserAsksToEnterAtEachActivation) {
    g_blnIsWorkStation = true;
    g_blnCommandPanelClosed = true;
    createDatabase();
    frmMain& w = load();
    w.Form_Activate();  // the configured terminal user has no password: no dialog
    EXPECT_TRUE(dialogsShown.isEmpty());
    EXPECT_EQ(g_strCurrentUser, "Operatore");
    EXPECT_TRUE(prompt->shown().empty());

    // The command panel's user left: the question, Yes and a login through the picker.
    g_strCurrentUser.clear();
    prompt->answer(MsgResult::Yes);
    expect(pickUser("Amministratore"));
    expect(typePassword(""));
    w.Form_Activate();
    ASSERT_EQ(prompt->shown().size(), 1u);
    EXPECT_EQ(prompt->last().text, "Entrare nell'applicazione ?");
    EXPECT_EQ(g_strCurrentUser, "Amministratore");
    EXPECT_FALSE(w.isUnloaded());

    // Asked again at the next activation while nobody is logged in; No ends the program.
    g_strCurrentUser.clear();
    w.Form_Activate();
    EXPECT_EQ(prompt->last().text, "Entrare nell'applicazione ?");
    EXPECT_TRUE(w.isUnloaded());
    EXPECT_FALSE(IsDatabaseOpen());
}

// A menu or a drop-down list takes the focus for a moment on the desktop: coming back from it is
// no activation (no re-read after every command); coming back from a dialog is one.
TEST_F(frmMainTest, BackFromAMenuIsNoActivationBackFromADialogIsOne) {
    frmMain& w = shownTerminal();
    ASSERT_EQ(g_strCurrentUser, "Operatore");
    ASSERT_TRUE(focusOn(w.windowHandle()));
    QCoreApplication::processEvents();

    // Nobody logged in: an activation would ask "Entrare nell'applicazione ?".
    g_strCurrentUser.clear();
    prompt->answer(MsgResult::No);
    QMenu menu(&w);
    menu.addAction(QStringLiteral("&Aggiorna"));
    menu.popup(w.geometry().center());
    ASSERT_TRUE(QTest::qWaitFor([&] { return menu.isVisible(); }, 2000));
    focusOn(menu.windowHandle());
    menu.close();
    ASSERT_TRUE(focusOn(w.windowHandle()));
    QTest::qWait(20);
    EXPECT_TRUE(prompt->shown().empty());
    EXPECT_FALSE(w.isUnloaded());

    QDialog dialog(&w);
    dialog.show();
    ASSERT_TRUE(focusOn(dialog.windowHandle()));
    dialog.hide();
    ASSERT_TRUE(focusOn(w.windowHandle()));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !prompt->shown().empty(); }, 2000));
    EXPECT_EQ(prompt->last().text, "Entrare nell'applicazione ?");
}

// When the message window of an operation goes, it hands the focus to the main window and on to
// the windows loaded after it, where the focus ends. The main window only passes the focus on:
// that is no activation, even when the other window took the focus while the message was up (the
// desktop reports focus changes late). Coming back to it later is one.
TEST_F(frmMainTest, FocusPassingThroughAtTheMessagesEndIsNoActivation) {
    frmMain& w = shownTerminal();
    ASSERT_EQ(g_strCurrentUser, "Operatore");
    QDialog other(&w, Qt::Window);
    other.show();
    ASSERT_TRUE(focusOn(other.windowHandle()));

    // Nobody logged in: an activation would ask "Entrare nell'applicazione ?".
    g_strCurrentUser.clear();
    prompt->answer(MsgResult::No);
    frmMessage::instance().ShowMsg(QStringLiteral("Rilettura dati..."), &w);
    focusOn(frmMessage::instance().windowHandle());
    ASSERT_TRUE(focusOn(other.windowHandle()));
    // The focus passes through the main window and back to the other one, each step a report of the
    // desktop: waited for as seen, then what the passage queued runs.
    QList<QWindow*> focused;
    const auto seen = QObject::connect(qApp, &QGuiApplication::focusWindowChanged,
                                       [&](QWindow* focus) { focused << focus; });
    frmMessage::Unload();
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return focused.contains(w.windowHandle()) && focused.last() == other.windowHandle(); }));
    QObject::disconnect(seen);
    QCoreApplication::processEvents();
    EXPECT_EQ(QGuiApplication::focusWindow(), other.windowHandle());
    EXPECT_TRUE(prompt->shown().empty());
    EXPECT_FALSE(w.isUnloaded());

    ASSERT_TRUE(focusOn(w.windowHandle()));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !prompt->shown().empty(); }, 2000));
    EXPECT_EQ(prompt->last().text, "Entrare nell'applicazione ?");
}

TEST_F(frmMainTest, OnlyTheMailServerSendsMail) {
    for (bool server : {false, true}) {
        g_blnIsMailNotificationServer = server;
        frmMain& w = start();
        EXPECT_EQ(w.ToolbarButton("SendMail")->isEnabled(), server);
        EXPECT_EQ(w.findChild<QTimer*>("tmSendMail")->isActive(), server);
        window.reset();
        g_objConnection->CloseConnection();
        g_objConnection.reset();
        g_objDatabase.reset();
    }
}

TEST_F(frmMainTest, PlacementFirstStartAndAfterAMaximisedOrCollapsedClose) {
    // First start: the screen filled, the normal window most of it, centred.
    frmMain& w = load();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_TRUE(w.windowState() & Qt::WindowMaximized);
    EXPECT_LE((w.normalGeometry().center() - screen.center()).manhattanLength(), 2);
    EXPECT_EQ(w.normalGeometry().width(), screen.width() * 3 / 4);
    EXPECT_EQ(w.windowTitle(), "Zelto Lavrix");
    EXPECT_FALSE(w.isMinimized());
    EXPECT_EQ(w.SplitterLeft(), 3500);
    w.Unload();
    EXPECT_EQ(setting("MainState"), "2");
    EXPECT_EQ(setting("MainWidth"), QString::number(screen.width() * 3 / 4 * 15));
    EXPECT_EQ(setting("MainSplit"), "3500");

    // A stored normal placement comes back as stored.
    SaveSetting("Zelto Lavrix", "Settings", "MainState", "0");
    SaveSetting("Zelto Lavrix", "Settings", "MainWidth", "6500");
    EXPECT_EQ(load().geometry().width(), 6500 / 15);
    EXPECT_FALSE(window->windowState() & Qt::WindowMaximized);

    // Closed maximised: state 2 and the normal placement; the next start is maximised again.
    frmMain& maximised = load();
    maximised.setGeometry(100, 80, 600, 500);
    maximised.show();
    maximised.showMaximized();
    maximised.Unload();
    EXPECT_EQ(setting("MainState"), "2");
    EXPECT_EQ(setting("MainLeft"), "1500");
    EXPECT_EQ(setting("MainTop"), "1200");
    EXPECT_EQ(setting("MainWidth"), "9000");
    EXPECT_EQ(setting("MainHeight"), "7500");
    EXPECT_TRUE(load().windowState() & Qt::WindowMaximized);

    // Closed with the tree pane collapsed: the earlier splitter position stays.
    SaveSetting("Zelto Lavrix", "Settings", "MainState", "0");
    SaveSetting("Zelto Lavrix", "Settings", "MainSplit", "2700");
    frmMain& collapsed = load();
    collapsed.show();
    EXPECT_EQ(collapsed.SplitterLeft(), 2700);
    collapsed.ArrangeMainWindow(0);
    EXPECT_EQ(collapsed.SplitterLeft(), 0);
    collapsed.Unload();
    EXPECT_EQ(setting("MainSplit"), "2700");
}

TEST_F(frmMainTest, ChiudiUnloadsSavesThePlacementAndReleasesTheDatabase) {
    frmMain& w = start();
    int unloads = 0;
    QObject::connect(&w, &frmMain::unloaded, [&] { ++unloads; });
    action("mnuFileClose")->trigger();
    EXPECT_EQ(unloads, 1);
    EXPECT_TRUE(w.isUnloaded());
    EXPECT_FALSE(g_objConnection);
    EXPECT_FALSE(g_objDatabase);
    EXPECT_FALSE(frmMessage::isLoaded());
    EXPECT_EQ(setting("MainState"), "2");  // maximised from the first start
    w.Form_Activate();                     // an unloaded window opens nothing
    EXPECT_FALSE(IsDatabaseOpen());
}

TEST_F(frmMainTest, AWindowThatRefusesToCloseKeepsTheProgramOpen) {
    class Stubborn : public QDialog {
      protected:
        void closeEvent(QCloseEvent* e) override { e->ignore(); }
    };
    frmMain& w = start();
    Stubborn other;
    other.setWindowTitle("Scheda");
    other.show();
    w.Unload();
    EXPECT_FALSE(w.isUnloaded());
    EXPECT_TRUE(IsDatabaseOpen());
    EXPECT_EQ(prompt->last().text,
              "Impossibile chiudere l'applicazione...\r\rLa finestra <Scheda> non può essere chiusa.");
    EXPECT_EQ(prompt->last().icon(), vbExclamation);
    other.hide();
    w.Unload();
    EXPECT_TRUE(w.isUnloaded());
}

TEST_F(frmMainTest, LibraryEventsBecomeTheStatusText) {
    frmMain& w = load();
    w.OnEvent(odb::odbEvtCreateTable, nullptr, "");
    EXPECT_EQ(w.statusText(), odb::DbmsGlobal::EventText(odb::odbEvtCreateTable, 0));
    w.OnEvent(odb::odbEvtCreateTable, nullptr, "Clienti");
    EXPECT_EQ(w.statusText(), odb::DbmsGlobal::EventText(odb::odbEvtCreateTable, 0) + " <Clienti>...");
}

TEST_F(frmMainTest, LibraryQuestionsAnswerThroughTheCancelFlag) {
    frmMain& w = load();
    struct Case {
        int32_t type;
        bool cancelIn;
        MsgResult answer;
        int style;
        bool cancelOut;
    };
    const Case cases[] = {
        {1, false, MsgResult::OK, vbOKCancel | vbQuestion, false},
        {3, false, MsgResult::OK, vbOKCancel | vbExclamation, false},
        {3, true, MsgResult::Cancel, vbOKCancel | vbExclamation | vbDefaultButton2, true},
        {0, true, MsgResult::OK, vbOKCancel | vbQuestion | vbDefaultButton2, false},
    };
    for (const auto& c : cases) {
        prompt->answer(c.answer);
        bool cancel = c.cancelIn;
        w.OnQueryMessage(nullptr, c.type, "Eliminare ?", cancel);
        EXPECT_EQ(cancel, c.cancelOut);
        EXPECT_EQ(prompt->last().style, c.style);
        EXPECT_EQ(prompt->last().text, "Eliminare ?");
    }
    bool cancel = true;
    w.OnQueryMessage(nullptr, 1, "Enter ?", cancel);  // no answer: the default button, Cancel
    EXPECT_TRUE(cancel);
    w.OnInternalMessage(nullptr, "Valore non ammesso");
    EXPECT_EQ(prompt->last().text, "Valore non ammesso");
    EXPECT_EQ(prompt->last().style, vbExclamation);
    EXPECT_TRUE(prompt->last().title.isEmpty());
}

TEST_F(frmMainTest, ASecondStartBringsTheWindowBackAsItWas) {
    frmMain& w = start();
    auto settle = [&] { settled(w); };
    for (bool tray : {false, true}) {
        clsOSTNA::SetTrayProbe([tray] { return tray; });
        w.showMaximized();
        settle();
        w.close();  // the close box: hidden to the tray, or minimised where there is none
        EXPECT_EQ(w.isVisible(), !tray) << tray;
        EXPECT_EQ(w.isMinimized(), !tray) << tray;
        w.BringForward();
        EXPECT_TRUE(w.isVisible()) << tray;
        EXPECT_FALSE(w.isMinimized()) << tray;
        EXPECT_TRUE(w.isMaximized()) << tray;
        // Made a normal window, then minimised from its frame: it comes back normal.
        w.showNormal();
        settle();
        w.showMinimized();
        settle();
        w.BringForward();
        EXPECT_FALSE(w.isMinimized()) << tray;
        EXPECT_FALSE(w.isMaximized()) << tray;
    }
    clsOSTNA::SetTrayProbe({});
    EXPECT_FALSE(w.isUnloaded());
    w.hide();
}

TEST_F(frmMainTest, TheNormalPlacementOutlivesWhatTheWindowManagerReportsOnTheWay) {
    auto settle = [&] { settled(*window); };
    // A window manager minimising and restoring a maximised window may report a plain state on the
    // way while the window still covers the screen; Qt then takes that for the normal placement.
    auto throughTheIcon = [&](frmMain& w) {
        w.overrideWindowState(Qt::WindowNoState);
        w.windowHandle()->setWindowStates(Qt::WindowMaximized);
        settle();
        EXPECT_TRUE(w.isMaximized());
    };
    auto stored = [&] {
        return QRect(setting("MainLeft").toInt() / 15, setting("MainTop").toInt() / 15,
                     setting("MainWidth").toInt() / 15, setting("MainHeight").toInt() / 15);
    };
    // The first start's normal window.
    frmMain& first = start();
    first.show();
    settle();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QSize size = screen.size() * 3 / 4;
    const QRect firstNormal(screen.center() - QPoint(size.width() / 2, size.height() / 2), size);
    throughTheIcon(first);
    first.Unload();
    EXPECT_EQ(setting("MainState"), "2");
    EXPECT_EQ(stored(), firstNormal);

    // A normal window the user placed, then maximised.
    frmMain& placed = load();
    expect(pickUser("Amministratore"));
    expect(typePassword(""));
    placed.Form_Activate();
    placed.show();
    settle();
    placed.showNormal();
    settle();
    placed.setGeometry(150, 100, 700, 500);
    settle();
    placed.showMaximized();
    settle();
    throughTheIcon(placed);
    placed.Unload();
    EXPECT_EQ(stored(), QRect(150, 100, 700, 500));
}

TEST_F(frmMainTest, FirstStartTheOptionsComeUpCentredOnTheWindowAndTheStatusLineIsLeftClean) {
    frmMain& w = load();
    w.show();
    QRect options;
    QString statusAtLogin;
    expect([&](QDialog& d) {
        options = d.frameGeometry();
        auto& dialog = static_cast<frmOptions&>(d);
        dialog.txtWorkDir()->setText(workFolder());
        dialog.cmdOK()->click();
    });
    expect([&](QDialog& d) {
        statusAtLogin = w.statusText();
        pickUser("Amministratore")(d);
    });
    expect(typePassword(""));
    w.Form_Activate();
    ASSERT_TRUE(IsDatabaseOpen());
    EXPECT_EQ(dialogsShown.first(), "frmOptions");
    EXPECT_LE(QLineF(options.center(), w.frameGeometry().center()).length(), 2.0)
        << options.center().x() << "," << options.center().y();
    EXPECT_TRUE(QGuiApplication::primaryScreen()->availableGeometry().contains(options));
    EXPECT_TRUE(statusAtLogin.isEmpty()) << statusAtLogin.toStdString();
    EXPECT_EQ(w.statusText(), " Sezione: <Commesse>");
    w.hide();
}

TEST_F(frmMainTest, ClosingTheWindowNeverLosesItAndTheTrayShowsItAgain) {
    frmMain& w = load();
    w.show();
    w.close();
    EXPECT_FALSE(w.isUnloaded());
    if (clsOSTNA::TrayAvailable())
        EXPECT_FALSE(w.isVisible());
    else
        EXPECT_TRUE(w.isMinimized());
    w.hide();
    w.txtTNAInterface_MouseMove(7725);  // double click on the icon
    EXPECT_TRUE(w.isVisible());
    EXPECT_FALSE(w.isMinimized());
    w.txtTNAInterface_MouseMove(7740);  // right press: the tray menu
    EXPECT_TRUE(w.trayMenu()->isVisible());
    QStringList items;
    for (QAction* a : w.trayMenu()->actions())
        items << a->text();
    EXPECT_EQ(items, QStringList({"&Visualizza", "&Chiudi"}));
    w.trayMenu()->hide();
    w.hide();
}

}  // namespace
