// The lookup tables' rules: protected rows that refuse deletion and renaming, job-order types that
// are never deleted, the next absence code and the new task's flag.
#include <gtest/gtest.h>

#include "ModelDatabaseTest.h"
#include "odb/DataSet.h"

namespace {

class LookupTables : public ModelDatabaseTest {
  protected:
    void SetUp() override {
        ModelDatabaseTest::SetUp();
        open();
        notify.clear();
    }
};

TEST_F(LookupTables, ProtectedRowsRefuseAndStayUnchanged) {
    struct Case {
        const char* table;
        const char* where;
        const char* field;  // empty: a deletion
        Variant value;
        const char* refusal;
    };
    const Case cases[] = {
        {"TipiAssistenza", "Descrizione='<indefinito>'", "", {}, "Non puoi eliminare questo elemento"},
        {"TipiAssistenza", "Descrizione='<indefinito>'", "Descrizione", "Altro",
         "Non puoi modificare la descrizione di questo elemento"},
        {"TipiCategoria", "Descrizione='<indefinito>'", "", {}, "Non puoi eliminare questo elemento"},
        {"TipiCategoria", "Descrizione='<indefinito>'", "Descrizione", "Altro",
         "Non puoi modificare la descrizione di questo elemento"},
        {"TipiAssenza", "Codice=0", "", {}, "Non puoi eliminare questo elemento"},
        {"TipiAssenza", "Codice=0", "Descrizione", "Nulla",
         "Non puoi modificare la descrizione di questo elemento"},
        {"TipiAssenza", "Codice=0", "Codice", 9, "Non puoi modificare la descrizione di questo elemento"},
        {"DedirIdovuduvIrezadiv", "Descrizione='<indefinito>'", "", {}, "Non puoi eliminare questo elemento"},
        {"DedirIdovuduvIrezadiv", "Descrizione='<indefinito>'", "Descrizione", "Altro",
         "Non puoi modificare la descrizione di questo elemento"},
        {"DedirIdovuduvIrezadiv", "Descrizione='<indefinito>'", "Codice", "M1",
         "Non puoi modificare il codice di questo elemento"},
        {"TipiCommessa", "Tipologia=1", "", {}, "Non puoi eliminare questo elemento"},
        {"TipiCommessa", "Tipologia=9", "", {}, "Non puoi eliminare questo elemento"},
        {"Operai", "Nominativo='<indefinito>'", "", {}, "Non è possibile eliminare l'operaio <indefinito>"},
        {"Operai", "Nominativo='<indefinito>'", "Nominativo", "Mario Rossi",
         "Non è possibile modificare l'operaio <indefinito>"},
        {"Operai", "Nominativo='<indefinito>'", "Codice", "77",
         "Non è possibile modificare l'operaio <indefinito>"},
        {"Utenti", "Nome='Amministratore'", "", {}, "Non è possibile eliminare l'utente Amministratore"},
        {"Utenti", "Nome='Amministratore'", "Nome", "Capo",
         "Non è possibile modificare l'utente Amministratore"},
        {"Utenti", "Nome='Amministratore'", "LivelloAccesso", 0,
         "Non è possibile modificare l'utente Amministratore"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.table) + " " + c.where + " " + c.field);
        notify.clear();
        const int64_t before = count(c.table);
        auto ds = rows(c.table, c.where);
        ASSERT_FALSE(ds->DataEmpty());
        const QString field = QString::fromUtf8(c.field);
        Variant old;
        if (field.isEmpty()) {
            EXPECT_FALSE(ds->DeleteRow());
        } else {
            old = ds->ColValue(field);
            ds->SetColValue(field, c.value);
            ds->SaveRow();
        }
        EXPECT_EQ(notify.messages, QStringList{QString::fromUtf8(c.refusal)});
        EXPECT_EQ(count(c.table), before);
        auto again = rows(c.table, c.where);
        ASSERT_FALSE(again->DataEmpty()) << "the protected row is gone or renamed";
        if (!field.isEmpty()) {
            EXPECT_EQ(again->ColText(field), old.toText());
        }
    }
}

TEST_F(LookupTables, OtherFieldsOfProtectedRowsChange) {
    auto task = rows("DedirIdovuduvIrezadiv", "Codice=''");
    task->SetColValue("Produzione", false);
    EXPECT_TRUE(task->SaveRow());
    auto type = rows("TipiCommessa", "Tipologia=1");
    type->SetColValue("PrefissoNumero", "A-");
    EXPECT_TRUE(type->SaveRow());
    auto worker = rows("Operai", "Codice=''");
    worker->SetColValue("Indirizzo", "Via Roma 1");
    EXPECT_TRUE(worker->SaveRow());
    EXPECT_TRUE(notify.messages.isEmpty()) << notify.messages.join(" | ").toStdString();
    EXPECT_EQ(storedText("SELECT Produzione FROM DedirIdovuduvIrezadiv WHERE Codice=''"), "0");
    EXPECT_EQ(storedText("SELECT PrefissoNumero FROM TipiCommessa WHERE Tipologia=1"), "A-");
    EXPECT_EQ(storedText("SELECT Indirizzo FROM Operai WHERE Codice=''"), "Via Roma 1");
}

