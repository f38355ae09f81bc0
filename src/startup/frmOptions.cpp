// The options dialog and the database repair command.
#include "startup/frmOptions.h"

#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>
#include <limits>

#include "base/AppError.h"
#include "base/TextUtil.h"
#include "base/Variant.h"
#include "odb/ui/ModalDialog.h"
#include "platform/Prompt.h"
#include "platform/modOSWinUtil.h"
#include "startup/Configuration.h"
#include "startup/MainWindowServices.h"
#include "startup/PlaceDialog.h"
#include "startup/RepairDatabase.h"
#include "startup/SharedState.h"
#include "startup/frmMessage.h"
#include "startup/frmSelectDir.h"
#include "startup/modZeltoFormUtility.h"

namespace {

const QString kNotNumeric = QStringLiteral("Il campo deve essere numerico");

// The number in a masked box when it is a whole number within [0, limit].
bool WholeNumber(const QLineEdit* box, int64_t limit, int64_t& value) {
    double d = 0;
    if (!ParseVbNumber(box->text(), d) || d < 0 || d > static_cast<double>(limit) ||
        d != static_cast<int64_t>(d))
        return false;
    value = static_cast<int64_t>(d);
    return true;
}

int64_t LimitOf(const QLineEdit* box) {
    return box->objectName() == QStringLiteral("maskNumCommVisible") ? std::numeric_limits<int16_t>::max()
                                                                     : std::numeric_limits<int32_t>::max();
}

QLineEdit* MaskedBox(QWidget* parent, const QString& name, int digits) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setMaxLength(digits);
    box->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), box));
    box->setAlignment(Qt::AlignRight);
    box->setFixedWidth(box->fontMetrics().horizontalAdvance(QString(digits + 2, u'0')) + 12);
    return box;
}

MainWindowServices* Main() {
    return MainWindowServices::instance();
}

}  // namespace

frmOptions::frmOptions() : QDialog(nullptr, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("frmOptions"));
    setWindowTitle(QStringLiteral("Impostazioni"));

    frmGeneralParameter_ = new QGroupBox(QStringLiteral("Parametri Generali:"), this);
    txtWorkDir_ = new QLineEdit(frmGeneralParameter_);
    txtWorkDir_->setMinimumWidth(txtWorkDir_->fontMetrics().averageCharWidth() * 48);
    cmdSelWorkDir_ = new QPushButton(QStringLiteral("..."), frmGeneralParameter_);
    cmdSelWorkDir_->setToolTip(QStringLiteral("Selezione indirizzario"));
    cmdSelWorkDir_->setFixedWidth(cmdSelWorkDir_->fontMetrics().horizontalAdvance(QStringLiteral("...")) +
                                  24);
    chkIsWorkStation_ =
        new QCheckBox(QStringLiteral("Accedi in entrata al Pannello Comandi della Postazione di Lavoro"),
                      frmGeneralParameter_);
    chkIsWorkStation_->setToolTip(
        QStringLiteral("Attiva in entrata il Pannello Comandi per la Postazione di Lavoro"));
    txtOperatore_ = new QLineEdit(frmGeneralParameter_);
    txtOperatore_->setToolTip(
        QStringLiteral("Utente predefinito usato per l'accesso al pannello dei comandi (vedi tabella Utenti "
                       "definiti per i nomi esistenti)"));
    maskNumCommVisible_ = MaskedBox(frmGeneralParameter_, QStringLiteral("maskNumCommVisible"), 4);
    maskIntervalRefreshControlPanel_ =
        MaskedBox(frmGeneralParameter_, QStringLiteral("maskIntervalRefreshControlPanel"), 9);
    chkIsMailNotificationServer_ = new QCheckBox(
        QStringLiteral(
            "Invia E-Mail di notifica avvenuta chiusura commessea cliente (solo per i clienti abilitati)"),
        frmGeneralParameter_);
    chkIsMailNotificationServer_->setToolTip(
        QStringLiteral("La postazione funziona da server di invio automatico notifiche via E-Mail"));
    cmdRepairDB_ = new QPushButton(QStringLiteral("&Ripristino Database..."), this);
    cmdRepairDB_->setToolTip(QStringLiteral("Attiva la funzione di ripristino e compattazione del database"));
    cmdOK_ = new QPushButton(QStringLiteral("OK"), this);
    cmdOK_->setDefault(true);
    cmdCancel_ = new QPushButton(QStringLiteral("Annulla"), this);

    auto* lblWorkDir = new QLabel(QStringLiteral("Indirizzario di lavoro:"), frmGeneralParameter_);
    lblWorkDir->setBuddy(txtWorkDir_);
    auto* lblOperatore = new QLabel(QStringLiteral("Accedi con l'Utente:"), frmGeneralParameter_);
    lblOperatore->setBuddy(txtOperatore_);
    auto* lblNumComm = new QLabel(
        QStringLiteral("Numero di ultime sottocommesse chiuse visualizzate nel pannello di controllo:"),
        frmGeneralParameter_);
    lblNumComm->setBuddy(maskNumCommVisible_);
    auto* lblInterval =
        new QLabel(QStringLiteral("Intervallo di aggiornamento per il  pannello di controllo (minuti):"),
                   frmGeneralParameter_);
    lblInterval->setBuddy(maskIntervalRefreshControlPanel_);

    auto* workDir = new QHBoxLayout;
    workDir->addWidget(txtWorkDir_, 1);
    workDir->addWidget(cmdSelWorkDir_);
    auto* grid = new QGridLayout(frmGeneralParameter_);
    grid->addWidget(lblWorkDir, 0, 0, 1, 2);
    grid->addLayout(workDir, 1, 0, 1, 2);
    grid->addWidget(chkIsWorkStation_, 2, 0, 1, 2);
    auto* user = new QHBoxLayout;
    user->addSpacing(style()->pixelMetric(QStyle::PM_IndicatorWidth) + 6);
    user->addWidget(lblOperatore);
    user->addWidget(txtOperatore_, 1);
    grid->addLayout(user, 3, 0, 1, 2);
    grid->addWidget(lblNumComm, 4, 0);
    grid->addWidget(maskNumCommVisible_, 4, 1, Qt::AlignRight);
    grid->addWidget(lblInterval, 5, 0);
    grid->addWidget(maskIntervalRefreshControlPanel_, 5, 1, Qt::AlignRight);
    grid->addWidget(chkIsMailNotificationServer_, 6, 0, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdRepairDB_);
    buttons->addStretch();
    buttons->addWidget(cmdOK_);
    buttons->addWidget(cmdCancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frmGeneralParameter_);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(chkIsWorkStation_, &QCheckBox::toggled, this, &frmOptions::chkIsWorkStation_Click);
    connect(cmdSelWorkDir_, &QPushButton::clicked, this, &frmOptions::cmdSelWorkDir_Click);
    connect(cmdOK_, &QPushButton::clicked, this, &frmOptions::cmdOK_Click);
    connect(cmdCancel_, &QPushButton::clicked, this, &frmOptions::cmdCancel_Click);
    connect(cmdRepairDB_, &QPushButton::clicked, this, &frmOptions::cmdRepairDB_Click);
    maskNumCommVisible_->installEventFilter(this);
    maskIntervalRefreshControlPanel_->installEventFilter(this);
    ApplyFormFont(this, g_strFontName, g_sngFontSizeIncrement);

    SetParamConfiguration();
    confirmed_ = false;
    loaded_ = true;
    if (MainWindowServices* main = Main()) {
        main->SetOptionsActive(true);
        if (main->Widget()) main->Widget()->setEnabled(false);
    }
}

