// frmMain: the main window. Its load restores the placement and starts the tray icon; its
// activation opens the database, reads the working hours, logs the user in, builds the section
// tree and the first data view; closing hides it to the tray, "Chiudi" unloads it and ends the
// program. It holds the section tree, the data view of the selected section with its date
// selection, the section-items bar of a group, the splitter between tree and grid, every menu and
// toolbar button, and it receives the library's notifications.
//
// Controls and menu items carry their names as object names ("tvTreeView", "mnuFileNew"), so that
// tests and commands find them. The implementation is split by subject: frmMain.cpp (shell),
// frmMainMenus.cpp, frmMainLogin.cpp, frmMainTree.cpp, frmMainView.cpp, frmMainDateSelection.cpp,
// frmMainLayout.cpp, frmMainRecords.cpp (record commands and the grid's events), frmMainKeys.cpp,
// frmMainFilters.cpp, frmMainSearch.cpp (searches, orders, predefined selections),
// frmMainDeferred.cpp (tmFunc), frmMainTools.cpp (tools and configuration), frmMainPrint.cpp (the
// print dispatch), frmMainPrintCommands.cpp (the ready-made prints) and frmMainCommands.cpp (the
// toolbar's dispatch).
#pragma once

#include <QColor>
#include <QHash>
#include <QMainWindow>
#include <QMetaObject>
#include <QPointer>
#include <QWindow>

#include <memory>
#include <optional>
#include <vector>

#include "base/Variant.h"
#include "mainwindow/MainLayout.h"
#include "mainwindow/MenuArray.h"
#include "odb/Interfaces.h"
#include "startup/MainWindowServices.h"

class QAction;
class QKeyEvent;
class QLabel;
class QMenu;
class QPushButton;
class QStatusBar;
class QTimer;
class QToolBar;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;
class clsOSTNA;
class frmLabelPreview;
class frmMemo;

namespace odb {
class DataGrid;
class DataSet;
class GridLayout;
class SelectionSet;
class Table;
}  // namespace odb

class frmMain : public QMainWindow, public MainWindowServices, public odb::itfNotifyEvent {
    Q_OBJECT
  public:
    // Loading: placement, tray icon, title, date selection. The database is not touched.
    frmMain();
    ~frmMain() override;

    // ---- MainWindowServices ----
    QWidget* Widget() override { return this; }
    odb::itfNotifyEvent* NotifySink() override { return this; }
    void SetOptionsActive(bool active) override { m_blnOptionFormVisible = active; }
    bool OptionsActive() const override { return m_blnOptionFormVisible; }
    // Unbinds the grid, drops the current data set, closes the connection and the database.
    void ReleaseDatabase() override;
    // The unload road: closing message, placement, tray icon, other windows, database.
    void Unload() override;
    // A second start: the window shown again as it was, in front.
    void BringForward() override;

    // ---- itfNotifyEvent ----
    void OnEvent(int32_t action, void* source, const QString& detail) override;
    void OnInternalMessage(void* source, const QString& detail) override;
    void OnQueryMessage(void* source, int32_t messageType, const QString& queryMessage,
                        bool& cancel) override;
    void OnReportRequest(odb::DataSet& source, int32_t func, const QString& title,
                         const QString& details) override;

    // ---- shell ----
    // Runs at every activation: the start-up road when the database is closed, then the roles.
    void Form_Activate();
    bool isUnloaded() const { return unloaded_; }
    void SetAppTitle();
    void SetStatusMsg(const QString& msg);
    QString statusText() const;
    // The tray icon's mouse messages (coded mouse X, see clsOSTNA).
    void txtTNAInterface_MouseMove(float x);
    QMenu* trayMenu() const { return mnuPopUp_; }
    void Form_DblClick();
    void mnuViewRefresh_Click();
    void mnuViewToolbar_Click();
    void mnuViewStatusBar_Click();
    void mnuViewWebBrowser_Click();
    void mnuHelpContents_Click();
    void mnuHelpAbout_Click();

