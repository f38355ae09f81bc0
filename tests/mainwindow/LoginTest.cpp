// The login: the user picker, the configured terminal user, the password and its change, the
// connection's login and the access level, and the administrator's commands.
#include <QAction>
#include <QComboBox>
#include <QPushButton>
#include <QToolButton>

#include <sqlite3.h>

#include <gtest/gtest.h>

#include "MainWindowFixture.h"
#include "mainwindow/frmSelectOper.h"
#include "model/GetDBTable.h"
#include "odb/Connection.h"
#include "odb/DataSet.h"
#include "odb/Database.h"
#include "odb/DbmsGlobal.h"
#include "odb/Table.h"
#include "startup/DatabaseOpening.h"
#include "startup/ScrambleString.h"
#include "startup/SharedState.h"

namespace {

using namespace MsgBoxStyle;

class LoginTest : public MainWindowTest {
  protected:
    std::shared_ptr<odb::DataSet> user(const QString& name) {
        return GetDBTable("Utenti").OpenData("Nome=" + g_objDatabase->TextLiteral(name));
    }
    void addUser(const QString& name, const QString& password, const Variant& level = Variant::missing()) {
        auto users = GetDBTable("Utenti").OpenData();
        ASSERT_TRUE(users->AddRow({"Nome", name, "Password", ScrambleString(password, false)}));
        if (level.isMissing()) return;
        auto row = user(name);
        ASSERT_TRUE(row->SetColValue("LivelloAccesso", level));
        ASSERT_TRUE(row->SaveRow());
    }
    // Runs SQL on the file through a connection of its own, as another program would.
    void otherConnectionSql(const char* sql) {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(g_objConnection->Path().toUtf8().constData(), &db), SQLITE_OK);
        sqlite3_busy_timeout(db, 2000);
        EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
        sqlite3_close(db);
    }
};

TEST_F(LoginTest, ThePickerOffersTheUsersAndAnEmptyPasswordPasses) {
    createDatabase();
    frmMain& w = load();
    QStringList offered;
    expect([&](QDialog& d) {
        auto* picker = qobject_cast<frmSelectOper*>(&d);
        ASSERT_TRUE(picker);
        // A list to pick from: no name can be typed beside the rows.
        EXPECT_FALSE(picker->CmbOperatore()->isEditable());
        for (int i = 0; i < picker->CmbOperatore()->count(); ++i)
            offered << picker->CmbOperatore()->itemText(i);
        picker->CmbOperatore()->setCurrentIndex(1);
        picker->cmdConfirm()->click();
    });
    expect(typePassword(""));
    w.Form_Activate();
    EXPECT_EQ(offered, QStringList({"Amministratore", "Operatore"}));
    EXPECT_EQ(dialogsShown, QStringList({"frmSelectOper", "frmPassword"}));
    EXPECT_EQ(g_strCurrentUser, "Operatore");
    // The key is the picked row's.
    EXPECT_EQ(g_vntCurrentUserKey.toLong(), user("Operatore")->Bookmark(0).toLong());
    EXPECT_EQ(w.windowTitle(), "Zelto Lavrix  (Operatore  su  " + odb::DbmsGlobal::ComputerName() + ")");
    EXPECT_EQ(g_objConnection->UserName(), "Operatore");
    EXPECT_EQ(g_objDatabase->GetUserLevel(), 0);
}

TEST_F(LoginTest, ATerminalUserLogsInByItsSettingOrFallsBackToThePicker) {
    g_blnIsWorkStation = true;
    g_blnCommandPanelClosed = false;
    createDatabase();
    frmMain& w = load();
    w.Form_Activate();
    EXPECT_TRUE(dialogsShown.isEmpty());
    EXPECT_TRUE(prompt->shown().empty());
    EXPECT_EQ(g_strCurrentUser, "Operatore");
    window.reset();
    g_objConnection->CloseConnection();
    g_objConnection.reset();
    g_objDatabase.reset();

    // A configured user that does not exist: the message, then the picker, whose cancel ends.
    g_strCommandPanelUserName = "Ufficio";
    g_strCurrentUser.clear();
    frmMain& second = load();
    expect(cancel());
    second.Form_Activate();
    ASSERT_EQ(prompt->shown().size(), 1u);
    EXPECT_EQ(prompt->last().text, "L'Utente <Ufficio> specificato nei parametri non è configurato.");
    EXPECT_EQ(prompt->last().icon(), vbExclamation);
    EXPECT_EQ(dialogsShown, QStringList({"frmSelectOper"}));
    EXPECT_TRUE(second.isUnloaded());
}