TEST_F(LookupTables, PricesOfProtectedRowsChange) {
    auto service = rows("TipiAssistenza", "Descrizione='<indefinito>'");
    service->SetColValue("PrezzoOrario", 40);
    EXPECT_TRUE(service->SaveRow());
    auto task = rows("DedirIdovuduvIrezadiv", "Codice=''");
    task->SetColValue("CostoOrario", 25);
    EXPECT_TRUE(task->SaveRow());
    EXPECT_TRUE(notify.messages.isEmpty()) << notify.messages.join(" | ").toStdString();
    reopen();
    EXPECT_EQ(rows("TipiAssistenza", "Descrizione='<indefinito>'")->ColNumber("PrezzoOrario"), 40);
    EXPECT_EQ(rows("DedirIdovuduvIrezadiv", "Codice=''")->ColNumber("CostoOrario"), 25);
}

TEST_F(LookupTables, RefusedDeletionKeepsTheReferencesToTheRow) {
    EXPECT_FALSE(rows("TipiCategoria", "Descrizione='<indefinito>'")->DeleteRow());
    EXPECT_FALSE(rows("DedirIdovuduvIrezadiv", "Codice=''")->DeleteRow());
    auto worker = rows("Operai", "Codice=''");
    ASSERT_FALSE(worker->DataEmpty());
    EXPECT_EQ(worker->GetReference("Categoria")->ColText("Descrizione"), "<indefinito>");
    EXPECT_EQ(worker->GetReference("Manzione")->ColText("Descrizione"), "<indefinito>");
}

TEST_F(LookupTables, OrdinaryRowsMayBeRenamedAndDeleted) {
    auto illness = rows("TipiAssenza", "Descrizione='Malattia'");
    illness->SetColValue("Descrizione", "Malattia grave");
    EXPECT_TRUE(illness->SaveRow());
    auto holidays = rows("TipiAssenza", "Codice=3");
    EXPECT_TRUE(holidays->DeleteRow());
    EXPECT_EQ(count("TipiAssenza"), 7);

    auto categories = rows("TipiCategoria");
    ASSERT_TRUE(categories->AddRow({"Descrizione", "Saldatori"}));
    auto welders = rows("TipiCategoria", "Descrizione='Saldatori'");
    EXPECT_TRUE(welders->DeleteRow());
    EXPECT_TRUE(notify.messages.isEmpty()) << notify.messages.join(" | ").toStdString();
}

TEST_F(LookupTables, EveryJobOrderTypeRefusesDeletion) {
    auto types = rows("TipiCommessa");
    ASSERT_TRUE(types->AddRow({"Tipologia", 5, "PrefissoNumero", "5-"}));
    auto added = rows("TipiCommessa", "Tipologia=5");
    EXPECT_FALSE(added->DeleteRow());
    EXPECT_EQ(notify.messages, QStringList{"Non puoi eliminare questo elemento"});
    EXPECT_EQ(count("TipiCommessa"), 6);
}

TEST_F(LookupTables, NewAbsenceTypeTakesTheNextCode) {
    auto absences = rows("TipiAssenza");
    ASSERT_TRUE(absences->NewRow());
    EXPECT_EQ(absences->ColNumber("Codice"), 8);
    absences->SetColValue("Descrizione", "Congedo");
    EXPECT_TRUE(absences->SaveRow());
    EXPECT_EQ(rows("TipiAssenza", "Descrizione='Congedo'")->FormattedColValue("Codice"), "08");
    // A code given with the row is kept; a duplicate is refused by the unique index.
    EXPECT_TRUE(rows("TipiAssenza")->AddRow({"Codice", 20, "Descrizione", "Lutto"}));
    EXPECT_EQ(rows("TipiAssenza", "Descrizione='Lutto'")->ColNumber("Codice"), 20);
    EXPECT_ANY_THROW(rows("TipiAssenza")->AddRow({"Codice", 20, "Descrizione", "Doppione"}));
    EXPECT_EQ(count("TipiAssenza"), 10);
}

TEST_F(LookupTables, NewTaskIsPartOfProduction) {
    auto tasks = rows("DedirIdovuduvIrezadiv");
    ASSERT_TRUE(tasks->AddRow({"Codice", "T1", "Descrizione", "Tornio"}));
    EXPECT_TRUE(rows("DedirIdovuduvIrezadiv", "Codice='T1'")->ColValueBool("Produzione"));
    // An ordinary task may change its code.
    auto lathe = rows("DedirIdovuduvIrezadiv", "Codice='T1'");
    lathe->SetColValue("Codice", "T2");
    EXPECT_TRUE(lathe->SaveRow());
    EXPECT_FALSE(rows("DedirIdovuduvIrezadiv", "Codice='T2'")->DataEmpty());
}

}  // namespace