    // ---- login and access level ----
    // Chooses the user anew (by `useUser`, else with the picker) when `changeUser`, asks the
    // password (in change mode with `changePwd`), logs the user in and hands over the access
    // level. True when a user is logged in; False leaves the access level at 0.
    bool UserLogin(bool changeUser, const QString& useUser, bool changePwd);
    void mnuChangeUser_Click();
    void mnuChangePwd_Click();

    // ---- section tree ----
    // Clears and rebuilds the 52 nodes, then selects the node of the same index again.
    void SetTreeViewNodes();
    // The tree rebuilt, then the view of its selection, as the start-up and a change of user do;
    // an error of the rebuild is told.
    void ShowTreeAndView();
    void tvTreeView_NodeClick(QTreeWidgetItem* node);
    void tvTreeView_Click();
    void tvTreeView_DblClick();
    QTreeWidget* tvTreeView() const { return tvTreeView_; }
    // The node of an index (1-based), nullptr when there is none; a node's index, key and text.
    QTreeWidgetItem* Node(int index) const;
    static int NodeIndex(const QTreeWidgetItem* node);
    static QString NodeKey(const QTreeWidgetItem* node);
    static QString NodeText(const QTreeWidgetItem* node);
    static QString NodeImage(const QTreeWidgetItem* node);
    // Selects a node (or none) as an assignment of the tree's SelectedItem: no node click follows.
    void SetSelectedNode(QTreeWidgetItem* node);
    QTreeWidgetItem* SelectedNode() const;

    // ---- data view ----
    // Opens the data of the selected node: table, fields, order, where text and title of the
    // section, date selection and predefined selections; binds the grid and rebuilds the menus
    // and the command states.
    void RefreshDetailView();
    const std::shared_ptr<odb::DataSet>& CurrentDataSet() const { return m_objCurDS; }
    odb::DataGrid* dgView() const { return dgView_; }
    bool GridVisible() const;
    // Caption and Tag of the title labels (0 over the tree, 1 over the data).
    QString TitleCaption(int index) const;
    QString TitleTag() const { return lblTitle1Tag_; }

    // ---- date selection and totals ----
    void SetDateSelectionCaption();
    void cmdDateSel_Click();
    void mnuSelAll_Click();
    void mnuSelDate_Click();
    void mnuSelMonth_Click();
    void mnuSelPeriod_Click();
    void mnuTotalCount_Click();
    void mnuTotalItems_Click(int index);
    QPushButton* cmdDateSel() const { return cmdDateSel_; }
    QString DateSelTag() const { return cmdDateSelTag_; }

    // ---- section-items bar and layout ----
    void BuildSectionItems();
    void acmdSectionItem_Click(int index);
    // The bar's elements: 1 the header, 2 and up the item buttons (0, the template, is never shown).
    int SectionItemCount() const { return static_cast<int>(acmdSectionItem_.size()) + 1; }
    QWidget* SectionItem(int index) const;
    QString SectionItemCaption(int index) const;
    QString SectionItemTag(int index) const;
    // Lays the panes out for the tree width `w` (twips): 0 collapses, -1 restores.
    void ArrangeMainWindow(int w);
    void mnuHideSection_Click();
    void cmdHideTree_Click();
    // The splitter drag; `x` in twips from the splitter's left edge.
    void imgSplitter_MouseDown(int x);
    void imgSplitter_MouseMove(int x);
    void imgSplitter_MouseUp(int x);
    // Twips of the elements the layout places, for tests and the layout's callers.
    QRect TwipsGeometry(const QWidget* control) const;
    int SplitterLeft() const { return splitterLeft_; }
    int DragBarLeft() const { return picSplitterLeft_; }
    // The last layout pass, in twips.
    const LayoutResult& LastLayout() const { return lastLayout_; }
    QString HideTreeCaption() const { return hideTreeCaption_; }
    QColor HideTreeBackColor() const { return hideTreeColor_; }
    QPushButton* cmdHideTree() const { return cmdHideTree_; }

