// Opening: creation with default rows, reopening, upgrades, failed openings, bad input.
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cstring>

#include "OdbTestUtil.h"
#include "base/DateUtil.h"
#include "odb/ConnectionNotices.h"
#include "odb/DataSet.h"
#include "odb/SelectionSet.h"
#include "support/TestEnvironment.h"

using namespace odbtest;
using odb::DataSet;

namespace {

class OpeningTest : public TempFolderTest {
  protected:
    QString db() const { return path(QStringLiteral("ZeltoLavrix.mdb")); }
    std::shared_ptr<TestDefinition> shop() {
        auto def = std::make_shared<TestDefinition>();
        BuildShopSchema(*def);
        return def;
    }
    QStringList structEvents(const TestDefinition& def) const {
        return def.log.filter(QStringLiteral("OnUpdatedTableStruct"));
    }
    TestNotify notify;
};

// A progress sink that stops after `stopAt` steps.
class StopProgress : public odb::itfProgress {
  public:
    explicit StopProgress(int stopAt) : stopAt_(stopAt) {}
    void OnStart(int32_t, int32_t) override {}
    bool OnProgress(int32_t, int32_t, int32_t count, DataSet*, DataSet*) override { return count < stopAt_; }
    bool OnStopped() override { return false; }
    void OnEnd(int32_t, int32_t) override {}