frmOptions::~frmOptions() {
    unload();
}

void frmOptions::SetParamConfiguration() {
    txtWorkDir_->setText(g_strRootDir);
    chkIsWorkStation_->setChecked(false);
    chkIsWorkStation_Click();
    chkIsWorkStation_->setChecked(g_blnIsWorkStation);
    txtOperatore_->setText(g_strCommandPanelUserName);
    maskNumCommVisible_->setText(QString::number(g_intNumCommVisible));
    maskIntervalRefreshControlPanel_->setText(
        QString::number(g_lngIntervalTimerControlPanel < 1 ? 1 : g_lngIntervalTimerControlPanel));
    chkIsMailNotificationServer_->setChecked(g_blnIsMailNotificationServer);
}

bool frmOptions::ShowModal() {
    frmOptions dialog;
    dialog.setModal(true);
    dialog.placeOverOwner();
    odb::RunModal(dialog);
    return dialog.Confirmed();
}

frmOptions* frmOptions::ShowModeless() {
    auto* dialog = new frmOptions;
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    // Owned, not a child: the main window is disabled while the options are up.
    if (MainWindowServices* main = Main()) KeepAboveOwner(dialog, main->Widget());
    dialog->placeOverOwner();
    dialog->show();
    return dialog;
}

void frmOptions::placeOverOwner() {
    adjustSize();
    MainWindowServices* main = Main();
    if (!main || !main->Widget() || !main->Widget()->isVisible()) return;
    const QWidget* owner = main->Widget();
    QRect placed = frameGeometry();
    placed.moveCenter(owner->frameGeometry().center());
    // Never past the screen's edges, whatever the main window's own placement.
    if (const QScreen* screen = owner->screen()) {
        const QRect area = screen->availableGeometry();
        placed.moveLeft(std::max(area.left(), std::min(placed.left(), area.right() - placed.width() + 1)));
        placed.moveTop(std::max(area.top(), std::min(placed.top(), area.bottom() - placed.height() + 1)));
    }
    move(placed.topLeft());
}

void frmOptions::unload() {
    if (!loaded_) return;
    loaded_ = false;
    if (MainWindowServices* main = Main()) {
        main->SetOptionsActive(false);
        if (main->Widget()) main->Widget()->setEnabled(true);
    }
}

void frmOptions::done(int result) {
    QDialog::done(result);
    // Closed by any road: the main window comes back, and reopens a released database.
    unload();
}

void frmOptions::chkIsWorkStation_Click() {
    txtOperatore_->setEnabled(chkIsWorkStation_->isChecked());
}

