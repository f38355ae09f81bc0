// The archive import: its questions and messages, the rows shown before importing, references
// carried by key into rows with other identities, rows already present left out, and a failing
// copy that leaves the database as it was and the archive closed.
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <unistd.h>

#include <gtest/gtest.h>

#include "DatabaseFileUtil.h"
#include "StartupFixture.h"
#include "model/DB.h"
#include "odb/Connection.h"
#include "odb/DataSet.h"
#include "odb/Database.h"
#include "odb/DbmsGlobal.h"
#include "odb/Table.h"
#include "odb/Tables.h"
#include "odb/ui/DataSetRowsModel.h"
#include "odb/ui/ModalDialog.h"
#include "odb/ui/RowWindow.h"
#include "odb/ui/UiTestDatabase.h"
#include "startup/ImportArchiveData.h"
#include "startup/SharedState.h"
#include "startup/frmMessage.h"
#include "support/RecordingPrompt.h"

namespace {

using namespace MsgBoxStyle;

const QString kView = "Vuoi visualizzare i dati che verranno importati ?";
const QString kConfirm = "Confermi l'importazione ?";
const QString kFailedShort = "Impossibile importare i dati ...\r\rVisualizzare dettagli ?";

// A database file of the program's own definition.
struct ProgramDatabase {
    std::shared_ptr<odb::Connection> connection;
    std::shared_ptr<odb::Database> database;
    ProgramDatabase(const QString& file, odb::itfNotifyEvent* notify) {
        connection = std::make_shared<odb::Connection>();
        if (!QFile::exists(file)) connection->CreateDatabaseFile(file);
        connection->OpenDatabaseFile(file);
        database = odb::DbmsGlobal::CreateDatabase(std::make_shared<DB>(), kAppExeName, notify);
        database->Open(connection);
    }
    std::shared_ptr<odb::DataSet> rows(const QString& table, const QString& where = {}) {
        return database->Tables().Item(table).OpenData(where);
    }
    void add(const QString& table, const VariantList& pairs) {
        ASSERT_TRUE(rows(table, "OID=0")->AddRow(pairs));
    }
};

// Answers every question with OK, for building archives.
class AnswerOk : public odb::itfNotifyEvent {
  public:
    void OnEvent(int32_t, void*, const QString&) override {}
    void OnInternalMessage(void*, const QString&) override {}
    void OnQueryMessage(void*, int32_t, const QString&, bool& cancel) override { cancel = false; }
    void OnReportRequest(odb::DataSet&, int32_t, const QString&, const QString&) override {}
};

// File descriptors of this process open on `file`.
int openDescriptors(const QString& file) {
    int n = 0;
    const QString canonical = QFileInfo(file).canonicalFilePath();
    for (const QFileInfo& fd :
         QDir("/proc/self/fd").entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot))
        if (fd.symLinkTarget() == canonical) ++n;
    return n;
}

class ArchiveImport : public StartupTest {
  protected:
    void SetUp() override {
        StartupTest::SetUp();
        open = std::make_unique<ProgramDatabase>(databasePath(), &main);
        g_objConnection = open->connection;
        g_objDatabase = open->database;
        // Tasks and categories whose row identities differ from the archive's.
        open->add("DedirIdovuduvIrezadiv", {"Codice", "T2", "Descrizione", "Fresatura"});
        open->add("DedirIdovuduvIrezadiv", {"Codice", "T1", "Descrizione", "Tornitura"});
        open->add("TipiCategoria", {"Descrizione", "Esterni"});
        open->add("TipiCategoria", {"Descrizione", "Interni"});
        {
            ProgramDatabase a(archivePath(), &answerOk);
            a.add("DedirIdovuduvIrezadiv", {"Codice", "T1", "Descrizione", "Tornitura"});
            a.add("DedirIdovuduvIrezadiv", {"Codice", "T2", "Descrizione", "Fresatura"});
            a.add("DedirIdovuduvIrezadiv", {"Codice", "T9", "Descrizione", "Solo in archivio"});
            a.add("TipiCategoria", {"Descrizione", "Interni"});
            a.add("TipiCategoria", {"Descrizione", "Esterni"});
            a.add("Operai",
                  {"Codice", "11", "Nominativo", "Mario Rossi", "Manzione", "T1", "Categoria", "Interni"});
            a.add("Operai",
                  {"Codice", "12", "Nominativo", "Luca Bianchi", "Manzione", "T2", "Categoria", "Esterni"});
            a.connection->CloseConnection();
        }
        previous_ = odb::SetModalRunner([this](QDialog& d) {
            if (auto* w = qobject_cast<odb::RowWindow*>(&d)) {
                ++rowWindows;
                shownRows = w->model()->rowCount();
            }
            return int(QDialog::Rejected);
        });
    }
    void TearDown() override {
        odb::SetModalRunner(std::move(previous_));
        StartupTest::TearDown();
    }
    QString archivePath() const { return path("Archivio2023.odb"); }
    // The workers of the open database: code and the codes of their task and category, by code.
    QStringList workers() {
        QStringList out;
        auto ds = open->database->Tables().Item("Operai").OpenData("Codice <> ''", "Codice");
        for (bool ok = ds->RowFirst(); ok && !ds->RowInvalid(); ok = ds->RowNext())
            out << ds->ColText("Codice") + ":" + ds->GetReference("Manzione")->ColText("Codice") + ":" +
                       ds->GetReference("Categoria")->ColText("Descrizione");
        return out;
    }
    bool importWorkers() { return ImportArchiveData(archivePath(), open->rows("Operai"), &main.widget); }

