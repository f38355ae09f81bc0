// ScriptAssistant: the code assistant of a layout editor's script box. While the user types, a few
// texts just before the caret open a pop-up menu of the engine's instructions ("prn."), of the data
// set's functions ("ds."), of the fields or references of a table, or the font or colour chooser;
// picking an entry types the matching text at the caret. A label shows the caret's line and the number
// of lines. The label editor uses it as set up by default; the report editor sets up its differences:
// the data set named after the function the caret is in, lists built for the table that data set
// reads each time they are shown, and If sections per reference.
#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

#include "labels/ScriptMenuArray.h"

class QLabel;
class QMenu;
class QPushButton;
class QTimer;
class ScriptBox;

namespace odb {
class Database;
class Table;
struct ReferenceDef;
}  // namespace odb

struct ScriptAssistantSetup {
    // Captions and the one tag in which the editors differ.
    QString outputCaption = QStringLiteral("Di Presentazione");
    QString dataCaption = QStringLiteral("Di Accesso ai Dati");
    QString referenceDataCaption = QStringLiteral(" > Dati Referenziati ()");
    QString boxOutTag = QStringLiteral("BoxOut nY, nX, nDimY, nDimX, bFill");

    // The database whose tables the lists show, and the name of the source table chosen in the editor
    // (empty when none).
    std::function<odb::Database*()> database;
    std::function<QString()> tableName;
    // The reference whose rows the layout prints (empty: the table's own rows); unset for labels.
    std::function<QString()> referenceName;
    // The reference part that stands for all references: where the row data set reads one of several
    // tables, asked of the user, and the If sections are offered. Empty: no such source.
    QString allReferencesName;
    // The name of the data set valid at the caret; unset: "ds".
    std::function<QString()> dataSetName;
    // The lists are built for the table at the caret each time they are shown; otherwise once for the
    // chosen table (LoadTableMenu), after which `tableListsBuilt` runs.
    bool listsFollowCaret = false;
    std::function<void()> tableListsBuilt;
};

class ScriptAssistant : public QObject {
    Q_OBJECT
  public:
    // The menus are made as children of `form`, named as the controls they stand for; the buttons
    // open them.
    ScriptAssistant(QWidget* form, ScriptBox* txtVBScript, QLabel* lblLine, QPushButton* cmdInstruction,
                    QPushButton* cmdField, ScriptAssistantSetup setup);
    ~ScriptAssistant() override;

    // A table was chosen in the label editor: its lists are built on the timer, then `tableListsBuilt`.
    void LoadTableMenu();
    // The menus and the timer are switched with the editor's other controls.
    void SetEnabled(bool enable);
    // lblLine: the caret's line from 1, " / " and the number of lines.
    void ShowScriptLinePosition();

    void cmdInstruction_Click();
    void cmdField_Click();

  private:
    // ---- menus and lists (ScriptAssistant.cpp) ----
    void buildMenus();
    void fillInstructionLists();
    // The fields and references of `table` and its base tables, hidden ones left out.
    void loadFields(ScriptMenuArray& array, const odb::Table* table);
    void loadReferences(ScriptMenuArray& array, const odb::Table* table, const QString& prefix);
    void buildTableLists(const odb::Table* table);
    void ShowReferenceMenu(const odb::ReferenceDef* ref);
    void loadIfSections();
    void PopupScriptMenu(QMenu* menu);
    odb::Table* table(const QString& name) const;
    // The table whose fields the caret's data set reads; may ask which reference when the source is all
    // of them. Null when there is none.
    odb::Table* CaretDataTable();

    // ---- typing, triggers and the timer's actions (ScriptAssistantActions.cpp) ----
    void txtVBScript_Change();
    void startAction(const QString& tag);
    void tmFunc_Timer();
    void runAction(const QString& tag);
    void insertInstruction(const QString& tag, const QString& prefix);
    void FieldInsertText(const QString& name);
    void insertReference(const QString& reference, const QString& ownerTable, bool replaceColValue);
    void insertIfSection(const QString& reference);
    void fontDialog();
    void colorDialog();
    void InsertScriptText(const QString& text, int backspaces);
    void mnuFieldItemRef_Click(int index);
    void mnuRefReferenceItem_Click(int index);
    void chosen(const QString& action, int index);
    void showError(const std::exception& e);
    QString dataSetName() const;
    int caret() const;
    QString textBefore(int position, int length) const;
    QChar charBefore(int position) const;
    bool scriptEmpty() const;

    QWidget* form_;
    ScriptBox* box_;
    QLabel* lblLine_;
    QPushButton* cmdField_;
    ScriptAssistantSetup setup_;

    QTimer* tmFunc_;
    QString tmFuncTag_;
    bool busy_ = false;
    bool typing_ = false;
    int chosenIndex_ = 0;
    QString pendingReference_;
    QString pendingOwnerTable_;
    QString chosenRowSource_;

    QMenu* mnuIntructionHelp_ = nullptr;
    QMenu* mnuOutputInstructions_ = nullptr;
    QMenu* mnuDataInstructions_ = nullptr;
    QMenu* mnuRefIfSectionSelection_ = nullptr;
    QMenu* mnuFieldHelp_ = nullptr;
    QMenu* mnuFields_ = nullptr;
    QMenu* mnuReferences_ = nullptr;
    QMenu* mnuRefFieldHelp_ = nullptr;
    QMenu* mnuRefSelHelp_ = nullptr;
    QAction* mnuRefName_ = nullptr;
    std::unique_ptr<ScriptMenuArray> mnuInstructionItem_;
    std::unique_ptr<ScriptMenuArray> mnuFunctionDataItem_;
    std::unique_ptr<ScriptMenuArray> mnuRefIfSectionItem_;
    std::unique_ptr<ScriptMenuArray> mnuFieldItem_;
    std::unique_ptr<ScriptMenuArray> mnuFieldItemRef_;
    std::unique_ptr<ScriptMenuArray> mnuReferenceItem_;
    std::unique_ptr<ScriptMenuArray> mnuRefFieldItem_;
    std::unique_ptr<ScriptMenuArray> mnuRefReferenceItem_;
    std::unique_ptr<ScriptMenuArray> mnuSelReferenceItem_;
};
