// The main window's test fixture.
#include "MainWindowFixture.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeWidget>

#include "mainwindow/frmSelectOper.h"
#include "model/DB.h"
#include "odb/Connection.h"
#include "odb/Database.h"
#include "odb/DbmsGlobal.h"
#include "startup/SharedState.h"
#include "startup/frmMessage.h"
#include "startup/frmPassword.h"

namespace {

// The database with its default rows is made once per test program and copied for each test.
QString templateDatabase() {
    static QTemporaryDir dir;
    static const QString file = [] {
        const QString path = QDir(dir.path()).filePath(kDatabaseFileName);
        auto connection = std::make_shared<odb::Connection>();
        connection->CreateDatabaseFile(path);
        connection->OpenDatabaseFile(path);
        auto database = odb::DbmsGlobal::CreateDatabase(std::make_shared<DB>(), kAppExeName, nullptr);
        database->Open(connection);
        connection->CloseConnection();
        return path;
    }();
    return file;
}

void resetSharedState() {
    g_strRootDir.clear();
    g_blnIsWorkStation = false;
    g_blnIsMailNotificationServer = false;
    g_strCommandPanelUserName = QStringLiteral("Operatore");
    g_blnCommandPanelClosed = false;
    g_blnCommandPanelActive = false;
    g_strCurrentUser.clear();
    g_vntCurrentUserKey = Variant();
    g_blnSelDate = g_blnSelMonth = g_blnSelPeriod = false;
    g_vntSelDate = g_vntSelFromDate = g_vntSelToDate = Variant();
}

}  // namespace

void MainWindowTest::SetUp() {
    TempFolderTest::SetUp();
    resetSharedState();
    g_strRootDir = workFolder();
    dialogs_ = std::make_unique<ScopedModalScript>([this](QDialog& d) {
        dialogsShown << QString::fromLatin1(d.metaObject()->className());
        if (steps_.empty()) {
            d.reject();
            return;
        }
        Step step = std::move(steps_.front());
        steps_.pop_front();
        step(d);
    });
}

void MainWindowTest::TearDown() {
    window.reset();
    if (g_objConnection) g_objConnection->CloseConnection();
    g_objConnection.reset();
    g_objDatabase.reset();
    frmMessage::Unload();
    dialogs_.reset();
    resetSharedState();
    TempFolderTest::TearDown();
}

void MainWindowTest::createDatabase() {
    const QString target = QDir(workFolder()).filePath(kDatabaseFileName);
    QFile::remove(target);
    ASSERT_TRUE(QFile::copy(templateDatabase(), target));
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
}

frmMain& MainWindowTest::load() {
    window = std::make_unique<frmMain>();
    return *window;
}

frmMain& MainWindowTest::start(const QString& user, const QString& password) {
    createDatabase();
    load();
    expect(pickUser(user));
    expect(typePassword(password));
    window->Form_Activate();
    return *window;
}

MainWindowTest::Step MainWindowTest::pickUser(const QString& name) {
    return [name](QDialog& d) {
        auto* picker = qobject_cast<frmSelectOper*>(&d);
        ASSERT_TRUE(picker) << "expected the user picker";
        const int row = picker->CmbOperatore()->findText(name);
        ASSERT_GE(row, 0) << name.toStdString();
        picker->CmbOperatore()->setCurrentIndex(row);
        picker->cmdConfirm()->click();
    };
}

MainWindowTest::Step MainWindowTest::typePassword(const QString& password) {
    return [password](QDialog& d) {
        auto* dialog = qobject_cast<frmPassword*>(&d);
        ASSERT_TRUE(dialog) << "expected the password dialog";
        dialog->txtPassword()->setText(password);
        dialog->cmdConfirm()->click();
    };
}

MainWindowTest::Step MainWindowTest::newPassword(const QString& password) {
    return [password](QDialog& d) {
        auto* dialog = qobject_cast<frmPassword*>(&d);
        ASSERT_TRUE(dialog) << "expected the password dialog";
        ASSERT_TRUE(dialog->chkNew()->isChecked());
        dialog->txtNewPwd()->setText(password);
        dialog->txtConfirmNewPwd()->setText(password);
        dialog->cmdConfirm()->click();
    };
}

MainWindowTest::Step MainWindowTest::cancel() {
    return [](QDialog& d) { d.reject(); };
}

QAction* MainWindowTest::action(const QString& name) {
    QAction* a = window->findChild<QAction*>(name);
    if (!a) ADD_FAILURE() << "no action " << name.toStdString();
    return a;
}

void MainWindowTest::click(int index) {
    QTreeWidgetItem* node = window->Node(index);
    ASSERT_TRUE(node);
    window->tvTreeView_NodeClick(node);
}
