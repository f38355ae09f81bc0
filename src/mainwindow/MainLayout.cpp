// The main window's twip arithmetic.
#include "mainwindow/MainLayout.h"

#include <algorithm>

namespace {

constexpr int kMinOuterWidth = 3000;
constexpr int kCollapseLimit = 500;  // a width at or under it collapses a shown pane
constexpr int kMinTreeWidth = 1500;
constexpr int kRightReserve = 1000;  // the grid keeps at least this much of the window
constexpr int kGridRightGap = 220;
const QString kShown = QStringLiteral("3");
const QString kCollapsed = QStringLiteral("4");

}  // namespace

LayoutResult ArrangeLayout(int w, const LayoutMeasures& in, LayoutMemory& memory) {
    using Color = LayoutResult::HideTreeColor;
    LayoutResult r;
    r.hideTreeCaption = in.hideTreeCaption;
    r.sectionChecked = in.hideTreeCaption != kCollapsed;
    if (in.minimized || !in.visible) return r;

    LayoutMeasures m = in;
    if (m.outerWidth < kMinOuterWidth) {
        m.scaleWidth += kMinOuterWidth - m.outerWidth;
        m.outerWidth = kMinOuterWidth;
    }

    bool collapse = false;
    if (w == 0) {
        collapse = true;
    } else if (w == -1) {
        w = memory.lastTreeWidth;
        memory.lastTreeWidth = 0;
    } else if (w <= kCollapseLimit) {
        // Dragged (or dropped) fully to the left: a shown pane collapses, a collapsed one comes back.
        if (m.hideTreeCaption != kCollapsed) return ArrangeLayout(0, in, memory);
        w = memory.lastTreeWidth;
    } else if (w < kMinTreeWidth) {
        w = kMinTreeWidth;
    }

    r.laidOut = true;
    r.outerWidth = m.outerWidth;
    r.scaleWidth = m.scaleWidth;
    if (collapse) {
        // Only the first collapse remembers: a later one keeps the older width.
        if (memory.lastTreeWidth == 0) memory.lastTreeWidth = m.splitterLeft;
        r.hideTreeCaption = kCollapsed;
        r.sectionChecked = false;
        if (!memory.colorSaved) {
            r.saveColor = true;
            memory.colorSaved = true;
        }
        r.color = Color::PaleYellow;
    } else {
        r.hideTreeCaption = kShown;
        r.sectionChecked = true;
        if (memory.colorSaved) r.color = Color::Saved;
    }

    if (w > m.outerWidth - kRightReserve) w = m.outerWidth - kRightReserve;
    const int treeWidth = w == 0 ? 0 : w - m.treeLeft;
    const int gridLeft = w + m.splitterWidth;
    const int gridWidth = m.scaleWidth - (treeWidth + kGridRightGap);

    r.title0Width = treeWidth;
    r.hideTreeLeft = gridLeft + 20;
    r.title1Left = r.hideTreeLeft + m.hideTreeWidth + 10;
    const int rest = gridWidth - 30 - m.hideTreeWidth - (m.dateSelVisible ? m.dateSelWidth : 0);
    r.title1Width = std::max(rest, 0);
    r.dateSelLeft = r.title1Left + r.title1Width + 10;

    r.titlesTop = m.toolbarOn ? m.toolbarHeight : 0;
    const int treeTop = r.titlesTop + m.titlesHeight + m.splitterWidth;
    const int treeHeight =
        m.scaleHeight - (r.titlesTop + m.titlesHeight + (m.statusOn ? m.statusHeight : 0)) - m.splitterWidth;
    r.tree = QRect(m.treeLeft, treeTop, treeWidth, treeHeight);
    r.grid = QRect(gridLeft, treeTop, gridWidth, treeHeight);
    r.splitter = QRect(w, treeTop, m.splitterWidth, treeHeight);
    r.picSplitterTop = treeTop;
    return r;
}

int SplitterDragLeft(int splitterLeft, int x, int outerWidth) {
    const int pos = splitterLeft + x;
    if (pos < kCollapseLimit) return kCollapseLimit;
    if (pos > outerWidth - kCollapseLimit) return outerWidth - kCollapseLimit;
    return pos;
}

QRect SplitterDragBar(const QRect& splitter) {
    return QRect(splitter.left(), splitter.top(), splitter.width() / 2, splitter.height() - 20);
}

SectionBarResult ArrangeSectionBar(const SectionBarMeasures& m) {
    constexpr int kLeftGap = 400, kTopGap = 150, kGap = 150, kColumnGap = 400, kHeaderRight = 800,
                  kBottomGap = 150;
    SectionBarResult r;
    int x = m.splitterLeft + kLeftGap;
    int y = m.treeTop + kTopGap;
    const int headerHeight = m.header ? m.headerHeight : 0;
    if (m.header) {
        r.header = QRect(x, y, m.scaleWidth - x - kHeaderRight, headerHeight);
        y += headerHeight + kGap;
    }
    for (int i = 0; i < m.items; ++i) {
        if (y + m.templateHeight >= m.scaleHeight - kBottomGap) {
            // A new column, level with the first button under the header.
            x += m.templateWidth + kColumnGap;
            y = m.treeTop + kTopGap + headerHeight + kGap;
        }
        r.items.emplace_back(x, y, m.templateWidth, m.templateHeight);
        y += m.templateHeight + kGap;
    }
    return r;
}
