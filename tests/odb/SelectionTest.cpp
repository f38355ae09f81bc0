// Selection sets (conditions typed as users type them, saved by name per table and kind), grid
// layouts in their settings file and the archive export read back.
#include <QFile>

#include <functional>

#include <gtest/gtest.h>

#include "OdbTestUtil.h"
#include "odb/DataSet.h"
#include "odb/GridLayout.h"
#include "odb/SelectionSet.h"
#include "support/TestEnvironment.h"

using namespace odbtest;
using odb::DataSet;
using odb::SelectionSet;

namespace {

class SelectionTest : public TempFolderTest {
  protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        def = std::make_shared<TestDefinition>();
        def->record = false;
        BuildShopSchema(*def);
        o = OpenDefinition(db(), def, &notify);
        auto clienti = o.table("Clienti").OpenData();
        for (const char* name : {"l'asse", "l'assemblea", "' OR 1=1 --", "50% sconto", "Rossi*", "Lasse"})
            ASSERT_TRUE(clienti->AddRow({"Codice", QString::fromUtf8(name).left(3), "Descrizione", name}));
        auto commesse = o.table("Commesse").OpenData();
        o.conn->BeginTrans();
        for (int i = 0; i < 12; ++i)
            ASSERT_TRUE(commesse->AddRow({"Cliente", i % 3 ? "l'a" : "Ros"}));
        o.conn->CommitTrans();
    }
    QString db() const { return path("ZeltoLavrix.mdb"); }
    QStringList descrizioni(const QString& where) {
        QStringList out;
        auto ds = o.table("Clienti").OpenData(where, "Descrizione");
        for (ds->RowFirst(); !ds->RowInvalid(); ds->RowNext())
            out << ds->ColText("Descrizione");
        return out;
    }
    std::shared_ptr<TestDefinition> def;
    TestNotify notify;
    Opened o;
};

TEST_F(SelectionTest, TypedValuesSelectExactlyTheMatchingRows) {
    struct Case {
        const char* value;
        int32_t op;
        QStringList expected;
    };
    const Case cases[] = {
        {"l'asse", SelectionSet::opEqual, {"l'asse"}},
        {"' OR 1=1 --", SelectionSet::opEqual, {"' OR 1=1 --"}},
        {"50% sconto", SelectionSet::opEqual, {"50% sconto"}},
        {"Rossi*", SelectionSet::opEqual, {"Rossi*"}},
        {"L'ASSE", SelectionSet::opEqual, {"l'asse"}},  // letter case aside
        {"l'ass", SelectionSet::opStartsWith, {"l'asse", "l'assemblea"}},
        {"*", SelectionSet::opContains, {"Rossi*"}},
        {"%", SelectionSet::opContains, {"50% sconto"}},
        {"' OR", SelectionSet::opContains, {"' OR 1=1 --"}},
    };
    for (const Case& c : cases) {
        auto set = o.table("Clienti").NewSelectionSet(SelectionSet::Filter);
        set->AddCondition("Descrizione", QString::fromUtf8(c.value), c.op);
        EXPECT_EQ(descrizioni(set->FilterText()), c.expected)
            << c.value << " " << set->WhereText().toStdString();
    }
    // MakeCondition compares as exactly.
    auto ds = o.table("Clienti").OpenData();
    EXPECT_EQ(descrizioni(ds->MakeCondition("Descrizione", 0, "50% sconto", 0, Variant::missing(), "%", 0)),
              QStringList({"50% sconto"}));
    EXPECT_EQ(descrizioni(ds->MakeCondition("Descrizione", -1, "' OR 1=1 --", 0)),
              QStringList({"' OR 1=1 --"}));
    // A chooser left without a choice: a literal that no row equals, never an error.
    EXPECT_EQ(descrizioni("Descrizione=" + ds->ValueLiteral("Descrizione", 0, Variant())), QStringList());
    EXPECT_EQ(
        o.table("Passaggi").OpenData("Operaio=" + ds->ValueLiteral("Nominativo", 0, Variant()))->RowCount(),
        0);
}

