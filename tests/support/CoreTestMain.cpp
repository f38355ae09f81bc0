// The test main of the layers without widgets: a core application only, Italian settings, and
// settings kept away from the real home folder.
#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/ItalianLocale.h"
#include "platform/ProgramFolder.h"
#include "platform/SettingsStore.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleMock(&argc, argv);
    QCoreApplication app(argc, argv);
    InstallItalianLocale(app);

    QTemporaryDir sandbox;
    SetSettingsFolder(QDir(sandbox.path()).filePath(QStringLiteral("settings")));
    SetProgramFolder(sandbox.path());
    return RUN_ALL_TESTS();
}
