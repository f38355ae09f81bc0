// The legal notice.
#include "startup/frmInformative.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QVBoxLayout>

#include "odb/ui/ModalDialog.h"
#include "platform/DefaultPrinter.h"
#include "platform/Prompt.h"
#include "startup/modZeltoFormUtility.h"

QString frmInformative::CompanyName;
bool frmInformative::AcceptInformative = false;

namespace {

QLabel* noticeText(QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignJustify | Qt::AlignTop);
    return label;
}

QGroupBox* heading(const QString& title, std::initializer_list<QLabel*> labels, QWidget* parent) {
    auto* box = new QGroupBox(title, parent);
    auto* column = new QVBoxLayout(box);
    for (QLabel* l : labels)
        column->addWidget(l);
    return box;
}

// The window's image on a printer, as large as the page allows; the error text, empty on success.
QString PrintImage(QWidget* window, const QString& printerName) {
    QPrinter printer(QPrinterInfo::printerInfo(printerName), QPrinter::HighResolution);
    if (!printer.isValid())
        return QStringLiteral("Impossibile stampare su <") + printerName + QStringLiteral(">");
    const QPixmap image = window->grab();
    QPainter painter;
    if (!painter.begin(&printer))
        return QStringLiteral("Impossibile stampare su <") + printerName + QStringLiteral(">");
    const QRect page = painter.viewport();
    painter.drawPixmap(QRect(page.topLeft(), image.size().scaled(page.size(), Qt::KeepAspectRatio)), image);
    if (!painter.end() || printer.printerState() == QPrinter::Error)
        return QStringLiteral("Errore durante la stampa su <") + printerName + QStringLiteral(">");
    return QString();
}

}  // namespace

QString frmInformative::DefaultCompanyName() {
    return QStringLiteral("Quendral");
}

frmInformative::frmInformative(QWidget* parent, bool readOnly) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Informativa"));
    setObjectName(QStringLiteral("frmInformative"));
    ApplyFormFont(this, g_strFontName, g_sngFontSizeIncrement);
    AcceptInformative = false;
    if (CompanyName.trimmed().isEmpty()) CompanyName = DefaultCompanyName();

    lblDescription_ = noticeText(this);
    lblResponsability_ = noticeText(this);
    lblInformation1_ = noticeText(this);
    lblInformation2_ = noticeText(this);
    lblDescription_->setText(QStringLiteral(
        "Il presente software e tutto il materiale ad esso collegato non possono essere ceduti, prestati, "
        "noleggiati o trasferiti a terzi, in nessuna forma e a nessun titolo, né in tutto né in parte."));
    lblResponsability_->setText(
        QStringLiteral(
            "Nei limiti massimi consentiti dalla legge, in nessun caso %1 o i suoi fornitori potranno essere "
            "ritenuti responsabili per danni di qualsiasi genere (compresi, senza limitazioni, i danni per "
            "perdita "
            "di profitti, interruzione dell'attività, perdita di informazioni o altre perdite economiche) "
            "derivanti dall'uso o dal mancato uso del software, dalla fornitura o dalla mancata fornitura "
            "dell'assistenza, da errori del sistema o da un uso non corretto, anche nel caso in cui %1 sia "
            "stata "
            "avvertita della possibilità di tali danni. Il software è utilizzato a rischio del cliente; il "
            "suo "
            "utilizzo implica l'accettazione delle presenti condizioni e solleva %1 da ogni responsabilità.")
            .arg(CompanyName));
    lblInformation1_->setText(QStringLiteral(
        "Ai sensi dell'art. 10 della Legge 675/1996 La informiamo che i Suoi dati sono conservati nel nostro "
        "archivio informatico e saranno utilizzati dalla nostra società e da società collegate "
        "esclusivamente "
        "per finalità amministrative e per l'invio di comunicazioni commerciali e promozionali."));
    lblInformation2_->setText(QStringLiteral(
        "Ai sensi dell'art. 13 della stessa legge Lei ha il diritto di conoscere, aggiornare, cancellare e "
        "rettificare i Suoi dati o di opporsi al loro utilizzo."));

    cmdOk_ = new QPushButton(QStringLiteral("&OK"), this);
    cmdCancel_ = new QPushButton(QStringLiteral("&Annulla"), this);
    cmdPrint_ = new QPushButton(QStringLiteral("Stampa..."), this);
    cmdOk_->setVisible(!readOnly);
    cmdCancel_->setVisible(!readOnly);
    if (!readOnly) cmdOk_->setDefault(true);

    auto* column = new QVBoxLayout(this);
    column->addWidget(heading(QStringLiteral("AVVERTENZA"), {lblDescription_}, this));
    column->addWidget(heading(QStringLiteral("RESPONSABILITA'"), {lblResponsability_}, this));
    column->addWidget(heading(QStringLiteral("INFORMATIVA"), {lblInformation1_, lblInformation2_}, this));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdPrint_);
    buttons->addStretch();
    buttons->addWidget(cmdOk_);
    buttons->addWidget(cmdCancel_);
    column->addLayout(buttons);
    setFixedWidth(560);

    connect(cmdOk_, &QPushButton::clicked, this, [this] { cmdOk_Click(); });
    connect(cmdCancel_, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
    connect(cmdPrint_, &QPushButton::clicked, this, [this] { cmdPrint_Click(); });
}

bool frmInformative::ShowModal(QWidget* owner, bool readOnly) {
    frmInformative window(owner, readOnly);
    odb::RunModal(window);
    return AcceptInformative;
}

void frmInformative::cmdOk_Click() {
    AcceptInformative = true;
    accept();
}

void frmInformative::cmdCancel_Click() {
    reject();
}

void frmInformative::reject() {
    AcceptInformative = false;
    QDialog::reject();
}

void frmInformative::cmdPrint_Click() {
    using namespace MsgBoxStyle;
    const QString printer = DefaultPrinterName();
    if (printer.isEmpty()) {
        Prompt::instance().msgBox(QStringLiteral("Nessuna stampante definita"), vbExclamation,
                                  g_strMsgBoxTitle, this);
        return;
    }
    if (Prompt::instance().msgBox(
            QStringLiteral("Stampa della videata in <") + printer + QStringLiteral(">\r\n\r\nConfermi ?"),
            vbYesNo | vbQuestion, g_strMsgBoxTitle, this) != MsgResult::Yes)
        return;
    const QString error = PrintImage(this, printer);
    if (!error.isEmpty()) Prompt::instance().msgBox(error, vbOKOnly, g_strMsgBoxTitle, this);
}
