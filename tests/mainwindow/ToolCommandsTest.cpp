// The tools and configuration entries of the main window: the control panel for the administrator
// alone, the card tools (also on a file they cannot read), the software update, the
// non-working-period check, the archive import, and the order-number dialog with its save in one
// transaction.
#include <QAction>
#include <QApplication>
#include <QCalendarWidget>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidgetItem>
#include <QWindow>

#include <sqlite3.h>

#include <gtest/gtest.h>

#include "MainWindowFixture.h"
#include "base/DateUtil.h"
#include "mainwindow/frmSetOrderNumber.h"
#include "model/DB.h"
#include "model/GetDBTable.h"
#include "odb/Connection.h"
#include "odb/DataSet.h"
#include "odb/Database.h"
#include "odb/DbmsGlobal.h"
#include "odb/Table.h"
#include "odb/ui/DataGrid.h"
#include "platform/SettingsStore.h"
#include "startup/SharedState.h"
#include "startup/frmDateSetting.h"
#include "support/HttpTestServer.h"
#include "support/OtherComputerLock.h"
#include "terminal/carddevices/frmMagneticDev.h"
#include "terminal/carddevices/modMagneticDev.h"
#include "terminal/frmControlPanel.h"

namespace {

using namespace MsgBoxStyle;

constexpr int kCustomersNode = 35;

class ToolCommandsTest : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        g_intMagneticDevType = kDevTypeKeyboard;
    }
    void TearDown() override {
        if (frmControlPanel* p = frmControlPanel::Get()) p->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (frmMagneticDev::IsLoaded()) frmMagneticDev::Get()->Unload();
        MainWindowTest::TearDown();
    }
    void addWorkers() {
        auto ds = GetDBTable("Operai").OpenData();
        ASSERT_TRUE(ds->AddRow({"Codice", "0012", "Nominativo", "Rossi Mario"}));
        ASSERT_TRUE(ds->AddRow({"Codice", "0013", "Nominativo", "Bianchi Luca"}));
    }
    // The card dialog reads a card typed on a keyboard-emulating reader.
    static Step card(const QString& typed) {
        return [typed](QDialog& d) {
            auto* dialog = qobject_cast<frmMagneticDev*>(&d);
            ASSERT_TRUE(dialog) << "expected the card dialog";
            // The read starts once the window is up.
            dialog->show();
            QCoreApplication::processEvents();
            dialog->txtKeyCode()->setFocus();
            QTest::keyClicks(dialog->txtKeyCode(), typed);
            QTest::keyClick(dialog->txtKeyCode(), Qt::Key_Return);
        };
    }
    QStringList boxes() {
        QStringList out;
        for (const auto& s : prompt->shown())
            if (s.kind == RecordingPrompt::Kind::MsgBox) out << s.text;
        return out;
    }
    QString selectedKey() { return frmMain::NodeKey(window->SelectedNode()); }
};

TEST_F(ToolCommandsTest, TheControlPanelOpensForTheAdministratorAlone) {
    start();
    action("mnucontrolPanel")->trigger();
    ASSERT_NE(frmControlPanel::Get(), nullptr);
    frmControlPanel::Get()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    window->ToolbarButton("Control")->trigger();
    ASSERT_NE(frmControlPanel::Get(), nullptr);
    frmControlPanel::Get()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(prompt->shown().empty());

    g_strCurrentUser = "amministratore";
    window->ToolbarButton("Control")->trigger();
    EXPECT_EQ(frmControlPanel::Get(), nullptr);
    ASSERT_EQ(prompt->shown().size(), 1u);
    EXPECT_EQ(prompt->last().text.toStdString(), "Utente non abilitato");
    EXPECT_EQ(prompt->last().icon(), vbInformation);
}

