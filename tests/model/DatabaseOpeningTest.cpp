// Opening the program's database: the tables in order, derived tables, the default rows of a new
// file, a reopening that adds nothing, and the file itself.
#include <gtest/gtest.h>

#include <QSet>

#include <sqlite3.h>

#include "ModelDatabaseTest.h"
#include "base/AppError.h"
#include "model/GetDBTable.h"
#include "odb/DataSet.h"
#include "odb/Database.h"
#include "odb/Table.h"
#include "odb/Tables.h"

namespace {

const char* const kTableOrder[] = {
    "TabStampaEtichette",
    "TabProspettiStampa",
    "TipiAssenza",
    "TipiCategoria",
    "TipiCommessa",
    "TipiAssistenza",
    "DedirIdovuduvIrezadiv",
    "Clienti",
    "Fornitori",
    "Operai",
    "Utenti",
    "ParticolariAttrezzature",
    "PassaggiDettaglioCommesse",
    "DettagliCommesse",
    "DettagliAttrezzature",
    "MagazzinoPartCommerciale",
    "MagazzinoPartProduzione",
    "NecessitaPartCommerciale",
    "NecessitaPartProduzione",
    "MagazzinoMacchinari",
    "DettagliVenditaMacchinari",
    "CommesseCliente",
    "DettagliProduzione",
    "CommesseProduzione",
    "CommesseAssistenza",
    "GruppiPassaggi",
    "PeriodiNonLavorativi",
    "CommesseContoVisione",
    "OrdinePartCommerciale",
    "OrdiniCommerciale",
    "OrdiniFornitore",
    "OrdiniInterni",
    "CaricoPartCommerciale",
    "CarichiCommerciale",
    "CarichiCommercialeOrdine",
    "Ingressi",
    "ImpostazioniPromemoria",
    "Promemoria",
};

// Every row of a table as "field=value" texts of the given fields, in the given order.
QStringList Dump(odb::DataSet& ds, const QStringList& fields) {
    QStringList out;
    for (ds.RowFirst(); !ds.RowInvalid(); ds.RowNext()) {
        QStringList row;
        for (const QString& f : fields)
            row << (ds.ColIsNull(f) ? f + "=Null" : f + "=" + ds.ColText(f));
        out << row.join(' ');
    }
    return out;
}

class DatabaseOpening : public ModelDatabaseTest {};

TEST_F(DatabaseOpening, NewFileHasTheTablesInOrder) {
    open();
    auto& tables = database->Tables();
    ASSERT_GE(tables.Count(), 38);
    for (int i = 0; i < 38; ++i) {
        EXPECT_EQ(tables.Item(i + 1).Name(), QString::fromUtf8(kTableOrder[i]));
        EXPECT_EQ(&GetDBTable(i + 1), &tables.Item(i + 1));
        EXPECT_EQ(&GetDBTable(QString::fromUtf8(kTableOrder[i])), &tables.Item(i + 1));
    }
    EXPECT_TRUE(notify.questions.isEmpty()) << notify.questions.join(" | ").toStdString();
    EXPECT_TRUE(notify.messages.isEmpty()) << notify.messages.join(" | ").toStdString();
}

TEST_F(DatabaseOpening, GetDBTableErrorsReachTheCaller) {
    EXPECT_THROW(GetDBTable("TipiCommessa"), AppError);  // no open database
    open();
    EXPECT_THROW(GetDBTable("NessunaTabella"), AppError);
    EXPECT_THROW(GetDBTable(0), AppError);
    EXPECT_EQ(GetDBTable("tipicommessa").Name(), "TipiCommessa");
}

TEST_F(DatabaseOpening, DerivedTablesSeeTheFieldsOfTheirBase) {
    open();
    EXPECT_TRUE(GetDBTable("CommesseAssistenza").HasField("NumeroCommessa"));
    EXPECT_TRUE(GetDBTable("NecessitaPartCommerciale").HasField("DisponibilitàFinale"));
    EXPECT_FALSE(GetDBTable("MagazzinoPartCommerciale").HasField("NumeroCommessa"));
}

TEST_F(DatabaseOpening, NewFileHasTheDefaultRows) {
    open();
    EXPECT_EQ(Dump(*rows("TipiCommessa", {}, "Tipologia"), {"Tipologia", "PrefissoNumero"}),
              (QStringList{"Tipologia=1 PrefissoNumero=1-", "Tipologia=2 PrefissoNumero=2-",
                           "Tipologia=3 PrefissoNumero=3-", "Tipologia=4 PrefissoNumero=4-",
                           "Tipologia=9 PrefissoNumero=OP"}));
    EXPECT_EQ(Dump(*rows("TipiAssenza", {}, "Codice"), {"Codice", "Descrizione"}),
              (QStringList{"Codice=0 Descrizione=Nessuna", "Codice=1 Descrizione=Malattia",
                           "Codice=2 Descrizione=Infortunio", "Codice=3 Descrizione=Ferie",
                           "Codice=4 Descrizione=Permesso", "Codice=5 Descrizione=Ingiustificato",
                           "Codice=6 Descrizione=Sciopero", "Codice=7 Descrizione=Trasferta"}));
    auto absence = rows("TipiAssenza", "Descrizione='Trasferta'");
    EXPECT_EQ(absence->FormattedColValue("Codice"), "07");
    EXPECT_EQ(Dump(*rows("TipiAssistenza"), {"Descrizione", "PrezzoOrario"}),
              QStringList{"Descrizione=<indefinito> PrezzoOrario=0"});
    EXPECT_EQ(Dump(*rows("TipiCategoria"), {"Descrizione"}), QStringList{"Descrizione=<indefinito>"});
    EXPECT_EQ(Dump(*rows("DedirIdovuduvIrezadiv"), {"Codice", "Descrizione", "CostoOrario"}),
              QStringList{"Codice= Descrizione=<indefinito> CostoOrario=0"});
    EXPECT_EQ(
        Dump(*rows("Clienti"),
             {"Descrizione", "PartitaIva", "Indirizzo", "Citta", "Provincia", "CAP", "Telefono", "Fax"}),
        QStringList{
            "Descrizione=Cliente generico PartitaIva= Indirizzo= Citta= Provincia= CAP= Telefono= Fax="});
    auto worker = rows("Operai");
    EXPECT_EQ(Dump(*worker, {"Codice", "Nominativo"}), QStringList{"Codice= Nominativo=<indefinito>"});
    worker->RowFirst();
    EXPECT_EQ(Dump(*worker->GetReference("Categoria"), {"Descrizione"}),
              QStringList{"Descrizione=<indefinito>"});
    EXPECT_EQ(Dump(*worker->GetReference("Manzione"), {"Codice", "Descrizione"}),
              QStringList{"Codice= Descrizione=<indefinito>"});
    EXPECT_EQ(Dump(*rows("Utenti", {}, "Nome"), {"Nome", "LivelloAccesso"}),
              (QStringList{"Nome=Amministratore LivelloAccesso=1", "Nome=Operatore LivelloAccesso=0"}));
    for (int i = 0; i < 38; ++i) {
        const QString name = QString::fromUtf8(kTableOrder[i]);
        static const QSet<QString> withRows = {
            "TipiCommessa",          "TipiAssenza", "TipiAssistenza", "TipiCategoria",
            "DedirIdovuduvIrezadiv", "Clienti",     "Operai",         "Utenti"};
        if (!withRows.contains(name)) {
            EXPECT_EQ(count(name), 0) << name.toStdString();
        }
    }
    EXPECT_TRUE(notify.questions.isEmpty()) << notify.questions.join(" | ").toStdString();
    EXPECT_TRUE(notify.messages.isEmpty()) << notify.messages.join(" | ").toStdString();
}

TEST_F(DatabaseOpening, ReopeningAddsNothing) {
    open();
    std::map<QString, int64_t> before;
    for (const char* name : kTableOrder)
        before[name] = count(name);
    reopen();
    reopen();
    for (const char* name : kTableOrder)
        EXPECT_EQ(count(name), before[name]) << name;
    EXPECT_TRUE(notify.questions.isEmpty());
    EXPECT_TRUE(notify.messages.isEmpty());
}

TEST_F(DatabaseOpening, TheFileIsAPlainSqliteDatabase) {
    open();
    close();
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open_v2(databasePath().toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr),
              SQLITE_OK);
    QSet<QString> stored;
    sqlite3_stmt* st = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db, "SELECT name FROM sqlite_master WHERE type='table'", -1, &st, nullptr),
              SQLITE_OK);
    while (sqlite3_step(st) == SQLITE_ROW)
        stored.insert(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0))));
    sqlite3_finalize(st);
    for (const char* name : kTableOrder)
        EXPECT_TRUE(stored.contains(QString::fromUtf8(name))) << name;
    ASSERT_EQ(sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &st, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);
    EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)), "ok");
    sqlite3_finalize(st);
    sqlite3_close(db);
}

}  // namespace
