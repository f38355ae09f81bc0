// The barcode filter, written as users write it, run the way the barcode input calls it. (Label and
// report layouts run on their real engines: tests/labels, tests/reports.)
#include <gtest/gtest.h>

#include "ScriptTestHost.h"

namespace {

TEST(BarcodeFilter, TheFilterFunctionRewritesTheCode) {
    vbs::ScriptHost host;
    host.SetLanguage(QStringLiteral("vbscript"));
    host.AddCode(
        QStringLiteral("Function BarCodeFilter(sCode)\r\n"
                       "  ' toglie il prefisso del lettore e gli spazi\r\n"
                       "  If UCase(Left(sCode, 1)) = \"C\" Then sCode = Mid(sCode, 2)\r\n"
                       "  BarCodeFilter = Trim(sCode)\r\n"
                       "End Function"));
    struct Row {
        const char* in;
        const char* out;
    };
    for (const Row& r : {Row{"C123 ", "123"}, Row{" 456", "456"}, Row{"c9", "9"}, Row{"", ""}}) {
        VariantList args{Variant(r.in)};
        EXPECT_EQ(QString::fromLatin1(r.out), host.Run(QStringLiteral("BarCodeFilter"), args).toText())
            << r.in;
    }
}

}  // namespace
