// The section tree and the section-items bar of a group: the nodes as built from the database,
// the selection kept by position, the clicks, and the buttons of a group.
#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include "MainWindowFixture.h"
#include "mainwindow/MainLayout.h"
#include "odb/Database.h"
#include "odb/Table.h"
#include "odb/Tables.h"
#include "startup/SharedState.h"

namespace {

class SectionTreeTest : public MainWindowTest {
  protected:
    QStringList itemCaptions(frmMain& w) {
        QStringList captions;
        for (int i = 2; i < w.SectionItemCount(); ++i)
            captions << w.SectionItemCaption(i);
        return captions;
    }
};

TEST_F(SectionTreeTest, TheTreeIsBuiltWithEveryPictureAndSelectsTheFirstGroup) {
    frmMain& w = start();
    ASSERT_TRUE(w.Node(52));
    EXPECT_FALSE(w.Node(53));
    // Every picture the nodes name is drawn.
    for (int i = 1; i <= 52; ++i)
        EXPECT_FALSE(w.Node(i)->icon(0).isNull()) << i;
    // The first build selects "Commesse", which shows its bar, not a grid.
    EXPECT_EQ(frmMain::NodeIndex(w.SelectedNode()), 1);
    EXPECT_FALSE(w.GridVisible());
}

TEST_F(SectionTreeTest, EverySectionOpensWithoutAnError) {
    frmMain& w = start();
    for (int i = 1; i <= 52; ++i) {
        click(i);  // the report sections' choosers are cancelled
        EXPECT_EQ(frmMain::NodeIndex(w.SelectedNode()), i);
        EXPECT_EQ(w.GridVisible(), !frmMain::NodeKey(w.Node(i)).isEmpty()) << i;
        EXPECT_TRUE(prompt->shown().empty()) << i << ": " << prompt->texts().join("|").toStdString();
    }
}

TEST_F(SectionTreeTest, ARebuildKeepsTheSelectedPositionWithoutOpeningItsView) {
    frmMain& w = start();
    click(52);
    ASSERT_TRUE(w.GridVisible());
    w.SetStatusMsg("segno");
    w.SetTreeViewNodes();
    EXPECT_EQ(frmMain::NodeIndex(w.SelectedNode()), 52);
    EXPECT_EQ(w.statusText(), "segno");
}

TEST_F(SectionTreeTest, ASecondClickOnTheSameNodeOpensNothingADoubleClickDoes) {
    frmMain& w = start();
    click(2);
    EXPECT_EQ(w.statusText(), " Sezione: <Cliente>");
    w.SetStatusMsg("segno");
    click(2);
    w.tvTreeView_Click();
    EXPECT_EQ(w.statusText(), "segno");
    w.tvTreeView_DblClick();
    EXPECT_EQ(w.statusText(), " Sezione: <Cliente>");
    // After a rebuild every node is new: the first click opens again.
    w.SetTreeViewNodes();
    w.SetStatusMsg("segno");
    click(2);
    EXPECT_EQ(w.statusText(), " Sezione: <Cliente>");
}

TEST_F(SectionTreeTest, AGroupShowsItsChildrenAsButtonsInsteadOfTheGrid) {
    frmMain& w = start();
    w.resize(900, 700);
    w.show();
    click(18);
    EXPECT_FALSE(w.GridVisible());
    EXPECT_EQ(w.SectionItemCaption(1), "VOCI PRINCIPALI PER LA SEZIONE LISTE / STAMPE :");
    EXPECT_FALSE(w.SectionItem(1)->isEnabled());
    EXPECT_EQ(itemCaptions(w), QStringList({"Commesse", "Macchine", "Operai"}));
    EXPECT_EQ(w.SectionItemTag(2), "19");
    EXPECT_EQ(w.SectionItemTag(3), "23");
    EXPECT_EQ(w.SectionItemTag(4), "26");
    EXPECT_EQ(w.SectionItem(2)->toolTip(),
              "Apre la sezione <Commesse> per la Visualizzazione/Modifica dei dati oppure per la Stampa...");
    EXPECT_FALSE(w.cmdHideTree()->isEnabled());

    // Pressing a group's button selects it and shows its own bar.
    w.acmdSectionItem_Click(3);
    EXPECT_EQ(frmMain::NodeIndex(w.SelectedNode()), 23);
    EXPECT_EQ(itemCaptions(w), QStringList({"Spedite", "da Spedire"}));
    EXPECT_EQ(w.SectionItemTag(2), "Spedite");

    // Grandchildren get no button.
    click(1);
    EXPECT_EQ(itemCaptions(w), QStringList({"Cliente", "Produzione", "Assistenza"}));
    EXPECT_EQ(w.SectionItemCaption(1), "VOCI PRINCIPALI PER LA SEZIONE COMMESSE :");

    // A button with a key opens that section; the bar goes and the tree button comes back.
    w.acmdSectionItem_Click(2);
    EXPECT_EQ(frmMain::NodeKey(w.SelectedNode()), "CommesseCliente");
    EXPECT_TRUE(w.GridVisible());
    EXPECT_EQ(w.SectionItemCount(), 1);
    EXPECT_TRUE(w.cmdHideTree()->isEnabled());
}

TEST_F(SectionTreeTest, EveryButtonShowsItsWholeTextAndTheColumnKeepsOneWidth) {
    frmMain& w = start();
    w.resize(900, 700);
    w.show();
    click(40);
    ASSERT_TRUE(itemCaptions(w).contains("Tipi Commessa / Prefisso Codici"));
    const int width = w.SectionItem(2)->width();
    for (int i = 2; i < w.SectionItemCount(); ++i) {
        auto* button = qobject_cast<QToolButton*>(w.SectionItem(i));
        ASSERT_TRUE(button);
        const QFontMetrics fm(button->font());
        // The room a tool button keeps beside its text before it cuts it.
        EXPECT_GE(button->width(), fm.horizontalAdvance(button->text()) + 2 * fm.horizontalAdvance(' '))
            << button->text().toStdString();
        EXPECT_EQ(button->width(), width) << button->text().toStdString();
    }
}

TEST_F(SectionTreeTest, ALowWindowPutsTheButtonsInASecondColumn) {
    frmMain& w = start();
    w.showNormal();  // a first start fills the screen: a normal window can be made lower
    click(1);
    const QRect tall1 = w.TwipsGeometry(w.SectionItem(2));
    const QRect tall3 = w.TwipsGeometry(w.SectionItem(4));
    EXPECT_EQ(tall3.left(), tall1.left());
    // Lower: the third button no longer fits under the second.
    const int treeTop = w.LastLayout().tree.top();
    const int header = w.TwipsGeometry(w.SectionItem(1)).height();
    const int clientNeeded = treeTop + 150 + header + 150 + 2 * (825 + 150) + 825 + 150;
    w.resize(w.width(), w.height() - w.centralWidget()->height() + (clientNeeded - 300) / 15);
    QCoreApplication::processEvents();  // a resize rebuilds the bar by itself
    const QRect first = w.TwipsGeometry(w.SectionItem(2));
    const QRect third = w.TwipsGeometry(w.SectionItem(4));
    EXPECT_EQ(third.top(), first.top());
    EXPECT_NEAR(third.left(), first.left() + 2550 + 400, 15);
}

}  // namespace