    AnswerOk answerOk;
    std::unique_ptr<ProgramDatabase> open;
    ScopedRecordingPrompt prompt;
    int rowWindows = 0, shownRows = 0;

  private:
    odb::ModalRunner previous_;
};

TEST_F(ArchiveImport, DeclinedImportsNothingAlsoAfterLookingAtTheRows) {
    prompt->answer(MsgResult::Yes);  // look at the rows
    prompt->answer(MsgResult::No);   // then decline
    EXPECT_FALSE(importWorkers());
    EXPECT_EQ(prompt->texts(), QStringList({kView, kConfirm}));
    EXPECT_EQ(rowWindows, 1);
    EXPECT_EQ(shownRows, 3) << "the archive's rows, its default worker included";
    EXPECT_TRUE(workers().isEmpty());
    EXPECT_EQ(openDescriptors(archivePath()), 0);
    EXPECT_FALSE(frmMessage::isLoaded());
}

TEST_F(ArchiveImport, AcceptedRowsPointAtTheLookupRowsWithTheSameKey) {
    // The same keys stand on other rows here than in the archive.
    ProgramDatabase a(archivePath(), &answerOk);
    EXPECT_NE(a.rows("DedirIdovuduvIrezadiv", "Codice='T1'")->Bookmark().toLong(),
              open->rows("DedirIdovuduvIrezadiv", "Codice='T1'")->Bookmark().toLong());
    a.connection->CloseConnection();

    prompt->answer(MsgResult::No);
    prompt->answer(MsgResult::Yes);
    EXPECT_TRUE(importWorkers());
    EXPECT_EQ(rowWindows, 0);
    EXPECT_EQ(workers(), QStringList({"11:T1:Interni", "12:T2:Esterni"}));
    ASSERT_EQ(prompt->shown().size(), 3u);
    EXPECT_EQ(prompt->last().text,
              "OPERAZIONE COMPLETATA.\r\rRighe importate: 2 su 3 (le altre sono già "
              "presenti nell'archivio corrente)");
    EXPECT_FALSE(g_objConnection->InTransaction()) << "committed before the message";
    EXPECT_EQ(openDescriptors(archivePath()), 0);

    // A second import finds every row present.
    prompt->clear();
    prompt->answer(MsgResult::No);
    prompt->answer(MsgResult::Yes);
    EXPECT_TRUE(importWorkers());
    EXPECT_EQ(prompt->last().text,
              "OPERAZIONE COMPLETATA.\r\rRighe importate: 0 su 3 (le altre sono già "
              "presenti nell'archivio corrente)");
    EXPECT_EQ(workers().size(), 2);
}

