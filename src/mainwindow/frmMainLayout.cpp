// The main window's layout: panes, splitter, tree-pane collapse and the section-items bar.
#include <QAction>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include "odb/ui/DataGrid.h"

#include "mainwindow/ImageLists.h"
#include "mainwindow/frmMain.h"

namespace {

constexpr int kTwipsPerPixel = 15;
int px(int twips) {
    return (twips >= 0 ? twips + kTwipsPerPixel / 2 : twips - kTwipsPerPixel / 2) / kTwipsPerPixel;
}
const QColor kPaleYellow(255, 255, 192);
const QColor kLightGrey(224, 224, 224);
constexpr int kTemplateWidth = 2550;
constexpr int kTemplateHeight = 825;

QFont sectionItemFont(bool bold) {
    QFont f(QStringLiteral("Times New Roman"));
    f.setPointSizeF(9.75);
    f.setBold(bold);
    return f;
}

}  // namespace

// ---- geometry in twips ----

void frmMain::setTwipsGeometry(QWidget* control, const QRect& twips) {
    // A size the control cannot take leaves it as it was.
    if (twips.width() < 0 || twips.height() < 0) return;
    control->setGeometry(px(twips.x()), px(twips.y()), px(twips.width()), px(twips.height()));
}

QRect frmMain::TwipsGeometry(const QWidget* control) const {
    const QRect g = control->geometry();
    return QRect(g.x() * kTwipsPerPixel, g.y() * kTwipsPerPixel, g.width() * kTwipsPerPixel,
                 g.height() * kTwipsPerPixel);
}

LayoutMeasures frmMain::measures() const {
    LayoutMeasures m;
    m.minimized = isMinimized();
    m.visible = isVisible();
    m.outerWidth = frameGeometry().width() * kTwipsPerPixel;
    m.scaleWidth = client_->width() * kTwipsPerPixel;
    m.scaleHeight = client_->height() * kTwipsPerPixel;
    m.splitterLeft = splitterLeft_;
    m.toolbarOn = mnuViewToolbar_->isChecked();
    m.toolbarHeight = tbToolBar_->height() * kTwipsPerPixel;
    m.statusOn = mnuViewStatusBar_->isChecked();
    m.statusHeight = sbStatusBar_->height() * kTwipsPerPixel;
    m.dateSelVisible = !cmdDateSel_->isHidden();
    m.hideTreeCaption = hideTreeCaption_;
    return m;
}

void frmMain::setHideTreeColor(const QColor& colour) {
    hideTreeColor_ = colour;
    cmdHideTree_->setStyleSheet(QStringLiteral("QPushButton { background-color: %1; border: 1px solid "
                                               "rgb(128, 128, 128); }")
                                    .arg(colour.name()));
}

// ---- the layout pass ----

void frmMain::ArrangeMainWindow(int w) {
    // A resize caused by the pass itself (the minimum width) is laid out by this pass.
    if (arranging_) return;
    arranging_ = true;
    const LayoutMeasures m = measures();
    const LayoutResult r = ArrangeLayout(w, m, layoutMemory_);
    if (r.laidOut) {
        if (r.outerWidth > m.outerWidth) resize(width() + px(r.outerWidth - m.outerWidth), height());
        applyLayout(r);
    }
    arranging_ = false;
    if (r.laidOut) BuildSectionItems();
}