  private:
    int stopAt_;
};

TEST_F(OpeningTest, CreatesEveryTableWithItsDefaultRowsInRegistrationOrder) {
    auto def = shop();
    auto o = OpenDefinition(db(), def, &notify);
    EXPECT_EQ(o.db->State(), odb::kDatabaseStateOpen);
    EXPECT_EQ(
        Lines(structEvents(*def)),
        Lines(QStringList({"Clienti.OnUpdatedTableStruct(1,0,1)", "Operai.OnUpdatedTableStruct(1,0,1)",
                           "Commesse.OnUpdatedTableStruct(1.2,0,1)", "Dettagli.OnUpdatedTableStruct(1,0,1)",
                           "DettagliSpeciali.OnUpdatedTableStruct(1,0,1)",
                           "Passaggi.OnUpdatedTableStruct(1,0,1)", "Magazzino.OnUpdatedTableStruct(1,0,1)",
                           "Necessita.OnUpdatedTableStruct(1,0,1)", "Gruppi.OnUpdatedTableStruct(1,0,1)"})));
    auto clienti = o.table("Clienti").OpenData();
    ASSERT_EQ(clienti->RowCount(), 1);
    EXPECT_EQ(clienti->ColText("Descrizione"), "<indefinito>");
    EXPECT_EQ(clienti->ColValue("Codice").toText(), "");
    auto operai = o.table("Operai").OpenData();
    ASSERT_EQ(operai->RowCount(), 1);
    EXPECT_EQ(operai->ColText("Codice"), "0");
    // Tables come in registration order, then the library's connections table.
    EXPECT_EQ(o.db->Tables().Item(1).Name(), "Clienti");
    EXPECT_EQ(o.db->Tables().Item(o.db->Tables().Count()).Name(), o.db->ConnectionsTableName());
    EXPECT_TRUE(o.db->Tables().Exists("dettaglispeciali"));
    EXPECT_FALSE(o.db->Tables().Exists("Nessuna"));
}

TEST_F(OpeningTest, ReopeningAtCurrentVersionsAddsNothingAndRunsNoStep) {
    { auto o = OpenDefinition(db(), shop(), &notify); }
    const QString before = RawText(db(), "SELECT group_concat(Name || '=' || Version) FROM _odbTables");
    auto def = shop();
    auto o = OpenDefinition(db(), def, &notify);
    EXPECT_TRUE(structEvents(*def).isEmpty());
    EXPECT_EQ(o.table("Clienti").OpenData()->RowCount(), 1);
    EXPECT_EQ(RawText(db(), "SELECT group_concat(Name || '=' || Version) FROM _odbTables"), before);
}

TEST_F(OpeningTest, FileIsSharedSafely) {
    auto o = OpenDefinition(db(), shop(), &notify);
    EXPECT_EQ(RawText(db(), "PRAGMA journal_mode"), "delete");
    EXPECT_EQ(RawText(db(), "PRAGMA integrity_check"), "ok");
}

TEST_F(OpeningTest, NamesAreStoredInNfcAndIndexNamesCarryTheirTable) {
    auto def = std::make_shared<TestDefinition>();
    for (const char* name : {"OrdiniA", "OrdiniB"}) {
        auto t = def->add(name);
        t->structure = [](odb::FieldDefs& f, odb::IndexDefs& i, odb::ReferenceDefs&) {
            // "Quantità" written with a combining grave accent.
            Long(f, QStringLiteral("Quantita\u0300"));
            Text(f, QStringLiteral("Fornitore"));
            i.AddIndex(QStringLiteral("Fornitore"), true, QStringLiteral("InxOrdini")).AddParentLink();
        };
    }
    auto o = OpenDefinition(db(), def, &notify);
    EXPECT_EQ(RawCount(db(), QString::fromUtf8(
                                 "SELECT count(*) FROM pragma_table_info('OrdiniA') WHERE name='Quantità'")),
              1);
    EXPECT_EQ(RawCount(db(),
                       "SELECT count(*) FROM sqlite_master WHERE type='index' AND name IN "
                       "('OrdiniA_InxOrdini','OrdiniB_InxOrdini')"),
              2);
    auto ds = o.table("OrdiniA").OpenData();
    ASSERT_TRUE(ds->AddRow({QString::fromUtf8("Quantità"), 3, "Fornitore", "X"}));
    EXPECT_EQ(ds->ColNumber(QStringLiteral("Quantita\u0300")), 3);
}

TEST_F(OpeningTest, TablesAreFoundByAnySpellingThroughEveryKindOfName) {
    auto def = shop();
    def->add(QString::fromUtf8("Qualità"))->structure = [](odb::FieldDefs& f, odb::IndexDefs&,
                                                           odb::ReferenceDefs&) { Text(f, "Esito"); };
    auto o = OpenDefinition(db(), def, &notify);
    const odb::Tables& tables = o.db->Tables();
    odb::Table& steps = tables.Item("Passaggi");
    EXPECT_EQ(&tables.Item(QStringLiteral("Passaggi")), &steps);
    EXPECT_EQ(&tables.Item(QStringLiteral("PASSAGGI")), &steps);
    EXPECT_EQ(&tables.Item(Variant(QStringLiteral("passaggi"))), &steps);
    EXPECT_EQ(&tables.Item(QStringLiteral("Qualita\u0300")), &tables.Item(QString::fromUtf8("QUALITÀ")));
    // One buffer holding one name, then another: each time the table of its text.
    char name[16] = "Clienti";
    EXPECT_EQ(tables.Item(name).Name(), "Clienti");
    std::strcpy(name, "Operai");
    EXPECT_EQ(tables.Item(name).Name(), "Operai");
    std::strcpy(name, "Nessuna");
    EXPECT_TRUE(RaisesLibraryError([&] { tables.Item(name); }, odb::odbErrUnknownTable));
    EXPECT_TRUE(
        RaisesLibraryError([&] { tables.Item(QStringLiteral("Clienti2")); }, odb::odbErrUnknownTable));
    EXPECT_EQ(tables.find(QStringLiteral("Nessuna")), nullptr);
    EXPECT_EQ(tables.Item(QStringLiteral("clienti")).Name(), "Clienti");
}

TEST_F(OpeningTest, UpgradeAddsColumnAndIndexRunsItsStepOnceAndKeepsTheData) {
    int stepRuns = 0;
    auto build = [&](double version) {
        auto def = std::make_shared<TestDefinition>();
        auto t = def->add(QStringLiteral("Articoli"));
        t->version = version;
        t->structure = [version](odb::FieldDefs& f, odb::IndexDefs& i, odb::ReferenceDefs&) {
            Text(f, QStringLiteral("Codice"));
            if (version >= 1.1) {
                Long(f, QStringLiteral("Scorta"));
                i.AddIndex(QStringLiteral("Scorta"), false);
            }
        };
        t->onStruct = [&stepRuns](DataSet& ds, double, double old, bool created) {
            if (created) ds.AddRow({"Codice", "A1"});
            if (!created && old < 1.1) {
                ++stepRuns;
                ds.GetConnection()->AdoConnection().Execute(QStringLiteral("UPDATE Articoli SET Scorta=5"),
                                                            nullptr, -1);
            }
        };
        return def;
    };
    { auto o = OpenDefinition(db(), build(1.0), &notify); }
    auto def = build(1.1);
    {
        auto o = OpenDefinition(db(), def, &notify);
        EXPECT_EQ(Lines(structEvents(*def)), Lines(QStringList({"Articoli.OnUpdatedTableStruct(1.1,1,0)"})));
        auto ds = o.table("Articoli").OpenData();
        ASSERT_EQ(ds->RowCount(), 1);
        EXPECT_EQ(ds->ColText("Codice"), "A1");
        EXPECT_EQ(ds->ColNumber("Scorta"), 5);
    }
    EXPECT_EQ(stepRuns, 1);
    EXPECT_EQ(RawCount(db(), "SELECT count(*) FROM sqlite_master WHERE name='Articoli_Scorta'"), 1);
    { auto o = OpenDefinition(db(), build(1.1), &notify); }
    EXPECT_EQ(stepRuns, 1);
    EXPECT_EQ(RawText(db(), "SELECT Version FROM _odbTables WHERE Name='Articoli'"), "1.1");
}

TEST_F(OpeningTest, StoredVersionAboveTheDeclaredOneIsLeftAlone) {
    auto make = [](double v) {
        auto def = std::make_shared<TestDefinition>();
        auto t = def->add(QStringLiteral("Articoli"));
        t->version = v;
        t->structure = [v](odb::FieldDefs& f, odb::IndexDefs&, odb::ReferenceDefs&) {
            Text(f, QStringLiteral("Codice"));
            if (v > 1.2) Text(f, QStringLiteral("Nuovo"));
        };
        return def;
    };
    { auto o = OpenDefinition(db(), make(1.5), &notify); }
    auto def = make(1.2);
    auto o = OpenDefinition(db(), def, &notify);
    EXPECT_TRUE(structEvents(*def).isEmpty());
    EXPECT_EQ(RawText(db(), "SELECT Version FROM _odbTables WHERE Name='Articoli'"), "1.5");
    EXPECT_EQ(RawCount(db(), "SELECT count(*) FROM pragma_table_info('Articoli') WHERE name='Nuovo'"), 1);
}

TEST_F(OpeningTest, AFailureInTheEventsLeavesTheFileAsItWasAndTheNextOpeningStartsAgain) {
    auto def = shop();
    def->table("Passaggi")->onStruct = [](DataSet&, double, double, bool) {
        throw AppError(kAppErrorNumber, "test", "guasto");
    };
    auto o = std::make_shared<odb::Connection>();
    o->CreateDatabaseFile(db());
    o->OpenDatabaseFile(db());
    auto database = odb::DbmsGlobal::CreateDatabase(def, "ZeltoLavrix", &notify);
    try {
        database->Open(o, -1, 0, 0, 0, nullptr);
        FAIL() << "the opening should fail";
    } catch (const AppError& e) {
        EXPECT_EQ(e.description(), "guasto");
    }
    EXPECT_NE(database->State(), odb::kDatabaseStateOpen);
    o->CloseConnection();
    EXPECT_EQ(RawCount(db(), "SELECT count(*) FROM sqlite_master"), 0);

    auto again = shop();
    auto ok = OpenDefinition(db(), again, &notify);
    EXPECT_EQ(structEvents(*again).size(), 9);
    EXPECT_TRUE(structEvents(*again).contains("Clienti.OnUpdatedTableStruct(1,0,1)"));
    EXPECT_EQ(ok.table("Clienti").OpenData()->RowCount(), 1);
    EXPECT_EQ(ok.table("Operai").OpenData()->RowCount(), 1);
}

TEST_F(OpeningTest, AStopFromTheProgressSinkLeavesTheFileAsItWas) {
    StopProgress stop(3);
    EXPECT_TRUE(
        RaisesLibraryError([&] { OpenDefinition(db(), shop(), &notify, &stop); }, odb::odbErrOpenStopped));
    EXPECT_EQ(RawCount(db(), "SELECT count(*) FROM sqlite_master"), 0);
}

TEST_F(OpeningTest, ParametersRoundTrip) {
    auto o = OpenDefinition(db(), shop(), &notify);
    EXPECT_EQ(o.db->GetSetting(o.conn, "OraInizio", "08:00"), "08:00");
    o.db->SaveSetting(o.conn, "OraInizio", "07:30");
    EXPECT_EQ(o.db->GetSetting(o.conn, "orainizio", "08:00"), "07:30");
    const QString longText = QString(5000, QLatin1Char('x')) + QString::fromUtf8("è'\"");
    o.db->SaveSetting(o.conn, "EMailText", "", Variant(longText));
    EXPECT_EQ(o.db->GetSettingVariant(o.conn, "EMailText", Variant("")).toText(), longText);
    EXPECT_EQ(o.db->GetSettingVariant(o.conn, "Manca", Variant(7)).toLong(), 7);
    // Kept in the file.
    o.conn->CloseConnection();
    auto again = OpenDefinition(db(), shop(), &notify);
    EXPECT_EQ(again.db->GetSetting(again.conn, "OraInizio", ""), "07:30");
}

TEST_F(OpeningTest, LiteralsQuoteSafely) {
    auto o = OpenDefinition(db(), shop(), &notify);
    EXPECT_EQ(o.db->TextLiteral("D'Angelo"), "'D''Angelo'");
    EXPECT_EQ(o.db->TextLiteral("' OR 1=1 --"), "''' OR 1=1 --'");
    const Variant when = Variant::fromDate(MakeOleDate(2024, 3, 7, 14, 5, 9));
    EXPECT_EQ(o.db->DateLiteral(when, true, true), "#03/07/2024 14:05:09#");
    EXPECT_EQ(o.db->DateLiteral(when, false, true), "#03/07/2024#");
    EXPECT_EQ(o.db->DateLiteral(when, false, false), "03/07/2024");
    EXPECT_EQ(o.db->FormatValue(Variant::fromDate(MakeOleTime(7, 45, 0)), odb::ftTime), "07:45");
    EXPECT_EQ(o.db->ConvertCurrency(Variant(Currency::fromDouble(12.34)), 0, 1.0f).raw(), 123400);
    // A quote inside a text literal selects the row holding it, nothing else.
    auto clienti = o.table("Clienti").OpenData();
    ASSERT_TRUE(clienti->AddRow({"Codice", "C1", "Descrizione", "D'Angelo"}));
    auto found = o.table("Clienti").OpenData("Descrizione=" + o.db->TextLiteral("D'Angelo"));
    ASSERT_EQ(found->RowCount(), 1);
    EXPECT_EQ(found->ColText("Codice"), "C1");
    EXPECT_EQ(o.table("Clienti").OpenData("Descrizione=" + o.db->TextLiteral("' OR 1=1 --"))->RowCount(), 0);
}

TEST_F(OpeningTest, BadFilesGiveClearErrorsAndStayUntouched) {
    odb::Connection c;
    EXPECT_TRUE(RaisesLibraryError([&] { c.OpenDatabaseFile(path("manca.mdb")); }, odb::odbErrFileMissing));
    const QString junk = path("junk.mdb");
    {
        QFile f(junk);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(4096, 'z'));
    }
    EXPECT_TRUE(RaisesLibraryError([&] { c.OpenDatabaseFile(junk); }, odb::odbErrNotDatabase));
    QFile f(junk);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray(4096, 'z'));
    EXPECT_FALSE(c.IsOpen());
    EXPECT_FALSE(odb::DbmsGlobal::ErrorText(odb::odbErrGeneral).isEmpty());
}

