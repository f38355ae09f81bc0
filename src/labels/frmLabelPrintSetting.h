// frmLabelPrintSetting: the label layout window ("Impostazione stampa etichette"). For each table whose
// rows can be printed as labels the user sets the layout, a row of TabStampaEtichette: the sheet in
// millimetres, the printer, the options, the copies and the script whose PrintLabel draws one label.
// One window, modeless above the window that opened it; a test print and a preview of one row of
// labels with the values being edited; export and import of a layout as a text file.
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

#include <memory>

#include "labels/LayoutExportFile.h"

class MaskedBox;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class ScriptAssistant;
class ScriptBox;

namespace odb {
class Connection;
class Database;
}  // namespace odb

class frmLabelPrintSetting : public QWidget {
    Q_OBJECT
  public:
    // Keeps the arguments and shows the window over `frmParent` without blocking; returns at once. An
    // open window is only brought forward: the arguments change, the table list built at its load does
    // not. An empty `onlyTableList` (names separated by commas, any letter case) allows every table; an
    // empty `defaultScript` makes "Imposta &Predefinito" put in the template.
    static frmLabelPrintSetting* EditSetting(QWidget* frmParent, std::shared_ptr<odb::Database> database,
                                             std::shared_ptr<odb::Connection> connection,
                                             const QString& onlyTableList = {},
                                             const QString& defaultScript = {});
    // The open window, or null.
    static frmLabelPrintSetting* Get();

    // The script of a new layout: 18 lines joined by CR LF, none after the last.
    static QString LabelTemplate();

    // The name of the chosen table; empty when none is chosen.
    QString GetSelectedTableName() const;
    // Every control but the table list, "&Esci" and the bottom panel, the code assistant's menus and
    // timer included.
    void EnableEditControls(bool enable);
    // Changes since the layout was loaded or saved.
    bool Modified() const { return modified_; }

    // The commands, as the buttons run them.
    void cmdOK_Click();
    void cmdCancel_Click();
    void cmdDefault_Click();
    void cmdPreview_Click();
    void cmdTest_Click();
    void cmdPrnSetting_Click();
    void cmdSave_Click();
    void cmdLoad_Click();

    QComboBox* cbTableSel() const { return cbTableSel_; }
    QComboBox* cboPrinter() const { return cboPrinter_; }
    QCheckBox* chkPrinterSelection() const { return chkPrinterSelection_; }
    QCheckBox* chkHorizontal() const { return chkHorizontal_; }
    QCheckBox* chkEnableLabelAlignment() const { return chkEnableLabelAlignment_; }
    MaskedBox* txtColumns() const { return txtColumns_; }
    MaskedBox* txtLabelHeight() const { return txtLabelHeight_; }
    MaskedBox* txtLabelWidth() const { return txtLabelWidth_; }
    MaskedBox* txtLabelTop() const { return txtLabelTop_; }
    MaskedBox* txtLabelLeft() const { return txtLabelLeft_; }
    MaskedBox* txtCopy() const { return txtCopy_; }
    ScriptBox* txtVBScript() const { return txtVBScript_; }
    QLabel* lblLine() const { return lblLine_; }
    QWidget* pnlBottom() const { return pnlBottom_; }

  protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    explicit frmLabelPrintSetting(QWidget* owner);
    void build();
    void Form_Load();
    void Form_Activate();
    void cbTableSel_Click();
    // Shows the layout of the chosen table, stored or new.
    void loadLayout();
    // The script box and every other box and check box set the mark, except while a layout is loaded.
    void markModified();
    // Asks before unsaved changes are lost; false when the window stays.
    bool confirmLeave();
    // The columns, sizes and margins as numbers; false after saying which box holds no number.
    bool readNumbers(float& height, float& width, float& top, float& left, int32_t& columns);
    // The rows of the chosen table, for the test print and the preview to pick one from.
    void showPreview(bool onPrinter);
    LayoutExportKeys exportKeys();
    void showError(const std::exception& e);

    std::shared_ptr<odb::Database> database_;
    std::shared_ptr<odb::Connection> connection_;
    QString onlyTableList_;
    QString defaultScript_;
    bool modified_ = false;
    bool loading_ = false;

    QComboBox* cbTableSel_ = nullptr;
    QComboBox* cboPrinter_ = nullptr;
    QCheckBox* chkPrinterSelection_ = nullptr;
    QPushButton* cmdPrnSetting_ = nullptr;
    MaskedBox* txtColumns_ = nullptr;
    MaskedBox* txtLabelHeight_ = nullptr;
    MaskedBox* txtLabelWidth_ = nullptr;
    MaskedBox* txtLabelTop_ = nullptr;
    MaskedBox* txtLabelLeft_ = nullptr;
    MaskedBox* txtCopy_ = nullptr;
    QCheckBox* chkHorizontal_ = nullptr;
    QCheckBox* chkEnableLabelAlignment_ = nullptr;
    QPushButton* cmdInstruction_ = nullptr;
    QPushButton* cmdField_ = nullptr;
    QPushButton* cmdDefault_ = nullptr;
    ScriptBox* txtVBScript_ = nullptr;
    QLabel* lblLine_ = nullptr;
    QWidget* pnlBottom_ = nullptr;
    ScriptAssistant* assistant_ = nullptr;
};