    // ---- menu arrays and toolbar ----
    MenuArray& mnuSearchItems() { return *mnuSearchItems_; }
    MenuArray& mnuOrderItems() { return *mnuOrderItems_; }
    MenuArray& mnuTotalItems() { return *mnuTotalItems_; }
    MenuArray& mnuFilterItems() { return *mnuFilterItems_; }
    MenuArray& mnuFilterComplexItems() { return *mnuFilterComplexItems_; }
    // A toolbar button by key ("New", "Properties", ..., "SendMail").
    QAction* ToolbarButton(const QString& key) const;
    // The "Find" button's drop-down entries and its Tag (the last search field's index).
    QMenu* FindButtonMenus() const { return findButtonMenus_; }
    QString FindButtonTag() const { return findButtonTag_; }
    void tbToolBar_ButtonClick(const QString& key);

    // ---- record commands and the grid's events ----
    void mnuFileNew_Click();
    void mnuFileProperties_Click();
    void mnuFileDelete_Click();
    void mnuSave_Click();
    void dgView_DblClick();
    void dgView_HeadClick(int column);
    void dgView_ColResize(int column, int twips);
    void dgView_RowColChange(int lastRow, int lastCol);
    // `y` from the grid's top, the headings line included, in pixels.
    void dgView_MouseUp(Qt::MouseButton button, int x, int y);
    void mnuGridFldAll_Click();
    void mnuGridFldSequence_Click();
    void mnuGridCancel_Click();
    void cmdGridSetting_Click();
    // The popup menus of the grid's right click, for tests: the last one opened.
    QMenu* LastGridPopup() const { return lastGridPopup_; }

    // ---- keys: seen before the grid and the tree; True when the key was used ----
    bool Form_KeyDown(int key, Qt::KeyboardModifiers modifiers);

    // ---- filters, searches, orders and predefined selections ----
    void mnuSearchItems_Click(int index);
    // Runs the search of mnuSearchItems(index) with the search dialog's current text.
    void ExecuteSearch(int index);
    void mnuSearchNext_Click();
    void mnuFilterComplex_Click();
    void mnuFilterCancel_Click();
    void mnuFilterItems_Click(int index);
    void mnuFilterComplexItems_Click(int index);
    void mnuOrderComplex_Click();
    void mnuOrderCancel_Click();
    void mnuOrderItems_Click(int index);
    void mnuFieldFilter_Click();
    void mnuFieldSearchNext_Click();
    void mnuFieldFilterCancel_Click();
    void mnuFieldFilterCancelAll_Click();
    void mnuDataSelBeforeQuery_Click();
    void mnuDataSelCancel_Click();
    const std::shared_ptr<odb::SelectionSet>& FilterSet() const { return m_objFilterSet; }
    const std::shared_ptr<odb::SelectionSet>& PredefinedSelections() const { return m_objSelectionSet; }

    // ---- deferred commands ----
    // Writes `command` into the Tag of tmFunc and enables it: its next tick runs the command.
    void QueueCommand(const QString& command);
    QTimer* tmFunc() const;
    QString tmFuncTag() const { return tmFuncTag_; }
    void tmFunc_Timer();

    // ---- related-record menus ----
    // Rebuilds the three menus for the data set (clear-only: empties them).
    void BuildRelatedRecordMenus(const std::shared_ptr<odb::DataSet>& ds, bool clearOnly);
    // " con stessi ", " con stessa ", " con stesse " (plural) or " con stesso ", by the word's end.
    static QString GetWithSameText(const QString& word, bool plural);
    MenuArray& mnuReferencedItem() { return *mnuReferencedItem_; }
    MenuArray& mnuRefItem() { return *mnuRefItem_; }
    MenuArray& mnuContItem() { return *mnuContItem_; }
    // A click queues the item's relation on tmFunc.
    void mnuRefItem_Click(int index);
    void mnuContItem_Click(int index);
    void mnuReferencedItem_Click(int index);
    // Relation `relation` of its kind, numbered along the base-table chain: the rows shown.
    void ShowContainerRecord(const std::shared_ptr<odb::DataSet>& ds, int relation);
    void ShowReferenceRecord(const std::shared_ptr<odb::DataSet>& ds, int relation);
    void ShowAssociatedRecords(const std::shared_ptr<odb::DataSet>& ds, int relation);
    enum class RelationKind { Container, Incoming, Association };

