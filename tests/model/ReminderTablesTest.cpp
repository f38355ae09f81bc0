// The reminder tables: a rule's table and date field read back from the schema, its template
// checks (which refuse nothing), the bounds of its notice period, the restart of its scan, and the
// new reminder's values.
#include <gtest/gtest.h>

#include "ModelDatabaseTest.h"
#include "base/DateUtil.h"
#include "odb/DataSet.h"
#include "platform/Clock.h"

namespace {

const QString kBadTemplate =
    "Messaggio non corretto.\rPer inserire il nome di un campo della tabella usare la "
    "specifica <%NomeCampo%> ";

class ReminderTables : public ModelDatabaseTest {
  protected:
    void SetUp() override {
        ModelDatabaseTest::SetUp();
        open();
        notify.clear();
    }
    std::shared_ptr<odb::DataSet> rules(const QString& where = {}) {
        return rows("ImpostazioniPromemoria", where);
    }
    // A stored rule on "Fornitori" and its date field, last checked at a known time.
    std::shared_ptr<odb::DataSet> storedRule() {
        auto r = rules();
        EXPECT_TRUE(
            r->AddRow({"NomeTabella", "Fornitori", "NomeCampoData", "DataAttivazione", "MinutiDiPreavviso",
                       45, "DataUltimoControllo", Variant::fromDate(MakeOleDate(2024, 3, 1, 8, 0, 0))}));
        notify.clear();
        return rules();
    }
};

TEST_F(ReminderTables, NoticeMinutesHaveAFloorOnlyWithoutDaysAndHours) {
    struct Case {
        int days, hours, minutes;
        int storedMinutes;
        bool notice;
    };
    const Case cases[] = {
        {0, 0, 0, 30, true},   {0, 0, 29, 30, true}, {0, 0, 45, 45, false},
        {0, 0, 30, 30, false}, {1, 0, 0, 0, false},  {0, 2, 0, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.days << "d " << c.hours << "h " << c.minutes << "m");
        notify.clear();
        auto r = rules("OID=0");
        ASSERT_TRUE(r->AddRow(
            {"GiorniDiPreavviso", c.days, "OreDiPreavviso", c.hours, "MinutiDiPreavviso", c.minutes}));
        EXPECT_EQ(r->ColNumber("MinutiDiPreavviso"), c.storedMinutes);
        const QStringList expected =
            c.notice ? QStringList{"I minuti di preavviso TOTALI non possono essere inferiori a 30"}
                     : QStringList{};
        EXPECT_EQ(notify.messages, expected);
    }
    // Stored all the same: the notice refuses nothing.
    EXPECT_EQ(count("ImpostazioniPromemoria"), 6);
    EXPECT_EQ(storedText("SELECT group_concat(MinutiDiPreavviso) FROM ImpostazioniPromemoria"),
              "30,30,45,30,0,0");
}

TEST_F(ReminderTables, NoticeDaysAreCappedAtThirty) {
    auto r = storedRule();
    ASSERT_TRUE(r->SetColValue("GiorniDiPreavviso", 30));
    EXPECT_TRUE(notify.messages.isEmpty());
    ASSERT_TRUE(r->SetColValue("GiorniDiPreavviso", 31));
    EXPECT_EQ(notify.messages, QStringList{"I giorni di preavviso non possono essere maggiori di 30"});
    EXPECT_EQ(r->ColNumber("GiorniDiPreavviso"), 30);
    ASSERT_TRUE(r->SaveRow());
    EXPECT_EQ(storedText("SELECT GiorniDiPreavviso FROM ImpostazioniPromemoria"), "30");
}

TEST_F(ReminderTables, TableAndDateFieldAreReadBackFromTheSchema) {
    struct Case {
        const char* table;  // set first when not null
        const char* column;
        const char* value;
        const char* refusal;  // empty: accepted
    };
    const Case cases[] = {
        {nullptr, "NomeTabella", "Fornitori", ""},
        {nullptr, "NomeTabella", "fornitori", ""},
        {nullptr, "NomeTabella", "Fornitoriii", "Tabella 'Fornitoriii' inesistente"},
        {nullptr, "NomeCampoData", "DataAttivazione", "Inserire prima il nome della tabella"},
        {nullptr, "MessaggioDiNotifica", "Scade <%RagioneSociale%>", "Inserire prima il nome della tabella"},
        {"Fornitori", "NomeCampoData", "DataAttivazione", ""},
        {"Fornitori", "NomeCampoData", "RagioneSociale",
         "Il campo 'RagioneSociale' non è di tipo Data o Data/ora"},
        {"Fornitori", "NomeCampoData", "Scadenza", "Campo 'Scadenza' inesistente nella tabella Fornitori"},
        {"CommesseCliente", "NomeCampoData", "DataInserimento", ""},
        {"CommesseCliente", "NomeCampoData", "Progressivo",
         "Il campo 'Progressivo' non è di tipo Data o Data/ora"},
        {"Ingressi", "NomeCampoData", "OraEntrataMattino",
         "Il campo 'OraEntrataMattino' non è di tipo Data o Data/ora"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.column) + " = " + c.value);
        auto r = rules("OID=0");
        ASSERT_TRUE(r->NewRow());
        if (c.table) {
            ASSERT_TRUE(r->SetColValue("NomeTabella", c.table));
        }
        notify.clear();
        const QString refusal = QString::fromUtf8(c.refusal);
        EXPECT_EQ(r->SetColValue(c.column, c.value), refusal.isEmpty());
        if (refusal.isEmpty()) {
            EXPECT_TRUE(notify.messages.isEmpty()) << notify.messages.join(" | ").toStdString();
            EXPECT_EQ(r->ColText(c.column), c.value);
        } else {
            EXPECT_EQ(notify.messages, QStringList{refusal});
            EXPECT_EQ(r->ColText(c.column), "") << "a refused value must not stay";
        }
        r->CancelRow();
    }
}

