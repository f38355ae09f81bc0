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

// What the protected rows leave free, and ordinary rows, change and go without a word.
TEST_F(LookupTables, OtherChangesAreStored) {
    struct Case {
        const char* table;
        const char* where;
        const char* field;  // empty: a deletion
        Variant value;
    };
    const Case cases[] = {
        {"DedirIdovuduvIrezadiv", "Codice=''", "Produzione", false},
        {"DedirIdovuduvIrezadiv", "Codice=''", "CostoOrario", 25},
        {"TipiCommessa", "Tipologia=1", "PrefissoNumero", "A-"},
        {"Operai", "Codice=''", "Indirizzo", "Via Roma 1"},
        {"TipiAssistenza", "Descrizione='<indefinito>'", "PrezzoOrario", 40},
        {"TipiAssenza", "Descrizione='Malattia'", "Descrizione", "Malattia grave"},
        {"TipiAssenza", "Codice=3", "", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.table) + " " + c.where + " " + c.field);
        auto ds = rows(c.table, c.where);
        ASSERT_FALSE(ds->DataEmpty());
        const QString field = QString::fromUtf8(c.field);
        if (field.isEmpty()) {
            const int64_t before = count(c.table);
            EXPECT_TRUE(ds->DeleteRow());
            EXPECT_EQ(count(c.table), before - 1);
        } else {
            const Variant key = ds->Bookmark();
            EXPECT_TRUE(ds->SetColValue(field, c.value) && ds->SaveRow());
            reopen();
            auto again = rows(c.table, "OID=" + key.toText());
            if (c.value.isString()) {
                EXPECT_EQ(again->ColText(field), c.value.toText());
            } else {
                EXPECT_EQ(again->ColNumber(field), c.value.toDouble());
            }
        }
        EXPECT_TRUE(notify.messages.isEmpty()) << notify.messages.join(" | ").toStdString();
    }
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
