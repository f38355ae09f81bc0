// The reminder window and its tick.
#include "mainwindow/frmMemo.h"

#include <QApplication>

#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "base/AppError.h"
#include "mainwindow/ReminderScan.h"
#include "mainwindow/frmMain.h"
#include "model/ModelState.h"
#include "odb/DataSet.h"
#include "odb/Database.h"
#include "odb/Table.h"
#include "odb/Tables.h"
#include "odb/ui/DataPanel.h"
#include "odb/ui/DataPanelTools.h"
#include "platform/Clock.h"
#include "platform/Prompt.h"
#include "startup/DatabaseOpening.h"
#include "startup/PlaceDialog.h"
#include "startup/ShowErrorDetails.h"
#include "startup/modZeltoFormUtility.h"

namespace {

using namespace MsgBoxStyle;

constexpr int kTickMs = 60000;

// Sets a flag for a scope.
class Busy {
  public:
    explicit Busy(bool& flag) : flag_(flag) { flag_ = true; }
    ~Busy() { flag_ = false; }

  private:
    bool& flag_;
};

void reportError(const AppError& e, const QString& text = {}) {
    SetCurrentError(e);
    ShowErrorDetails(text);
}

}  // namespace

frmMemo::frmMemo(frmMain& main) : QWidget(&main, Qt::Window), main_(main) {
    setObjectName(QStringLiteral("frmMemo"));
    KeepAboveOwner(this, &main);
    setWindowTitle(QStringLiteral("Promemoria"));
    auto* heading = new QLabel(QStringLiteral("    Data Scadenza     -     Promemoria"), this);
    lstMemo_ = new QListWidget(this);
    lstMemo_->setObjectName(QStringLiteral("lstMemo"));
    lstMemo_->setMouseTracking(true);
    lstMemo_->viewport()->setMouseTracking(true);
    lstMemo_->viewport()->installEventFilter(this);
    cmbTimeReminder_ = new QComboBox(this);
    cmbTimeReminder_->setObjectName(QStringLiteral("cmbTimeReminder"));
    const std::pair<const char*, int> intervals[] = {
        {"15 minuti", 15},  {"30 minuti", 30},     {"1 ora", 60},      {"2 ore", 120},
        {"4 ore", 240},     {"8 ore", 480},        {"1 giorno", 1440}, {"2 giorni", 2880},
        {"4 giorni", 5760}, {"1 settimana", 10080}};
    for (const auto& [caption, minutes] : intervals)
        cmbTimeReminder_->addItem(QString::fromUtf8(caption), minutes);
    cmbTimeReminder_->setCurrentIndex(-1);
    cmbTimeReminder_->setPlaceholderText(QStringLiteral("Rimanda di..."));
    connect(cmbTimeReminder_, &QComboBox::currentIndexChanged, this, [this] { RestartMemoTimer(); });
    connect(cmbTimeReminder_, &QComboBox::highlighted, this, [this] { RestartMemoTimer(); });

    auto button = [this](const char* name, const char* caption, const char* tip, void (frmMemo::*handler)()) {
        auto* b = new QPushButton(QString::fromUtf8(caption), this);
        b->setObjectName(QString::fromLatin1(name));
        if (tip) b->setToolTip(QString::fromUtf8(tip));
        connect(b, &QPushButton::clicked, this, [this, handler] { (this->*handler)(); });
        return b;
    };
    cmdPostpone_ = button("cmdPostpone", "Rimanda", "Rimanda la notifica dei promemoria selezionati",
                          &frmMemo::cmdPostpone_Click);
    cmdDelete_ =
        button("cmdDelete", "Elimina", "Elimina i promemoria selezionati", &frmMemo::cmdDelete_Click);
    cmdEdit_ = button("cmdEdit", "Apri...", "Visualizza i promemoria selezionati", &frmMemo::cmdEdit_Click);
    cmdClose_ = button("cmdClose", "Chiudi", nullptr, &frmMemo::cmdClose_Click);

    auto* commands = new QHBoxLayout;
    commands->addWidget(cmbTimeReminder_);
    commands->addWidget(cmdPostpone_);
    commands->addSpacing(12);
    commands->addWidget(cmdDelete_);
    commands->addWidget(cmdEdit_);
    commands->addStretch();
    commands->addWidget(cmdClose_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(lstMemo_, 1);
    layout->addLayout(commands);
    setMouseTracking(true);
    resize(640, 360);
    ApplyFormFont(this, g_strFontName, g_sngFontSizeIncrement);

    tmrMemo_ = new QTimer(this);
    tmrMemo_->setObjectName(QStringLiteral("tmrMemo"));
    tmrMemo_->setInterval(kTickMs);
    connect(tmrMemo_, &QTimer::timeout, this, [this] { tmrMemo_Timer(); });
    tmrMemo_->start();
    // The lines name rows of the file let go by their identities, which in the next file opened name
    // others: they go with it, and the engine waits for the main window to start it again.
    OnDatabaseRelease(this, [this] {
        tmrMemo_->stop();
        lstMemo_->clear();
        hideList();
    });
}

void frmMemo::RestartMemoTimer() {
    tmrMemo_->stop();
    tmrMemo_->start();
}

void frmMemo::Reload() {
    if (tmrMemo_->isActive()) return;
    // Another database may have been opened meanwhile: it is prepared once too.
    prepared_ = false;
    tmrMemo_->start();
}

void frmMemo::tmrMemo_Timer() {
    // A tick whose boxes are still up is not entered again by the next one.
    if (busy_) return;
    Busy busy(busy_);
    runTick();
}

void frmMemo::runTick() {
    try {
        tick();
    } catch (const AppError& e) {
        reportError(e);
    }
}

void frmMemo::tick() {
    if (!g_objDatabase) {
        tmrMemo_->stop();
        return;
    }
    PrepareReminderTables();
    const double now = Clock::now();
    bool fresh = ReminderScan::ScanRules(now);
    const std::vector<ReminderScan::Due> due = ReminderScan::DueReminders(now);
    const int before = lstMemo_->count();
    lstMemo_->clear();
    for (const ReminderScan::Due& d : due) {
        auto* item = new QListWidgetItem(d.line, lstMemo_);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
        item->setData(Qt::UserRole, static_cast<qlonglong>(d.bookmark.toDouble()));
    }
    if (lstMemo_->count() > before) fresh = true;
    if (!fresh) return;
    Prompt::instance().beep();
    main_.SetMemoIndicator(true);
    if (isVisible()) return;
    if (Prompt::instance().msgBox(QStringLiteral("NUOVO PROMEMORIA...\r\rVuoi visualizzare i promemoria ?"),
                                  vbYesNo | vbQuestion | vbDefaultButton2, QString(),
                                  &main_) != MsgResult::Yes)
        return;
    // Under a modal window the list could not be used.
    QWidget* modal = QApplication::activeModalWidget();
    if (modal && modal != this) {
        Prompt::instance().msgBox(QStringLiteral("Lo stato corrente non permette la visualizzazione dei "
                                                 "promemoria.\r\rUscire dalle finestre e riprovare..."),
                                  vbInformation, QString(), &main_);
        return;
    }
    ShowList();
}

void frmMemo::ShowList() {
    if (!placed_) {
        CentreOnOwner(this, &main_);
        placed_ = true;
    }
    show();
    raise();
    activateWindow();
}

void frmMemo::PrepareReminderTables() {
    if (prepared_ || !g_objConnection || !g_objDatabase) return;
    bool missing = false;
    for (const char* name : {"ImpostazioniPromemoria", "Promemoria"}) {
        if (g_objDatabase->Tables().Exists(QString::fromLatin1(name))) continue;
        const QString text =
            QStringLiteral("Timer Attivazione promemoria: \rTabella ") + QString::fromLatin1(name) +
            QStringLiteral(
                " inesistente.\r\rPer attivare la gestione dei messaggi di notifica è necessario "
                "abilitare sia la tabella 'ImpostazioniPrmemoria' che la tabella 'Promemoria'");
        reportError(AppError(vbObjectError, QStringLiteral("Promemoria"), text), text);
        missing = true;
    }
    // The tick's reading then fails and says so.
    if (missing) return;
    if (ReminderScan::PurgeClosedReminders(Clock::now())) main_.RefreshDetailView();
    prepared_ = true;
}

Variant frmMemo::LineBookmark(int line) const {
    const QListWidgetItem* item = lstMemo_->item(line);
    return item ? Variant(static_cast<int64_t>(item->data(Qt::UserRole).toLongLong())) : Variant::null();
}

std::vector<Variant> frmMemo::chosen(bool withCurrent) const {
    std::vector<Variant> out;
    for (int i = 0; i < lstMemo_->count(); ++i)
        if (lstMemo_->item(i)->checkState() == Qt::Checked || (withCurrent && i == lstMemo_->currentRow()))
            out.push_back(LineBookmark(i));
    return out;
}

QString frmMemo::lineText(const Variant& bookmark) const {
    for (int i = 0; i < lstMemo_->count(); ++i)
        if (LineBookmark(i).toDouble() == bookmark.toDouble()) return lstMemo_->item(i)->text();
    return {};
}

void frmMemo::cmdPostpone_Click() {
    if (busy_ || lstMemo_->count() == 0) return;
    if (cmbTimeReminder_->currentIndex() < 0) {
        Prompt::instance().msgBox(QStringLiteral("Impostare un intervallo di tempo valido"), vbInformation,
                                  QString(), this);
        cmbTimeReminder_->setFocus();
        return;
    }
    Busy busy(busy_);
    const int minutes = cmbTimeReminder_->currentData().toInt();
    // The lines are taken before any box: a tick would refill the list.
    const std::vector<Variant> lines = chosen(false);
    QStringList texts;
    for (const Variant& b : lines)
        texts << lineText(b);
    try {
        const std::vector<Variant> missing = ReminderScan::Postpone(lines, minutes, Clock::now());
        for (size_t i = 0; i < lines.size(); ++i) {
            if (std::none_of(missing.begin(), missing.end(),
                             [&](const Variant& m) { return m.toDouble() == lines[i].toDouble(); }))
                continue;
            Prompt::instance().msgBox(
                QStringLiteral("Il messaggio:\r") + texts.value(static_cast<qsizetype>(i)) +
                    QStringLiteral(
                        "\r\rNon è stato identificato nella tabella dei Promemoria; è possibile che sia "
                        "già stato cancellato.\r\rIl messaggio non può pertanto essere posposto"),
                vbOKOnly, QString(), this);
        }
    } catch (const AppError& e) {
        reportError(e);
    }
    runTick();
}

void frmMemo::cmdDelete_Click() {
    if (busy_ || lstMemo_->count() == 0) return;
    Busy busy(busy_);
    try {
        ReminderScan::Close(chosen(false));
    } catch (const AppError& e) {
        reportError(e);
    }
    runTick();
}

void frmMemo::cmdEdit_Click() {
    if (busy_ || lstMemo_->count() == 0) return;
    Busy busy(busy_);
    const std::vector<Variant> lines = chosen(true);
    try {
        auto reminders = ReminderScan::OpenReminders(lines);
        for (const Variant& b : lines) {
            if (!reminders->FindBookmark(b)) continue;
            auto panel = odb::DataPanelTools::CreatePanel(reminders, this);
            const Variant result = panel->ShowRow(true, QString(), true);
            if (!result.isEmpty()) reminders->RefreshRows();
        }
    } catch (const AppError& e) {
        reportError(e);
    }
    runTick();
}

void frmMemo::hideList() {
    main_.SetMemoIndicator(false);
    hide();
}

void frmMemo::cmdClose_Click() {
    hideList();
}

void frmMemo::closeEvent(QCloseEvent* event) {
    // The close box only hides the list; the program's own closing goes ahead.
    if (event->spontaneous()) {
        event->ignore();
        hideList();
        return;
    }
    event->accept();
}

void frmMemo::mouseMoveEvent(QMouseEvent* event) {
    RestartMemoTimer();
    QWidget::mouseMoveEvent(event);
}

bool frmMemo::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lstMemo_->viewport() && event->type() == QEvent::MouseMove) RestartMemoTimer();
    return QWidget::eventFilter(watched, event);
}