TEST_F(ReminderTables, TemplateMessagesInformAndRefuseNothing) {
    struct Case {
        const char* text;
        QStringList questions;
    };
    const Case cases[] = {
        {"Fornitore <%RagioneSociale%> attivo dal <%DataAttivazione%>", {}},
        {"Senza campi", {}},
        {"<%RagioneSociale%> e <%Sconosciuto%> e <%Altro%>",
         {"Campo 'Sconosciuto' inesistente nella tabella Fornitori"}},
        {"<%Primo%> <%Secondo%>", {"Campo 'Primo' inesistente nella tabella Fornitori"}},
        {"Apre <%RagioneSociale senza chiudere", {kBadTemplate}},
        {"%> prima <%RagioneSociale%>", {kBadTemplate}},
        {"<%RagioneSociale%> poi <%DataAttivazione", {kBadTemplate}},
        {"Vuoto <%%> e poi <%Ignoto%>", {}},
    };
    auto r = storedRule();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        notify.clear();
        ASSERT_TRUE(r->SetColValue("MessaggioDiNotifica", c.text));
        EXPECT_EQ(notify.questions, c.questions);
        EXPECT_TRUE(notify.messages.isEmpty());
        ASSERT_TRUE(r->SaveRow());
        EXPECT_EQ(storedText("SELECT MessaggioDiNotifica FROM ImpostazioniPromemoria"), c.text);
    }
    // The question refuses nothing even when answered with Cancel.
    notify.answerCancel = true;
    ASSERT_TRUE(r->SetColValue("MessaggioDiNotifica", "<%Mancante%>"));
    ASSERT_TRUE(r->SaveRow());
    EXPECT_EQ(storedText("SELECT MessaggioDiNotifica FROM ImpostazioniPromemoria"), "<%Mancante%>");
}

TEST_F(ReminderTables, ARealChangeOfTableOrDateFieldRestartsTheScan) {
    struct Case {
        const char* column;
        const char* value;
        bool cleared;
    };
    const Case cases[] = {
        {"NomeTabella", "Fornitori", false},           {"NomeCampoData", "DataAttivazione", false},
        {"NomeTabella", "CommesseCliente", true},      {"NomeCampoData", "DataInserimento", true},
        {"MessaggioDiNotifica", "Nuovo testo", false}, {"GiorniDiPreavviso", "3", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.column) + " = " + c.value);
        ASSERT_TRUE(rules()->DeleteRows());
        auto r = storedRule();
        if (QString(c.column) == "NomeCampoData" && QString(c.value) == "DataInserimento") {
            ASSERT_TRUE(r->SetColValue("NomeTabella", "CommesseCliente"));
        }
        ASSERT_TRUE(
            r->SetColValue("DataUltimoControllo", Variant::fromDate(MakeOleDate(2024, 3, 1, 8, 0, 0))));
        ASSERT_TRUE(r->SaveRow());
        ASSERT_TRUE(r->SetColValue(c.column, c.value));
        ASSERT_TRUE(r->SaveRow());
        EXPECT_EQ(storedText("SELECT DataUltimoControllo IS NULL FROM ImpostazioniPromemoria"),
                  c.cleared ? "1" : "0");
    }
}

TEST_F(ReminderTables, ARefusedTableChangeKeepsTheRuleAsStored) {
    auto r = storedRule();
    EXPECT_FALSE(r->SetColValue("NomeTabella", "Nessuna"));
    ASSERT_TRUE(r->SaveRow());
    EXPECT_EQ(
        storedText("SELECT NomeTabella || '|' || (DataUltimoControllo IS NULL) FROM ImpostazioniPromemoria"),
        "Fornitori|0");
}

TEST_F(ReminderTables, ANewReminderIsOpenDatedNowAndWithoutOrigin) {
    Clock::setFixed(QDateTime(QDate(2024, 5, 17), QTime(9, 41, 12)));
    auto reminders = rows("Promemoria");
    ASSERT_TRUE(reminders->AddRow({"TestoPromemoria", "Richiamare il fornitore"}));
    EXPECT_EQ(storedText("SELECT Chiuso || '|' || IDElementoOrigine || '|' || NomeTabellaOrigine || '|' || "
                         "NomeCampoDataOrigine || '|' || (IDElementoOrigine IS NULL) FROM Promemoria"),
              "0||||0");
    auto r = rows("Promemoria");
    EXPECT_EQ(r->ColValue("DataRiferimento").toDate(), MakeOleDate(2024, 5, 17, 9, 41, 12));
    EXPECT_FALSE(r->ColValueBool("Chiuso"));
    EXPECT_TRUE(notify.messages.isEmpty());
}

}  // namespace