    // ---- print dispatch and print commands ----
    // The data set's custom reports (mode 0 prints, 1 and 2 preview), else the labels of its current
    // row on the label preview, else after a question an HTML table in the browser. `viewKey` is the
    // section key (or a caller's text) that picks the report group of the job-order details.
    void PrintDataView(odb::DataSet& ds, int32_t mode, const QString& viewKey);
    // The label preview window the label branch keeps from run to run; null before the first.
    frmLabelPreview* LabelPreview() const;
    void mnuPrint_Click();
    void mnuPreview_Click();
    void mnuPrintExport_Click();
    void mnuPrintLavrixDetail_Click();
    void mnuPrintLavrixSchedule_Click();
    void mnuPrintLabel_Click();
    void mnuPrintSelected_SchedeOperai_Click();
    void mnuPrintMonth_Accessi_Click();
    // The layout editor of a print-setting entry of the configuration menu, by the entry's name.
    void mnuPrintSetting_Click(const QString& name);
    // Asks, for every access of the month of `month` on a day of a non-working period, whether to go
    // on; `proceed` False when the user stopped.
    void CheckAccessesOnNonWorkingDays(const Variant& month, bool& proceed);
    // Tells of every worker with no access among `accesses`; both data sets end on their first row.
    void CheckWorkersWithoutAccesses(odb::DataSet& workers, odb::DataSet& accesses);

    // ---- tools and configuration ----
    void mnuToolsOptions_Click();
    void mnuAccessTimeSetting_Click();
    void mnuOrderNumberSetting_Click();
    void mnuOptionsMagnetic_Click();
    void mnuSendMail_Click();
    void mnuMemo_Click();
    void mnuOpenUserWindow_Click();
    void mnucontrolPanel_Click();
    void mnuCheck_Mail_Click();
    void mnuCheck_PeriodiNonLavorativi_Click();
    void mnuImport_Click();
    void mnuSoftwareUpdate_Click();
    void mnuToolsCard_Click();
    void mnuToolsCardWrite_Click();
    void tmSendMail_Timer();

    // ---- reminders ----
    // Panel 2 of the status bar: reminders are due.
    void SetMemoIndicator(bool visible);
    bool MemoIndicatorVisible() const;
    // The reminder window while it is loaded.
    frmMemo* MemoWindow() const;

    // Public state other windows read and write.
    bool m_blnOptionFormVisible = false;

  signals:
    // Emitted once the window has unloaded: the program ends.
    void unloaded();

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    // Building the window.
    void createControls();
    void createMenus();
    void createToolbar();
    void createPopupMenus();
    QAction* addCommand(QMenu* menu, const QString& name, const QString& caption, void (frmMain::*handler)());
    // A command whose check mark shows the state it sets.
    QAction* addMarkedCommand(QMenu* menu, const QString& name, const QString& caption,
                              void (frmMain::*handler)());
    // Placement in the settings store.
    void restorePlacement();
    void savePlacement();
    // The start-up road of the first activation; False when the window unloaded.
    bool openAndLogIn();
    void readWorkingHours();
    void showFromTray();
    // Unloads the other windows, the most recent first; False (after its message) when one refuses.
    bool unloadOtherWindows(bool reportRefusal);
    // The roles of this computer at each activation.
    void setUpRoles();

