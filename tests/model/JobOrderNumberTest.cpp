// The job-order number texts and the next progressive number over a whole table.
#include <gtest/gtest.h>

#include "ModelDatabaseTest.h"
#include "model/JobOrderNumber.h"
#include "odb/DataSet.h"

namespace {

TEST(JobOrderNumberText, PrefixNumberAndSubNumber) {
    struct Case {
        const char* prefix;
        std::optional<Variant> progressive;  // none: a detail without a job order
        Variant subNumber;
        const char* expected;
    };
    const Case cases[] = {
        {"1-", Variant(12), Variant(3), "1-0012/003"},
        {"2-", Variant(7), Variant(1), "2-0007/001"},
        {"", Variant(7), Variant(1), "0007/001"},        // no type row
        {"1-", std::nullopt, Variant(4), "1-004"},       // no job order
        {"1-", Variant::null(), Variant(4), "1-/004"},   // a job order not numbered yet
        {"1-", Variant(7), Variant::null(), "1-0007/"},  // a detail not numbered yet
        {"3-", Variant(12345), Variant(1000), "3-12345/1000"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(JobOrderNumber::DetailText(c.prefix, c.progressive, c.subNumber), c.expected) << c.expected;
    EXPECT_EQ(JobOrderNumber::Text("4-", 12), "4-0012");
    EXPECT_EQ(JobOrderNumber::Text("", 7), "0007");
    EXPECT_EQ(JobOrderNumber::Text("4-", Variant::null()), "4-");
}

class JobOrderNumberNext : public ModelDatabaseTest {
  protected:
    void SetUp() override {
        ModelDatabaseTest::SetUp();
        open();
    }
};

TEST_F(JobOrderNumberNext, TakesTheGreatestOverTheWholeNamedTable) {
    // The types 1 to 4 and the card prefix 9: asked from a data set of another table.
    auto any = rows("Clienti");
    EXPECT_EQ(JobOrderNumber::Next(*any, "TipiCommessa", "Tipologia"), 10);
    EXPECT_EQ(JobOrderNumber::Next(*any, "CommesseCliente"), 1);
    auto type = rows("TipiCommessa", "Tipologia=2");
    EXPECT_EQ(JobOrderNumber::Prefix(*type), "2-");
    auto none = rows("TipiCommessa", "Tipologia=8");
    EXPECT_EQ(JobOrderNumber::Prefix(*none), "");
}

}  // namespace
