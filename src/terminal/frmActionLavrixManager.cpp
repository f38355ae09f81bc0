// The job-order action window.
#include "terminal/frmActionLavrixManager.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "base/AppError.h"
#include "model/GetDBTable.h"
#include "model/ModelState.h"
#include "odb/DataSet.h"
#include "odb/Database.h"
#include "odb/Table.h"
#include "platform/Prompt.h"
#include "shopfloor/CardPrefix.h"
#include "shopfloor/LavrixActionCommand.h"
#include "shopfloor/LavrixActionRules.h"
#include "startup/DatabaseOpening.h"
#include "startup/LoadedForms.h"
#include "startup/ShowErrorDetails.h"
#include "startup/frmMessage.h"
#include "startup/modZeltoFormUtility.h"
#include "terminal/TerminalContext.h"
#include "terminal/carddevices/frmMagneticDev.h"
#include "terminal/frmRequestConfirmation.h"
#include "terminal/frmSelectLavrix.h"
#include "terminal/modBarcodeReader.h"

namespace {

using namespace MsgBoxStyle;

constexpr int kIdleInterval = 30000;  // ms of an idle window before it closes

const char* const kCaptions[] = {"Apertura commessa...", "Chiusura commessa...", "Sospensione commessa...",
                                 "Riattivazione commessa...",
                                 "Chiusura dettaglio commessa... (solo per utenti abilitati)"};
const char* const kVerbs[] = {"APRIRE", "CHIUDERE", "SOSPENDERE", "RIPRENDERE", "GESTIRE"};

QPointer<frmActionLavrixManager>& instance() {
    static QPointer<frmActionLavrixManager> window;
    return window;
}

QLabel* caption(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

QLabel* value(QWidget* parent, double scale = 1.3) {
    auto* label = new QLabel(parent);
    QFont font = label->font();
    font.setPointSizeF(font.pointSizeF() * scale);
    font.setBold(true);
    label->setFont(font);
    label->setTextInteractionFlags(Qt::NoTextInteraction);
    return label;
}

QFrame* urgencyShape(QWidget* parent) {
    auto* shape = new QFrame(parent);
    shape->setFixedSize(36, 36);
    shape->setStyleSheet(QStringLiteral("background: #d01010; border-radius: 18px;"));
    return shape;
}

// The hourglass over the window for the scope of a look-up.
class WaitPointer {
  public:
    explicit WaitPointer(QWidget* w) : w_(w) { w_->setCursor(Qt::WaitCursor); }
    ~WaitPointer() { w_->unsetCursor(); }
    WaitPointer(const WaitPointer&) = delete;
    WaitPointer& operator=(const WaitPointer&) = delete;

  private:
    QWidget* w_;
};

}  // namespace

frmActionLavrixManager* frmActionLavrixManager::Get() {
    if (!instance()) instance() = new frmActionLavrixManager;
    return instance();
}

bool frmActionLavrixManager::IsLoaded() {
    return instance() && instance()->loaded_;
}

frmActionLavrixManager::frmActionLavrixManager() {
    setObjectName(QStringLiteral("frmActionLavrixManager"));
    setWindowTitle(QStringLiteral("Selezione commessa..."));
    LoadedForms::Track();

    txtFind_Commessa_ = new QLineEdit(this);
    txtFind_Commessa_->setToolTip(QStringLiteral("Imposta il codice della COMMESSA"));
    QFont inputFont = txtFind_Commessa_->font();
    inputFont.setPointSizeF(inputFont.pointSizeF() * 1.6);
    txtFind_Commessa_->setFont(inputFont);
    lblNotFound_ = value(this, 1.2);
    lblNotFound_->setText(QStringLiteral("Commessa non trovata..."));
    lblNotFound_->setStyleSheet(QStringLiteral("color: #c00000"));
    lblNumeroCommessa_ = value(this, 1.6);
    lblDataCommessa_ = value(this);
    lblCliente_ = value(this);
    lblParticolari_ = value(this);
    lblNote_ = value(this);
    lblNote_->setWordWrap(true);
    lblStato_ = value(this, 1.6);
    lblStato_->setStyleSheet(QStringLiteral("color: #0b3d91"));
    lblUrgente_ = value(this, 1.6);
    lblUrgente_->setText(QStringLiteral("URGENTE"));
    lblUrgente_->setStyleSheet(QStringLiteral("color: #d01010"));
    shpUrgente1_ = urgencyShape(this);
    shpUrgente2_ = urgencyShape(this);
    lblOperatoreAttivo_ = caption(QStringLiteral("Operatore attivo:"), this);
    lblNomeOperatoreattivo_ = value(this);
    tmrCancelOperation_ = new QTimer(this);
    tmrCancelOperation_->setInterval(kIdleInterval);

    auto* input = new QHBoxLayout;
    input->addWidget(caption(QStringLiteral("Num. Commessa:"), this));
    input->addWidget(txtFind_Commessa_, 1);
    auto* summary = new QGridLayout;
    summary->setColumnStretch(1, 1);
    summary->setColumnStretch(3, 1);
    summary->addWidget(caption(QStringLiteral("COMMESSA N°"), this), 0, 0);
    summary->addWidget(lblNumeroCommessa_, 0, 1);
    summary->addWidget(caption(QStringLiteral("DATA"), this), 0, 2);
    summary->addWidget(lblDataCommessa_, 0, 3);
    const struct {
        const char* text;
        QLabel* label;
    } rows[] = {
        {"CLIENTE", lblCliente_}, {"PARTICOLARE", lblParticolari_}, {"NOTE", lblNote_}, {"STATO", lblStato_}};
    int row = 1;
    for (const auto& r : rows) {
        summary->addWidget(caption(QString::fromUtf8(r.text), this), row, 0);
        summary->addWidget(r.label, row++, 1, 1, 3);
    }
    auto* urgency = new QHBoxLayout;
    urgency->addStretch();
    urgency->addWidget(shpUrgente1_);
    urgency->addWidget(lblUrgente_);
    urgency->addWidget(shpUrgente2_);
    urgency->addStretch();
    auto* worker = new QHBoxLayout;
    worker->addWidget(lblOperatoreAttivo_);
    worker->addWidget(lblNomeOperatoreattivo_, 1);
    // Hidden marks keep their place: the window does not jump as they come and go.
    for (QWidget* w : std::initializer_list<QWidget*>{lblNotFound_, lblUrgente_, shpUrgente1_, shpUrgente2_,
                                                      lblOperatoreAttivo_, lblNomeOperatoreattivo_}) {
        QSizePolicy keep = w->sizePolicy();
        keep.setRetainSizeWhenHidden(true);
        w->setSizePolicy(keep);
    }
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(input);
    layout->addWidget(lblNotFound_, 0, Qt::AlignRight);
    auto* frame = new QFrame(this);
    frame->setFrameShape(QFrame::StyledPanel);
    frame->setLayout(summary);
    layout->addWidget(frame);
    layout->addLayout(urgency);
    layout->addLayout(worker);
    setMinimumWidth(640);
    ApplyFormFont(this, g_strFontName, g_sngFontSizeIncrement);

    connect(txtFind_Commessa_, &QLineEdit::textChanged, this,
            &frmActionLavrixManager::txtFind_Commessa_Change);
    connect(tmrCancelOperation_, &QTimer::timeout, this, &frmActionLavrixManager::tmrCancelOperation_Timer);
    // The worker and the detail shown were read from the database let go.
    OnDatabaseRelease(this, [this] {
        Unload();
        ClearForm();
    });
    // The window sees keys before its controls.
    installEventFilter(this);
    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(this);
}

void frmActionLavrixManager::ExecuteFunction(QWidget* parent, int32_t action) {
    // A window still in use keeps its worker for the new action; one that ended starts clean.
    if (!loaded_) ClearForm();
    m_lngAction = action;
    if (action < 0 || action > 4) {
        Prompt::instance().msgBox(QStringLiteral("Azione non configurata!"), vbCritical, {}, parent);
        Unload();
        return;
    }
    setWindowTitle(QString::fromUtf8(kCaptions[action]));
    panel_ = parent;
    if (parent != parentWidget()) setParent(parent, Qt::Dialog);
    loaded_ = true;
    tmrCancelOperation_->start();
    show();
    raise();
    activateWindow();
    txtFind_Commessa_->setFocus();
}

void frmActionLavrixManager::Unload() {
    m_strOperatorCode.clear();
    tmrCancelOperation_->stop();
    if (!loaded_) return;
    loaded_ = false;
    hide();
    if (panel_) panel_->activateWindow();
}

void frmActionLavrixManager::closeEvent(QCloseEvent* e) {
    Unload();
    e->accept();
}

void frmActionLavrixManager::ClearForm() {
    settingText_ = true;
    txtFind_Commessa_->clear();
    settingText_ = false;
    clearSummary();
    lblNotFound_->hide();
    lblNomeOperatoreattivo_->clear();
    lblOperatoreAttivo_->hide();
    lblNomeOperatoreattivo_->hide();
    m_strOperatorCode.clear();
}

void frmActionLavrixManager::clearSummary() {
    for (QLabel* l :
         {lblNumeroCommessa_, lblDataCommessa_, lblCliente_, lblParticolari_, lblNote_, lblStato_})
        l->clear();
    lblUrgente_->hide();
    shpUrgente1_->hide();
    shpUrgente2_->hide();
}

void frmActionLavrixManager::tmrCancelOperation_Timer() {
    // A card dialog, a choice or a message opened after this window keeps it open.
    if (running_ || LoadedForms::Last() != this) return;
    Unload();
}

void frmActionLavrixManager::txtFind_Commessa_Change() {
    if (settingText_) return;
    if (tmrCancelOperation_->isActive()) tmrCancelOperation_->start();
    lblNotFound_->hide();
    const QString code = FilterBarcodeInput(txtFind_Commessa_->text());
    if (code.isEmpty()) return;
    settingText_ = true;
    txtFind_Commessa_->setText(code);
    settingText_ = false;
    RunJobOrderAction();
}

bool frmActionLavrixManager::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate && txtFind_Commessa_->isVisible() &&
        txtFind_Commessa_->isEnabled() && !txtFind_Commessa_->hasFocus())
        txtFind_Commessa_->setFocus();
    return QDialog::event(e);
}

