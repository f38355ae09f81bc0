// MainLayout: the twip arithmetic of the main window's panes, with no widget: the tree, the
// splitter, the grid and the title strip from one wanted tree width (collapse and restore of the
// tree pane included), the splitter's drag bar, and the section-items bar's buttons.
#pragma once

#include <QRect>
#include <QString>

#include <vector>

// Where the window and its fixed elements stand before a layout pass (twips).
struct LayoutMeasures {
    bool minimized = false;
    bool visible = true;
    int outerWidth = 0;  // the window's outer width
    int scaleWidth = 0;  // the inner (client) width and height
    int scaleHeight = 0;
    int splitterLeft = 0;  // imgSplitter.Left now
    int splitterWidth = 150;
    int treeLeft = 60;
    bool toolbarOn = true;  // as checked in the "Visualizza" menu
    int toolbarHeight = 810;
    bool statusOn = true;
    int statusHeight = 0;
    int titlesHeight = 480;
    int hideTreeWidth = 225;
    bool dateSelVisible = false;
    int dateSelWidth = 3615;
    QString hideTreeCaption = QStringLiteral("3");  // "3" pane shown, "4" collapsed
};

// What the layout keeps from one pass to the next.
struct LayoutMemory {
    int lastTreeWidth = 0;  // the width remembered by a collapse; 0: none
    bool colorSaved = false;
};

struct LayoutResult {
    enum class HideTreeColor { Unchanged, PaleYellow, Saved };
    bool laidOut = false;  // False: a minimised or hidden window is left as it is
    int outerWidth = 0;    // widened to 3000 when narrower
    int scaleWidth = 0;
    QString hideTreeCaption;
    bool sectionChecked = true;  // "&Sezione" of the "Visualizza" menu
    bool saveColor = false;      // keep the hide button's colour before it turns pale yellow
    HideTreeColor color = HideTreeColor::Unchanged;
    int titlesTop = 0;  // picTitles under the toolbar
    QRect tree;
    QRect splitter;  // imgSplitter
    QRect grid;
    int picSplitterTop = 0;
    int title0Width = 0;
    int hideTreeLeft = 0;
    int title1Left = 0;
    int title1Width = 0;
    int dateSelLeft = 0;
};

// One layout pass for the wanted tree width `w`: 0 collapses the tree pane, -1 restores the
// remembered width, any other value is the splitter's new left edge (500 or less collapses a shown
// pane and restores a collapsed one; otherwise at least 1500, at most the window width - 1000).
LayoutResult ArrangeLayout(int w, const LayoutMeasures& m, LayoutMemory& memory);

// The drag bar's left edge while the splitter is dragged `x` twips from its left edge: kept
// between 500 and the window's outer width - 500.
int SplitterDragLeft(int splitterLeft, int x, int outerWidth);
// The drag bar shown at mouse-down over the splitter `splitter`.
QRect SplitterDragBar(const QRect& splitter);

// The section-items bar of a group node: a header and one button per child, in columns.
struct SectionBarMeasures {
    int splitterLeft = 0;
    int treeTop = 0;
    int scaleWidth = 0;
    int scaleHeight = 0;
    int templateWidth = 2550;  // the buttons' width: the template's, or what the widest text needs
    int templateHeight = 825;
    int headerHeight = 412;  // half the template's, or more when its text needs two lines
    bool header = false;     // the node has children
    int items = 0;           // children with a text
};

struct SectionBarResult {
    QRect header;  // empty without children
    std::vector<QRect> items;
};

SectionBarResult ArrangeSectionBar(const SectionBarMeasures& m);
