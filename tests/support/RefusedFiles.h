// Files a reader of text files must refuse without waiting on them or reading them whole: a named
// pipe, a device, a regular file past the reader's bound (sparse, so cheap however large) and a folder.
#pragma once

#include <sys/stat.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

struct RefusedFiles {
    QString pipe;   // hand it to a PipeWatchdog with `header`
    QString large;  // `header`, then zeros up to the size asked
    QStringList all;

    RefusedFiles(const QString& folder, const QByteArray& header, qint64 largeSize)
        : pipe(QDir(folder).filePath(QStringLiteral("pipe.vbs"))),
          large(QDir(folder).filePath(QStringLiteral("grande.vbs"))) {
        EXPECT_EQ(0, ::mkfifo(QFile::encodeName(pipe).constData(), 0600));
        QFile f(large);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(header);
        EXPECT_TRUE(f.resize(largeSize));
        all = {pipe, QStringLiteral("/dev/zero"), large, folder};
    }
};
