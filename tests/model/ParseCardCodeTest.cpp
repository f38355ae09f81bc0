// The worker card-code parser: sentinels, reversed cards and the installation's prefix.
#include <gtest/gtest.h>

#include "model/ParseCardCode.h"

namespace {

TEST(ParseCardCode, SentinelsPrefixAndReversal) {
    struct Case {
        const char* code;
        const char* prefix;
        bool reverse;
        const char* expected;
    };
    const Case cases[] = {
        {"", "OP", false, ""},
        {"", "", true, ""},
        {"%OP123?", "op", false, "123"},  // prefix compared ignoring case
        {";OP123?", "OP", false, "123"},
        {"op123", "OP", false, "123"},
        {"OP123", "OP", false, "123"},
        {";321PO_", "OP", true, "123"},  // a card swiped backwards
        {";321PO_", "OP", false, ""},    // read forwards it is no card of ours
        {"123", "", true, "123"},        // no sentinel: never reversed
        {"321PO", "OP", true, ""},
        {"123", "OP", false, ""},  // not beginning with the prefix
        {"OP", "OP", false, ""},   // the prefix alone leaves nothing
        {"O", "OP", false, ""},    // shorter than the prefix
        {"%", "", false, ""},
        {"%", "OP", false, ""},
        {"%_", "", false, ""},
        {"%456_", "", false, "456"},
        {"456", "", false, "456"},
        {";;12??", "", false, ";12?"},  // one sentinel at each end only
        {"%12?", "", true, "21"},
        {"_12%", "", false, "_12%"},  // sentinels count only at their own end
        {"%OPè9?", "OP", false, "è9"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseCardCode(QString::fromUtf8(c.code), QString::fromUtf8(c.prefix), c.reverse),
                  QString::fromUtf8(c.expected))
            << c.code << " / " << c.prefix << " / " << c.reverse;
    }
}

TEST(ParseCardCode, ReversesWholeCharacters) {
    // A character outside the basic plane stays whole when the text is turned round.
    const QString clef = QString::fromUcs4(U"\U0001D11E");
    EXPECT_EQ(ParseCardCode("%a" + clef + "b?", "", true), "b" + clef + "a");
}

}  // namespace
