// The field chooser and DataPanel.ChooseFields: starting choice, moves, order, OK and Cancel.
#include <QFile>
#include <QListWidget>
#include <QPushButton>

#include <gtest/gtest.h>

#include "UiTestDatabase.h"
#include "odb/DbmsGlobal.h"
#include "odb/ui/DataPanel.h"
#include "odb/ui/DataPanelTools.h"
#include "odb/ui/FieldChooser.h"
#include "odb/ui/ModalDialog.h"
#include "support/TestEnvironment.h"

namespace {

using odb::FieldChooser;

std::vector<FieldChooser::Field> someFields() {
    return {{"Codice", "Codice articolo"}, {"Descrizione", ""}, {"Note", ""}, {"Prezzo", ""}};
}

void select(QListWidget* list, const QStringList& names) {
    list->clearSelection();
    for (int i = 0; i < list->count(); ++i)
        if (names.contains(list->item(i)->text())) {
            list->item(i)->setSelected(true);
            list->setCurrentRow(i, QItemSelectionModel::Select);
        }
}

// Installs a runner for the scope; the previous one comes back after.
class ScopedRunner {
  public:
    explicit ScopedRunner(odb::ModalRunner r) : previous_(odb::SetModalRunner(std::move(r))) {}
    ~ScopedRunner() { odb::SetModalRunner(std::move(previous_)); }

  private:
    odb::ModalRunner previous_;
};

TEST(FieldChooser, StartingChoiceFollowsTheListAndLeavesUnknownNamesOut) {
    struct Case {
        QStringList given, chosen, available;
    };
    const Case cases[] = {
        {{}, {}, {"Codice", "Descrizione", "Note", "Prezzo"}},
        {{"Prezzo", " codice ", "Sconosciuto"}, {"Prezzo", "Codice"}, {"Descrizione", "Note"}},
        {{"Note", "Note"}, {"Note"}, {"Codice", "Descrizione", "Prezzo"}},
    };
    for (const auto& c : cases) {
        FieldChooser dlg(someFields(), c.given, "Titolo");
        EXPECT_EQ(dlg.ChosenFields(), c.chosen) << c.given.join(',').toStdString();
        EXPECT_EQ(dlg.AvailableFields(), c.available) << c.given.join(',').toStdString();
        EXPECT_EQ(dlg.cmdOK()->isEnabled(), !c.chosen.isEmpty());
    }
    FieldChooser dlg(someFields(), {}, "Titolo");
    EXPECT_EQ(dlg.windowTitle(), "Titolo");
    EXPECT_EQ(dlg.lstAvailable()->item(0)->toolTip(), "Codice articolo");
}

TEST(FieldChooser, RemovedFieldsGoBackToTheirTablePlace) {
    FieldChooser dlg(someFields(), {"Prezzo", "Codice", "Note"}, "T");
    select(dlg.lstChosen(), {"Note", "Codice"});
    dlg.cmdRemove()->click();
    EXPECT_EQ(dlg.ChosenFields(), QStringList({"Prezzo"}));
    EXPECT_EQ(dlg.AvailableFields(), QStringList({"Codice", "Descrizione", "Note"}));

    // Added in the order of the available list, after what is already chosen.
    select(dlg.lstAvailable(), {"Note", "Codice"});
    dlg.cmdAdd()->click();
    EXPECT_EQ(dlg.ChosenFields(), QStringList({"Prezzo", "Codice", "Note"}));

    dlg.cmdRemoveAll()->click();
    EXPECT_TRUE(dlg.ChosenFields().isEmpty());
    EXPECT_EQ(dlg.AvailableFields(), QStringList({"Codice", "Descrizione", "Note", "Prezzo"}));
    EXPECT_FALSE(dlg.cmdOK()->isEnabled());
    EXPECT_FALSE(dlg.cmdRemoveAll()->isEnabled());
    dlg.cmdAddAll()->click();
    EXPECT_EQ(dlg.ChosenFields(), QStringList({"Codice", "Descrizione", "Note", "Prezzo"}));
    EXPECT_TRUE(dlg.AvailableFields().isEmpty());
    EXPECT_TRUE(dlg.cmdOK()->isEnabled());
}

TEST(FieldChooser, UpAndDownReorderTheChosenFields) {
    FieldChooser dlg(someFields(), {"Codice", "Descrizione", "Prezzo"}, "T");
    dlg.lstChosen()->setCurrentRow(2);
    dlg.cmdUp()->click();
    dlg.cmdUp()->click();
    EXPECT_EQ(dlg.ChosenFields(), QStringList({"Prezzo", "Codice", "Descrizione"}));
    EXPECT_FALSE(dlg.cmdUp()->isEnabled());  // already first
    dlg.cmdDown()->click();
    EXPECT_EQ(dlg.ChosenFields(), QStringList({"Codice", "Prezzo", "Descrizione"}));
    dlg.cmdDown()->click();
    EXPECT_FALSE(dlg.cmdDown()->isEnabled());  // now last
    dlg.cmdDown()->click();
    EXPECT_EQ(dlg.ChosenFields(), QStringList({"Codice", "Descrizione", "Prezzo"}));
}

TEST(FieldChooser, DoubleClickMovesOneField) {
    FieldChooser dlg(someFields(), {"Codice"}, "T");
    emit dlg.lstAvailable()->itemDoubleClicked(dlg.lstAvailable()->item(2));  // Prezzo
    EXPECT_EQ(dlg.ChosenFields(), QStringList({"Codice", "Prezzo"}));
    emit dlg.lstChosen()->itemDoubleClicked(dlg.lstChosen()->item(0));
    EXPECT_EQ(dlg.ChosenFields(), QStringList({"Prezzo"}));
    EXPECT_EQ(dlg.AvailableFields(), QStringList({"Codice", "Descrizione", "Note"}));
}

class DataPanelTest : public TempFolderTest {
  protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        db = std::make_unique<uitest::UiTestDatabase>(path("panel.db"));
        db->addArticolo("A1", "Vite <M6> & dado", "nascosta", 12);
        db->addArticolo("B2", "Rondella \"piana\"", "", 3);
    }
    void TearDown() override {
        db.reset();
        TempFolderTest::TearDown();
    }
    std::unique_ptr<uitest::UiTestDatabase> db;
};

