// Layout export files: the bytes written, the lines read back (header keys, line ends, refusals) and
// the file around them.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <map>

#include "base/AppError.h"
#include "labels/LayoutExportFile.h"
#include "support/RecordingPrompt.h"
#include "support/TestEnvironment.h"

namespace {

// A key table over a map of values; applying records "key=value" in order. The key "Copies" refuses
// a value that is not one or two digits, as a masked box does.
class Boxes {
  public:
    std::map<QString, QString> values{{"Columns", "2"}, {"Height", "32,5"}, {"Copies", "1"}};
    QStringList applied;

    LayoutExportKeys keys() {
        LayoutExportKeys table;
        for (const char* key : {"Columns", "Height", "Copies"}) {
            const QString k = QString::fromLatin1(key);
            table.push_back({k, [this, k] { return values[k]; },
                             [this, k](const QString& v) {
                                 if (k == "Copies" && (v.size() > 2 || v.contains(QRegularExpression("\\D"))))
                                     RaiseVbError(380);
                                 values[k] = v;
                                 applied << k + u'=' + v;
                             }});
        }
        return table;
    }
};

TEST(LayoutExportFile, WritesTheKeysInOrderThenTheScriptInWindows1252) {
    Boxes boxes;
    boxes.values["Height"] = QStringLiteral("€ 1");
    EXPECT_EQ(QByteArray("'#Columns=2\r\n'#Height=\x80 1\r\n'#Copies=1\r\nA\r\nprn.TxtOut 0, 0, \"\xE0\""),
              LayoutExportFile::Compose(boxes.keys(), QStringLiteral("A\r\nprn.TxtOut 0, 0, \"à\"")));
    // An empty script leaves the file ending with the last header line's CR LF.
    EXPECT_EQ(QByteArray("'#Columns=2\r\n'#Height=\x80 1\r\n'#Copies=1\r\n"),
              LayoutExportFile::Compose(boxes.keys(), QString()));
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
        {"'#Height= 1=2 \r\n'#Copies=2\r\n'#Copies=3", "", "Height= 1=2 ;Copies=2;Copies=3"},
        // Header lines anywhere; only lines that start with "'#" count.
        {"A\r\n'#Columns=4\r\n x'#Copies=9\r\nB\r\n", "A| x'#Copies=9|B|", "Columns=4"},
        // Lines end at CR LF or a lone CR; a lone LF stays inside its line.
        {"a\rb\nc\r\n\r\nd\r", "a|b\nc||d|", ""},
        // An empty file, a file of one line end.
        {"", "", ""},
        {"\r\n", "|", ""},
        // Bytes are Windows-1252.
        {"'#Columns=\xE0\r\n\x80", "\xE2\x82\xAC|", "Columns=\xC3\xA0"},
    };
    for (const Case& c : cases) {
        Boxes boxes;
        const QString script = LayoutExportFile::Parse(QByteArrayView(c.bytes), boxes.keys());
        EXPECT_EQ(QString::fromUtf8(c.script).replace(u'|', QStringLiteral("\r\n")), script) << c.bytes;
        EXPECT_EQ(QString::fromUtf8(c.applied), boxes.applied.join(u';')) << c.bytes;
    }
}

TEST(LayoutExportFile, ARefusedValueStopsTheReadingWhereItStands) {
    Boxes boxes;
    try {
        LayoutExportFile::Parse("'#Columns=3\r\nscript\r\n'#Copies=x7\r\n'#Height=9", boxes.keys());
        ADD_FAILURE() << "no error";
    } catch (const AppError& e) {
        EXPECT_EQ(380, e.number());
    }
    EXPECT_EQ(QStringList{"Columns=3"}, boxes.applied);
    EXPECT_EQ("1", boxes.values["Copies"]);
    EXPECT_EQ("32,5", boxes.values["Height"]);
}

TEST(LayoutExportFile, WrittenAndReadBackGivesTheValuesAndTheScriptWithOneMoreLineEnd) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("LabelPrint.vbs"));
    Boxes out;
    out.values = {{"Columns", "12"}, {"Height", "0,25"}, {"Copies", ""}};
    const QString script = QStringLiteral("Function PrintLabel(ds, prn)\r\n  ' però\r\nEnd Function");
    LayoutExportFile::Write(file, out.keys(), script);
    Boxes in;
    in.values.clear();
    EXPECT_EQ(script + QStringLiteral("\r\n"), LayoutExportFile::Read(file, in.keys()));
    EXPECT_EQ(out.values, in.values);
    // An empty script comes back empty; a second export replaces the file.
    LayoutExportFile::Write(file, out.keys(), QString());
    EXPECT_EQ(QString(), LayoutExportFile::Read(file, in.keys()));
}

