// Column-name tests of the table rules: letter case ignored as the library ignores it.
#include <gtest/gtest.h>

#include "model/TableRuleUtil.h"

namespace {

TEST(IsColumn, AConstantNameMatchesAsTheQtComparisonDoes) {
    const char* names[] = {"Chiuso", "DataChiusura", "Quantità", "QUANTITÀ", "Ø", "k", "", "Chiusura"};
    const QString columns[] = {"Chiuso",
                               "chiuso",
                               "CHIUSO",
                               "Chiusa",
                               "Chiuso ",
                               "Chius",
                               "Quantità",
                               "QUANTITÀ",
                               "quantitÀ",
                               "Quantita",
                               "ø",
                               "Ø",
                               "k",
                               "K",
                               QString(QChar(0x212A)),
                               "",
                               "DataChiusura",
                               "datachiusura",
                               "Data",
                               "Chiusura"};
    for (const char* name : names)
        for (const QString& column : columns)
            EXPECT_EQ(IsColumn(column, name),
                      column.compare(QString::fromUtf8(name), Qt::CaseInsensitive) == 0)
                << qPrintable(column) << " / " << name;
    // The cases that matter spelled out: the Kelvin sign folds to k, accents fold with their letter.
    EXPECT_TRUE(IsColumn(QString(QChar(0x212A)), "k"));
    EXPECT_TRUE(IsColumn("quantitÀ", "Quantità"));
    EXPECT_FALSE(IsColumn("Chius", "Chiuso"));
    EXPECT_FALSE(IsColumn("Chiuso", "Chius"));
}

}  // namespace
