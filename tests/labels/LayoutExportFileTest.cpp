// Layout export files as the editors' key tables see them: which lines are headers, where lines end,
// what is kept; the files that cannot be written or read, and those that are no layout's.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "base/AppError.h"
#include "labels/LayoutExportFile.h"
#include "support/PipeWatchdog.h"

namespace {

// Two keys whose values are recorded, in order, as "key=value".
LayoutExportKeys recording(QStringList& applied) {
    LayoutExportKeys keys;
    for (const char* key : {"Columns", "Height"})
        keys.push_back(
            {QString::fromLatin1(key), [] { return QStringLiteral("1"); },
             [&applied, key](const QString& v) { applied << QString::fromLatin1(key) + u'=' + v; }});
    return keys;
}

TEST(LayoutExportFile, ReadsHeaderLinesAnywhereAndKeepsEveryOtherLine) {
    struct Case {
        const char* bytes;
        const char* script;   // what comes back, "|" for CR LF
        const char* applied;  // "key=value" applied, in order, joined by ";"
    } cases[] = {
        // Unknown keys vanish; a key without "=" is a script line; keys are case-sensitive.
        {"'#Foo=bar\r\n'#Columns\r\n'#columns=5\r\nx", "'#Columns|x|", ""},
        // The value is everything after the first "=", untrimmed; the last occurrence wins.
        {"'#Height= 1=2 \r\n'#Columns=2\r\n'#Columns=3", "", "Height= 1=2 ;Columns=2;Columns=3"},
        // Header lines anywhere; only lines that start with "'#" count.
        {"A\r\n'#Columns=4\r\n x'#Height=9\r\nB\r\n", "A| x'#Height=9|B|", "Columns=4"},
        // Lines end at CR LF or a lone CR; a lone LF stays inside its line.
        {"a\rb\nc\r\n\r\nd\r", "a|b\nc||d|", ""},
        {"", "", ""},
        {"\r\n", "|", ""},
        // Bytes are Windows-1252.
        {"'#Columns=\xE0\r\n\x80", "\xE2\x82\xAC|", "Columns=\xC3\xA0"},
    };
    for (const Case& c : cases) {
        QStringList applied;
        const QString script = LayoutExportFile::Parse(QByteArrayView(c.bytes), recording(applied));
        EXPECT_EQ(QString::fromUtf8(c.script).replace(u'|', QStringLiteral("\r\n")), script) << c.bytes;
        EXPECT_EQ(QString::fromUtf8(c.applied), applied.join(u';')) << c.bytes;
    }
}

QString error(const std::function<void()>& f) {
    try {
        f();
    } catch (const AppError& e) {
        return QString::number(e.number()) + u' ' + e.description();
    }
    return QString();
}

QString refused(const QString& path) {
    return "75 Impossibile importare il file:\r" + path +
           "\r\rSi possono importare solo file di testo fino a 4 MB.";
}

TEST(LayoutExportFile, FilesThatCannotBeWrittenOrReadRaiseTheirError) {
    QTemporaryDir dir;
    QStringList applied;
    const QString missing = dir.filePath(QStringLiteral("manca/LabelPrint.vbs"));
    EXPECT_EQ("75 Errore di accesso al percorso/file: " + missing,
              error([&] { LayoutExportFile::Write(missing, recording(applied), QStringLiteral("x")); }));
    EXPECT_EQ("53 Impossibile trovare il file: " + missing,
              error([&] { LayoutExportFile::Read(missing, recording(applied)); }));
    // A folder of that name is no file to replace, nor to read.
    EXPECT_EQ("75 Errore di accesso al percorso/file: " + dir.path(),
              error([&] { LayoutExportFile::Write(dir.path(), recording(applied), QStringLiteral("x")); }));
    EXPECT_TRUE(QFileInfo(dir.path()).isDir());
    EXPECT_EQ(refused(dir.path()), error([&] { LayoutExportFile::Read(dir.path(), recording(applied)); }));
}

TEST(LayoutExportFile, OnlyRegularFilesUpToTheBoundAreReadAndOnlyFilesReplaced) {
    QTemporaryDir dir;
    // A file of header lines then zeros, `size` bytes in all; sparse, so cheap however large.
    auto file = [&](const char* name, qint64 size) {
        const QString path = dir.filePath(QString::fromLatin1(name));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("'#Columns=7\r\n");
        EXPECT_TRUE(f.resize(size));
        return path;
    };
    const QString pipe = dir.filePath(QStringLiteral("pipe.vbs"));
    ASSERT_EQ(0, ::mkfifo(QFile::encodeName(pipe).constData(), 0600));
    const QString large = file("grande.vbs", LayoutExportFile::kMaxFileSize + 1);
    QStringList applied;
    {
        PipeWatchdog guard(pipe, "'#Columns=9\r\n");
        EXPECT_EQ(refused(pipe), error([&] { LayoutExportFile::Read(pipe, recording(applied)); }));
        EXPECT_FALSE(guard.fired());
    }
    for (const QString& path : {QStringLiteral("/dev/zero"), large, dir.path()})
        EXPECT_EQ(refused(path), error([&] { LayoutExportFile::Read(path, recording(applied)); }));
    EXPECT_EQ(QStringList(), applied);

    // The bound itself is read.
    const QString script =
        LayoutExportFile::Read(file("limite.vbs", LayoutExportFile::kMaxFileSize), recording(applied));
    EXPECT_EQ(QStringList{"Columns=7"}, applied);
    EXPECT_EQ(LayoutExportFile::kMaxFileSize - 13 + 2, script.size());

    // A pipe is not replaced by the written file.
    EXPECT_EQ("75 Errore di accesso al percorso/file: " + pipe,
              error([&] { LayoutExportFile::Write(pipe, recording(applied), QStringLiteral("x")); }));
    struct stat st {};
    ASSERT_EQ(0, ::stat(QFile::encodeName(pipe).constData(), &st));
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

}  // namespace