TEST_F(SelectionTest, ConditionsReadTextsAsTheColumnShowsThem) {
    auto set = o.table("Commesse").NewSelectionSet(SelectionSet::Filter);
    set->AddCondition("Progressivo", "0004", SelectionSet::opGreater);
    set->AddCondition("Cliente", "l'asse");  // a lookup by its display value
    EXPECT_EQ(o.table("Commesse").OpenData(set->WhereText())->RowCount(), 6);  // 5, 6, 8, 9, 11, 12
    EXPECT_TRUE(set->UsesField("progressivo"));
    set->RemoveField("Progressivo");
    EXPECT_FALSE(set->UsesField("Progressivo"));
    EXPECT_EQ(o.table("Commesse").OpenData(set->WhereText())->RowCount(), 8);
    set->AddCondition("Progressivo", "3", SelectionSet::opBetween, "6");
    EXPECT_EQ(o.table("Commesse").OpenData(set->WhereText())->RowCount(), 3);
    EXPECT_TRUE(RaisesLibraryError([&] { set->AddCondition("Progressivo", "tre"); }, odb::odbErrBadValue));
    EXPECT_TRUE(RaisesLibraryError([&] { set->AddCondition("Nessuno", "1"); }, odb::odbErrUnknownField));
    EXPECT_TRUE(RaisesLibraryError([&] { set->AddCondition("Progressivo", "3", SelectionSet::opBetween); },
                                   odb::odbErrBadValue));
    EXPECT_EQ(set->Conditions().size(), 2u);
    set->Clear();
    set->AddCondition("CostoTotale", Variant(), SelectionSet::opEqual);
    EXPECT_EQ(o.table("Commesse").OpenData(set->WhereText())->RowCount(), 0);  // all have a cost of 0
    set->Clear();
    set->AddCondition("CostoTotale", Variant(), SelectionSet::opNotEmpty);
    EXPECT_EQ(o.table("Commesse").OpenData(set->WhereText())->RowCount(), 12);
}

TEST_F(SelectionTest, SetsAreSavedByNamePerTableAndKindForEveryComputer) {
    auto filters = o.table("Commesse").NewSelectionSet(SelectionSet::Filter);
    EXPECT_EQ(filters->SavedNames(0), "");
    EXPECT_FALSE(filters->Load("Aperte"));
    filters->AddCondition("Progressivo", "6", SelectionSet::opLessEqual);
    filters->Save("Aperte");
    filters->Clear();
    filters->AddCondition("Progressivo", "10", SelectionSet::opGreaterEqual);
    filters->Save("Ultime");
    EXPECT_EQ(filters->Name(), "Ultime");
    EXPECT_EQ(filters->SavedNames(0), "Aperte|Ultime");
    EXPECT_TRUE(filters->Rename("Aperte", 0));
    EXPECT_EQ(filters->Name(), "Aperte");
    EXPECT_EQ(o.table("Commesse").OpenData(filters->FilterText())->RowCount(), 6);
    EXPECT_FALSE(filters->Rename("Nessuno", 0));
    EXPECT_EQ(filters->Name(), "Aperte");
    EXPECT_TRUE(filters->Rename("Mio", -1));
    EXPECT_EQ(filters->Name(), "Mio");
    EXPECT_EQ(filters->SavedNames(0), "Aperte|Ultime");

    // The same name on another table and as another kind is another set.
    auto clienti = o.table("Clienti").NewSelectionSet(SelectionSet::Filter);
    clienti->AddCondition("Descrizione", "Lasse");
    clienti->Save("Aperte");
    auto selections = o.table("Commesse").NewSelectionSet(SelectionSet::Selection);
    EXPECT_EQ(selections->SavedNames(0), "");
    selections->AddCondition("Progressivo", "1");
    selections->Save("Aperte");

    // Another computer sees them all, each as saved.
    auto other = OpenDefinition(db(), def, &notify);
    auto seen = other.table("Commesse").NewSelectionSet(SelectionSet::Filter);
    ASSERT_TRUE(seen->Load("aperte"));
    EXPECT_EQ(other.table("Commesse").OpenData(seen->WhereText())->RowCount(), 6);
    auto seenSel = other.table("Commesse").NewSelectionSet(SelectionSet::Selection);
    ASSERT_TRUE(seenSel->Load("Aperte"));
    EXPECT_EQ(other.table("Commesse").OpenData(seenSel->WhereText())->RowCount(), 1);
    auto seenClienti = other.table("Clienti").NewSelectionSet(SelectionSet::Filter);
    ASSERT_TRUE(seenClienti->Load("Aperte"));
    EXPECT_EQ(seenClienti->WhereText(), "Descrizione = 'Lasse'");

    EXPECT_TRUE(seen->Delete("Ultime"));
    EXPECT_FALSE(seen->Delete("Ultime"));
    EXPECT_EQ(filters->SavedNames(0), "Aperte");
    EXPECT_TRUE(RaisesLibraryError([&] { o.table("Commesse").NewSelectionSet(SelectionSet::Filter)->Save(); },
                                   odb::odbErrBadValue));
}

