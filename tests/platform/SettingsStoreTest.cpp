// The per-user settings store, in a temporary folder.
#include <QFile>

#include <gtest/gtest.h>

#include "platform/SettingsStore.h"
#include "support/TestEnvironment.h"

namespace {

class SettingsStoreTest : public TempFolderTest {};

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

}  // namespace
