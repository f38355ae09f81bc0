// The script of a report as the run makes it: the default note function appended only when there are
// notes and no function of that name.
#include <gtest/gtest.h>

#include "LabelFixture.h"
#include "reports/clsCustomReport.h"
#include "reports/modCustomReport.h"
#include "vbs/ScriptHost.h"

namespace {

using ReportScriptTest = LabelTest;

TEST_F(ReportScriptTest, TheDefaultNoteFunctionIsAppendedOnlyWithNotesAndNoneNamed) {
    addPrinter({210, 297});
    clsCustomReport prn;
    prn.SetParameter(Variant(QStringLiteral("Etichette")));
    struct Case {
        const char* code;
        bool notes;
        bool hasNoteFunction;
        const char* shown;
    } cases[] = {
        // clang-format off
        {"Dim x", false, false, ""},
        {"Dim x", true, true, ""},
        {"' PrintNoteRow(", true, false, ""},
        // The search keeps to the letter case: a function spelt otherwise gets a second one.
        {"Function printnoterow(a, b, c, d)\r\nEnd Function\r\n", true, false,
         "Errore di inizializzazione del codice di stampa: "},
        // clang-format on
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        prompt->clear();
        auto host = CreateReportScript(prn, QString::fromLatin1(c.code), c.notes);
        ASSERT_EQ(!*c.shown, host != nullptr);
        if (!host) {
            EXPECT_TRUE(prompt->last().text.startsWith(QString::fromLatin1(c.shown)));
            continue;
        }
        VariantList args{Variant(""), Variant(), Variant(ObjectRef()), Variant(int32_t(1))};
        // A defined function fails inside, on the missing engine; a missing one fails with no line.
        EXPECT_THROW(host->Run(QStringLiteral("PrintNoteRow"), args), std::exception);
        EXPECT_EQ(c.hasNoteFunction, host->Error().Number != 0);
    }
    EXPECT_TRUE(DefaultNoteFunction().endsWith(QStringLiteral("End Function\r\n\r\n")));
}

}  // namespace