    // Data view steps.
    void resetViewMenus();
    // The view's rows could not be read (another computer holds the file): the status line says
    // so once, and shows what it showed before once they are read again.
    void rowsUnreadable(const QString& text);
    void rowsReadable();
    // After a view that failed: the tree back on the section the grid shows.
    void selectShownSection();
    void setCommandStates();
    // The record a report section asks for first; its condition and title.
    void chooseRecord(const QString& key, QString& where, QString& title);
    void askPredefinedSelections(odb::Table& table, QString& where, QString& dateField);
    void buildFieldMenus();
    // Through the library's panels: the grid's binding and current row, the row chooser and the
    // dialog of the predefined selections.
    void bindGrid();
    Variant gridBookmark() const;
    void showCurrentRowInGrid();
    Variant chooseRow(const std::shared_ptr<odb::DataSet>& ds, const QString& displayField);
    bool choosePredefinedSelections();
    // The date selection changed: caption, configuration, view.
    void dateSelectionChanged();
    // Tree nodes as stored on the items.
    QTreeWidgetItem* addNode(int parent, const QString& key, const QString& text, const QString& image);

    // Layout helpers.
    void applyLayout(const LayoutResult& r);
    void setTwipsGeometry(QWidget* control, const QRect& twips);
    void setHideTreeColor(const QColor& colour);
    LayoutMeasures measures() const;
    void placeBars();

    // The command panel and the reminder window, called where the window calls them.
    void ShowCommandPanel();
    void CommandPanelStatusMsg(const QString& msg);
    void LoadMemoWindow();
    void UnloadMemoWindow();
    // Printing: a data menu print of the view in `mode`; the rows a label command prints (the grid's
    // selection, or the current row made the selection), False after `invalidText` or a beep.
    void printView(int32_t mode);
    bool labelRows(const QString& invalidText, VariantList& rows);

    // The grid bound again to the current data set with its layout (no re-read).
    void rebindGrid();
    void m_objCurDSEvents_OnRefreshRecordset(odb::DataSet& ds);
    // True when a command on the data may act: a current data set shown in the grid (a group of
    // the tree hides the grid and keeps the data set of the last section).
    bool viewShown() const;
    // The same, with a beep when not.
    bool viewOrBeep();
    void deleteRows(const VariantList& picked, const Variant& current, bool loginRows);
    // The picked rows deleted with progress and stop; True when stopped. `left`: the rows kept.
    bool deletePicked(odb::DataSet& ds, const VariantList& picked, bool loginRows, VariantList& left);
    void rebuildReferences();
    void typeAhead(const QString& typed);

    // Filters.
    void ApplyFilter();
    void FillComplexFilterMenu();
    // The simple filters of mnuFilterItems joined: into the data set, the toolbar and the status.
    void applySimpleFilters();
    // m_objFilterSet made for the current table when it is missing or of another table.
    void useFilterSetOfView();
    // The member of mnuFilterItems (or mnuSearchItems) whose Tag is `field`; 0 when none.
    int memberOf(const MenuArray& array, const QString& field) const;
    bool complexFilterActive() const;
    void setFilterButton(bool pressed);
    // The predefined selections of the section shown: dropped when of another section or table.
    QString alignSelectionSet();
    void runComplexFilter();
    // The relation commands of tmFunc; false for a text of another form.
    bool RunRelationCommand(const QString& command);
    void queueRelation(const MenuArray& array, const QString& name, int index);
    void openRelated(const std::shared_ptr<odb::DataSet>& ds, RelationKind kind, int relation);
    void runComplexOrder();
    void showFound();
    // After a failed search the data set goes back to the row it stood on.
    void notFound(const QString& title, const QString& text, const Variant& previousRow);

