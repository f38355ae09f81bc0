// The read-only row window and DataPanel.SelectRow: the shown fields, rows read in any order,
// nothing editable, and the data set put on the picked row only on OK.
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTableView>

#include <gtest/gtest.h>

#include "UiTestDatabase.h"
#include "odb/ui/DataPanel.h"
#include "odb/ui/DataPanelTools.h"
#include "odb/ui/DataSetRowsModel.h"
#include "odb/ui/ModalDialog.h"
#include "odb/ui/RowWindow.h"
#include "support/TestEnvironment.h"

namespace {

class RowWindowTest : public TempFolderTest {
  protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        db = std::make_unique<uitest::UiTestDatabase>(path("rows.db"));
        for (int i = 0; i < 12; ++i)
            db->addArticolo(QStringLiteral("C%1").arg(i, 2, 10, QLatin1Char('0')),
                            QStringLiteral("Articolo %1").arg(i), "nota", i * 10);
        previous_ = odb::SetModalRunner([this](QDialog& d) {
            auto* w = qobject_cast<odb::RowWindow*>(&d);
            if (!w) return int(QDialog::Rejected);
            title = w->windowTitle();
            if (pick >= 0) w->grid()->selectRow(pick);
            (accept ? w->buttons()->button(QDialogButtonBox::Ok)
                    : w->buttons()->button(QDialogButtonBox::Cancel))
                ->click();
            return d.result();
        });
    }
    void TearDown() override {
        odb::SetModalRunner(std::move(previous_));
        db.reset();
        TempFolderTest::TearDown();
    }
    std::unique_ptr<uitest::UiTestDatabase> db;
    int pick = -1;
    bool accept = true;
    QString title;

  private:
    odb::ModalRunner previous_;
};

TEST_F(RowWindowTest, TheModelShowsTheShownFieldsOfEveryRowInAnyOrder) {
    odb::DataSetRowsModel model(db->articoli("Codice"));
    ASSERT_EQ(model.rowCount(), 12);
    ASSERT_EQ(model.columnCount(), 3);
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), "Codice");
    EXPECT_EQ(model.headerData(2, Qt::Horizontal).toString(), "Prezzo");
    EXPECT_EQ(model.headerData(0, Qt::Horizontal, Qt::ToolTipRole).toString(), "Codice articolo");
    for (int row : {7, 0, 11, 3, 4, 10, 1}) {
        EXPECT_EQ(model.data(model.index(row, 0)).toString(),
                  QStringLiteral("C%1").arg(row, 2, 10, QLatin1Char('0')));
        EXPECT_EQ(model.data(model.index(row, 2)).toString(), QString::number(row * 10));
    }
    EXPECT_FALSE(model.flags(model.index(2, 1)) & Qt::ItemIsEditable);
    EXPECT_FALSE(model.MoveTo(12));
    EXPECT_FALSE(model.MoveTo(-1));
}

TEST_F(RowWindowTest, SelectRowPutsTheDataSetOnThePickedRowOnlyOnOK) {
    auto ds = db->articoli("Codice");
    auto panel = odb::DataPanelTools::CreatePanel(ds);
    pick = 5;
    EXPECT_TRUE(panel->SelectRow("Anteprima", nullptr));
    EXPECT_EQ(title, "Anteprima");
    EXPECT_EQ(ds->ColText("Codice"), "C05");

    pick = 9;
    accept = false;
    EXPECT_FALSE(panel->SelectRow("Anteprima", nullptr));
    EXPECT_EQ(ds->ColText("Codice"), "C05");
}

}  // namespace
