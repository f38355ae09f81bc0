// Per-test temporary folders: settings, program folder and work folder never touch the real home.
#pragma once

#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// A test fixture whose every test gets its own temporary folder, with the settings store and the
// program folder pointed into it, and the clock back on the system time afterwards.
class TempFolderTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
    QString path(const QString& name = {}) const;  // a path inside the temporary folder
    QString workFolder() const { return path(QStringLiteral("work")); }

  private:
    QTemporaryDir dir_;
    QString previousSettings_, previousProgram_;
};