    // ---- controls ----
    QWidget* client_ = nullptr;
    QToolBar* tbToolBar_ = nullptr;
    QHash<QString, QAction*> toolbarButtons_;
    QMenu* findButtonMenus_ = nullptr;
    QString findButtonTag_;
    QWidget* picTitles_ = nullptr;
    QLabel* lblTitle_[2] = {nullptr, nullptr};
    QString lblTitle1Tag_;
    QPushButton* cmdHideTree_ = nullptr;
    QString hideTreeCaption_ = QStringLiteral("3");
    QColor hideTreeColor_;
    std::optional<QColor> savedHideTreeColor_;
    QPushButton* cmdDateSel_ = nullptr;
    QString cmdDateSelTag_;
    QTreeWidget* tvTreeView_ = nullptr;
    std::vector<QTreeWidgetItem*> nodes_;  // by index - 1
    QWidget* imgSplitter_ = nullptr;
    QWidget* picSplitter_ = nullptr;
    odb::DataGrid* dgView_ = nullptr;
    QToolButton* cmdGridSetting_ = nullptr;
    QStatusBar* sbStatusBar_ = nullptr;
    QLabel* sbPanel1_ = nullptr;
    QLabel* sbPanel2_ = nullptr;
    std::vector<QWidget*> acmdSectionItem_;
    QTimer* tmSendMail_ = nullptr;
    QTimer* tmFunc_ = nullptr;
    QString tmFuncTag_;
    bool tmFuncBusy_ = false;
    QMenu* lastGridPopup_ = nullptr;
    QPointer<frmLabelPreview> labelPreview_;

    // ---- menus ----
    QMenu* mnuPopUp_ = nullptr;
    QMenu* mnuSelection_ = nullptr;
    QMenu* mnuFilter_ = nullptr;
    QMenu* mnuSearch_ = nullptr;
    QMenu* mnuOrder_ = nullptr;
    QMenu* mnuPrintFunc_ = nullptr;
    QMenu* mnuGridSetting_ = nullptr;
    QMenu* mnuFieldFuncs_ = nullptr;
    QMenu* mnuAssociation_ = nullptr;
    QAction* mnuViewToolbar_ = nullptr;
    QAction* mnuViewStatusBar_ = nullptr;
    QAction* mnuHideSection_ = nullptr;
    std::unique_ptr<MenuArray> mnuSearchItems_, mnuOrderItems_, mnuTotalItems_, mnuFilterItems_,
        mnuFilterComplexItems_, mnuReferencedItem_, mnuRefItem_, mnuContItem_;

    // ---- state ----
    std::unique_ptr<clsOSTNA> tray_;
    bool activating_ = false;
    bool askingEntry_ = false;
    bool shownOnce_ = false;
    QPointer<QWindow> lastFocus_;
    bool unloading_ = false;
    // Maximised or not, as the window was last shown: it comes back so from the tray or minimised.
    Qt::WindowStates shownState_ = Qt::WindowNoState;
    QTimer* settleState_ = nullptr;
    // The normal window's placement, kept here: Qt takes whatever covers the screen for it when a
    // window manager reports a plain state on the way to or from the icon.
    QRect normalPlacement_;
    void rememberNormalPlacement();
    bool unloaded_ = false;
    bool refreshing_ = false;
    bool gridBound_ = false;  // the grid shows m_objCurDS
    std::shared_ptr<odb::DataSet> m_objCurDS;
    QMetaObject::Connection m_objCurDSEvents;
    std::shared_ptr<odb::GridLayout> m_objGridLayout;
    std::shared_ptr<odb::SelectionSet> m_objSelectionSet;
    std::shared_ptr<odb::SelectionSet> m_objFilterSet;
    // The node a click handed to the data view last, named by build and index.
    int lastNodeBuild_ = -1;
    int lastNodeIndex_ = 0;
    // The node whose section the grid shows (0: none yet).
    int shownNodeIndex_ = 0;
    QString unreadableText_, statusBeforeUnreadable_;
    int treeBuild_ = 0;
    bool settingSelection_ = false;
    // Layout.
    int splitterLeft_ = 3500;
    int picSplitterLeft_ = 0;
    LayoutResult lastLayout_;
    LayoutMemory layoutMemory_;
    bool m_blnSplitterMoving = false;
    bool arranging_ = false;
    // Reminders and the mail timer.
    QPointer<frmMemo> memo_;
    int32_t mailTicks_ = 0;
    bool mailTickRunning_ = false;
};