TEST_F(LoginTest, ATerminalUserWithAPasswordIsAsked) {
    frmMain& w = start();
    auto row = user("Operatore");
    ASSERT_TRUE(row->SetColValue("Password", ScrambleString("turno", false)));
    ASSERT_TRUE(row->SaveRow());
    g_blnIsWorkStation = true;
    dialogsShown.clear();
    expect(typePassword("notte"));  // wrong: the dialog stays, and the script leaves it cancelled
    EXPECT_FALSE(w.UserLogin(true, "Operatore", false));
    EXPECT_EQ(dialogsShown, QStringList({"frmPassword"}));
    expect(typePassword("turno"));
    EXPECT_TRUE(w.UserLogin(true, "Operatore", false));
    EXPECT_EQ(g_objConnection->UserName(), "Operatore");
}

TEST_F(LoginTest, AChangedPasswordIsStoredScrambledAndTheOldOneFails) {
    frmMain& w = start();
    expect(newPassword("Segreta1"));
    action("mnuChangePwd")->trigger();
    EXPECT_EQ(dialogsShown.last(), "frmPassword");
    EXPECT_EQ(user("Amministratore")->ColText("Password"), ScrambleString("Segreta1", false));
    EXPECT_NE(user("Amministratore")->ColText("Password"), "Segreta1");

    expect(pickUser("Amministratore"));
    expect(typePassword(""));
    EXPECT_FALSE(w.UserLogin(true, "", false));
    expect(pickUser("Amministratore"));
    expect(typePassword("Segreta1"));
    EXPECT_TRUE(w.UserLogin(true, "", false));
}

TEST_F(LoginTest, TheAccessLevelFollowsTheUserAndNullCountsAsNothing) {
    frmMain& w = start();
    EXPECT_EQ(g_objDatabase->GetUserLevel(), 1);
    addUser("Ufficio", "", Variant::null());
    expect(pickUser("Ufficio"));
    expect(typePassword(""));
    EXPECT_TRUE(w.UserLogin(true, "", false));
    EXPECT_EQ(g_objDatabase->GetUserLevel(), 0);
    EXPECT_EQ(g_strCurrentUser, "Ufficio");
}

TEST_F(LoginTest, AFailedConnectionLoginLeavesNoRightsBehind) {
    frmMain& w = start();
    ASSERT_EQ(g_objDatabase->GetUserLevel(), 1);
    // Another program took the logins table away.
    otherConnectionSql("ALTER TABLE Connessioni RENAME TO ConnessioniVecchie");
    g_objConnection->Refresh();
    expect(pickUser("Operatore"));
    expect(typePassword(""));
    EXPECT_FALSE(w.UserLogin(true, "", false));
    EXPECT_EQ(g_objDatabase->GetUserLevel(), 0);
    EXPECT_TRUE(prompt->last().text.endsWith("Visualizzare dettagli ?"));
    EXPECT_EQ(prompt->last().icon(), vbCritical);
}

TEST_F(LoginTest, OnlyTheExactAdministratorNameOpensTheAdministrativeCommands) {
    frmMain& w = start();
    const char* administrative[] = {"mnuMemo", "mnuConfigs", "mnuMagneticTools",
                                    "mnuCheck_PeriodiNonLavorativi"};
    for (const char* name : administrative)
        EXPECT_TRUE(action(name)->isEnabled()) << name;
    EXPECT_TRUE(w.ToolbarButton("Memo")->isEnabled());

    addUser("amministratore", "");
    expect(pickUser("amministratore"));
    expect(typePassword(""));
    action("mnuChangeUser")->trigger();
    ASSERT_EQ(g_strCurrentUser, "amministratore");
    for (int node : {2, 18, 16}) {
        click(node);
        for (const char* name : administrative)
            EXPECT_FALSE(action(name)->isEnabled()) << name << " node " << node;
        EXPECT_FALSE(w.ToolbarButton("Memo")->isEnabled());
    }
}

TEST_F(LoginTest, ChangingUserRebuildsTheTreeAndACancelEndsTheProgram) {
    frmMain& w = start();
    click(52);
    expect(pickUser("Operatore"));
    expect(typePassword(""));
    action("mnuChangeUser")->trigger();
    EXPECT_EQ(g_strCurrentUser, "Operatore");
    EXPECT_EQ(frmMain::NodeIndex(w.SelectedNode()), 52);
    EXPECT_EQ(w.statusText(), " Sezione: <" + frmMain::NodeText(w.Node(52)) + ">");

    expect(cancel());
    action("mnuChangeUser")->trigger();
    EXPECT_TRUE(w.isUnloaded());
    EXPECT_FALSE(IsDatabaseOpen());
}

}  // namespace
