// The main window's layout: the twip arithmetic of the panes (collapse, restore, clamps, bars
// switched off) without widgets, then the window's tree-pane button, splitter drag and bars.
#include <QAction>
#include <QCoreApplication>
#include <QPushButton>
#include <QStatusBar>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include "MainWindowFixture.h"
#include "mainwindow/MainLayout.h"

namespace {

// A 9000 x 7500 twip window with both bars shown.
LayoutMeasures window9000() {
    LayoutMeasures m;
    m.outerWidth = 9000;
    m.scaleWidth = 9000;
    m.scaleHeight = 7500;
    m.splitterLeft = 3500;
    m.statusHeight = 330;
    return m;
}

TEST(LayoutArithmetic, TheWantedWidthDecidesTheSplitter) {
    struct Case {
        int w;
        QString caption;  // before the pass
        int remembered;
        int splitter;
        QString captionAfter;
        int rememberedAfter;
    };
    const Case cases[] = {
        {800, "3", 0, 1500, "3", 0},         // at least 1500
        {2500, "3", 0, 2500, "3", 0},        //
        {8500, "3", 0, 8000, "3", 0},        // at most the window width - 1000
        {500, "3", 0, 0, "4", 3500},         // dragged fully left: collapses and remembers
        {0, "3", 2800, 0, "4", 2800},        // a collapse keeps an older width
        {500, "4", 2800, 2800, "3", 2800},   // fully left while collapsed: back, still remembered
        {-1, "4", 2800, 2800, "3", 0},       // restored: forgotten
        {2000, "4", 2800, 2000, "3", 2800},  // shown at another width: still remembered
    };
    for (const Case& c : cases) {
        LayoutMeasures m = window9000();
        m.hideTreeCaption = c.caption;
        LayoutMemory memory;
        memory.lastTreeWidth = c.remembered;
        const LayoutResult r = ArrangeLayout(c.w, m, memory);
        EXPECT_TRUE(r.laidOut);
        EXPECT_EQ(r.splitter.left(), c.splitter) << c.w;
        EXPECT_EQ(r.hideTreeCaption, c.captionAfter) << c.w;
        EXPECT_EQ(r.sectionChecked, c.captionAfter == "3") << c.w;
        EXPECT_EQ(memory.lastTreeWidth, c.rememberedAfter) << c.w;
    }
}

TEST(LayoutArithmetic, PanesFollowTheSplitterAndTheBars) {
    LayoutMemory memory;
    LayoutMeasures m = window9000();
    LayoutResult r = ArrangeLayout(3500, m, memory);
    EXPECT_EQ(r.tree, QRect(60, 1440, 3440, 7500 - (810 + 480 + 330) - 150));
    EXPECT_EQ(r.splitter, QRect(3500, 1440, 150, r.tree.height()));
    EXPECT_EQ(r.grid, QRect(3650, 1440, 9000 - (3440 + 220), r.tree.height()));
    EXPECT_EQ(r.title0Width, 3440);
    EXPECT_EQ(r.hideTreeLeft, 3670);
    EXPECT_EQ(r.title1Left, 3670 + 225 + 10);
    EXPECT_EQ(r.title1Width, r.grid.width() - 30 - 225);  // the date button is hidden
    m.dateSelVisible = true;
    r = ArrangeLayout(3500, m, memory);
    EXPECT_EQ(r.title1Width, r.grid.width() - 30 - 225 - 3615);
    EXPECT_EQ(r.dateSelLeft, r.title1Left + r.title1Width + 10);

    // Without the toolbar the panes move up by its height; without the status bar they grow.
    m.toolbarOn = false;
    r = ArrangeLayout(3500, m, memory);
    EXPECT_EQ(r.tree.top(), 630);
    EXPECT_EQ(r.titlesTop, 0);
    m.statusOn = false;
    const int tall = ArrangeLayout(3500, m, memory).tree.height();
    EXPECT_EQ(tall, r.tree.height() + 330);

    // Collapsed: no tree, the grid from the splitter's width on.
    r = ArrangeLayout(0, m, memory);
    EXPECT_EQ(r.tree.width(), 0);
    EXPECT_EQ(r.grid.left(), 150);
    EXPECT_EQ(r.grid.width(), 9000 - 220);
    EXPECT_EQ(r.color, LayoutResult::HideTreeColor::PaleYellow);
    EXPECT_TRUE(r.saveColor);
    // The colour is kept once; the next restore puts it back.
    m.hideTreeCaption = "4";
    r = ArrangeLayout(-1, m, memory);
    EXPECT_EQ(r.color, LayoutResult::HideTreeColor::Saved);
    EXPECT_FALSE(ArrangeLayout(0, m, memory).saveColor);
}

TEST(LayoutArithmetic, NarrowSmallHiddenAndMinimisedWindows) {
    LayoutMemory memory;
    LayoutMeasures m = window9000();
    m.outerWidth = 2400;
    m.scaleWidth = 2380;
    LayoutResult r = ArrangeLayout(3500, m, memory);
    EXPECT_EQ(r.outerWidth, 3000);
    EXPECT_EQ(r.scaleWidth, 2980);
    EXPECT_EQ(r.splitter.left(), 2000);
    // A title strip too narrow for the caption gives it no width rather than a negative one.
    m.dateSelVisible = true;
    EXPECT_EQ(ArrangeLayout(3500, m, memory).title1Width, 0);
    m.minimized = true;
    EXPECT_FALSE(ArrangeLayout(3500, m, memory).laidOut);
    m.minimized = false;
    m.visible = false;
    EXPECT_FALSE(ArrangeLayout(3500, m, memory).laidOut);
}

TEST(LayoutArithmetic, ACollapseRemembersTheWidthBeforeALaterDrag) {
    LayoutMemory memory;
    LayoutMeasures m = window9000();
    LayoutResult r = ArrangeLayout(0, m, memory);  // collapsed at 3500
    m.hideTreeCaption = r.hideTreeCaption;
    m.splitterLeft = r.splitter.left();
    r = ArrangeLayout(2500, m, memory);  // dragged out to 2500
    m.hideTreeCaption = r.hideTreeCaption;
    m.splitterLeft = r.splitter.left();
    r = ArrangeLayout(0, m, memory);  // collapsed again
    m.hideTreeCaption = r.hideTreeCaption;
    m.splitterLeft = r.splitter.left();
    r = ArrangeLayout(-1, m, memory);  // restored with the menu
    EXPECT_EQ(r.splitter.left(), 3500);
}

class LayoutTest : public MainWindowTest {};

TEST_F(LayoutTest, TheTreePaneCollapsesAndComesBack) {
    frmMain& w = start();
    w.resize(900, 700);
    w.show();
    QCoreApplication::processEvents();
    click(2);  // a leaf: the button is enabled
    const QColor grey = w.HideTreeBackColor();
    EXPECT_EQ(grey, QColor(224, 224, 224));
    w.cmdHideTree()->click();
    EXPECT_EQ(w.HideTreeCaption(), "4");
    EXPECT_EQ(w.HideTreeBackColor(), QColor(255, 255, 192));
    EXPECT_FALSE(action("mnuHideSection")->isChecked());
    EXPECT_EQ(w.SplitterLeft(), 0);
    EXPECT_EQ(w.tvTreeView()->width(), 0);
    action("mnuHideSection")->trigger();
    EXPECT_EQ(w.HideTreeCaption(), "3");
    EXPECT_EQ(w.HideTreeBackColor(), grey);
    EXPECT_TRUE(action("mnuHideSection")->isChecked());
    EXPECT_EQ(w.SplitterLeft(), 3500);
}

TEST_F(LayoutTest, ADragToTheLeftEdgeCollapsesAndADragOutRestores) {
    frmMain& w = start();
    w.resize(900, 700);
    w.show();
    QCoreApplication::processEvents();
    w.imgSplitter_MouseDown(60);
    w.imgSplitter_MouseMove(-3300);
    EXPECT_EQ(w.DragBarLeft(), 500);
    w.imgSplitter_MouseUp(-3300);
    EXPECT_EQ(w.HideTreeCaption(), "4");
    // The same drag on a collapsed pane brings the width back.
    w.imgSplitter_MouseDown(0);
    w.imgSplitter_MouseMove(0);
    w.imgSplitter_MouseUp(0);
    EXPECT_EQ(w.HideTreeCaption(), "3");
    EXPECT_EQ(w.SplitterLeft(), 3500);
    // A drag that ends at 800 puts the splitter at 1500.
    w.imgSplitter_MouseDown(0);
    w.imgSplitter_MouseMove(800 - 3500);
    w.imgSplitter_MouseUp(800 - 3500);
    EXPECT_EQ(w.SplitterLeft(), 1500);
    EXPECT_EQ(w.LastLayout().tree.width(), 1440);
}

TEST_F(LayoutTest, TheBarsMoveThePanes) {
    frmMain& w = start();
    w.resize(900, 700);
    w.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(w.LastLayout().tree.top(), 1440);
    EXPECT_EQ(w.TwipsGeometry(w.tvTreeView()).top(), 1440);
    const int height = w.LastLayout().tree.height();
    action("mnuViewToolbar")->trigger();
    EXPECT_FALSE(action("mnuViewToolbar")->isChecked());
    EXPECT_EQ(w.LastLayout().tree.top(), 630);
    action("mnuViewStatusBar")->trigger();
    EXPECT_FALSE(action("mnuViewStatusBar")->isChecked());
    const int status = w.findChild<QStatusBar*>("sbStatusBar")->height() * 15;
    EXPECT_EQ(w.LastLayout().tree.height(), height + 810 + status);
    // A window narrower than 3000 twips is widened.
    w.resize(100, 600);
    QCoreApplication::processEvents();
    EXPECT_GE(w.frameGeometry().width() * 15, 3000);
}

}  // namespace
