// VB's Like and the SQL functions and collation that translated conditions use.
#include <gtest/gtest.h>

#include <sqlite3.h>

#include <cstring>

#include "ConditionTestSchema.h"
#include "odb/condition/ConditionLike.h"

using namespace odb;

namespace {

struct LikeCase {
    const char* pattern;
    const char* text;
    bool matches;
};

const LikeCase kLikeCases[] = {
    {"*", "", true},
    {"*", "qualsiasi", true},
    {"?", "", false},
    {"?", "a", true},
    {"a*", "Attrezzo", true},
    {"*ZZO", "attrezzo", true},
    {"*tt*", "attrezzo", true},
    {"*rr*", "atezo", false},
    {"a?t*", "Altro", true},
    {"a?t*", "Atro", false},
    {"*a*a*", "banana", true},
    {"*a*a*a*a", "banana", false},
    {"1-####/###", "1-0012/001", true},
    {"1-####/###", "1-0012/01", false},
    {"#", "x", false},
    {"[a-c]x", "Bx", true},
    {"[a-c]x", "dx", false},
    {"[!a-c]x", "dx", true},
    {"[!a-c]x", "ax", false},
    {"[*]*", "*stella", true},
    {"[*]*", "stella", false},
    {"[?]", "?", true},
    {"[abc", "[abc", true},
    {"È*", "è vero", true},
    {"*À", "CITTÀ", true},
    {"*à", "città", true},
    {"citta", "città", false},
    {"CITTÀ", "citta\xcc\x80", true},  // a decomposed accent matches the composed one
    {"l'asse*", "L'ASSE grande", true},
    {"%", "x", false},
    {"_", "_", true},
    {"C09999*", "c099990", true},
    {"C09999*", "C09998", false},
};

class ConditionLikeTest : public ::testing::TestWithParam<LikeCase> {};

TEST_P(ConditionLikeTest, MatchesAsVbLike) {
    const LikeCase& c = GetParam();
    const ConditionLike like(QString::fromUtf8(c.pattern));
    EXPECT_EQ(like.Matches(QString::fromUtf8(c.text)), c.matches) << c.pattern << " / " << c.text;
    // The stored text's own bytes, as the SQL function hands them.
    EXPECT_EQ(like.MatchesUtf8(c.text, static_cast<int>(strlen(c.text))), c.matches)
        << c.pattern << " / " << c.text << " (UTF-8)";
}

INSTANTIATE_TEST_SUITE_P(Patterns, ConditionLikeTest, ::testing::ValuesIn(kLikeCases));

QVariant One(ConditionTestSchema& db, const char* sql) {
    const std::vector<QVariant> rows = db.Column(QString::fromUtf8(sql));
    return rows.empty() ? QVariant(QStringLiteral("<no row>")) : rows.front();
}

TEST(ConditionFunctionsTest, MonthAndYearReadOleDaysAndIsoTexts) {
    ConditionTestSchema db;
    EXPECT_EQ(One(db, "SELECT vb_month(45366.583333333336)"), QVariant(qlonglong{3}));
    EXPECT_EQ(One(db, "SELECT vb_year(45291.99930555555)"), QVariant(qlonglong{2023}));
    EXPECT_EQ(One(db, "SELECT vb_month(45291)"), QVariant(qlonglong{12}));
    EXPECT_EQ(One(db, "SELECT vb_month(0)"), QVariant(qlonglong{12}));  // 30/12/1899
    EXPECT_EQ(One(db, "SELECT vb_year('2024-07-09T10:00:00')"), QVariant(qlonglong{2024}));
    EXPECT_EQ(One(db, "SELECT vb_month('non è una data')"), QVariant());
    EXPECT_EQ(One(db, "SELECT vb_year(NULL)"), QVariant());
    EXPECT_EQ(One(db, "SELECT vb_year(1e300)"), QVariant());
    EXPECT_EQ(One(db, "SELECT vb_datetext(45366.583333333336)"),
              QVariant(QStringLiteral("15/03/2024 14:00:00")));
    EXPECT_EQ(One(db, "SELECT vb_datetext(45366)"), QVariant(QStringLiteral("15/03/2024")));
}

TEST(ConditionFunctionsTest, LikeOverValuesOfEveryKind) {
    ConditionTestSchema db;
    EXPECT_EQ(One(db, "SELECT vb_like('ÀNGELA', 'àn*')"), QVariant(qlonglong{1}));
    EXPECT_EQ(One(db, "SELECT vb_like(1234, '12*')"), QVariant(qlonglong{1}));
    EXPECT_EQ(One(db, "SELECT vb_like(NULL, '*')"), QVariant());
    EXPECT_EQ(One(db, "SELECT vb_like('x', NULL)"), QVariant());
    // The compiled pattern is reused over the rows of one statement.
    EXPECT_EQ(One(db, "SELECT COUNT(*) FROM Operai WHERE vb_like(Nominativo, '*a*')"),
              QVariant(qlonglong{3}));
}

TEST(ConditionFunctionsTest, TextCollationIgnoresCaseButNotAccents) {
    ConditionTestSchema db;
    EXPECT_EQ(One(db, "SELECT 'Città' = 'CITTÀ' COLLATE VBTEXT"), QVariant(qlonglong{1}));
    EXPECT_EQ(One(db, "SELECT 'Città' = 'Citta' COLLATE VBTEXT"), QVariant(qlonglong{0}));
    EXPECT_EQ(One(db, "SELECT 'àncora' < 'Zeta' COLLATE VBTEXT"), QVariant(qlonglong{1}));
    EXPECT_EQ(One(db, "SELECT 'abc' < 'ABD' COLLATE VBTEXT"), QVariant(qlonglong{1}));
    // Texts longer than the comparison's own buffers, the accent at the end.
    const char* longTexts =
        "WITH t(x) AS (SELECT replace(hex(zeroblob(200)), '0', 'a')) "
        "SELECT (x || 'è') = upper(x) || 'È' COLLATE VBTEXT AND (x || 'è') < (x || 'f') COLLATE VBTEXT "
        "AND (x || 'è') > (x || 'e') COLLATE VBTEXT FROM t";
    EXPECT_EQ(One(db, longTexts), QVariant(qlonglong{1}));
}

TEST(ConditionFunctionsTest, ConcatenationNullRules) {
    ConditionTestSchema db;
    EXPECT_EQ(One(db, "SELECT vb_concat(NULL, NULL)"), QVariant());
    EXPECT_EQ(One(db, "SELECT vb_concat(NULL, 'a')"), QVariant(QStringLiteral("a")));
    EXPECT_EQ(One(db, "SELECT vb_concat(2.5, 3)"), QVariant(QStringLiteral("2,53")));
}

}  // namespace