bool frmActionLavrixManager::eventFilter(QObject* watched, QEvent* e) {
    if (watched == txtFind_Commessa_ && e->type() == QEvent::FocusIn) {
        // After the focus has settled: a click would otherwise undo the selection.
        QTimer::singleShot(0, txtFind_Commessa_, &QLineEdit::selectAll);
        return false;
    }
    if (e->type() != QEvent::KeyPress || !loaded_) return false;
    auto* key = static_cast<QKeyEvent*>(e);
    if (key->key() == Qt::Key_Escape) {
        Unload();
        return true;
    }
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        RunJobOrderAction();
        return true;
    }
    return false;
}

void frmActionLavrixManager::forgetWorker() {
    m_strOperatorCode.clear();
    lblNomeOperatoreattivo_->clear();
    lblOperatoreAttivo_->hide();
    lblNomeOperatoreattivo_->hide();
    tmrCancelOperation_->stop();
}

void frmActionLavrixManager::showWorker(const QString& name) {
    lblOperatoreAttivo_->show();
    lblNomeOperatoreattivo_->setText(name);
    lblNomeOperatoreattivo_->show();
}

void frmActionLavrixManager::RunJobOrderAction() {
    if (running_ || !loaded_) return;
    const QString number = txtFind_Commessa_->text();
    if (number.isEmpty()) {
        Prompt::instance().beep();
        Unload();
        return;
    }
    running_ = true;
    try {
        runAction(number);
    } catch (const AppError& e) {
        unsetCursor();
        SetCurrentError(e);
        ShowErrorDetails(QString());
        forgetWorker();
        if (frmMessage::isLoaded()) frmMessage::Unload();
    }
    running_ = false;
}