TEST_F(SelectionTest, GridLayoutsComeBackFromTheirFileAndUnknownFieldsAreSkipped) {
    const QString ini = path("ZeltoLavrix.INI");
    auto layout = odb::GridLayout::Load(ini, "Commesse");
    EXPECT_EQ(layout->FieldSequence(), "");
    EXPECT_EQ(layout->ColumnWidth("Progressivo"), -1);
    layout->SetFieldSequence("Progressivo,Cliente");
    layout->SetColumnWidth("Progressivo", 2400);
    layout->SetColumnWidth("Quantità", 1200);
    layout->Save();
    auto other = odb::GridLayout::Load(ini, "Clienti");
    other->SetColumnWidth("Descrizione", 3000);
    other->Save();

    auto back = odb::GridLayout::Load(ini, "Commesse");
    EXPECT_EQ(back->TableName(), "Commesse");
    EXPECT_EQ(back->FieldSequence(), "Progressivo,Cliente");
    EXPECT_EQ(back->ColumnWidth("progressivo"), 2400);
    EXPECT_EQ(back->ColumnWidth("Quantità"), 1200);
    EXPECT_EQ(odb::GridLayout::Load(ini, "Clienti")->ColumnWidth("Descrizione"), 3000);
    back->ResetDefault();
    back->Save();
    EXPECT_EQ(odb::GridLayout::Load(ini, "Commesse")->FieldSequence(), "");
    EXPECT_EQ(odb::GridLayout::Load(ini, "Clienti")->ColumnWidth("Descrizione"), 3000);
    // A hand-edited file with rubbish still opens.
    QFile f(ini);
    ASSERT_TRUE(f.open(QIODevice::Append));
    f.write("[Operai]\nColumnWidths=\"Nominativo:abc;:12;Codice:900\"\n");
    f.close();
    EXPECT_EQ(odb::GridLayout::Load(ini, "Operai")->ColumnWidth("Codice"), 900);
}

// Counts the export's progress and stops it when told.
class Progress : public odb::itfProgress {
  public:
    void OnStart(int32_t, int32_t t) override { total = t; }
    bool OnProgress(int32_t, int32_t, int32_t c, DataSet*, DataSet*) override {
        count = c;
        return !stop;
    }
    bool OnStopped() override { return stop; }
    void OnEnd(int32_t, int32_t) override { ended = true; }
    int total = 0, count = 0;
    bool stop = false, ended = false;
};

