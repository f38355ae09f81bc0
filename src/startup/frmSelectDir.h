// frmSelectDir: the work-folder picker: a folder of one of the mounted disks, or, through a file
// dialog, any other location the computer reaches.
#pragma once

#include <QDialog>
#include <QString>

class QComboBox;
class QFileSystemModel;
class QPushButton;
class QRadioButton;
class QTreeView;

class frmSelectDir : public QDialog {
    Q_OBJECT
  public:
    frmSelectDir();

    // Set before showing to start in that folder; after the dialog closed, the chosen folder, or ""
    // when the user left with "Esci".
    QString SelectedDir() const { return selectedDir_; }
    void SetSelectedDir(const QString& folder);
    // Shows the picker modally over `owner`; the chosen folder, or "" when none was chosen.
    static QString Choose(const QString& startFolder, QWidget* owner);

    void optResource_Click(int index);
    void driveSelect_Change();
    void cmdSelectRes_Click();
    void cmdOk_Click();
    void cmdEsci_Click();

    // The folder highlighted in the folder list.
    QString highlightedDir() const;
    QComboBox* driveSelect() const { return driveSelect_; }
    QTreeView* dirSelect() const { return dirSelect_; }
    QRadioButton* optResource(int index) const { return index == 0 ? optDisks_ : optOther_; }
    QPushButton* cmdSelectRes() const { return cmdSelectRes_; }
    QPushButton* cmdOk() const { return cmdOk_; }
    QPushButton* cmdEsci() const { return cmdEsci_; }

  protected:
    void reject() override;  // as "Esci"

  private:
    // Shows `folder` in both lists; False when its disk is not one of the local ones listed.
    bool showFolder(const QString& folder);
    void fillDrives();

    QString selectedDir_;
    QString shownDir_;  // the folder the lists stand on
    QComboBox* driveSelect_ = nullptr;
    QTreeView* dirSelect_ = nullptr;
    QFileSystemModel* dirs_ = nullptr;
    QRadioButton* optDisks_ = nullptr;
    QRadioButton* optOther_ = nullptr;
    QPushButton* cmdSelectRes_ = nullptr;
    QPushButton* cmdOk_ = nullptr;
    QPushButton* cmdEsci_ = nullptr;
};