bool frmOptions::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut &&
        (watched == maskNumCommVisible_ || watched == maskIntervalRefreshControlPanel_))
        CheckNumeric(static_cast<QLineEdit*>(watched));
    return QDialog::eventFilter(watched, event);
}

bool frmOptions::CheckNumeric(QLineEdit* box) {
    int64_t value = 0;
    if (WholeNumber(box, LimitOf(box), value)) return true;
    // The message takes the focus away from the box once more: that is not a second leaving.
    if (checking_) return false;
    checking_ = true;
    Prompt::instance().msgBox(kNotNumeric, MsgBoxStyle::vbInformation, g_strMsgBoxTitle, this);
    box->setFocus();
    box->selectAll();
    checking_ = false;
    return false;
}

void frmOptions::cmdSelWorkDir_Click() {
    const QString folder = frmSelectDir::Choose(txtWorkDir_->text(), this);
    if (!folder.isEmpty()) txtWorkDir_->setText(folder);
}

void frmOptions::cmdOK_Click() {
    using namespace MsgBoxStyle;
    // Numbers are checked as their boxes are left; OK pressed from within a box checks them too.
    if (!CheckNumeric(maskNumCommVisible_) || !CheckNumeric(maskIntervalRefreshControlPanel_)) return;
    // Folder names differ by letter case on this system: another case is another folder.
    if (txtWorkDir_->text() != g_strRootDir) {
        if (Prompt::instance().msgBox(QStringLiteral("L'indirizzario di lavoro e' cambiato.\r\rConfermi ?"),
                                      vbYesNo | vbQuestion, g_strMsgBoxTitle, this) != MsgResult::Yes)
            return;
        g_strRootDir = txtWorkDir_->text();
        if (MainWindowServices* main = Main()) main->ReleaseDatabase();
    }
    int64_t number = 0;
    g_blnIsWorkStation = chkIsWorkStation_->isChecked();
    g_strCommandPanelUserName = txtOperatore_->text();
    WholeNumber(maskNumCommVisible_, LimitOf(maskNumCommVisible_), number);
    g_intNumCommVisible = static_cast<int16_t>(number);
    WholeNumber(maskIntervalRefreshControlPanel_, LimitOf(maskIntervalRefreshControlPanel_), number);
    g_lngIntervalTimerControlPanel = static_cast<int32_t>(number);
    g_blnIsMailNotificationServer = chkIsMailNotificationServer_->isChecked();
    SaveConfiguration();
    confirmed_ = true;
    accept();
}

void frmOptions::cmdCancel_Click() {
    reject();
}

void frmOptions::cmdRepairDB_Click() {
    using namespace MsgBoxStyle;
    Prompt::instance().beep();
    if (Prompt::instance().msgBox(
            QStringLiteral(
                "Questa funzione tenta il recupero del database...\r"
                "In caso di errore uscire da tutti i terminali, riavviare l'applicazione e ripetere "
                "l'operazione.\r\rContinuare ?"),
            vbOKCancel | vbQuestion, g_strMsgBoxTitle, this) != MsgResult::OK)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QCoreApplication::processEvents();
    frmMessage& message = frmMessage::instance();
    try {
        message.ShowMsg(QStringLiteral("Controlli..."), this, -1, -1);
        const QString folder = txtWorkDir_->text();
        MainWindowServices* main = Main();
        // The repair works on the folder shown here, saved or not; this program lets the file go.
        if (FileExists(BuildPath(folder, kDatabaseFileName, QString())) && main) main->ReleaseDatabase();
        const RepairResult result = RepairDatabaseFile(folder, main ? main->NotifySink() : nullptr, [&] {
            message.ShowMsg(QStringLiteral("Ripristino Database in corso..."), this, -1, -1);
            QCoreApplication::processEvents();
        });
        QApplication::restoreOverrideCursor();
        switch (result.outcome) {
            case RepairResult::Done:
            case RepairResult::NoFile:
                Prompt::instance().msgBox(QStringLiteral("Recupero completato"), vbInformation,
                                          g_strMsgBoxTitle, this);
                break;
            case RepairResult::InUse:
                Prompt::instance().msgBox(
                    QStringLiteral(
                        "Il database è in uso su un'altra postazione: il recupero non è stato eseguito "
                        "e il database non è stato modificato.\r\rUscire da tutti i terminali e "
                        "ripetere l'operazione."),
                    vbExclamation, g_strMsgBoxTitle, this);
                break;
            case RepairResult::Damaged:
                Prompt::instance().msgBox(
                    QStringLiteral("Il controllo ha rilevato danni al database che il recupero non può "
                                   "correggere: il file non è stato modificato.\r\r") +
                        result.details,
                    vbCritical, g_strMsgBoxTitle, this);
                break;
        }
    } catch (const AppError& e) {
        QApplication::restoreOverrideCursor();
        Prompt::instance().msgBox(e.description(), vbOKOnly, QString(), this);
    } catch (const std::exception& e) {
        QApplication::restoreOverrideCursor();
        Prompt::instance().msgBox(ErrorDescription(e), vbOKOnly, QString(), this);
    }
    frmMessage::Unload();
}