void frmActionLavrixManager::runAction(const QString& number) {
    std::shared_ptr<odb::DataSet> detail;
    {
        WaitPointer wait(this);
        detail = GetDBTable(Variant(QStringLiteral("DettagliCommesse")))
                     .OpenData(QStringLiteral("NumeroCommessa=") + g_objDatabase->TextLiteral(number));
    }
    if (detail->DataEmpty()) {
        Prompt::instance().beep();
        lblNotFound_->show();
        txtFind_Commessa_->selectAll();
        return;
    }
    settingText_ = true;
    txtFind_Commessa_->clear();
    settingText_ = false;
    txtFind_Commessa_->setFocus();
    auto openSteps = detail->GetReference(QStringLiteral("Passaggi"), QStringLiteral("Not Chiuso"));
    clearSummary();
    lblNumeroCommessa_->setText(detail->ColText(QStringLiteral("NumeroCommessa")));
    const QString state = LavrixActionRules::DetailState(*detail, *openSteps);
    lblStato_->setText(state);
    const LavrixSummary summary = LavrixActionRules::Summary(*detail);
    lblDataCommessa_->setText(summary.date);
    lblCliente_->setText(summary.customer);
    lblParticolari_->setText(summary.parts);
    lblNote_->setText(summary.note);
    for (QWidget* w : std::initializer_list<QWidget*>{lblUrgente_, shpUrgente1_, shpUrgente2_})
        w->setVisible(summary.urgent);

    const QString prefix = WorkerCardPrefix();
    if (m_strOperatorCode.trimmed().isEmpty()) {
        // Only for this read: the panel's reads keep their instruction.
        frmMagneticDev::Get()->Label2()->hide();
        m_strOperatorCode = frmMagneticDev::ReadCode(this, prefix, false);
        if (!loaded_) return;  // closed meanwhile: the database it read may be gone
        if (m_strOperatorCode.trimmed().isEmpty()) {
            ClearForm();
            return;
        }
    }
    using Result = LavrixActionCommand::Result;
    TerminalContext terminal(m_strOperatorCode, this, panel_);
    LavrixActionCommand command(terminal.context());
    Result result = command.Run(m_lngAction, *detail, *openSteps, state);
    if (result == Result::Choose) {
        const QStringList toClose = chooseDetailsToClose(command.Offered(), command.Proposed());
        // The database was let go while the choice was up: nothing is closed, nothing said.
        const bool released = !IsDatabaseOpen() || &detail->GetDatabase() != g_objDatabase.get();
        result = released ? Result::Cancelled : command.Answer(toClose);
    }
    if (!loaded_) return;
    switch (result) {
        case Result::UnknownWorker:
            m_strOperatorCode.clear();
            return;
        case Result::Refused:
            // The library has said why: as after an error, the window waits for the next number.
            forgetWorker();
            return;
        case Result::NotAllowed:
        case Result::Cancelled:
        case Result::Choose:
            Prompt::instance().msgBox(QStringLiteral("Operazione Annullata"), vbCritical, {}, this);
            forgetWorker();
            // Refused by the rules, the window waits for the next number; cancelled, its use ends.
            if (result != Result::NotAllowed) Unload();
            return;
        case Result::Done:
            break;
    }
    frmRequestConfirmation* confirmation = frmRequestConfirmation::Get();
    confirmation->m_strOperationType = QString::fromUtf8(kVerbs[m_lngAction]);
    confirmation->m_bTerminate = false;
    confirmation->ShowModal(this);
    if (!loaded_) return;
    if (!confirmation->m_bTerminate) {
        showWorker(command.WorkerName());
        tmrCancelOperation_->start();
    } else {
        forgetWorker();
        Unload();
    }
}

QStringList frmActionLavrixManager::chooseDetailsToClose(const QStringList& offered,
                                                         const QStringList& proposed) {
    frmSelectLavrix* dialog = frmSelectLavrix::Get();
    dialog->lstOpenSubLavrix()->clear();
    dialog->lstSubLavrixToClose()->clear();
    dialog->lstOpenSubLavrix()->addItems(offered);
    dialog->lstSubLavrixToClose()->addItems(proposed);
    Prompt::instance().beep();
    dialog->ShowModal(this);
    const QStringList toClose = dialog->ToClose();
    dialog->Unload();
    return toClose;
}