TEST_F(ArchiveImport, AReferenceThatCannotBeResolvedHereImportsNothingAndNamesTheRow) {
    {
        ProgramDatabase a(archivePath(), &answerOk);
        // Its task exists only in the archive: the reference cannot be resolved here.
        a.add("Operai", {"Codice", "13", "Nominativo", "Anna Verdi", "Manzione", "T9"});
        a.add("Operai", {"Codice", "14", "Nominativo", "Dopo", "Manzione", "T1"});
        a.connection->CloseConnection();
    }
    prompt->answer(MsgResult::No);
    prompt->answer(MsgResult::Yes);
    EXPECT_FALSE(importWorkers());
    ASSERT_EQ(prompt->shown().size(), 3u);
    EXPECT_EQ(prompt->last().text,
              "L'elemento di Operai con Codice = 13: il riferimento Manzione indica \"T9\", che non esiste "
              "nel database aperto.\r\rNessun dato è stato importato.");
    EXPECT_EQ(prompt->last().style, vbExclamation);
    EXPECT_TRUE(workers().isEmpty()) << "the rows copied before the failure are undone";
    EXPECT_FALSE(g_objConnection->InTransaction());
    EXPECT_EQ(openDescriptors(archivePath()), 0);
    EXPECT_FALSE(frmMessage::isLoaded());
}

TEST_F(ArchiveImport, ArchivesWithNothingToImportAndFilesThatAreNoArchiveAreRefused) {
    const QString other = path("altro.mdb"), text = path("note.odb");
    { uitest::UiTestDatabase db(other); }
    QFile f(text);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("non un archivio");
    f.close();
    struct Case {
        QString file, table, message;
    };
    const Case cases[] = {
        {archivePath(), "Promemoria", "L'archivio non contiene dati da importare"},
        {other, "Operai", "L'archivio selezionato non contiene dati < Operai > da importare!"},
        {text, "Operai", kFailedShort},
        {databasePath(), "Operai",
         "L'archivio selezionato è il database in uso: scegliere un altro archivio."},
    };
    for (const Case& c : cases) {
        prompt->clear();
        prompt->answer(MsgResult::No);
        const int64_t before = open->rows(c.table)->RowCount();
        EXPECT_FALSE(ImportArchiveData(c.file, open->rows(c.table), &main.widget));
        EXPECT_EQ(prompt->texts(), QStringList{c.message});
        EXPECT_EQ(open->rows(c.table)->RowCount(), before);
        if (c.file != databasePath()) {
            EXPECT_EQ(openDescriptors(c.file), 0) << c.file.toStdString();
        }
    }
}

TEST_F(ArchiveImport, AReferenceToNothingInTheArchiveImportsNothingAndNamesTheRow) {
    {
        ProgramDatabase a(archivePath(), &answerOk);
        a.add("DedirIdovuduvIrezadiv", {"Codice", "T7", "Descrizione", "Sparita"});
        a.add("Operai", {"Codice", "13", "Nominativo", "Anna Verdi", "Manzione", "T7"});
        a.connection->CloseConnection();
    }
    // The task goes from under the worker, as a damaged or hand-edited archive has it.
    Query(archivePath(), "DELETE FROM DedirIdovuduvIrezadiv WHERE Codice = 'T7'");
    ASSERT_EQ(Query(archivePath(), "SELECT count(*) FROM DedirIdovuduvIrezadiv WHERE Codice = 'T7'"), "0");
    prompt->answer(MsgResult::No);
    prompt->answer(MsgResult::Yes);
    EXPECT_FALSE(importWorkers());
    EXPECT_EQ(prompt->last().text,
              "L'elemento di Operai con Codice = 13: il riferimento Manzione indica un elemento che non "
              "esiste nell'archivio.\r\rNessun dato è stato importato.");
    EXPECT_TRUE(workers().isEmpty());
    EXPECT_FALSE(g_objConnection->InTransaction());
}

TEST_F(ArchiveImport, TheDatabaseInUseIsRefusedUnderAnyName) {
    // A hard link names the same file under another name; a folder reached another way (a link to
    // the work folder, as a second mount is) names it under another path.
    const QString link = path("copia.odb"), folder = path("lavoro");
    ASSERT_EQ(0, ::link(QFile::encodeName(databasePath()).constData(), QFile::encodeName(link).constData()));
    ASSERT_TRUE(QFile::link(workFolder(), folder));
    const int64_t before = open->rows("Operai")->RowCount();
    for (const QString& name : {link, QDir(folder).filePath(QFileInfo(databasePath()).fileName())}) {
        prompt->clear();
        EXPECT_FALSE(ImportArchiveData(name, open->rows("Operai"), &main.widget)) << name.toStdString();
        EXPECT_EQ(prompt->texts(),
                  QStringList{"L'archivio selezionato è il database in uso: scegliere un altro archivio."});
        EXPECT_EQ(open->rows("Operai")->RowCount(), before);
    }
}

}  // namespace
