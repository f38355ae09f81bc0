// The work-folder picker. The disks are the local file systems mounted on the computer; network
// and virtual ones are reached as "Altra locazione".
#include "startup/frmSelectDir.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QRadioButton>
#include <QStorageInfo>
#include <QTreeView>
#include <QVBoxLayout>

#include "odb/ui/ModalDialog.h"
#include "platform/Prompt.h"
#include "startup/modZeltoFormUtility.h"

namespace {

bool IsLocalDisk(const QStorageInfo& volume) {
    static const QStringList remote = {"nfs", "nfs4", "cifs", "smb3",      "smbfs", "sshfs",     "fuse.sshfs",
                                       "9p",  "afs",  "ceph", "glusterfs", "davfs", "fuse.davfs"};
    static const QStringList virtualFs = {"proc",    "sysfs",       "devtmpfs",  "devpts",     "cgroup",
                                          "cgroup2", "securityfs",  "debugfs",   "tracefs",    "pstore",
                                          "bpf",     "mqueue",      "hugetlbfs", "fusectl",    "configfs",
                                          "autofs",  "binfmt_misc", "efivarfs",  "rpc_pipefs", "nsfs"};
    const QString type = QString::fromLatin1(volume.fileSystemType());
    return volume.isValid() && volume.isReady() && !remote.contains(type) && !virtualFs.contains(type);
}

QString WithoutTrailingSeparator(QString folder) {
    while (folder.size() > 1 && (folder.endsWith(u'/') || folder.endsWith(u'\\')))
        folder.chop(1);
    return folder;
}

}  // namespace

frmSelectDir::frmSelectDir()
    : QDialog(nullptr, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("frmSelectDir"));
    setWindowTitle(QStringLiteral("Selezione indirizzario"));
    setModal(true);

    optDisks_ = new QRadioButton(QStringLiteral("Dischi"), this);
    optDisks_->setToolTip(QStringLiteral("Seleziona uno dei dischi disponibili"));
    optOther_ = new QRadioButton(QStringLiteral("Altra locazione"), this);
    optOther_->setToolTip(QStringLiteral("Seleziona una qualsiasi risorsa disponibile"));
    auto* options = new QButtonGroup(this);
    options->addButton(optDisks_, 0);
    options->addButton(optOther_, 1);
    driveSelect_ = new QComboBox(this);
    cmdSelectRes_ = new QPushButton(QStringLiteral("..."), this);
    cmdSelectRes_->setToolTip(QStringLiteral("Attiva la selezione della risorsa"));
    dirs_ = new QFileSystemModel(this);
    dirs_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    dirs_->setRootPath(QStringLiteral("/"));
    dirSelect_ = new QTreeView(this);
    dirSelect_->setModel(dirs_);
    for (int c = 1; c < dirs_->columnCount(); ++c)
        dirSelect_->hideColumn(c);
    dirSelect_->header()->hide();
    dirSelect_->setMinimumSize(360, 260);
    cmdOk_ = new QPushButton(QStringLiteral("OK"), this);
    cmdOk_->setDefault(true);
    cmdEsci_ = new QPushButton(QStringLiteral("Esci"), this);

    auto* grid = new QGridLayout;
    grid->addWidget(optDisks_, 0, 0);
    grid->addWidget(driveSelect_, 0, 1);
    grid->addWidget(optOther_, 1, 0);
    grid->addWidget(cmdSelectRes_, 1, 1, Qt::AlignLeft);
    grid->setColumnStretch(1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOk_);
    buttons->addWidget(cmdEsci_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(dirSelect_, 1);
    layout->addLayout(buttons);

    fillDrives();
    connect(options, &QButtonGroup::idClicked, this, &frmSelectDir::optResource_Click);
    connect(driveSelect_, &QComboBox::activated, this, [this] { driveSelect_Change(); });
    connect(cmdSelectRes_, &QPushButton::clicked, this, &frmSelectDir::cmdSelectRes_Click);
    connect(cmdOk_, &QPushButton::clicked, this, &frmSelectDir::cmdOk_Click);
    connect(cmdEsci_, &QPushButton::clicked, this, &frmSelectDir::cmdEsci_Click);
    ApplyFormFont(this, g_strFontName, g_sngFontSizeIncrement);
    SetSelectedDir(QString());
}

QString frmSelectDir::Choose(const QString& startFolder, QWidget* owner) {
    frmSelectDir picker;
    picker.SetSelectedDir(startFolder);
    if (owner) picker.move(owner->geometry().center() - picker.rect().center());
    odb::RunModal(picker);
    return picker.SelectedDir();
}

void frmSelectDir::fillDrives() {
    driveSelect_->clear();
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes())
        if (IsLocalDisk(volume) && driveSelect_->findData(volume.rootPath()) < 0)
            driveSelect_->addItem(volume.rootPath(), volume.rootPath());
}

void frmSelectDir::SetSelectedDir(const QString& folder) {
    selectedDir_ = folder;
    // A folder on a local disk, or none, opens on the disks; any other on the other locations.
    const bool onDisk = showFolder(folder.isEmpty() ? QDir::homePath() : folder) || folder.isEmpty();
    optResource_Click(onDisk ? 0 : 1);
}

bool frmSelectDir::showFolder(const QString& folder) {
    const QString clean = WithoutTrailingSeparator(QDir::cleanPath(folder));
    const QModelIndex index = dirs_->index(clean);
    if (index.isValid()) {
        dirSelect_->setCurrentIndex(index);
        dirSelect_->scrollTo(index);
        shownDir_ = clean;
    }
    const int drive = driveSelect_->findData(QStorageInfo(clean).rootPath());
    if (drive >= 0) driveSelect_->setCurrentIndex(drive);
    return index.isValid() && drive >= 0;
}

void frmSelectDir::optResource_Click(int index) {
    QRadioButton* chosen = optResource(index);
    chosen->setChecked(true);
    for (QRadioButton* o : {optDisks_, optOther_}) {
        QFont font = o->font();
        font.setBold(o == chosen);
        o->setFont(font);
    }
    driveSelect_->setEnabled(index == 0);
    cmdSelectRes_->setEnabled(index == 1);
    // Disks listed but none selected: the root file system.
    if (index == 0 && driveSelect_->count() > 0 && driveSelect_->currentIndex() < 0) {
        const int root = driveSelect_->findData(QStringLiteral("/"));
        driveSelect_->setCurrentIndex(root >= 0 ? root : 0);
    }
}

void frmSelectDir::driveSelect_Change() {
    const QString drive = driveSelect_->currentData().toString();
    const QString previous = shownDir_;
    if (drive.isEmpty() || !QDir(drive).isReadable() || !dirs_->index(drive).isValid()) {
        // An unreadable disk: both lists go back to the folder shown before.
        showFolder(previous);
        return;
    }
    showFolder(drive);
}

void frmSelectDir::cmdSelectRes_Click() {
    const QString chosen =
        Prompt::instance().openFileName(QString(), shownDir_, QStringLiteral("tutti i files (*)"), this);
    if (!chosen.isEmpty()) showFolder(QFileInfo(chosen).absolutePath());
    dirSelect_->setFocus();
}

QString frmSelectDir::highlightedDir() const {
    const QModelIndex index = dirSelect_->currentIndex();
    return index.isValid() ? WithoutTrailingSeparator(dirs_->filePath(index)) : shownDir_;
}

void frmSelectDir::cmdOk_Click() {
    selectedDir_ = highlightedDir();
    accept();
}

void frmSelectDir::cmdEsci_Click() {
    reject();
}

void frmSelectDir::reject() {
    selectedDir_.clear();
    QDialog::reject();
}