QByteArray Bytes(const QString& file) {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void RawSql(const QString& file, const char* sql) {
    sqlite3* db = nullptr;
    sqlite3_open(file.toUtf8().constData(), &db);
    ASSERT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sql;
    sqlite3_close(db);
}

TEST_F(OpeningTest, ADatabaseAnotherProgramMadeIsRefusedAndLeftByteForByte) {
    struct Foreign {
        const char* what;
        const char* sql;
    };
    const Foreign cases[] = {
        {"tables of its own", "CREATE TABLE Fatture (Numero INTEGER); INSERT INTO Fatture VALUES (1)"},
        {"a table named like ours", "CREATE TABLE Clienti (Nome TEXT); INSERT INTO Clienti VALUES ('Rossi')"},
        {"another program's mark and nothing else", "PRAGMA application_id=1234"},
        {"a write-ahead log", "PRAGMA journal_mode=WAL; CREATE TABLE Magazzino (Codice TEXT)"},
    };
    for (const Foreign& c : cases) {
        SCOPED_TRACE(c.what);
        const QString file = path(QStringLiteral("altro%1.mdb").arg(&c - cases));
        RawSql(file, c.sql);
        const QByteArray before = Bytes(file);
        for (int way = 0; way < 2; ++way) {
            try {
                if (way == 0) {
                    OpenDefinition(file, shop(), &notify);
                } else {
                    odb::Connection conn;
                    conn.CreateDatabaseFile(file);
                }
                ADD_FAILURE() << "opened, way " << way;
            } catch (const AppError& e) {
                EXPECT_TRUE(odb::LibraryError::Is(e, odb::odbErrForeignFile))
                    << e.description().toStdString();
                EXPECT_TRUE(e.description().startsWith(odb::DbmsGlobal::ErrorText(odb::odbErrForeignFile)));
            }
        }
        EXPECT_TRUE(Bytes(file) == before) << "the file was changed";
    }
    // An empty file becomes a database of ours; one of ours made before the mark still opens.
    const QString empty = path("vuoto.mdb");
    QFile(empty).open(QIODevice::WriteOnly);
    {
        auto o = OpenDefinition(empty, shop(), &notify);
        EXPECT_EQ(o.table("Clienti").OpenData()->RowCount(), 1);
    }
    EXPECT_EQ(RawCount(empty, "PRAGMA application_id"), odb::Connection::kApplicationId);
    { auto o = OpenDefinition(db(), shop(), &notify); }
    EXPECT_EQ(RawCount(db(), "PRAGMA application_id"), odb::Connection::kApplicationId);
    RawSql(db(), "PRAGMA application_id=0");
    auto old = OpenDefinition(db(), shop(), &notify);
    EXPECT_EQ(old.table("Operai").OpenData()->RowCount(), 1);
}

// Runs `probe` in a child process as a user who may not write what the test's user can (root
// writes anywhere), and hands back the text it returns or the error it raises.
QString AsOrdinaryUser(const std::function<QString()>& probe) {
    int out[2];
    if (pipe(out) != 0) return "pipe";
    const pid_t pid = fork();
    if (pid == 0) {
        close(out[0]);
        QString text;
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(2);
        try {
            text = probe();
        } catch (const AppError& e) {
            text = QStringLiteral("errore %1: %2").arg(e.number() - vbObjectError).arg(e.description());
        } catch (...) {
            text = "eccezione";
        }
        const QByteArray bytes = text.toUtf8();
        if (write(out[1], bytes.constData(), static_cast<size_t>(bytes.size())) < 0) _exit(3);
        _exit(0);
    }
    close(out[1]);
    QByteArray got;
    char buf[4096];
    for (ssize_t n; (n = read(out[0], buf, sizeof buf)) > 0;)
        got.append(buf, static_cast<int>(n));
    close(out[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    return QString::fromUtf8(got);
}

TEST_F(OpeningTest, AReadOnlyDatabaseSaysSoInItalianAtOpeningAndAtEveryWrite) {
    // The work folder cannot be written (the journal lives beside the file), or the file itself.
    const QString folder = path("sola-lettura");
    const QString shared = path("condivisa");
    QDir().mkpath(folder);
    QDir().mkpath(shared);
    { auto o = OpenDefinition(folder + "/ZeltoLavrix.mdb", shop(), &notify); }
    { auto o = OpenDefinition(shared + "/ZeltoLavrix.mdb", shop(), &notify); }
    QFile(shared + "/Nuovo.mdb").open(QIODevice::WriteOnly);
    ASSERT_EQ(chmod(path().toUtf8().constData(), 0755), 0);
    ASSERT_EQ(chmod(folder.toUtf8().constData(), 0555), 0);
    ASSERT_EQ(chmod(shared.toUtf8().constData(), 0777), 0);
    ASSERT_EQ(chmod((shared + "/ZeltoLavrix.mdb").toUtf8().constData(), 0444), 0);
    ASSERT_EQ(chmod((shared + "/Nuovo.mdb").toUtf8().constData(), 0444), 0);
    const QString readOnly = odb::DbmsGlobal::ErrorText(odb::odbErrReadOnlyDatabase);
    for (const QString& file : {folder + "/ZeltoLavrix.mdb", shared + "/ZeltoLavrix.mdb"}) {
        SCOPED_TRACE(file.toStdString());
        const QString seen = AsOrdinaryUser([&] {
            TestNotify told;
            auto o = OpenDefinition(file, shop(), &told);
            QString text = told.messages.join('|') +
                           QStringLiteral(" / righe %1 / ").arg(o.table("Clienti").OpenData()->RowCount());
            try {
                o.table("Clienti").OpenData()->AddRow({"Codice", "C1", "Descrizione", "Bianchi"});
                text += "scritto";
            } catch (const AppError& e) {
                text += e.description();
            }
            return text;
        });
        EXPECT_EQ(seen.toStdString(), (readOnly + " / righe 1 / " + readOnly).toStdString());
    }
    // A file still to be made cannot be: the opening says why.
    EXPECT_EQ(AsOrdinaryUser([&] {
                  OpenDefinition(shared + "/Nuovo.mdb", shop(), &notify);
                  return QStringLiteral("aperto");
              }).toStdString(),
              QStringLiteral("errore %1: %2").arg(odb::odbErrReadOnlyDatabase).arg(readOnly).toStdString());
    chmod(folder.toUtf8().constData(), 0755);
}

TEST_F(OpeningTest, BadDefinitionsGiveClearErrorsAndLeaveTheFileAsItWas) {
    struct Case {
        const char* what;
        std::function<void(TestDefinition&)> spoil;
        int32_t code;
    };
    const std::vector<Case> cases = {
        {"unknown base", [](TestDefinition& d) { d.table("DettagliSpeciali")->base = "Nessuna"; },
         odb::odbErrUnknownTable},
        {"unknown target",
         [](TestDefinition& d) {
             d.add("Extra")->structure = [](odb::FieldDefs&, odb::IndexDefs&, odb::ReferenceDefs& r) {
                 Lookup(r, "X", "Nessuna", "", "Nome");
             };
         },
         odb::odbErrUnknownTable},
        {"duplicate table", [](TestDefinition& d) { d.add("Clienti"); }, odb::odbErrDuplicateTable},
        {"field repeated along the chain",
         [](TestDefinition& d) {
             d.table("DettagliSpeciali")->structure = [](odb::FieldDefs& f, odb::IndexDefs&,
                                                         odb::ReferenceDefs&) { Flag(f, "Chiuso"); };
         },
         odb::odbErrDuplicateField},
        {"duplicate field",
         [](TestDefinition& d) {
             d.add("Doppia")->structure = [](odb::FieldDefs& f, odb::IndexDefs&, odb::ReferenceDefs&) {
                 Text(f, "Nome");
                 Text(f, "nome");
             };
         },
         odb::odbErrDuplicateField},
    };
    { auto o = OpenDefinition(db(), shop(), &notify); }
    const QString before = RawText(db(), "SELECT group_concat(name) FROM sqlite_master");
    for (const auto& c : cases) {
        auto def = shop();
        c.spoil(*def);
        EXPECT_TRUE(RaisesLibraryError([&] { OpenDefinition(db(), def, &notify); }, c.code)) << c.what;
        EXPECT_EQ(RawText(db(), "SELECT group_concat(name) FROM sqlite_master"), before) << c.what;
    }
}

TEST_F(OpeningTest, FormatsValueListsIndexesAndReferencesOfADefinitionTakeEffect) {
    auto def = std::make_shared<TestDefinition>();
    auto t = def->add("Stampe");
    t->caption = "Stampe di Etichette";
    t->structure = [](odb::FieldDefs& f, odb::IndexDefs& i, odb::ReferenceDefs& r) {
        f.AddField("Stato", odb::ftLong, 2, 0, "00", 15, 1, -100, false, "Stato della stampa",
                   "1|NON INVIARE|2|DA INVIARE", 0);
        f.AddField("Nome", odb::ftText, 32, 0, "", -100, -100, 1, true, "", "", 0);
        r.AddReference("Operaio", "Stampe", false, false, "Nome", "Nome,Stato", 15, -100, 1, "Chi", -1, -1,
                       0);
        i.AddIndex("Nome", true, "Report").AddColumn("Operaio").AddParentLink();
        i.SetBrowseColumns("Nome,Stato");
    };
    auto o = OpenDefinition(db(), def, &notify);
    odb::Table& table = o.table("Stampe");
    // The index over a field, a reference's link and the (empty) parent link exists, named after
    // its table; the value list shows as its label.
    EXPECT_EQ(RawCount(db(), "SELECT count(*) FROM pragma_index_info('Stampe_Report')"), 4);
    auto ds = table.OpenData();
    ASSERT_TRUE(ds->AddRow({"Nome", "A", "Stato", 2}));
    EXPECT_EQ(ds->FormattedColValue("Stato"), "02");
    EXPECT_TRUE(ds->AddRow({"Nome", "B", "Operaio", "A"}));
    EXPECT_EQ(ds->GetReference("Operaio")->ColText("Nome"), "A");
}

TEST_F(OpeningTest, TheFileIsCheckedAndCompacted) {
    auto o = OpenDefinition(db(), shop(), &notify);
    o.conn->Execute("DELETE FROM Clienti");
    EXPECT_EQ(o.conn->Execute("VACUUM"), 0);
    EXPECT_EQ(RawText(db(), "PRAGMA integrity_check"), "ok");
    o.conn->BeginTrans();
    EXPECT_TRUE(RaisesLibraryError([&] { o.conn->Execute("VACUUM"); }, odb::odbErrTransaction));
    o.conn->RollbackTrans();
    EXPECT_EQ(RawCount(db(), "SELECT count(*) FROM Clienti"), 0);
}

TEST_F(OpeningTest, LoginRecordsUserAndComputer) {
    auto o = OpenDefinition(db(), shop(), &notify);
    o.conn->Login("Mario", *o.db);
    auto ds = o.table(o.db->ConnectionsTableName()).OpenData();
    ASSERT_EQ(ds->RowCount(), 1);
    EXPECT_EQ(ds->ColText("Utente"), "Mario");
    EXPECT_EQ(ds->ColText("Computer"), odb::DbmsGlobal::ComputerName());
}

TEST_F(OpeningTest, HoldersHearTheCloseAndWhatTheyKeepAfterwardsFailsCleanly) {
    auto o = OpenDefinition(db(), shop(), &notify);
    auto clienti = o.table("Clienti").OpenData();
    auto selection = o.table("Clienti").NewSelectionSet();
    selection->AddCondition("Codice", "A");
    selection->Save("Scelta");
    // Told once, while the file is still open under the data set.
    std::vector<const odb::Connection*> closing;
    int rowsWhenTold = -1;
    QObject listener;
    QObject::connect(&odb::ConnectionNotices::instance(), &odb::ConnectionNotices::closing, &listener,
                     [&](const odb::Connection* c) {
                         closing.push_back(c);
                         rowsWhenTold = clienti->RowCount();
                     });
    o.conn->CloseConnection();
    o.conn->CloseConnection();
    ASSERT_EQ(closing.size(), 1u);
    EXPECT_EQ(closing[0], o.conn.get());
    EXPECT_EQ(rowsWhenTold, 1);

    // The program lets the database go; what is still held keeps its objects and says "not open".
    std::weak_ptr<odb::Database> database = o.db;
    o.db.reset();
    o.conn.reset();
    EXPECT_FALSE(database.expired());
    EXPECT_TRUE(RaisesLibraryError([&] { clienti->Requery(); }, odb::odbErrNotOpen));
    EXPECT_TRUE(RaisesLibraryError([&] { clienti->AddRow({"Codice", "B"}); }, odb::odbErrNotOpen));
    EXPECT_TRUE(RaisesLibraryError([&] { selection->Load("Scelta"); }, odb::odbErrNotOpen));
    clienti.reset();
    selection.reset();
    EXPECT_TRUE(database.expired());
    EXPECT_EQ(RawCount(db(), "SELECT count(*) FROM Clienti"), 1);
}

}  // namespace
