// The per-user settings store, in a temporary folder.
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include "platform/SettingsStore.h"
#include "support/TestEnvironment.h"

namespace {

class SettingsStoreTest : public TempFolderTest {
  protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        listen();
    }
    // Faults are told once per file in a run: listening again starts a new run.
    void listen() {
        faults.clear();
        SetSettingsFaultHandler([this](SettingsFault fault, const QString& file) {
            faults << QString(fault == SettingsFault::Unreadable ? "read " : "write ") + file;
        });
    }
    QString ini() const { return path("settings/Zelto Lavrix.ini"); }
    QStringList faults;
};

QByteArray digest(const QString& file) {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? QCryptographicHash::hash(f.readAll(), QCryptographicHash::Md5)
                                       : QByteArray();
}

TEST_F(SettingsStoreTest, RoundTripsThroughAnIniFile) {
    EXPECT_EQ(GetSetting("Zelto Lavrix", "Configuration", "RootDir", "def"), "def");
    SaveSetting("Zelto Lavrix", "Configuration", "RootDir", "/srv/dati/");
    SaveSetting("Zelto Lavrix", "Configuration", "NumCommVisible", "50");
    SaveSetting("Zelto Lavrix", "frmReportEditorSettings", "Left", "1200");
    EXPECT_EQ(GetSetting("Zelto Lavrix", "Configuration", "RootDir"), "/srv/dati/");
    EXPECT_TRUE(QFile::exists(path("settings/Zelto Lavrix.ini")));
    EXPECT_EQ(GetAllSettingKeys("Zelto Lavrix", "Configuration").size(), 2);

    DeleteSetting("Zelto Lavrix", "Configuration", "RootDir");
    EXPECT_EQ(GetSetting("Zelto Lavrix", "Configuration", "RootDir", "x"), "x");
    EXPECT_EQ(GetSetting("Zelto Lavrix", "Configuration", "NumCommVisible"), "50");
    DeleteSetting("Zelto Lavrix", "frmReportEditorSettings");
    EXPECT_EQ(GetSetting("Zelto Lavrix", "frmReportEditorSettings", "Left", "none"), "none");
}

TEST_F(SettingsStoreTest, KeepsTextsWithSeparatorsAndAccents) {
    SaveSetting("Zelto Lavrix", "Configuration", "CommandPanelUserName", "Operatore, più; a=b");
    SaveSetting("Zelto Lavrix", "MagneticDevParam", "COMPortParam", "9600,n,8,1");
    EXPECT_EQ(GetSetting("Zelto Lavrix", "Configuration", "CommandPanelUserName"), "Operatore, più; a=b");
    EXPECT_EQ(GetSetting("Zelto Lavrix", "MagneticDevParam", "COMPortParam"), "9600,n,8,1");
}

TEST_F(SettingsStoreTest, AFileThatCannotBeReadIsToldOnceAndNeverOverwritten) {
    const QByteArray binary = QByteArray(
                                  "\x7f"
                                  "ELF\x02\x01\x01\0\0\0",
                                  10) +
                              QByteArray(3000, '\0');
    const QByteArray cut = "[Configuration]\nIsWorkStation=True\nRoot";
    for (const QByteArray& content : {binary, cut}) {
        listen();
        QDir().mkpath(path("settings"));
        QFile f(ini());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(content);
        f.close();
        const QByteArray before = digest(ini());
        EXPECT_EQ(GetSetting("Zelto Lavrix", "Configuration", "RootDir", "def"), "def");
        EXPECT_EQ(GetSetting("Zelto Lavrix", "Configuration", "IsWorkStation", "def"), "def");
        SaveSetting("Zelto Lavrix", "Configuration", "RootDir", "/srv/dati");
        DeleteSetting("Zelto Lavrix", "Configuration", "IsWorkStation");
        SaveSetting("Zelto Lavrix", "Settings", "Left", "10");
        EXPECT_EQ(digest(ini()), before) << "the file stays as it was";
        EXPECT_EQ(faults, QStringList({"read " + ini(), "write " + ini()}));
    }
    // A folder where the file should be.
    QFile::remove(ini());
    ASSERT_TRUE(QDir().mkpath(ini()));
    listen();
    EXPECT_EQ(GetSetting("Zelto Lavrix", "Configuration", "RootDir", "def"), "def");
    EXPECT_TRUE(GetAllSettingKeys("Zelto Lavrix", "Configuration").isEmpty());
    SaveSetting("Zelto Lavrix", "Configuration", "RootDir", "/srv/dati");
    EXPECT_EQ(faults, QStringList({"read " + ini(), "write " + ini()}));
    EXPECT_TRUE(QFileInfo(ini()).isDir());
}

TEST_F(SettingsStoreTest, AFileThatCannotBeWrittenIsTold) {
    // The settings folder cannot be made: a file stands in its way (root writes anything else).
    QFile blocker(path("blocked"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    SetSettingsFolder(path("blocked/settings"));
    EXPECT_EQ(GetSetting("Zelto Lavrix", "Configuration", "RootDir", "def"), "def");
    EXPECT_TRUE(faults.isEmpty()) << "a missing file is a first start, not a fault";
    SaveSetting("Zelto Lavrix", "Configuration", "RootDir", "/srv/dati");
    SaveSetting("Zelto Lavrix", "Configuration", "IsWorkStation", "True");
    EXPECT_EQ(faults, QStringList({"write " + path("blocked/settings/Zelto Lavrix.ini")}));
}

}  // namespace