TEST_F(DataPanelTest, ChooseFieldsStartsFromTheShownFieldsAndReturnsTheChoiceOnOK) {
    auto panel = odb::DataPanelTools::CreatePanel(db->articoli());
    QString seenTitle;
    QStringList startChosen;
    ScopedRunner runner([&](QDialog& d) {
        auto* dlg = qobject_cast<FieldChooser*>(&d);
        if (!dlg) return int(QDialog::Rejected);
        seenTitle = dlg->windowTitle();
        startChosen = dlg->ChosenFields();
        select(dlg->lstAvailable(), {"Note"});
        dlg->cmdAdd()->click();
        dlg->lstChosen()->setCurrentRow(3);
        dlg->cmdUp()->click();
        dlg->cmdUp()->click();
        dlg->cmdOK()->click();
        return d.result();
    });
    QString fields;
    ASSERT_TRUE(panel->ChooseFields(fields, "Esportazione HTML - Selezione Campi"));
    EXPECT_EQ(seenTitle, "Esportazione HTML - Selezione Campi");
    EXPECT_EQ(startChosen, QStringList({"Codice", "Descrizione", "Prezzo"}));
    EXPECT_EQ(fields, "Codice,Note,Descrizione,Prezzo");

    // The list is one the library's export understands: those columns, in that order.
    const QString file = path("out.htm");
    db->articoli("Codice")->ExportHtml(2, file, nullptr, fields);
    QFile in(file);
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(in.readAll());
    EXPECT_TRUE(html.contains("<th>Codice</th><th>Note</th><th>Descrizione</th><th>Prezzo</th>"))
        << html.toStdString();
    EXPECT_TRUE(html.contains("<td>A1</td><td>nascosta</td><td>Vite &lt;M6&gt; &amp; dado</td>"))
        << html.toStdString();
}

TEST_F(DataPanelTest, CancelLeavesTheListAsItWas) {
    auto panel = odb::DataPanelTools::CreatePanel(db->articoli());
    QStringList startChosen;
    ScopedRunner runner([&](QDialog& d) {
        auto* dlg = qobject_cast<FieldChooser*>(&d);
        startChosen = dlg->ChosenFields();
        dlg->cmdRemoveAll()->click();
        dlg->cmdCancel()->click();
        return d.result();
    });
    QString fields = "Prezzo,Codice";
    EXPECT_FALSE(panel->ChooseFields(fields, "T"));
    EXPECT_EQ(fields, "Prezzo,Codice");
    EXPECT_EQ(startChosen, QStringList({"Prezzo", "Codice"}));
}

TEST(DataPanelTools, CreatePanelWithoutDataSetRaisesTheLibraryError) {
    try {
        odb::DataPanelTools::CreatePanel(nullptr);
        FAIL() << "no error";
    } catch (const AppError& e) {
        EXPECT_TRUE(odb::LibraryError::Is(e, odb::odbErrGeneral));
    }
}

}  // namespace
