// Where-texts, field lists and order texts as the program builds them, translated and run on a
// real SQLite schema: the selected rows, not only the SQL, are checked.
#include <gtest/gtest.h>

#include "ConditionTestSchema.h"
#include "odb/Schema.h"
#include "odb/condition/ConditionSql.h"

using namespace odb;

namespace {

struct WhereCase {
    const char* table;
    const char* where;
    std::vector<int64_t> rows;
};

// Each text is one the program builds (or its shape with a value of the test data).
const WhereCase kWhereCases[] = {
    // Mail scan, shipping lists, production lists.
    {"CommesseCliente", "CommessaChiusa AND StatoNotifica=2 AND DataChiusura > #03/15/2024#", {2}},
    {"CommesseCliente", "CommessaChiusa AND not Spedito", {2, 4}},
    {"CommesseCliente", "Cliente='Rossi Srl' AND Not Spedito", {3}},
    {"CommesseCliente", "Cliente='rossi SRL'", {1, 3}},
    {"CommesseCliente", "Cliente = 'l''asse'", {4}},
    {"CommesseCliente", "Progressivo= 3", {3}},
    {"CommesseCliente", "Progressivo =3", {3}},
    {"CommesseCliente", "2 = StatoNotifica", {2, 4}},
    {"CommesseCliente", "3 > Progressivo", {1, 2}},
    // Date selection of the data view: month, day, period.
    {"CommesseCliente", "Month(DataInserimento) = 3 AND Year(DataInserimento) = 2024", {2, 3}},
    {"CommesseCliente",
     "(Progressivo > 0) AND Month(DataInserimento) = 12 AND Year(DataInserimento) = 2023",
     {4}},
    {"CommesseCliente", "DataInserimento >= #03/01/2024# AND DataInserimento < #03/02/2024#", {2}},
    {"CommesseCliente", "DataInserimento >= #03/15/2024# AND DataInserimento < #03/16/2024#", {3}},
    {"CommesseCliente", "DataChiusura >= #12/31/2023# AND DataChiusura < #01/01/2024#", {4}},
    {"CommesseCliente", "DataChiusura > #03/10/2024 10:00:00#", {2}},
    {"CommesseCliente", "DataChiusura >= #03/10/2024 10:00:00#", {1, 2}},
    {"CommesseCliente", "#03/15/2024# < DataChiusura", {2}},
    {"CommesseCliente", "DataChiusura <= #2024-03-10 10:00#", {1, 4}},
    // Nulls.
    {"CommesseCliente", "ISNULL(DataChiusura)", {3}},
    {"CommesseCliente", "DataChiusura IS NULL", {3}},
    {"CommesseCliente", "DataChiusura Is Not Null", {1, 2, 4}},
    {"CommesseCliente", "Not ISNULL(DataChiusura) And Importo > 50", {2}},
    {"CommesseCliente", "Importo = 12.5", {1}},
    {"CommesseCliente", "Importo < 12.5001", {1, 4}},
    {"CommesseCliente", "Progressivo = Null", {}},
    // Booleans, True/False, precedence.
    {"CommesseCliente", "CommessaChiusa = True", {1, 2, 4}},
    {"CommesseCliente", "CommessaChiusa=False", {3}},
    {"CommesseCliente", "True", {1, 2, 3, 4}},
    {"CommesseCliente", "FALSE", {}},
    {"CommesseCliente", "StatoNotifica=2 OR StatoNotifica=1 AND Spedito", {2, 4}},
    {"CommesseCliente", "(StatoNotifica=2 OR StatoNotifica=1) and NOT Spedito", {2, 3, 4}},
    {"CommesseCliente", "not (CommessaChiusa or Spedito)", {3}},
    {"CommesseCliente", "Not Not Spedito", {1}},
    // Like, IN lists, paths through a reference.
    {"CommesseCliente", "Cliente Like 'r*'", {1, 3}},
    {"CommesseCliente", "Cliente Like '*SRL'", {1, 3}},
    {"CommesseCliente", "Cliente Not Like '*srl'", {2, 4}},
    {"CommesseCliente", "DataInserimento Like '15/03/2024*'", {3}},
    {"CommesseCliente", "Importo Like '12,5'", {1}},
    {"CommesseCliente", "Progressivo Like 4", {4}},
    {"CommesseCliente", "Progressivo IN (1, 3)", {1, 3}},
    {"CommesseCliente", "Progressivo NOT IN (1,3)", {2, 4}},
    {"CommesseCliente", "Cliente.Descrizione = 'Bianchi & C.'", {2}},
    {"CommesseCliente", "Clienti.Descrizione = 'Bianchi & C.'", {2}},
    {"Clienti", "Descrizione Like 'é*'", {4}},
    {"Clienti", "Descrizione Like 'l''*'", {3}},
    {"Clienti", "Descrizione = \"Élite\"", {4}},
    {"Clienti", "Descrizione = 'elite'", {}},
    // A container and a derived extension.
    {"DettagliVenditaMacchinari", "CommesseCliente.Spedito", {11}},
    {"DettagliVenditaMacchinari", "NOT CommesseCliente.Spedito", {12, 14}},
    {"DettagliCommesse", "DettagliAttrezzature.Particolare = 'Punzone'", {13}},
    {"DettagliCommesse", "DettagliVenditaMacchinari.Macchinario Like 'PRESSA*'", {11, 14}},
    {"DettagliCommesse", "Numerocommessa='1-0001/002'", {11}},
    {"DettagliCommesse", "NumeroCommessa='1-0001/002'", {11}},
    {"DettagliCommesse", "Not Chiuso", {13}},
    // Customer list: details of the chosen customer's unshipped job orders, through sub-selects.
    {"DettagliCommesse",
     "(OID IN (SELECT OID FROM DettagliAttrezzature WHERE Owner IN (SELECT OID FROM CommesseCliente WHERE "
     "Cliente='Rossi Srl' AND Not Spedito))) Or (OID IN (SELECT OID FROM DettagliVenditaMacchinari WHERE "
     "Owner IN "
     "(SELECT OID FROM CommesseCliente WHERE Cliente='Rossi Srl' AND Not Spedito)))",
     {13}},
    {"DettagliCommesse",
     "(OID IN (SELECT OID FROM DettagliAttrezzature WHERE Owner IN (SELECT OID FROM CommesseCliente))) Or "
     "(OID IN (SELECT OID FROM DettagliVenditaMacchinari WHERE Owner IN (SELECT OID FROM CommesseCliente)))",
     {10, 11, 12, 13, 14}},
    {"DettagliCommesse", "OID NOT IN (SELECT OID FROM DettagliAttrezzature)", {11, 12, 14, 15}},
    // Work steps: open, suspended, the worker's open step, all but one.
    {"PassaggiDettaglioCommesse", "Not Chiuso", {21, 22}},
    {"PassaggiDettaglioCommesse", "NOT Chiuso", {21, 22}},
    {"PassaggiDettaglioCommesse", "Not Chiuso AND OID<>21", {22}},
    {"PassaggiDettaglioCommesse", "Sospeso AND OID<>22", {21}},
    {"PassaggiDettaglioCommesse", "NOT Chiuso AND NOT Sospeso", {22}},
    {"PassaggiDettaglioCommesse", "Chiuso=True", {20}},
    {"PassaggiDettaglioCommesse", "Chiuso = False AND DataInizio <= #03/16/2024 09:00:00#", {21}},
    {"PassaggiDettaglioCommesse", "Operaio.Codice = 'A01' AND Not Chiuso", {21}},
    {"PassaggiDettaglioCommesse", "Operaio='Luca Bianchi'", {22}},
    {"PassaggiDettaglioCommesse", "Operaio = 'luca bianchi'", {22}},
    {"PassaggiDettaglioCommesse", "DettagliCommesse.NumeroCommessa = '1-0003/001' AND Not Chiuso", {21, 22}},
    // Attendance of a day for a worker's card code.
    {"Ingressi", "Data=#03/15/2024# AND Operai.Codice='A01'", {30}},
    {"Ingressi", "Data= #03/15/2024#", {30, 31}},
    {"Ingressi", "Data = #3/16/2024#", {32}},
    // Workers: active ones, by card code, searches with wildcards.
    {"Operai", "Nominativo <> '<indefinito>' AND ISNULL(DataFineRapporto)", {2, 4, 5}},
    {"Operai", "ISNULL(DataFineRapporto) And Nominativo <> '<indefinito>' AND NOT Impiegato", {2, 5}},
    {"Operai", "Codice='B03'", {4}},
    {"Operai", "Codice=''", {1}},
    {"Operai", "Nominativo Like '*rossi*'", {2}},
    {"Operai", "Nominativo Like 'à*'", {4}},
    {"Operai", "Nominativo Like '?uca*'", {3}},
    {"Operai", "Codice Like 'A0#'", {2, 3}},
    {"Operai", "Codice Like '[a-b]*'", {2, 3, 4}},
    {"Operai", "Codice Like '[!a]*'", {4, 5}},
    {"Operai", "DataFineRapporto < #06/01/2024#", {3}},
    // A text that looks like SQL is a value.
    {"Operai", "Nominativo = ''' OR 1=1 --'", {5}},
    {"Operai", "Nominativo = \"' OR 1=1 --\"", {5}},
    {"Operai", "Codice = ''' OR 1=1 --'", {}},
    // Order lines still to load; the line being changed left out without brackets.
    {"OrdinePartCommerciale", "QuantitàOrdine>QuantitàCaricata Or QuantitàOrdine=0", {40, 42}},
    {"OrdinePartCommerciale", "QuantitàOrdine>QuantitàCaricata Or QuantitàOrdine=0 AND OID<>42", {40}},
    {"OrdinePartCommerciale", "quantitàordine - QUANTITÀCARICATA > 5", {40}},
    {"OrdinePartCommerciale", "PrezzoUnitario*QuantitàOrdine > 20", {40}},
    {"OrdinePartCommerciale", "PrezzoUnitario >= 2.5", {40, 42}},
    {"OrdinePartCommerciale", "OID IN (40, 42)", {40, 42}},
    {"OrdinePartCommerciale", "-PrezzoUnitario < -2.6", {42}},
    // Report layouts of a table chain and a reference.
    {"TabProspettiStampa", "NomeTabellaOrigine='CommesseCliente' AND NomeReference<>''", {51}},
    {"TabProspettiStampa",
     "(NomeTabellaOrigine='CommesseCliente' AND NomeReference<>'') OR NomeTabellaOrigine='DettagliCommesse'",
     {51, 52}},
    {"TabProspettiStampa",
     "(NomeTabellaOrigine='DettagliCommesse' OR NomeTabellaOrigine='CommesseCliente') AND "
     "NomeProspetto=\"Costi\"",
     {52}},
    {"TabProspettiStampa", "NomeReference=''", {50, 52, 53}},
    {"TabProspettiStampa", "", {50, 51, 52, 53}},
    {"TabProspettiStampa", "   ", {50, 51, 52, 53}},
};

class ConditionWhereTest : public ::testing::TestWithParam<WhereCase> {};

TEST_P(ConditionWhereTest, SelectsTheRightRows) {
    ConditionTestSchema schema;
    const WhereCase& c = GetParam();
    EXPECT_EQ(schema.Select(QString::fromUtf8(c.table), QString::fromUtf8(c.where)), c.rows) << c.where;
}

INSTANTIATE_TEST_SUITE_P(ProgramTexts, ConditionWhereTest, ::testing::ValuesIn(kWhereCases));

TEST(ConditionSqlTest, LiteralsAreBoundNeverSpliced) {
    ConditionTestSchema schema;
    ConditionSql translator(schema, QStringLiteral("Operai"), QStringLiteral("t"));
    const SqlFragment f =
        translator.Where(QStringLiteral("Nominativo = ''' OR 1=1 --' AND Codice <> 'x;DROP'"));
    EXPECT_FALSE(f.sql.contains(QStringLiteral("1=1")));
    EXPECT_FALSE(f.sql.contains(QStringLiteral("DROP")));
    EXPECT_FALSE(f.sql.contains(u'\''));
    ASSERT_EQ(f.values.size(), 2u);
    EXPECT_EQ(std::get<QString>(f.values[0]), QStringLiteral("' OR 1=1 --"));
    EXPECT_EQ(std::get<QString>(f.values[1]), QStringLiteral("x;DROP"));
}

TEST(ConditionSqlTest, LiteralsTakeTheStoredFormOfTheirField) {
    ConditionTestSchema schema;
    ConditionSql translator(schema, QStringLiteral("CommesseCliente"), QStringLiteral("t"));
    const SqlFragment f = translator.Where(
        QStringLiteral("Importo = 12.5 AND Spedito = True AND DataChiusura = #03/10/2024 10:00:00# AND 7 = "
                       "Progressivo AND Cliente = 5"));
    ASSERT_EQ(f.values.size(), 5u);
    EXPECT_EQ(std::get<int64_t>(f.values[0]), 125000);  // ten-thousandths
    EXPECT_EQ(std::get<int64_t>(f.values[1]), 1);
    EXPECT_DOUBLE_EQ(std::get<double>(f.values[2]), 45361.0 + 10.0 / 24.0);
    EXPECT_EQ(std::get<int64_t>(f.values[3]), 7);
    EXPECT_EQ(std::get<QString>(f.values[4]), QStringLiteral("5"));  // a reference compares its display text
}

TEST(ConditionSqlTest, DateLiteralForms) {
    struct DateCase {
        const char* text;
        double ole;
    };
    const DateCase cases[] = {
        {"#03/15/2024#", 45366.0},
        {"#3/5/2024#", 45356.0},
        {"# 03/15/2024 #", 45366.0},
        {"#03/15/2024 14:00:00#", 45366.0 + 14.0 / 24.0},
        {"#03/15/2024 14:00#", 45366.0 + 14.0 / 24.0},
        {"#2024-03-15 14:00:00#", 45366.0 + 14.0 / 24.0},
        {"#14:00:30#", (14.0 * 3600 + 30) / 86400.0},
        {"#12/31/1899#", 1.0},
    };
    ConditionTestSchema schema;
    for (const DateCase& c : cases) {
        ConditionSql translator(schema, QStringLiteral("Ingressi"), QStringLiteral("t"));
        const SqlFragment f = translator.Expression(QString::fromUtf8(c.text));
        ASSERT_EQ(f.values.size(), 1u) << c.text;
        EXPECT_EQ(f.type, ftDateTime) << c.text;
        EXPECT_DOUBLE_EQ(std::get<double>(f.values[0]), c.ole) << c.text;
    }
}

TEST(ConditionSqlTest, FieldListWithConcatenationAndAliases) {
    ConditionTestSchema schema;
    ConditionSql translator(schema, QStringLiteral("DettagliCommesse"), QStringLiteral("t"));
    const std::vector<SelectedField> fields = translator.Fields(QStringLiteral(
        "*,(DettagliAttrezzature.Particolare & DettagliVenditaMacchinari.Macchinario) As Dettaglio"));
    ASSERT_EQ(fields.size(), 2u);
    EXPECT_TRUE(fields[0].all);
    EXPECT_EQ(fields[1].name, QStringLiteral("Dettaglio"));
    EXPECT_EQ(fields[1].expr.type, ftText);
    const std::vector<QVariant> values = schema.Column(
        QStringLiteral("SELECT %1 FROM DettagliCommesse AS t ORDER BY t.oid").arg(fields[1].expr.sql));
    const std::vector<QVariant> expected{QStringLiteral("Stampo A"), QStringLiteral("PRESSA-1"),
                                         QStringLiteral("TORNIO-2"), QStringLiteral("Punzone"),
                                         QStringLiteral("PRESSA-1"), QVariant()};
    EXPECT_EQ(values, expected);
}

TEST(ConditionSqlTest, FieldListItemWithoutAliasIsNamedAsWritten) {
    ConditionTestSchema schema;
    ConditionSql translator(schema, QStringLiteral("DettagliVenditaMacchinari"), QStringLiteral("t"));
    const std::vector<SelectedField> fields = translator.Fields(QStringLiteral("*,CommesseCliente.Cliente"));
    ASSERT_EQ(fields.size(), 2u);
    EXPECT_EQ(fields[1].name, QStringLiteral("CommesseCliente.Cliente"));
    const std::vector<QVariant> values =
        schema.Column(QStringLiteral("SELECT %1 FROM DettagliVenditaMacchinari AS t ORDER BY t.oid")
                          .arg(fields[1].expr.sql));
    const std::vector<QVariant> expected{QStringLiteral("Rossi Srl"), QStringLiteral("Bianchi & C."),
                                         QStringLiteral("l'asse")};
    EXPECT_EQ(values, expected);
}

TEST(ConditionSqlTest, ConcatenationKeepsNullOnlyWhenBothSidesAreNull) {
    ConditionTestSchema schema;
    ConditionSql translator(schema, QStringLiteral("CommesseCliente"), QStringLiteral("t"));
    const SqlFragment f = translator.Expression(QStringLiteral("Importo & \"/\" & DataChiusura"));
    const SqlFragment g = translator.Expression(QStringLiteral("Importo & Importo"));
    const std::vector<QVariant> a = schema.Column(
        QStringLiteral("SELECT %1 FROM CommesseCliente AS t ORDER BY t.oid").arg(f.sql), f.values);
    const std::vector<QVariant> b = schema.Column(
        QStringLiteral("SELECT %1 FROM CommesseCliente AS t ORDER BY t.oid").arg(g.sql), g.values);
    ASSERT_EQ(a.size(), 4u);
    EXPECT_TRUE(
        a[0].toString().startsWith(QStringLiteral("12,5/45361,41")));  // money in units, Italian decimals
    EXPECT_EQ(a[2], QVariant(QStringLiteral("/")));
    EXPECT_EQ(b[2], QVariant());
    EXPECT_EQ(b[3], QVariant(QStringLiteral("00")));
}

TEST(ConditionSqlTest, ExpressionsForAggregates) {
    ConditionTestSchema schema;
    ConditionSql translator(schema, QStringLiteral("OrdinePartCommerciale"), QStringLiteral("t"));
    const SqlFragment product = translator.Expression(QStringLiteral("PrezzoUnitario*QuantitàOrdine"));
    EXPECT_EQ(product.type, ftDecimal);
    EXPECT_EQ(
        schema.Column(QStringLiteral("SELECT SUM(%1) FROM OrdinePartCommerciale AS t").arg(product.sql)),
        std::vector<QVariant>{QVariant(30.0)});
    const SqlFragment money = translator.Expression(QStringLiteral("PrezzoUnitario + PrezzoUnitario"));
    EXPECT_EQ(money.type, ftCurrency);  // stays exact ten-thousandths
    EXPECT_EQ(schema.Column(QStringLiteral("SELECT SUM(%1) FROM OrdinePartCommerciale AS t").arg(money.sql)),
              std::vector<QVariant>{QVariant(qlonglong{130000})});
    const SqlFragment ratio = translator.Expression(QStringLiteral("QuantitàCaricata / 2 - 1"));
    EXPECT_EQ(schema.Column(
                  QStringLiteral("SELECT %1 FROM OrdinePartCommerciale AS t WHERE t.oid = 41").arg(ratio.sql),
                  ratio.values),
              std::vector<QVariant>{QVariant(1.5)});
}

struct OrderCase {
    const char* table;
    const char* fields;
    const char* order;
    std::vector<int64_t> rows;
};

const OrderCase kOrderCases[] = {
    {"CommesseCliente", "", "Progressivo DESC", {4, 3, 2, 1}},
    {"CommesseCliente", "", "DataChiusura ", {3, 4, 1, 2}},
    {"CommesseCliente", "", "StatoNotifica, Progressivo DESC", {3, 4, 2, 1}},
    {"CommesseCliente", "", "statonotifica asc,progressivo desc", {3, 4, 2, 1}},
    {"CommesseCliente", "", "Cliente DESC, Progressivo", {1, 3, 4, 2}},
    {"Clienti", "", "Descrizione", {2, 4, 3, 1}},
    {"Clienti", "", "Descrizione DESC", {1, 3, 4, 2}},
    {"PassaggiDettaglioCommesse", "", "DataInizio", {23, 20, 21, 22}},
    {"OrdinePartCommerciale",
     "*,(OrdinePartCommerciale.QuantitàOrdine-OrdinePartCommerciale.QuantitàCaricata) As QuantitàDaOrdinare",
     "QuantitàDaOrdinare, OID DESC",
     {42, 41, 40}},
    {"OrdinePartCommerciale",
     "*,(QuantitàOrdine-QuantitàCaricata) As QuantitàDaOrdinare",
     "quantitàdaordinare DESC, OID",
     {40, 41, 42}},
};

class ConditionOrderTest : public ::testing::TestWithParam<OrderCase> {};

TEST_P(ConditionOrderTest, SortsTheRows) {
    ConditionTestSchema schema;
    const OrderCase& c = GetParam();
    const QString table = QString::fromUtf8(c.table);
    ConditionSql translator(schema, table, QStringLiteral("t"));
    const std::vector<SelectedField> fields = translator.Fields(QString::fromUtf8(c.fields));
    const SqlFragment order = translator.Order(QString::fromUtf8(c.order), fields);
    std::vector<int64_t> ids;
    for (const QVariant& v : schema.Column(
             QStringLiteral("SELECT t.oid FROM \"%1\" AS t ORDER BY %2").arg(table, order.sql), order.values))
        ids.push_back(v.toLongLong());
    EXPECT_EQ(ids, c.rows) << c.order;
}

INSTANTIATE_TEST_SUITE_P(ProgramOrders, ConditionOrderTest, ::testing::ValuesIn(kOrderCases));

TEST(ConditionSqlTest, BlankTextsGiveNothing) {
    ConditionTestSchema schema;
    ConditionSql translator(schema, QStringLiteral("Operai"), QStringLiteral("t"));
    EXPECT_TRUE(translator.Where(QStringLiteral(" \t")).sql.isEmpty());
    EXPECT_TRUE(translator.Order(QString()).sql.isEmpty());
    EXPECT_TRUE(translator.Fields(QStringLiteral("  ")).empty());
}

}  // namespace
