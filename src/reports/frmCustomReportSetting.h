// frmCustomReportSetting: the report layout editor ("Impostazione Report"). One window, modeless over
// its owner, where the user writes report profiles (rows of TabProspettiStampa): for a data source and
// a name, the module's geometry, its band of detail rows, background image, printer, orientation, group
// and the script; with a test print and a preview from the values being edited, search in the script,
// and export and import as a text file.
#pragma once

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <memory>
#include <vector>

#include "labels/LayoutExportFile.h"
#include "reports/ReportSources.h"

class MaskedBox;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;
class ScriptAssistant;
class ScriptBox;
class TextPhrasePositions;

namespace odb {
class Connection;
class Database;
class DataSet;
}  // namespace odb

class frmCustomReportSetting : public QWidget {
    Q_OBJECT
  public:
    // Shows the editor without blocking, owned by `frmParent`; the window is made on first use, and a
    // call while it is open only brings it forward (its source and group lists stay as built).
    //  onlyTableList      table names and "Table.Reference" paths, comma-separated; empty: every table
    //  includeReference   also every detail reference of the listed tables
    //  requiredNote       the reports print note lines: a new script gets the note function too
    //  contextNameList    the group names offered, comma-separated
    static frmCustomReportSetting* EditSetting(QWidget* frmParent, std::shared_ptr<odb::Database> database,
                                               std::shared_ptr<odb::Connection> connection,
                                               const QString& onlyTableList = {},
                                               bool includeReference = false, bool requiredNote = false,
                                               const QString& contextNameList = {});
    // The open window, or null.
    static frmCustomReportSetting* Instance();

    ~frmCustomReportSetting() override;

    // The chosen source's table, and its reference part ("[ tutti i riferimenti ]" for all, empty for
    // the table's own rows); empty without a source.
    QString SelectedTableName() const;
    QString SelectedReferenceName() const;
    bool IsModified() const { return m_blnModified; }
    // The data-set parameter valid at the caret of the script: "ds" inside PrintReportMask and
    // PrintNoteRow, "dsRow" inside PrintReportRow and PrintDataInit (as the functions follow one another in
    // the default script); empty with the caret at the end of the text.
    QString CurrentDataSetName() const;
    // The script as stored: lines end with CR LF.
    QString ScriptText() const;
    void SetScriptText(const QString& script);

    // Commands, as the controls run them.
    void cbTableSel_Click();
    void cbReportName_Click();
    void cmdOK_Click();
    void cmdDelete_Click();
    void cmdDefault_Click();
    void cmdTest_Click();
    void cmdPreview_Click();
    void cmdSelBackImage_Click();
    void cmdPrnSetting_Click();
    void cmdSearch_Click();
    void cmdSave_Click();
    void cmdLoad_Click();
    void cmdCancel_Click();
    // Asks whether to save a modified profile; false when the user wanted it saved and the save failed,
    // so that what was about to replace the profile does not happen.
    bool ConfirmSaveIfChanged();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    frmCustomReportSetting(QWidget* parent, std::shared_ptr<odb::Database> database,
                           std::shared_ptr<odb::Connection> connection, const QString& onlyTableList,
                           bool includeReference, bool requiredNote, const QString& contextNameList);

    void buildControls();
    void arrangeControls();
    void connectControls();
    void fillLists();
    // The source combo's entry chosen by the user: it replaces the shown one, after the question.
    void sourceActivated(int index);
    // A name picked from the list (not typed): it replaces the shown profile, after the question.
    void nameActivated(int index);
    void selectSource(int listIndex);
    void selectOnlySource();

    // ---- profiles (frmCustomReportSettingProfile.cpp) ----
    std::shared_ptr<odb::DataSet> profileRows(const QString& name) const;
    void fillNameList();
    void LoadReportProfile();
    void showNewProfile();
    void LoadReportGroups(const QString& group);
    bool SaveReportProfile();
    void setNameListIndex(int index);
    // The name box's text, as the profile is saved under it before a pick from the list replaces it.
    void setNameText(const QString& name);
    void EnableEditControls(bool enable);