void frmMain::applyLayout(const LayoutResult& r) {
    using Color = LayoutResult::HideTreeColor;
    lastLayout_ = r;
    if (r.hideTreeCaption != hideTreeCaption_) {
        hideTreeCaption_ = r.hideTreeCaption;
        cmdHideTree_->setIcon(HideTreeIcon(hideTreeCaption_ != QStringLiteral("4")));
    }
    mnuHideSection_->setChecked(r.sectionChecked);
    if (r.saveColor) savedHideTreeColor_ = hideTreeColor_;
    if (r.color == Color::PaleYellow)
        setHideTreeColor(kPaleYellow);
    else if (r.color == Color::Saved && savedHideTreeColor_)
        setHideTreeColor(*savedHideTreeColor_);
    splitterLeft_ = r.splitter.left();

    // The bars follow their alignment: toolbar and titles on top, status bar at the bottom.
    const int scaleWidth = client_->width();
    tbToolBar_->setGeometry(0, 0, scaleWidth, tbToolBar_->height());
    picTitles_->setGeometry(0, px(r.titlesTop), scaleWidth, px(480));
    sbStatusBar_->setGeometry(0, client_->height() - sbStatusBar_->height(), scaleWidth,
                              sbStatusBar_->height());

    setTwipsGeometry(tvTreeView_, r.tree);
    setTwipsGeometry(imgSplitter_, r.splitter);
    setTwipsGeometry(dgView_, r.grid);
    cmdGridSetting_->move(px(r.grid.left()), px(r.grid.top()));
    picSplitter_->move(picSplitter_->x(), px(r.picSplitterTop));
    if (r.title0Width >= 0) lblTitle_[0]->setFixedWidth(px(r.title0Width));
    lblTitle_[0]->setVisible(r.title0Width > 0);
    cmdHideTree_->move(px(r.hideTreeLeft), cmdHideTree_->y());
    lblTitle_[1]->move(px(r.title1Left), lblTitle_[1]->y());
    lblTitle_[1]->setFixedWidth(px(r.title1Width));
    lblTitle_[1]->setVisible(r.title1Width > 0);
    cmdDateSel_->move(px(r.dateSelLeft), cmdDateSel_->y());
    cmdGridSetting_->raise();
    imgSplitter_->raise();
}

void frmMain::mnuHideSection_Click() {
    ArrangeMainWindow(mnuHideSection_->isChecked() ? 0 : -1);
}

void frmMain::cmdHideTree_Click() {
    mnuHideSection_Click();
}

// ---- the splitter drag ----

void frmMain::imgSplitter_MouseDown(int) {
    const QRect bar = SplitterDragBar(lastLayout_.splitter);
    picSplitterLeft_ = bar.left();
    setTwipsGeometry(picSplitter_, bar);
    picSplitter_->show();
    picSplitter_->raise();
    m_blnSplitterMoving = true;
}

void frmMain::imgSplitter_MouseMove(int x) {
    if (!m_blnSplitterMoving) return;
    picSplitterLeft_ = SplitterDragLeft(splitterLeft_, x, frameGeometry().width() * kTwipsPerPixel);
    picSplitter_->move(px(picSplitterLeft_), picSplitter_->y());
}

