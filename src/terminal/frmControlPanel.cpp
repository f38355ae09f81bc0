// The control panel's window: its lists, the refresh around them, the timer, clicks and closing.
#include "terminal/frmControlPanel.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "base/AppError.h"
#include "startup/DatabaseOpening.h"
#include "startup/PlaceDialog.h"
#include "startup/SharedState.h"
#include "startup/modZeltoFormUtility.h"

namespace {

const QString kAdministrator = QStringLiteral("Amministratore");
const QString kReadError = QStringLiteral("Errore durante la lettura");

QPointer<frmControlPanel>& instance() {
    static QPointer<frmControlPanel> panel;
    return panel;
}

const char* const kListNames[5] = {"lstOpenSubLavrix", "lstCloseSubLavrix", "lstWorkerAbsent",
                                   "lstWorkerPresentActiveless", "lstCloseLavrix"};
const char* const kHeadings[5] = {
    "Sottocommesse in lavorazione :  (Ordine: -> Data Inserimento)",
    "Ultimi passaggi completati :  (Ordine -> Data Chiusura)",
    "Operai assenti o con ritardo: ",
    "Operai presenti non attivi:",
    "Commesse Cliente Chiuse non spedite : (Ordine -> Data Chiusura)",
};

// A filler's trouble while the panel shows the pointer and the notice: both go back whatever happens.
class RefreshScope {
  public:
    explicit RefreshScope(QLabel* notice) : notice_(notice) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~RefreshScope() {
        QApplication::restoreOverrideCursor();
        if (notice_) notice_->hide();
    }
    RefreshScope(const RefreshScope&) = delete;
    RefreshScope& operator=(const RefreshScope&) = delete;

  private:
    QLabel* notice_;
};

}  // namespace

frmControlPanel* frmControlPanel::Get() {
    return instance();
}

frmControlPanel* frmControlPanel::ShowOver(QWidget* owner) {
    if (!instance()) {
        instance() = new frmControlPanel(owner);
        instance()->Form_Load();
    }
    frmControlPanel* panel = instance();
    panel->show();
    panel->raise();
    panel->activateWindow();
    return panel;
}

frmControlPanel::frmControlPanel(QWidget* owner) : QDialog(owner, Qt::Window) {
    setObjectName(QStringLiteral("frmControlPanel"));
    KeepAboveOwner(this, owner);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Pannello di Controllo - Zelto Lavrix"));

    lblTitle_ = new QLabel(QStringLiteral(" Dettagli:"), this);
    lblTitle_->setObjectName(QStringLiteral("lblTitle1"));
    lblTitle_->setFrameShape(QFrame::Panel);
    lblTitle_->setFrameShadow(QFrame::Sunken);
    lblTitle_->setWordWrap(true);
    lblTitle_->setTextFormat(Qt::PlainText);
    lblTitle_->setMinimumHeight(lblTitle_->fontMetrics().height() * 2 + 8);

    QWidget* blocks[5] = {};
    for (int i = 0; i < 5; ++i) {
        auto* block = new QWidget(this);
        auto* column = new QVBoxLayout(block);
        column->setContentsMargins(0, 0, 0, 0);
        auto* heading = new QLabel(QString::fromUtf8(kHeadings[i]), block);
        lists_[i] = new QListWidget(block);
        lists_[i]->setObjectName(QString::fromLatin1(kListNames[i]));
        lists_[i]->setUniformItemSizes(true);
        heading->setBuddy(lists_[i]);
        column->addWidget(heading);
        column->addWidget(lists_[i], 1);
        blocks[i] = block;
        const int index = i;
        connect(lists_[i], &QListWidget::itemClicked, this,
                [this, index](QListWidgetItem* item) { ListClick(index, lists_[index]->row(item)); });
    }
    lstCloseSubLavrix()->setToolTip(
        QStringLiteral("La spunta non comporta nessuna azione (solo promemoria)"));

    lblAggiornamento_ = new QLabel(QStringLiteral("Aggiornamento in corso..."), this);
    lblAggiornamento_->setObjectName(QStringLiteral("lblAggiornamento"));
    cmdRefresh_ = new QPushButton(QStringLiteral("&Aggiorna"), this);
    cmdRefresh_->setObjectName(QStringLiteral("cmdRefresh"));
    cmdChiudi_ = new QPushButton(QStringLiteral("&Chiudi"), this);
    cmdChiudi_->setObjectName(QStringLiteral("cmdChiudi"));
    for (QPushButton* b : {cmdRefresh_, cmdChiudi_})
        b->setAutoDefault(false);

    auto* grid = new QGridLayout;
    grid->addWidget(blocks[0], 0, 0, 2, 1);
    grid->addWidget(blocks[1], 2, 0, 2, 1);
    grid->addWidget(blocks[2], 0, 1, 2, 1);
    grid->addWidget(blocks[3], 2, 1);
    grid->addWidget(blocks[4], 3, 1);
    grid->setColumnStretch(0, 3);
    grid->setColumnStretch(1, 2);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(lblAggiornamento_);
    bottom->addStretch();
    bottom->addWidget(cmdRefresh_);
    bottom->addWidget(cmdChiudi_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblTitle_);
    layout->addLayout(grid, 1);
    layout->addLayout(bottom);
    resize(1100, 700);
    ApplyFormFont(this, g_strFontName, g_sngFontSizeIncrement);

    tmRefresh_ = new QTimer(this);
    tmRefresh_->setObjectName(QStringLiteral("tmRefresh"));
    tmRefresh_->setInterval(60000);
    connect(tmRefresh_, &QTimer::timeout, this, &frmControlPanel::tmRefresh_Timer);
    connect(cmdRefresh_, &QPushButton::clicked, this, &frmControlPanel::RefreshPanel);
    connect(cmdChiudi_, &QPushButton::clicked, this, &frmControlPanel::cmdChiudi_Click);
    // Every line was read from the database let go, and nothing more can be: the panel goes with it.
    OnDatabaseRelease(this, [this] {
        tmRefresh_->stop();
        close();
    });
}