    // ---- commands (frmCustomReportSettingCommands.cpp) ----
    void runReport(bool preview);
    // The box texts the engine reads as numbers; false after naming the box that holds no number.
    bool numbersValid();
    void FindScriptText(const QString& text, bool fromSelection);
    void searchKey(Qt::KeyboardModifiers modifiers);

    // ---- the export file (frmCustomReportSettingFile.cpp) ----
    // The header keys of the file: what each writes and what reading it does to the window.
    LayoutExportKeys exportKeys();
    // A group read from a file: a number is the entry's place in the list, a text its name.
    void importGroup(const QString& value);

    void showError(const std::exception& e);
    // The code assistant of the script box, with the report's differences.
    void createAssistant();

    std::shared_ptr<odb::Database> p_objDatabase;
    std::shared_ptr<odb::Connection> p_objConnection;
    QString p_strOnlyTableList;
    bool p_blnIncludeReference = false;
    bool p_blnRequiredNote = false;
    QString p_strContextNameList;

    std::vector<ReportSource> m_colSources;
    int m_intSourceIndex = -1;  // entry of m_colSources shown, -1 none
    int m_intNameIndex = -1;    // list entry of the name chosen, -1 when typed or none
    bool m_blnModified = false;
    bool m_blnGroupListFixed = false;  // no group names offered: the list shows the profile's own
    bool m_blnNameFromEditing = false;
    QString m_strNameText;
    QString m_strSearchText;

    QLabel* lblTableSel_ = nullptr;
    QComboBox* cbTableSel_ = nullptr;
    QLabel* lblReportName_ = nullptr;
    QComboBox* cbReportName_ = nullptr;
    QLabel* lblReportGroup_ = nullptr;
    QComboBox* cboReportGroup_ = nullptr;
    QLabel* lblPrinter_ = nullptr;
    QComboBox* cboPrinter_ = nullptr;
    QCheckBox* chkPrinterSelection_ = nullptr;
    QToolButton* cmdPrnSetting_ = nullptr;
    MaskedBox* txtColumns_ = nullptr;
    MaskedBox* txtReportHeight_ = nullptr;
    MaskedBox* txtReportWidth_ = nullptr;
    MaskedBox* txtReportTop_ = nullptr;
    MaskedBox* txtReportLeft_ = nullptr;
    MaskedBox* txtReportRowsTop_ = nullptr;
    MaskedBox* txtReportRowsBottom_ = nullptr;
    MaskedBox* txtReportRowsDim_ = nullptr;
    QLineEdit* txtBackImage_ = nullptr;
    QToolButton* cmdSelBackImage_ = nullptr;
    MaskedBox* txtBottomImageBorder_ = nullptr;
    QCheckBox* chkHorizontal_ = nullptr;
    QLabel* lblScript_ = nullptr;
    QToolButton* cmdSearch_ = nullptr;
    QToolButton* cmdDelete_ = nullptr;
    QLabel* lblLine_ = nullptr;
    QPushButton* cmdInstruction_ = nullptr;
    QPushButton* cmdField_ = nullptr;
    QPushButton* cmdDefault_ = nullptr;
    ScriptBox* txtVBScript_ = nullptr;
    QWidget* pnlBottom_ = nullptr;
    QPushButton* cmdTest_ = nullptr;
    QPushButton* cmdPreview_ = nullptr;
    QPushButton* cmdLoad_ = nullptr;
    QPushButton* cmdSave_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
    ScriptAssistant* assistant_ = nullptr;
    TextPhrasePositions* functionHeads_ = nullptr;
    // Every control EnableEditControls switches, with the labels named after them.
    std::vector<QWidget*> editControls_;
    std::vector<QLabel*> sizeLabels_;
};