TEST(LayoutExportFile, FilesThatCannotBeWrittenOrReadRaiseTheirError) {
    QTemporaryDir dir;
    Boxes boxes;
    auto error = [](const std::function<void()>& f) {
        try {
            f();
        } catch (const AppError& e) {
            return QString::number(e.number()) + u' ' + e.description();
        }
        return QString();
    };
    const QString missingFolder = dir.filePath(QStringLiteral("manca/LabelPrint.vbs"));
    EXPECT_EQ(QStringLiteral("75 Errore di accesso al percorso/file: ") + missingFolder,
              error([&] { LayoutExportFile::Write(missingFolder, boxes.keys(), QStringLiteral("x")); }));
    EXPECT_EQ(QStringLiteral("53 Impossibile trovare il file: ") + missingFolder,
              error([&] { LayoutExportFile::Read(missingFolder, boxes.keys()); }));
    // A folder of that name is no file to replace, nor to read.
    EXPECT_EQ(QStringLiteral("75 Errore di accesso al percorso/file: ") + dir.path(),
              error([&] { LayoutExportFile::Write(dir.path(), boxes.keys(), QStringLiteral("x")); }));
    EXPECT_TRUE(QFileInfo(dir.path()).isDir());
    EXPECT_EQ(QStringLiteral("75 Errore di accesso al percorso/file: ") + dir.path(),
              error([&] { LayoutExportFile::Read(dir.path(), boxes.keys()); }));
}

class LayoutExportDialogs : public TempFolderTest {
  protected:
    ScopedRecordingPrompt prompt;
    Boxes boxes;
    QString proposed() const {
        return path(QStringLiteral("program/ReportPrint.vbs")) + "|VB Script (*.vbs)";
    }
    QString summary() {
        QStringList out;
        for (const auto& s : prompt->shown())
            out << (s.kind == RecordingPrompt::Kind::MsgBox ? QString::number(s.style) + u':' + s.text
                                                            : u'[' + s.title + u']' + s.dir);
        return out.join(u'/');
    }
};

TEST_F(LayoutExportDialogs, OnlyOurQuestionGuardsAnExistingFile) {
    const QString file = path(QStringLiteral("program/ReportPrint.vbs"));
    // Cancelled: nothing written, nothing asked.
    EXPECT_FALSE(LayoutExportFile::Export(nullptr, QStringLiteral("ReportPrint.vbs"), boxes.keys(), "A"));
    EXPECT_FALSE(QFileInfo::exists(file));
    // A new file is written without a question.
    prompt->answerPath(file);
    EXPECT_TRUE(LayoutExportFile::Export(nullptr, QStringLiteral("ReportPrint.vbs"), boxes.keys(), "A"));
    EXPECT_EQ("[]" + proposed() + "/[]" + proposed(), summary());
    prompt->clear();
    // An existing one: No keeps it, Yes replaces it.
    prompt->answerPath(file);
    prompt->answer(MsgResult::No);
    EXPECT_FALSE(LayoutExportFile::Export(nullptr, QStringLiteral("ReportPrint.vbs"), boxes.keys(), "B"));
    EXPECT_EQ(QStringLiteral("A\r\n"), LayoutExportFile::Read(file, boxes.keys()));
    prompt->answerPath(file);
    prompt->answer(MsgResult::Yes);
    EXPECT_TRUE(LayoutExportFile::Export(nullptr, QStringLiteral("ReportPrint.vbs"), boxes.keys(), "B"));
    EXPECT_EQ(QStringLiteral("B\r\n"), LayoutExportFile::Read(file, boxes.keys()));
    const QString question = QStringLiteral("308:Il file esiste già...\r\rVuoi sostituirlo ?");
    EXPECT_EQ("[]" + proposed() + u'/' + question + "/[]" + proposed() + u'/' + question, summary());
}

TEST_F(LayoutExportDialogs, ImportReadsTheChosenFileAndACancelChangesNothing) {
    QString script = QStringLiteral("old");
    EXPECT_FALSE(LayoutExportFile::Import(nullptr, QStringLiteral("ReportPrint.vbs"), boxes.keys(), script));
    EXPECT_EQ(QStringLiteral("old"), script);
    const QString file = path(QStringLiteral("elsewhere.vbs"));
    LayoutExportFile::Write(file, {}, QStringLiteral("'#Columns=7\r\nnew"));
    prompt->answerPath(file);
    EXPECT_TRUE(LayoutExportFile::Import(nullptr, QStringLiteral("ReportPrint.vbs"), boxes.keys(), script));
    EXPECT_EQ(QStringLiteral("new\r\n"), script);
    EXPECT_EQ(QStringLiteral("7"), boxes.values["Columns"]);
    EXPECT_EQ("[]" + proposed() + "/[]" + proposed(), summary());
}

}  // namespace