QStringList frmControlPanel::Lines(const QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

void frmControlPanel::Form_Load() {
    // The lists that tell about people and orders answer clicks for the administrator alone.
    const bool administrator = g_strCurrentUser == kAdministrator;
    for (QListWidget* list : {lstCloseLavrix(), lstCloseSubLavrix(), lstOpenSubLavrix(), lstWorkerAbsent()})
        list->setEnabled(administrator);
    lblAggiornamento_->hide();
    m_lngTimerTicks = 0;
    // Every opening shows the newest completed steps afresh, whatever an earlier panel showed.
    m_dtmLastClosing = 0;
    {
        RefreshScope scope(nullptr);
        RefreshAllLists();
    }
    tmRefresh_->start();
}

void frmControlPanel::RefreshAllLists() {
    FillOpenDetailsList();
    FillClosedStepsList();
    FillAbsencesList();
    FillIdleWorkersList();
    FillClosedOrdersList();
}

void frmControlPanel::RefreshPanel() {
    lblAggiornamento_->show();
    lblAggiornamento_->repaint();
    RefreshScope scope(lblAggiornamento_);
    for (QListWidget* list : {lstOpenSubLavrix(), lstCloseSubLavrix(), lstCloseLavrix()})
        list->hide();
    try {
        RefreshAllLists();
    } catch (const std::exception&) {
        // The three lists stay hidden until a refresh completes.
        lblTitle_->setText(QStringLiteral("ERRORE durante l'aggiornamento dei dati"));
        return;
    }
    for (QListWidget* list : {lstOpenSubLavrix(), lstCloseSubLavrix(), lstCloseLavrix()})
        list->show();
    m_lngTimerTicks = 0;
}

void frmControlPanel::tmRefresh_Timer() {
    ++m_lngTimerTicks;
    if (m_lngTimerTicks >= g_lngIntervalTimerControlPanel) {
        RefreshPanel();
        m_lngTimerTicks = 0;
    }
}

void frmControlPanel::cmdChiudi_Click() {
    m_dtmLastClosing = 0;
    close();
}

void frmControlPanel::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmControlPanel::ListClick(int list, int row) {
    QListWidget* widget = lists_[list];
    if (row < 0 || row >= widget->count() || !widget->isEnabled()) return;
    const QString text = widget->item(row)->text();
    const QString details = QStringLiteral("DETTAGLI: ");
    switch (list) {
        case 0:
            if (text.startsWith(QStringLiteral("N°")))
                ShowItemDetails(text.mid(3, 10));
            else
                lblTitle_->setText(details + text);
            break;
        case 1:
            ShowItemDetails(text.mid(3, 10));
            break;
        default:
            lblTitle_->setText(details + text);
            break;
    }
}

void frmControlPanel::showLines(QListWidget* list, const QStringList& lines) {
    list->setUpdatesEnabled(false);
    list->clear();
    list->addItems(lines);
    if (list == lstCloseSubLavrix())
        for (int i = 0; i < list->count(); ++i)
            list->item(i)->setCheckState(Qt::Unchecked);
    list->setUpdatesEnabled(true);
}

void frmControlPanel::showReadError(QListWidget* list) {
    list->insertItem(0, kReadError);
}

void frmControlPanel::dropReadErrors(QListWidget* list) {
    for (int i = list->count() - 1; i >= 0; --i)
        if (list->item(i)->text() == kReadError) delete list->takeItem(i);
}
