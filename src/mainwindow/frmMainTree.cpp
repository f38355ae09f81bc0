// The section tree of the main window.
#include <QTreeWidget>

#include "base/AppError.h"
#include "mainwindow/ImageLists.h"
#include "mainwindow/SectionNodes.h"
#include "mainwindow/frmMain.h"
#include "odb/Database.h"
#include "odb/Table.h"
#include "odb/Tables.h"
#include "startup/SharedState.h"
#include "startup/ShowErrorDetails.h"

namespace {

constexpr int kKeyRole = Qt::UserRole;
constexpr int kIndexRole = Qt::UserRole + 1;
constexpr int kImageRole = Qt::UserRole + 2;

// Assignments of the selection are no node clicks, even when an error cuts them short.
class SelectionAssignment {
  public:
    explicit SelectionAssignment(bool& flag) : flag_(flag), previous_(flag) { flag_ = true; }
    ~SelectionAssignment() { flag_ = previous_; }

  private:
    bool& flag_;
    bool previous_;
};

}  // namespace

QTreeWidgetItem* frmMain::addNode(int parent, const QString& key, const QString& text, const QString& image) {
    QTreeWidgetItem* item =
        parent == 0 ? new QTreeWidgetItem(tvTreeView_) : new QTreeWidgetItem(Node(parent));
    item->setText(0, text);
    item->setData(0, kKeyRole, key);
    item->setData(0, kIndexRole, static_cast<int>(nodes_.size()) + 1);
    item->setData(0, kImageRole, image);
    item->setIcon(0, TreeIcon(image));
    nodes_.push_back(item);
    return item;
}

void frmMain::SetTreeViewNodes() {
    SelectionAssignment assignment(settingSelection_);
    int remembered = SelectedNode() ? NodeIndex(SelectedNode()) : 0;
    tvTreeView_->setVisible(false);
    tvTreeView_->clear();
    nodes_.clear();
    // Every node is a new one: the first click on any of them opens its view.
    ++treeBuild_;
    for (const SectionNode& n : SectionNodes()) {
        QString key = n.key;
        QString text = n.text;
        if (n.connectionsTable) key = g_objDatabase->ConnectionsTableName();
        if (n.textFrom == SectionNode::TextFrom::TableTitle) text = g_objDatabase->Tables().Item(key).Title();
        addNode(n.parent, key, text, n.image);
        if (nodes_.size() == kFirstGroupNodes && remembered == 0) remembered = 1;
    }
    tvTreeView_->setVisible(true);
    // The same index is the same section: the tree is always built alike.
    if (remembered > 0) SetSelectedNode(Node(remembered));
}

void frmMain::ShowTreeAndView() {
    try {
        SetTreeViewNodes();
    } catch (const AppError& e) {
        // A table the database does not have: the error is told, the window stays usable.
        SetCurrentError(e);
        ShowErrorDetails(QString());
        return;
    }
    RefreshDetailView();
}

QTreeWidgetItem* frmMain::Node(int index) const {
    if (index < 1 || index > static_cast<int>(nodes_.size())) return nullptr;
    return nodes_[index - 1];
}

int frmMain::NodeIndex(const QTreeWidgetItem* node) {
    return node ? node->data(0, kIndexRole).toInt() : 0;
}

QString frmMain::NodeKey(const QTreeWidgetItem* node) {
    return node ? node->data(0, kKeyRole).toString() : QString();
}

QString frmMain::NodeText(const QTreeWidgetItem* node) {
    return node ? node->text(0) : QString();
}

QString frmMain::NodeImage(const QTreeWidgetItem* node) {
    return node ? node->data(0, kImageRole).toString() : QString();
}

void frmMain::SetSelectedNode(QTreeWidgetItem* node) {
    SelectionAssignment assignment(settingSelection_);
    if (node) {
        tvTreeView_->setCurrentItem(node);
        tvTreeView_->scrollToItem(node);
    } else {
        tvTreeView_->clearSelection();
        tvTreeView_->setCurrentItem(nullptr);
    }
}

QTreeWidgetItem* frmMain::SelectedNode() const {
    QTreeWidgetItem* current = tvTreeView_->currentItem();
    return current && current->isSelected() ? current : nullptr;
}

void frmMain::tvTreeView_NodeClick(QTreeWidgetItem* node) {
    if (!node) return;
    if (SelectedNode() != node) SetSelectedNode(node);
    const int index = NodeIndex(node);
    if (lastNodeBuild_ == treeBuild_ && lastNodeIndex_ == index) return;
    lastNodeBuild_ = treeBuild_;
    lastNodeIndex_ = index;
    RefreshDetailView();
}

void frmMain::tvTreeView_Click() {
    tvTreeView_NodeClick(SelectedNode());
}

void frmMain::tvTreeView_DblClick() {
    RefreshDetailView();
}
