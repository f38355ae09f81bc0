// Malformed where-texts, field lists and order texts: a clear error naming problem and
// position, and no SQL to run.
#include <gtest/gtest.h>

#include <random>

#include "ConditionTestSchema.h"
#include "odb/DbmsGlobal.h"
#include "odb/condition/ConditionSql.h"

using namespace odb;

namespace {

enum class Kind { Where, Fields, Order };

struct ErrorCase {
    Kind kind;
    const char* table;
    const char* text;
    int position;  // 1-based, as the message gives it
    const char* problem;
};

const ErrorCase kErrorCases[] = {
    {Kind::Where, "PassaggiDettaglioCommesse", "Not Chiuso AND", 15,
     "atteso un valore invece di la fine del testo"},
    {Kind::Where, "PassaggiDettaglioCommesse", "(Not Chiuso", 12, "atteso ')'"},
    {Kind::Where, "PassaggiDettaglioCommesse", "Not Chiuso)", 11, "testo inatteso ')'"},
    {Kind::Where, "PassaggiDettaglioCommesse", "Chiuso = = 1", 10, "atteso un valore invece di '='"},
    {Kind::Where, "PassaggiDettaglioCommesse", "Chiuso = 1 Sospeso", 12, "testo inatteso 'Sospeso'"},
    {Kind::Where, "PassaggiDettaglioCommesse", "Chiuso ; DROP TABLE Operai", 8, "carattere non ammesso ';'"},
    {Kind::Where, "PassaggiDettaglioCommesse", "Pippo = 1", 1, "campo sconosciuto 'Pippo'"},
    {Kind::Where, "PassaggiDettaglioCommesse", "Operaio.Pippo = 1", 1, "campo sconosciuto 'Operaio.Pippo'"},
    {Kind::Where, "PassaggiDettaglioCommesse", "Operaio.", 9, "atteso un nome dopo il punto"},
    {Kind::Where, "PassaggiDettaglioCommesse", "DataInizio", 1, "'DataInizio' non è una condizione"},
    {Kind::Where, "PassaggiDettaglioCommesse", "Sospeso AND 'x'", 13, "il valore non è una condizione"},
    {Kind::Where, "PassaggiDettaglioCommesse", "DataInizio > #13/45/2024#", 14, "data non valida"},
    {Kind::Where, "PassaggiDettaglioCommesse", "DataInizio > #02/30/2024#", 14, "data non valida"},
    {Kind::Where, "PassaggiDettaglioCommesse", "DataInizio > #03/01/2024 24:00:00#", 14, "data non valida"},
    {Kind::Where, "PassaggiDettaglioCommesse", "DataInizio > #03/01/2024", 14, "data non terminata"},
    {Kind::Where, "PassaggiDettaglioCommesse", "DataInizio > 'domani'", 14, "il valore non è adatto"},
    {Kind::Where, "Operai", "Codice='' OR 1=1 --'", 20, "testo non terminato"},
    {Kind::Where, "Operai", "Nominativo = \"Rossi", 14, "testo non terminato"},
    {Kind::Where, "Operai", "[Codice = 'A01'", 1, "manca la parentesi quadra chiusa"},
    {Kind::Where, "Operai", "Codice Like", 12, "atteso un valore"},
    {Kind::Where, "Operai", "Codice IS 'A01'", 11, "atteso Null"},
    {Kind::Where, "Operai", "Codice IN ()", 12, "atteso un valore invece di ')'"},
    {Kind::Where, "Operai", "Codice IN ('A01' 'A02')", 18, "atteso ')'"},
    {Kind::Where, "Operai", "OID IN (SELECT OID FROM Nessuna)", 5, "tabella sconosciuta 'Nessuna'"},
    {Kind::Where, "Operai", "OID IN (SELECT OID Operai)", 20, "atteso From"},
    {Kind::Where, "Operai", "OID IN (SELECT OID FROM Where)", 25, "il nome di una tabella"},
    {Kind::Where, "Operai", "Day(DataFineRapporto) = 1", 1, "funzione sconosciuta 'Day'"},
    {Kind::Where, "Operai", "Month(DataFineRapporto, 1) = 1", 23, "atteso ')'"},
    {Kind::Where, "Operai", "Codice = 12abc", 10, "numero non valido"},
    {Kind::Where, "Operai", "Impiegato AND Or", 15, "atteso un valore invece di 'Or'"},
    {Kind::Fields, "Operai", "*, As Nome", 4, "atteso un valore invece di 'As'"},
    {Kind::Fields, "Operai", "*,Codice As", 12, "atteso un nome dopo As"},
    {Kind::Fields, "Operai", "*,,Codice", 3, "atteso un valore"},
    {Kind::Order, "Operai", "Nominativo DESC DESC", 17, "testo inatteso 'DESC'"},
    {Kind::Order, "Operai", "Nominativo,", 12, "atteso un valore"},
    {Kind::Order, "Operai", "Cognome", 1, "campo sconosciuto 'Cognome'"},
};

class ConditionErrorTest : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(ConditionErrorTest, RaisesAClearError) {
    ConditionTestSchema schema;
    const ErrorCase& c = GetParam();
    ConditionSql translator(schema, QString::fromUtf8(c.table), QStringLiteral("t"));
    const QString text = QString::fromUtf8(c.text);
    try {
        switch (c.kind) {
            case Kind::Where:
                translator.Where(text);
                break;
            case Kind::Fields:
                translator.Fields(text);
                break;
            case Kind::Order:
                translator.Order(text);
                break;
        }
        ADD_FAILURE() << "no error for " << c.text;
    } catch (const AppError& e) {
        EXPECT_TRUE(LibraryError::Is(e, odbErrBadCondition));
        EXPECT_TRUE(e.description().startsWith(
            QStringLiteral("Condizione non valida alla posizione %1: ").arg(c.position)))
            << e.description().toStdString();
        EXPECT_TRUE(e.description().contains(QString::fromUtf8(c.problem))) << e.description().toStdString();
        EXPECT_TRUE(e.description().endsWith(text)) << e.description().toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Malformed, ConditionErrorTest, ::testing::ValuesIn(kErrorCases));

// Texts put together from random tokens: each one either raises the condition error or gives
// SQL that SQLite accepts and runs.
TEST(ConditionRandomTextTest, TranslatesToRunnableSqlOrRaises) {
    static const char* const tokens[] = {
        "Codice",
        "Nominativo",
        "Impiegato",
        "DataFineRapporto",
        "OID",
        "Operai.Codice",
        "Nessuno",
        "AND",
        "Or",
        "Not",
        "Like",
        "IS",
        "NULL",
        "IN",
        "(",
        ")",
        ",",
        "=",
        "<>",
        "<",
        ">=",
        "&",
        "+",
        "-",
        "*",
        "/",
        "True",
        "False",
        "12",
        "2.5",
        "'A*'",
        "\"x''y\"",
        "#03/15/2024#",
        "#bad#",
        "Month(",
        "Year(",
        "ISNULL(",
        "SELECT OID FROM Operai WHERE",
        "'",
        ";",
        "[Codice]",
        ".",
    };
    ConditionTestSchema schema;
    std::mt19937 random(20240315);
    std::uniform_int_distribution<size_t> token(0, std::size(tokens) - 1);
    std::uniform_int_distribution<int> length(1, 9);
    int translated = 0;
    for (int i = 0; i < 3000; ++i) {
        QString text;
        for (int n = length(random); n > 0; --n)
            text += QString::fromUtf8(tokens[token(random)]) + u' ';
        try {
            schema.Select(QStringLiteral("Operai"), text);
            ++translated;
        } catch (const AppError& e) {
            EXPECT_TRUE(LibraryError::Is(e, odbErrBadCondition)) << text.toStdString();
        } catch (const std::exception& e) {
            ADD_FAILURE() << "SQLite refused the SQL of " << text.toStdString() << ": " << e.what();
        }
    }
    EXPECT_GT(translated, 30);  // the tokens make enough valid texts to matter
}

// Long chains and deep nesting, as a multi-row selection or a hostile text builds them: chains of
// one operator run however long they are; nesting past the limit is refused before any recursion
// can overflow.
TEST(ConditionSizeTest, LongChainsRunAndDeepNestingIsRefused) {
    ConditionTestSchema schema;
    auto repeat = [](const QString& head, int n, const QString& tail) {
        QString s;
        for (int i = 0; i < n; ++i)
            s += head;
        return s + tail;
    };
    auto joined = [](int n, const QString& form, const QString& op) {
        QStringList terms;
        for (int i = 1; i <= n; ++i)
            terms << (form.contains(QStringLiteral("%1")) ? form.arg(i) : form);
        return terms.join(op);
    };
    struct Runs {
        QString text;
        std::vector<int64_t> rows;
    };
    const std::vector<Runs> runs = {
        {joined(2000, QStringLiteral("OID=%1"), QStringLiteral(" Or ")), {1, 2, 3, 4}},
        {joined(5000, QStringLiteral("OID=%1"), QStringLiteral(" OR ")), {1, 2, 3, 4}},
        {joined(5000, QStringLiteral("OID<>%1"), QStringLiteral(" And ")) + QStringLiteral(" Or OID=2"), {2}},
        {joined(90, QStringLiteral("Progressivo=%1"), QStringLiteral(" Or ")) +
             QStringLiteral(" And Spedito"),
         {1, 2, 3, 4}},
        {repeat(QStringLiteral("(OID=4 Or "), 20, QStringLiteral("OID=1")) + QString(20, u')'), {1, 4}},
        {repeat(QStringLiteral("Not "), 20, QStringLiteral("Spedito")), {1}},
    };
    for (const Runs& r : runs) {
        try {
            EXPECT_EQ(schema.Select(QStringLiteral("CommesseCliente"), r.text), r.rows)
                << r.text.left(60).toStdString();
        } catch (const std::exception& e) {
            ADD_FAILURE() << r.text.left(60).toStdString() << ": " << std::string(e.what()).substr(0, 200);
        }
    }
    const QStringList refused = {
        repeat(QStringLiteral("("), 5000, QStringLiteral("Spedito")) + QString(5000, u')'),
        repeat(QStringLiteral("(Spedito Or "), 5000, QStringLiteral("Spedito")) + QString(5000, u')'),
        repeat(QStringLiteral("Not "), 5000, QStringLiteral("Spedito")),
        repeat(QStringLiteral("-"), 5000, QStringLiteral("1 = Progressivo")),
        repeat(QStringLiteral("Month("), 5000, QStringLiteral("DataChiusura")) + QString(5000, u')') +
            QStringLiteral(" = 1"),
        joined(5000, QStringLiteral("Progressivo"), QStringLiteral(" & ")) + QStringLiteral(" = '1'"),
        joined(5000, QStringLiteral("Progressivo"), QStringLiteral(" + ")) + QStringLiteral(" > 1"),
        QStringLiteral("OID IN ") +
            repeat(QStringLiteral("(SELECT OID FROM CommesseCliente WHERE OID IN "), 5000,
                   QStringLiteral("(1)")) +
            QString(5000, u')'),
        repeat(QStringLiteral("CommesseCliente."), 5000, QStringLiteral("Spedito")),
    };
    for (const QString& text : refused) {
        try {
            schema.Select(QStringLiteral("CommesseCliente"), text);
            ADD_FAILURE() << "no error for " << text.left(60).toStdString();
        } catch (const AppError& e) {
            EXPECT_TRUE(LibraryError::Is(e, odbErrBadCondition)) << text.left(60).toStdString();
            EXPECT_TRUE(e.description().contains(QStringLiteral("troppo")))
                << e.description().left(200).toStdString();
        } catch (const std::exception& e) {
            ADD_FAILURE() << "SQLite refused the SQL of " << text.left(60).toStdString() << ": "
                          << std::string(e.what()).substr(0, 200);
        }
    }
}

}  // namespace