void frmMain::imgSplitter_MouseUp(int) {
    ArrangeMainWindow(picSplitterLeft_);
    picSplitter_->hide();
    m_blnSplitterMoving = false;
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    // The window sees the keys before the grid and the tree.
    if (event->type() == QEvent::KeyPress && (watched == dgView_ || watched == tvTreeView_)) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (Form_KeyDown(key->key(), key->modifiers())) return true;
    }
    if (watched == client_) {
        if (event->type() == QEvent::Resize) {
            ArrangeMainWindow(splitterLeft_);
        } else if (event->type() == QEvent::MouseButtonDblClick) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (!client_->childAt(mouse->position().toPoint())) Form_DblClick();
        }
    } else if (watched == imgSplitter_) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        switch (event->type()) {
            case QEvent::MouseButtonPress:
                if (mouse->button() == Qt::LeftButton)
                    imgSplitter_MouseDown(static_cast<int>(mouse->position().x()) * kTwipsPerPixel);
                return true;
            case QEvent::MouseMove:
                imgSplitter_MouseMove(static_cast<int>(mouse->position().x()) * kTwipsPerPixel);
                return true;
            case QEvent::MouseButtonRelease:
                if (m_blnSplitterMoving)
                    imgSplitter_MouseUp(static_cast<int>(mouse->position().x()) * kTwipsPerPixel);
                return true;
            default:
                break;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---- the section-items bar ----

QWidget* frmMain::SectionItem(int index) const {
    if (index < 1 || index >= SectionItemCount()) return nullptr;
    return acmdSectionItem_[index - 1];
}

QString frmMain::SectionItemCaption(int index) const {
    QWidget* item = SectionItem(index);
    if (auto* label = qobject_cast<QLabel*>(item)) return label->text();
    if (auto* button = qobject_cast<QToolButton*>(item)) return button->text();
    return {};
}

QString frmMain::SectionItemTag(int index) const {
    QWidget* item = SectionItem(index);
    return item ? item->property("Tag").toString() : QString();
}

void frmMain::BuildSectionItems() {
    // The buttons go first; the one being pressed is deleted once its click is over.
    for (QWidget* item : acmdSectionItem_) {
        item->hide();
        item->deleteLater();
    }
    acmdSectionItem_.clear();
    cmdHideTree_->setEnabled(true);
    QTreeWidgetItem* node = SelectedNode();
    if (!node || !NodeKey(node).isEmpty()) return;

    SectionBarMeasures m;
    m.splitterLeft = splitterLeft_;
    m.treeTop = lastLayout_.laidOut ? lastLayout_.tree.top() : tvTreeView_->y() * kTwipsPerPixel;
    m.scaleWidth = client_->width() * kTwipsPerPixel;
    m.scaleHeight = client_->height() * kTwipsPerPixel;
    m.templateWidth = kTemplateWidth;
    m.templateHeight = kTemplateHeight;
    m.header = node->childCount() > 0;
    std::vector<QTreeWidgetItem*> children;
    for (int i = 0; i < node->childCount(); ++i)
        if (!NodeText(node->child(i)).isEmpty()) children.push_back(node->child(i));
    m.items = static_cast<int>(children.size());

    QLabel* header = nullptr;
    if (m.header) {
        header = new QLabel(QStringLiteral("VOCI PRINCIPALI PER LA SEZIONE ") + NodeText(node).toUpper() +
                                QStringLiteral(" :"),
                            client_);
        header->setObjectName(QStringLiteral("acmdSectionItem"));
        header->setFont(sectionItemFont(true));
        header->setEnabled(false);
        header->setWordWrap(true);
        header->setAlignment(Qt::AlignCenter);
        header->setAutoFillBackground(true);
        header->setFrameShape(QFrame::Panel);
        header->setFrameShadow(QFrame::Raised);
        header->setStyleSheet(
            QStringLiteral("QLabel { background-color: rgb(224, 224, 224); "
                           "color: rgb(48, 48, 48); }"));
        // Half the template's height, or what a text too long for one line needs.
        const int widthPx = std::max(px(m.scaleWidth - (m.splitterLeft + 400) - 800) - 8, 1);
        const int textPx = header->fontMetrics()
                               .boundingRect(QRect(0, 0, widthPx, 10000), Qt::TextWordWrap, header->text())
                               .height();
        m.headerHeight = std::max(kTemplateHeight / 2, (textPx + 8) * kTwipsPerPixel);
        acmdSectionItem_.push_back(header);
    }
    // Every button as wide as the template, or as the widest text needs: one column, none cut.
    std::vector<QToolButton*> buttons;
    int widest = 0;
    for (QTreeWidgetItem* child : children) {
        auto* button = new QToolButton(client_);
        button->setObjectName(QStringLiteral("acmdSectionItem"));
        button->setText(NodeText(child));
        button->setProperty("Tag",
                            NodeKey(child).isEmpty() ? QString::number(NodeIndex(child)) : NodeKey(child));
        button->setToolTip(
            QStringLiteral("Apre la sezione <") + NodeText(child) +
            QStringLiteral("> per la Visualizzazione/Modifica dei dati oppure per la Stampa..."));
        const QString image = NodeImage(child);
        if (!image.isEmpty()) {
            button->setIcon(TreeIcon(image));
            button->setIconSize(QSize(24, 24));
            button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        }
        button->setFont(sectionItemFont(false));
        button->setFocusPolicy(Qt::TabFocus);
        widest = std::max(widest, button->sizeHint().width());
        buttons.push_back(button);
    }
    m.templateWidth = std::max(kTemplateWidth, widest * kTwipsPerPixel);
    const SectionBarResult r = ArrangeSectionBar(m);
    if (header) {
        setTwipsGeometry(header, r.header);
        header->show();
    }
    for (size_t i = 0; i < buttons.size(); ++i) {
        QToolButton* button = buttons[i];
        setTwipsGeometry(button, r.items[i]);
        acmdSectionItem_.push_back(button);
        const int index = static_cast<int>(acmdSectionItem_.size());
        connect(button, &QToolButton::clicked, this, [this, index] { acmdSectionItem_Click(index); });
        button->show();
    }
    cmdHideTree_->setEnabled(false);
}

void frmMain::acmdSectionItem_Click(int index) {
    const QString tag = SectionItemTag(index);
    bool numeric = false;
    const int nodeIndex = tag.trimmed().toInt(&numeric);
    QTreeWidgetItem* node = nullptr;
    if (numeric) {
        node = Node(nodeIndex);
    } else {
        for (QTreeWidgetItem* n : nodes_)
            if (NodeKey(n) == tag) {
                node = n;
                break;
            }
    }
    // A tag that names no node leaves the selection; the view is refreshed all the same.
    if (node) SetSelectedNode(node);
    RefreshDetailView();
}
