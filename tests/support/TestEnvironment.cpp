// Temporary folders per test.
#include "support/TestEnvironment.h"

#include <QDir>

#include "platform/Clock.h"
#include "platform/ProgramFolder.h"
#include "platform/SettingsStore.h"

void TempFolderTest::SetUp() {
    ASSERT_TRUE(dir_.isValid());
    QDir(dir_.path()).mkpath(QStringLiteral("settings"));
    QDir(dir_.path()).mkpath(QStringLiteral("program"));
    QDir(dir_.path()).mkpath(QStringLiteral("work"));
    previousSettings_ = SettingsFolder();
    previousProgram_ = ProgramFolder();
    SetSettingsFolder(path(QStringLiteral("settings")));
    SetProgramFolder(path(QStringLiteral("program")));
}

void TempFolderTest::TearDown() {
    SetSettingsFolder(previousSettings_);
    SetSettingsFaultHandler({});
    SetProgramFolder(previousProgram_);
    Clock::reset();
}

QString TempFolderTest::path(const QString& name) const {
    return name.isEmpty() ? dir_.path() : QDir(dir_.path()).filePath(name);
}
