// The test main: offscreen Qt unless a platform was chosen, the program's application object,
// Italian settings, a usable font, and settings and documents kept away from the real home folder.
#include <QDir>
#include <QFontDatabase>
#include <QTemporaryDir>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "base/AppError.h"
#include "platform/GuardedApplication.h"
#include "platform/ItalianLocale.h"
#include "platform/ProgramFolder.h"
#include "platform/SettingsStore.h"

int main(int argc, char** argv) {
    // Must happen before the QApplication exists, or Qt looks for a display.
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ::testing::InitGoogleMock(&argc, argv);
    // As the program's: an error escaping an event stays inside it. A test that lets one escape fails,
    // unless it listens for it itself.
    GuardedApplication app(argc, argv);
    GuardedApplication::SetEscapedErrorReporter([](const AppError& e) {
        ADD_FAILURE() << "An error escaped an event: " << e.description().toStdString();
    });
    InstallItalianLocale(app);

    // Nothing a test does may land in the user's own settings or beside the binary.
    QTemporaryDir sandbox;
    SetSettingsFolder(QDir(sandbox.path()).filePath(QStringLiteral("settings")));
    SetProgramFolder(sandbox.path());
    // Nor in the user's documents folder, where the program's PDF printer saves when no window asks.
    qputenv("HOME", QDir(sandbox.path()).filePath(QStringLiteral("home")).toUtf8());
    qputenv("XDG_CONFIG_HOME", QDir(sandbox.path()).filePath(QStringLiteral("home/.config")).toUtf8());

    // Without a font Qt draws boxes and says nothing: fail loudly instead.
    if (QFontDatabase::families().isEmpty()) {
        std::fprintf(stderr, "No font is installed (fonts-dejavu-core is needed)\n");
        return 2;
    }
    return RUN_ALL_TESTS();
}
