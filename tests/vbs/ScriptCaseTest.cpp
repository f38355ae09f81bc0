// Runs every script case under tests/vbs/scripts (sub-folders included). A case is a .vbs file whose
// last comment block, opened by "' EXPECT:", lists the lines the script prints through out.Print,
// then optionally "' !ERROR <number> LINE <line>" when the script must stop with that error,
// "' !PROMPT <kind|text|...>" for each message or input box it must show, "' !RUN <name>" for
// each procedure to call with Run, in order, after the text has been added, and "' !TIMEOUT <ms>"
// for a time limit other than the host's own.
#include <gtest/gtest.h>

#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>

#include "ScriptTestHost.h"
#include "base/AppError.h"

namespace {

struct Case {
    QString path;
    QString name;
};

std::vector<Case> findCases() {
    std::vector<Case> cases;
    const QString root = QStringLiteral(ZL_VBS_SCRIPTS_DIR);
    QDirIterator it(root, {QStringLiteral("*.vbs")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QString name = QDir(root).relativeFilePath(path);
        name.chop(4);
        name.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9]")), QStringLiteral("_"));
        cases.push_back({path, name});
    }
    std::sort(cases.begin(), cases.end(), [](const Case& a, const Case& b) { return a.name < b.name; });
    return cases;
}

struct Expectation {
    QStringList lines;
    QStringList prompts;
    QStringList runs;
    int errorNumber = 0;
    int errorLine = 0;
    int timeoutMs = 0;
    bool found = false;
};

Expectation readExpectation(const QString& text) {
    Expectation e;
    const QStringList lines = text.split(QRegularExpression(QStringLiteral("\r\n|\r|\n")));
    int start = -1;
    for (int i = 0; i < lines.size(); ++i)
        if (lines[i].trimmed() == QLatin1String("' EXPECT:")) start = i;
    if (start < 0) return e;
    e.found = true;
    static const QRegularExpression errorRe(QStringLiteral("^!ERROR (-?\\d+) LINE (\\d+)$"));
    for (int i = start + 1; i < lines.size(); ++i) {
        QString l = lines[i];
        if (l.trimmed().isEmpty() && i == lines.size() - 1) break;
        if (!l.startsWith(u'\'')) break;
        l = l.mid(1);
        if (l.startsWith(u' ')) l = l.mid(1);
        const auto m = errorRe.match(l);
        if (m.hasMatch()) {
            e.errorNumber = m.captured(1).toInt();
            e.errorLine = m.captured(2).toInt();
        } else if (l.startsWith(QLatin1String("!PROMPT "))) {
            e.prompts << l.mid(8);
        } else if (l.startsWith(QLatin1String("!TIMEOUT "))) {
            e.timeoutMs = l.mid(9).trimmed().toInt();
        } else if (l.startsWith(QLatin1String("!RUN "))) {
            e.runs << l.mid(5).trimmed();
        } else {
            e.lines << l;
        }
    }
    return e;
}

class ScriptCase : public testing::TestWithParam<Case> {};

TEST_P(ScriptCase, PrintsWhatItExpects) {
    QFile file(GetParam().path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    const Expectation expected = readExpectation(text);
    ASSERT_TRUE(expected.found) << "no ' EXPECT: block in " << GetParam().path.toStdString();

    vbstest::TestHost t;
    if (expected.timeoutMs > 0) t.host.SetTimeout(expected.timeoutMs);
    int number = 0, line = 0;
    QString description;
    try {
        t.host.AddCode(text);
        for (const QString& name : expected.runs)
            t.host.Run(name);
    } catch (const AppError& e) {
        number = e.number();
        line = t.host.Error().Line;
        description = e.description();
    }
    EXPECT_EQ(expected.lines.join(u'\n').toStdString(), t.out->lines.join(u'\n').toStdString());
    EXPECT_EQ(expected.errorNumber, number) << description.toStdString();
    EXPECT_EQ(expected.errorLine, line);
    if (!expected.prompts.isEmpty()) {
        EXPECT_EQ(expected.prompts.join(u'\n').toStdString(), t.prompt.shown.join(u'\n').toStdString());
    }
}

INSTANTIATE_TEST_SUITE_P(Scripts, ScriptCase, testing::ValuesIn(findCases()),
                         [](const testing::TestParamInfo<Case>& info) {
                             return info.param.name.toStdString();
                         });

}  // namespace
