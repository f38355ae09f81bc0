// The start-up test fixture.
#include "StartupFixture.h"

#include <QDir>

#include "odb/Connection.h"
#include "startup/EndProgram.h"
#include "startup/SharedState.h"
#include "startup/frmMessage.h"

void FakeMainWindow::ReleaseDatabase() {
    ++releases;
    if (g_objConnection) g_objConnection->CloseConnection();
    g_objConnection.reset();
    g_objDatabase.reset();
}

void StartupTest::SetUp() {
    TempFolderTest::SetUp();
    ResetProgramEnding();
    g_strRootDir.clear();
    g_blnIsWorkStation = false;
    g_blnIsMailNotificationServer = false;
    g_strCommandPanelUserName = QStringLiteral("Operatore");
    g_intNumCommVisible = 50;
    g_lngIntervalTimerControlPanel = 60000;
    g_intDatabaseType = 0;
    g_intMagneticDevType = 0;
    g_intCOMPortNumber = 1;
    g_strCOMPortParam = QStringLiteral("9600,n,8,1");
    MainWindowServices::setInstance(&main);
}

void StartupTest::TearDown() {
    frmMessage::Unload();
    main.ReleaseDatabase();
    MainWindowServices::setInstance(nullptr);
    TempFolderTest::TearDown();
}

QString StartupTest::databasePath() const {
    return QDir(workFolder()).filePath(QStringLiteral("ZeltoLavrix.mdb"));
}