TEST_F(ToolCommandsTest, OwnedWindowsTellTheWindowSystemTheirOwner) {
    start();
    window->showMaximized();
    QCoreApplication::processEvents();
    ASSERT_TRUE(window->windowHandle());
    auto shown = [](const QString& name) -> QWidget* {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == name && w->isVisible()) return w;
        return nullptr;
    };
    // A window manager keeps a window above its owner by the owner hint, which the window system
    // writes from the native window's transient parent for dialog-kind windows only.
    const std::pair<const char*, const char*> commands[] = {{"mnuMemo", "frmMemo"},
                                                            {"mnucontrolPanel", "frmControlPanel"},
                                                            {"mnuToolsOptions", "frmOptions"},
                                                            {"mnuAccessTimeSetting", "frmAccessTimeSettings"},
                                                            {"mnuOptionsMagnetic", "frmMagneticOptions"},
                                                            {"mnuSendMail", "frmMailSettings"},
                                                            {"mnuCheck_Mail", "frmCheckMail"},
                                                            {"mnuOpenUserWindow", "frmCommandPanel"}};
    for (const auto& [command, form] : commands) {
        action(command)->trigger();
        QWidget* w = shown(form);
        ASSERT_TRUE(w) << command;
        ASSERT_TRUE(w->windowHandle()) << command;
        EXPECT_EQ(w->windowHandle()->transientParent(), window->windowHandle()) << command;
        EXPECT_EQ(w->windowHandle()->type(), Qt::Dialog) << command;
        w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

TEST_F(ToolCommandsTest, ACardIsIdentifiedAmongTheWorkersAndWrittenOnlyFromThem) {
    start();
    addWorkers();
    click(kCustomersNode);
    expect(card("OP0012"));
    action("mnuToolsCard")->trigger();
    EXPECT_EQ(selectedKey(), "Operai");
    ASSERT_TRUE(window->CurrentDataSet());
    EXPECT_EQ(window->CurrentDataSet()->GetTable().Name(), "Operai");
    const VariantList selected = window->dgView()->SelBookmarks();
    ASSERT_EQ(selected.size(), 1u);
    EXPECT_EQ(GetDBTable("Operai").OpenData("Codice='0012'")->Bookmark().toText(), selected.front().toText());
    EXPECT_EQ(window->statusText().toStdString(), "Codice carta < 0012 > identificato...");
    EXPECT_TRUE(boxes().isEmpty());

    expect(card("OP9999"));
    action("mnuToolsCard")->trigger();
    EXPECT_EQ(boxes().join("|").toStdString(), "Il codice < 9999 > non è presente in archivio...");
    EXPECT_EQ(selectedKey(), "Operai");
    // A card of another prefix reads as nothing: nothing happens.
    prompt->clear();
    click(kCustomersNode);
    expect(card("XX0012"));
    action("mnuToolsCard")->trigger();
    EXPECT_EQ(selectedKey(), "Clienti");

    prompt->clear();
    action("mnuToolsCardWrite")->trigger();
    EXPECT_EQ(boxes().join("|").toStdString(), "Devi selezionare l'Operaio");
    EXPECT_EQ(prompt->last().style, vbOKOnly);
}

TEST_F(ToolCommandsTest, ACardPrefixThatCannotBeReadIsToldAndTheCommandEnds) {
    start();
    addWorkers();
    click(kCustomersNode);
    // Another computer's program has left the job-order types unreadable in the shared file.
    auto rename = [this](const char* sql) {
        sqlite3* other = nullptr;
        ASSERT_EQ(sqlite3_open_v2(QDir(workFolder()).filePath(kDatabaseFileName).toUtf8().constData(), &other,
                                  SQLITE_OPEN_READWRITE, nullptr),
                  SQLITE_OK);
        EXPECT_EQ(sqlite3_exec(other, sql, nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(other);
    };
    rename("ALTER TABLE TipiCommessa RENAME TO Altro");
    prompt->clear();
    prompt->answer(MsgResult::No);
    action("mnuToolsCard")->trigger();
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_TRUE(boxes().front().endsWith("\r\rVisualizzare dettagli ?")) << boxes().front().toStdString();
    EXPECT_EQ(prompt->last().style, vbYesNo | vbCritical | vbDefaultButton2);
    EXPECT_FALSE(dialogsShown.contains("frmMagneticDev"));
    EXPECT_EQ(selectedKey(), "Clienti");

    // Mended, the command reads cards again.
    rename("ALTER TABLE Altro RENAME TO TipiCommessa");
    expect(card("OP0012"));
    action("mnuToolsCard")->trigger();
    EXPECT_EQ(selectedKey(), "Operai");
}

TEST_F(ToolCommandsTest, TheUpdateWithNoPackageAnywhereSaysSo) {
    HttpTestServer server;
    server.route("/QoLib/GetAppUpdateFile.asp",
                 [](const HttpTestServer::Request&) { return HttpTestServer::Response{}; });
    SaveSetting(kAppSettingsName, "Configuration", "UpdateBaseURL", server.baseUrl() + "/QoLib/");
    start();
    action("mnuSoftwareUpdate")->trigger();
    EXPECT_EQ(boxes().join("|").toStdString(), "NESSUN AGGIORNAMENTO.");
    EXPECT_EQ(prompt->last().icon(), vbInformation);
    EXPECT_FALSE(server.requests().empty());
}

TEST_F(ToolCommandsTest, TheImportAsksAndACancelChangesNothing) {
    start();
    click(kCustomersNode);
    prompt->answer(MsgResult::Yes);
    action("mnuImport")->trigger();
    ASSERT_EQ(prompt->shown().size(), 2u);
    EXPECT_EQ(prompt->shown()[0].text.toStdString(),
              "Questa funzione permette di importare < Clienti > nell'archivio "
              "corrente.\r\rATTENZIONE!\rL'operazione "
              "deve essere guidata da personale tecnico!\r\rContinuare ?");
    EXPECT_EQ(prompt->shown()[0].style, vbYesNo | vbExclamation | vbDefaultButton2);
    EXPECT_TRUE(prompt->shown()[1].dir.endsWith("|DiVEVA Zelto File (*.odb *.mdb)"))
        << prompt->shown()[1].dir.toStdString();
    // No, the default, stops before the chooser.
    prompt->clear();
    action("mnuImport")->trigger();
    EXPECT_EQ(prompt->shown().size(), 1u);
}

TEST_F(ToolCommandsTest, TheNonWorkingPeriodCheckTellsHowItEnded) {
    start();
    // Cancelled at the date: nothing at all.
    action("mnuCheck_PeriodiNonLavorativi")->trigger();
    EXPECT_TRUE(prompt->shown().empty());
    EXPECT_EQ(dialogsShown.join(",").toStdString(), "frmSelectOper,frmPassword,frmDateSetting");

    addWorkers();
    ASSERT_TRUE(GetDBTable("PeriodiNonLavorativi")
                    .OpenData()
                    ->AddRow({"DataInizioPeriodo", Variant::fromDate(MakeOleDate(2024, 3, 4)),
                              "DataFinePeriodo", Variant::fromDate(MakeOleDate(2024, 3, 4))}));
    ASSERT_TRUE(GetDBTable("Ingressi")
                    .OpenData()
                    ->AddRow({"Operaio", "0012", "Data", Variant::fromDate(MakeOleDate(2024, 3, 4))}));
    const auto pick = [](QDialog& d) {
        auto* dialog = qobject_cast<frmDateSetting*>(&d);
        ASSERT_TRUE(dialog);
        dialog->calTimeSetting()->setSelectedDate(QDate(2024, 3, 15));
        dialog->cmdSetting()->click();
    };
    for (const MsgResult answer : {MsgResult::No, MsgResult::Yes}) {
        prompt->clear();
        expect(pick);
        prompt->answer(answer);
        action("mnuCheck_PeriodiNonLavorativi")->trigger();
        ASSERT_EQ(boxes().size(), 2);
        EXPECT_EQ(boxes().back().toStdString(),
                  answer == MsgResult::No ? "Controllo annullato" : "Controllo completato");
    }
}

// The order-number dialog on a database of its own, whose writes wait at most a moment for a lock.
class OrderNumberTest : public TempFolderTest {
  protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        file = path("ZeltoLavrix.mdb");
        connection = std::make_shared<odb::Connection>();
        connection->CreateDatabaseFile(file);
        connection->OpenDatabaseFile(file, 300);
        g_objDatabase = odb::DbmsGlobal::CreateDatabase(std::make_shared<DB>(), kAppExeName, nullptr);
        g_objDatabase->Open(connection);
        g_objConnection = connection;
    }
    void TearDown() override {
        g_objDatabase.reset();
        g_objConnection.reset();
        connection->CloseConnection();
        TempFolderTest::TearDown();
    }
    QString stored(const QString& key) {
        return g_objDatabase->GetSetting(g_objConnection, key, "(nessuno)");
    }
    // Types the two numbers and presses OK; true when the dialog closed.
    bool save(const QString& employees, const QString& others) {
        frmSetOrderNumber dialog;
        dialog.show();
        dialog.txtNumeroOrdineImpiegati()->setText(employees);
        dialog.txtNumeroOrdineAltri()->setText(others);
        dialog.cmdOK()->click();
        focused = dialog.focusWidget() == dialog.txtNumeroOrdineImpiegati() ? "impiegati"
                  : dialog.focusWidget() == dialog.txtNumeroOrdineAltri()   ? "altri"
                                                                            : "";
        return dialog.result() == QDialog::Accepted;
    }
    // Another computer's SQL on the file.
    void otherComputer(const char* sql) {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sql;
        sqlite3_close(db);
    }

    QString file;
    std::string focused;
    std::shared_ptr<odb::Connection> connection;
    ScopedRecordingPrompt prompt;
};

TEST_F(OrderNumberTest, OnlyNumbersAreStoredAndBothOrNeither) {
    {
        frmSetOrderNumber dialog;
        EXPECT_EQ(dialog.windowTitle(), "Impostazioni");
        EXPECT_EQ(dialog.txtNumeroOrdineImpiegati()->text(), "0");
        EXPECT_EQ(dialog.txtNumeroOrdineAltri()->text(), "0");
    }
    struct Case {
        const char *employees, *others, *refusal, *focus;
    };
    for (const Case& c :
         {Case{"12a", "5", "Il numero d' ordine per gli impiegati deve essere numerico", "impiegati"},
          Case{"", "5", "Il numero d' ordine per gli impiegati deve essere numerico", "impiegati"},
          Case{"5", "", "Il numero d' ordine per gli altri deve essere numerico", "altri"}}) {
        prompt->clear();
        EXPECT_FALSE(save(c.employees, c.others));
        ASSERT_EQ(prompt->shown().size(), 1u);
        EXPECT_EQ(prompt->last().text.toStdString(), c.refusal);
        EXPECT_EQ(prompt->last().icon(), vbInformation);
        EXPECT_EQ(focused, c.focus) << c.employees << "/" << c.others;
        EXPECT_EQ(stored("OrderNumber_Impiegati"), "(nessuno)");
        EXPECT_EQ(stored("OrderNumber_Altri"), "(nessuno)");
    }
    prompt->clear();
    EXPECT_TRUE(save("12", "7"));
    EXPECT_TRUE(prompt->shown().empty());
    EXPECT_EQ(stored("OrderNumber_Impiegati"), "12");
    EXPECT_EQ(stored("OrderNumber_Altri"), "7");

    // The second number cannot be written: neither changes, and the message says so.
    otherComputer(
        "CREATE TRIGGER refuse BEFORE INSERT ON _odbSettings WHEN NEW.Key='OrderNumber_Altri' "
        "BEGIN SELECT RAISE(ABORT, 'rifiutato'); END");
    EXPECT_FALSE(save("30", "40"));
    EXPECT_EQ(prompt->last().text.toStdString(),
              "Errore durante la registrazione dei dati\r\rI dati immessi non sono stati memorizzati");
    EXPECT_EQ(prompt->last().icon(), vbCritical);
    EXPECT_EQ(stored("OrderNumber_Impiegati"), "12");
    EXPECT_EQ(stored("OrderNumber_Altri"), "7");
    otherComputer("DROP TRIGGER refuse");

    // Another process holds the write lock: the save is refused and changes nothing.
    OtherComputerLock other(file, "", "BEGIN IMMEDIATE", "ROLLBACK");
    ASSERT_TRUE(other.holds());
    EXPECT_FALSE(save("30", "40"));
    other.release();
    EXPECT_EQ(prompt->last().text.toStdString(),
              "Errore durante la registrazione dei dati\r\rI dati immessi non sono stati memorizzati");
    EXPECT_EQ(stored("OrderNumber_Impiegati"), "12");
    EXPECT_EQ(stored("OrderNumber_Altri"), "7");

    // Leaving asks first; No keeps the dialog.
    frmSetOrderNumber dialog;
    dialog.show();
    prompt->clear();
    dialog.cmdCancel()->click();
    EXPECT_EQ(prompt->last().text.toStdString(), "Uscire ignorando le modifiche apportate?");
    EXPECT_EQ(prompt->last().style, vbYesNo | vbQuestion | vbDefaultButton2);
    EXPECT_TRUE(dialog.isVisible());
    prompt->answer(MsgResult::Yes);
    dialog.cmdCancel()->click();
    EXPECT_FALSE(dialog.isVisible());
}

}  // namespace