TEST_F(SelectionTest, ExportedRowsReadBackEqualAndAStoppedExportLeavesNoFile) {
    auto view = o.table("Commesse").OpenData("Progressivo <= 700", "Progressivo DESC");
    view->SetFilter("Progressivo > 3");
    const QString file = path("Commesse.odb");
    Progress progress;
    ASSERT_TRUE(view->ExportArchive(file, &progress));
    EXPECT_EQ(progress.total, 9);
    EXPECT_EQ(progress.count, 9);
    EXPECT_TRUE(progress.ended);

    auto conn = std::make_shared<odb::Connection>();
    conn->OpenDatabaseFile(file);
    auto archive = odb::DbmsGlobal::AttachDatabase(conn, &notify);
    auto rows = archive->Tables().Item("Commesse").OpenData({}, "Progressivo DESC", "*,Cliente");
    ASSERT_EQ(rows->RowCount(), 9);
    view->RowFirst();
    for (rows->RowFirst(); !rows->RowInvalid(); rows->RowNext(), view->RowNext()) {
        EXPECT_EQ(rows->ColNumber("Progressivo"), view->ColNumber("Progressivo"));
        EXPECT_EQ(rows->GetReference("Cliente")->ColText("Descrizione"),
                  view->GetReference("Cliente")->ColText("Descrizione"));
    }
    EXPECT_EQ(archive->Tables().Item("Clienti").OpenData()->RowCount(), 2);  // the ones named only
    EXPECT_EQ(archive->Tables().Item("Passaggi").OpenData()->RowCount(), 0);
    // Read back into a database by the archive import's road.
    o.conn->Execute("DELETE FROM Commesse WHERE Progressivo > 3");
    auto destination = o.table("Commesse").OpenData();
    EXPECT_EQ(rows->ImportRows(*destination), 9);
    EXPECT_EQ(
        o.table("Commesse").OpenData("Progressivo = 10")->GetReference("Cliente")->ColText("Descrizione"),
        "Rossi*");
    conn->CloseConnection();

    // Stopped half way: no file, and the one that was there stays as it was.
    const QByteArray before = [&] {
        QFile f(file);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();
    Progress stop;
    stop.stop = true;
    auto more = o.table("Commesse").OpenData();
    EXPECT_FALSE(more->ExportArchive(file, &stop));
    QFile after(file);
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(after.readAll(), before);
    const QString fresh = path("Nuovo.odb");
    EXPECT_FALSE(more->ExportArchive(fresh, &stop));
    EXPECT_FALSE(QFile::exists(fresh));
    // A folder that does not exist: an error, and no file.
    EXPECT_THROW(more->ExportArchive(path("manca/Nuovo.odb")), AppError);
    EXPECT_FALSE(QFile::exists(path("manca/Nuovo.odb")));
}

// Fails with the library's error at its second step, as a disk or a rule failing half way would.
class FailingProgress : public odb::itfProgress {
  public:
    void OnStart(int32_t, int32_t) override { ++starts; }
    bool OnProgress(int32_t, int32_t, int32_t count, DataSet*, DataSet*) override {
        if (count >= 2) odb::LibraryError::Raise(odb::odbErrGeneral);
        return true;
    }
    bool OnStopped() override { return false; }
    void OnEnd(int32_t, int32_t) override { ++ends; }
    int starts = 0, ends = 0;
};

TEST_F(SelectionTest, ABulkOperationFailingHalfWayEndsItsProgressAndLeavesRowsAndPlaceAsTheyWere) {
    auto view = o.table("Commesse").OpenData("Progressivo <= 8", "Progressivo");
    auto clienti = o.table("Clienti").OpenData();
    auto magazzino = o.table("Magazzino").OpenData();
    struct Case {
        const char* name;
        std::function<void(odb::itfProgress*)> run;
    };
    const Case cases[] = {
        {"deletion", [&](odb::itfProgress* p) { view->DeleteRows(p); }},
        {"import", [&](odb::itfProgress* p) { clienti->ImportRows(*magazzino, p); }},
        {"page export", [&](odb::itfProgress* p) { view->ExportHtml(0, path("Commesse.html"), p); }},
        {"archive export", [&](odb::itfProgress* p) { view->ExportArchive(path("Commesse.odb"), p); }},
    };
    for (const Case& c : cases) {
        view->RowFirst();
        view->RowNext();
        view->RowNext();
        const Variant place = view->Bookmark();
        FailingProgress progress;
        try {
            c.run(&progress);
        } catch (const AppError&) {
        }
        EXPECT_EQ(progress.starts, 1) << c.name;
        EXPECT_EQ(progress.ends, 1) << c.name;
        EXPECT_EQ(view->Bookmark().toText(), place.toText()) << c.name;
        EXPECT_EQ(RawCount(db(), "SELECT count(*) FROM Commesse"), 12) << c.name;
        EXPECT_EQ(RawCount(db(), "SELECT count(*) FROM Magazzino"), 0) << c.name;
        EXPECT_FALSE(QFile::exists(path("Commesse.odb"))) << c.name;
    }
}

}  // namespace
