// The command panel of a shop-floor workstation.
#include "terminal/frmCommandPanel.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

#include "base/AppError.h"
#include "odb/DbmsGlobal.h"
#include "shopfloor/AccessRegistration.h"
#include "shopfloor/CardPrefix.h"
#include "startup/PlaceDialog.h"
#include "startup/SharedState.h"
#include "startup/ShowErrorDetails.h"
#include "startup/modZeltoFormUtility.h"
#include "terminal/HiddenPointer.h"
#include "terminal/TerminalContext.h"
#include "terminal/carddevices/frmMagneticDev.h"
#include "terminal/frmActionLavrixManager.h"

namespace {

const QString kAdministrator = QStringLiteral("Amministratore");

struct ButtonDef {
    const char* name;
    const char* caption;
    bool attendance;  // an attendance kind, else a job-order action
    int32_t number;
};

// By digit key, 0 to 8.
const ButtonDef kButtons[9] = {
    {"cmdManage_Commessa", "&0. Gestisci", false, 4},
    {"cmdOpen_Commessa", "&1.Apri   ", false, 0},
    {"cmdClose_Commessa", "&2.Chiudi ", false, 1},
    {"cmdSuspend_Commessa", "&3. Sospendi ", false, 2},
    {"cmdResume_Commessa", "&4. Riprendi ", false, 3},
    {"cmdEntry", "&5. Ingresso ", true, 0},
    {"cmdExit", "&6. Uscita", true, 1},
    {"cmdEntryExtra", "&7. Ingresso Extra", true, 2},
    {"cmdExitExtra", "&8. Uscita Extra", true, 3},
};

QPointer<frmCommandPanel>& instance() {
    static QPointer<frmCommandPanel> panel;
    return panel;
}

}  // namespace

frmCommandPanel* frmCommandPanel::Get() {
    return instance();
}

frmCommandPanel* frmCommandPanel::ShowOver(QWidget* owner) {
    if (!instance()) {
        instance() = new frmCommandPanel(owner);
        instance()->Form_Load();
    }
    frmCommandPanel* panel = instance();
    panel->show();
    panel->raise();
    panel->activateWindow();
    return panel;
}

frmCommandPanel::frmCommandPanel(QWidget* owner) : QDialog(owner, Qt::Window), owner_(owner) {
    setObjectName(QStringLiteral("frmCommandPanel"));
    KeepAboveOwner(this, owner);
    setWindowTitle(QStringLiteral("Comandi della Postazione Lavoro"));
    pointer_ = std::make_unique<HiddenPointer>();

    for (int digit = 0; digit < 9; ++digit) {
        const ButtonDef& def = kButtons[digit];
        auto* button = new QPushButton(QString::fromUtf8(def.caption), this);
        button->setObjectName(QString::fromUtf8(def.name));
        QFont big = button->font();
        big.setPointSizeF(big.pointSizeF() * 2.0);
        big.setBold(true);
        button->setFont(big);
        button->setMinimumSize(300, 80);
        button->setAutoDefault(false);
        button->setFocusPolicy(Qt::NoFocus);
        connect(button, &QPushButton::clicked, this, [this, def] {
            if (def.attendance)
                RegisterAccess(def.number);
            else
                jobOrderAction(def.number);
        });
        buttons_[digit] = button;
    }
    auto* attendance = new QGroupBox(QStringLiteral("Presenze"), this);
    auto* attendanceColumn = new QVBoxLayout(attendance);
    auto* jobOrders = new QGroupBox(QStringLiteral("Commesse"), this);
    auto* jobOrdersColumn = new QVBoxLayout(jobOrders);
    for (int digit = 1; digit <= 4; ++digit)
        jobOrdersColumn->addWidget(buttons_[digit]);
    for (int digit = 5; digit <= 8; ++digit)
        attendanceColumn->addWidget(buttons_[digit]);
    auto* grid = new QGridLayout;
    grid->addWidget(attendance, 0, 0);
    grid->addWidget(jobOrders, 0, 1);
    grid->addWidget(buttons_[0], 1, 1);
    sbStatusBar_ = new QLabel(this);
    auto* status = new QStatusBar(this);
    status->addWidget(sbStatusBar_, 1);
    status->setSizeGripEnabled(false);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid, 1);
    layout->addWidget(status);
    ApplyFormFont(this, g_strFontName, g_sngFontSizeIncrement);

    // The window sees keys before its controls.
    installEventFilter(this);
    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(this);
}

frmCommandPanel::~frmCommandPanel() = default;

void frmCommandPanel::Form_Load() {
    SetAppTitle();
    g_blnCommandPanelActive = true;
    loaded_ = true;
    // Workers at the terminal use the keys and the card reader only.
    if (g_strCurrentUser != kAdministrator) pointer_->Hide();
}

void frmCommandPanel::SetAppTitle() {
    if (g_strCurrentUser.isEmpty()) return;
    setWindowTitle(windowTitle() + QStringLiteral("  (") + g_strCurrentUser + QStringLiteral("  su  ") +
                   odb::DbmsGlobal::ComputerName() + QStringLiteral(")"));
}

void frmCommandPanel::SetStatusMsg(const QString& msg) {
    sbStatusBar_->setText(msg);
}

QString frmCommandPanel::StatusMsg() const {
    return sbStatusBar_->text();
}

QPushButton* frmCommandPanel::Button(int digit) const {
    return digit >= 0 && digit < 9 ? buttons_[digit] : nullptr;
}

void frmCommandPanel::Unload() {
    if (!loaded_) return;
    loaded_ = false;
    pointer_->Show();
    if (frmActionLavrixManager::IsLoaded()) frmActionLavrixManager::Get()->Unload();
    g_blnCommandPanelClosed = true;
    // The main window then asks whether to enter the application.
    if (g_blnIsWorkStation) g_strCurrentUser.clear();
    g_blnCommandPanelActive = false;
    hide();
    deleteLater();
}

void frmCommandPanel::reject() {
    Unload();
    if (owner_) {
        owner_->show();
        owner_->raise();
        owner_->activateWindow();
    }
}

void frmCommandPanel::closeEvent(QCloseEvent* e) {
    Unload();
    e->accept();
}

bool frmCommandPanel::eventFilter(QObject*, QEvent* e) {
    if (e->type() != QEvent::KeyPress || !loaded_) return false;
    auto* key = static_cast<QKeyEvent*>(e);
    if (key->key() == Qt::Key_Escape) {
        reject();
        return true;
    }
    const QString text = key->text();
    if (text.size() == 1 && text[0] >= QLatin1Char('0') && text[0] <= QLatin1Char('8')) {
        buttons_[text[0].unicode() - '0']->click();
        return true;
    }
    return false;
}

void frmCommandPanel::jobOrderAction(int32_t action) {
    frmActionLavrixManager::Get()->ExecuteFunction(this, action);
}

void frmCommandPanel::RegisterAccess(int32_t kind) {
    try {
        const QString code = frmMagneticDev::ReadCode(this, WorkerCardPrefix(), false);
        if (code.isEmpty()) return;
        TerminalContext terminal(code, this);
        if (AccessRegistration::Register(terminal.context(), kind) == AccessRegistration::Outcome::Refused) {
            // The table rules refused the row, and said why: nothing more to tell.
            pointer_->Show();
            unsetCursor();
        }
    } catch (const AppError& e) {
        pointer_->Show();
        unsetCursor();
        SetCurrentError(e);
        ShowErrorDetails(QString());
    }
}
