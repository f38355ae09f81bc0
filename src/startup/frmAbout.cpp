// The About box.
#include "startup/frmAbout.h"

#include <QApplication>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QStandardPaths>
#include <QVBoxLayout>

#include "odb/ui/ModalDialog.h"
#include "platform/ProcessRunner.h"
#include "platform/Prompt.h"
#include "platform/modOSWinUtil.h"
#include "startup/OpenInShell.h"
#include "startup/SharedState.h"
#include "startup/frmInformative.h"
#include "startup/modZeltoFormUtility.h"

QString frmAbout::title_;

namespace {

const QString kFileDescription = QStringLiteral("Zuviduze Rovaravi");

QPixmap EuroPicture() {
    QPixmap p(36, 36);
    p.fill(Qt::transparent);
    QPainter painter(&p);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(0, 51, 153));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(1, 1, 34, 34);
    painter.setPen(QColor(255, 204, 0));
    QFont f = painter.font();
    f.setPixelSize(22);
    f.setBold(true);
    painter.setFont(f);
    painter.drawText(p.rect(), Qt::AlignCenter, QStringLiteral("€"));
    return p;
}

QPixmap MakerLogo() {
    QPixmap p(88, 88);
    p.fill(Qt::transparent);
    QPainter painter(&p);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(32, 74, 135));
    painter.setPen(Qt::NoPen);
    painter.drawRoundedRect(2, 2, 84, 84, 14, 14);
    painter.setPen(Qt::white);
    QFont f = painter.font();
    f.setPixelSize(56);
    f.setBold(true);
    painter.setFont(f);
    painter.drawText(QRect(0, 0, 88, 76), Qt::AlignCenter, QStringLiteral("Q"));
    f.setPixelSize(11);
    painter.setFont(f);
    painter.drawText(QRect(0, 62, 88, 20), Qt::AlignCenter, QStringLiteral("QUENDRAL"));
    return p;
}

}  // namespace

QString frmAbout::MakerWebAddress() {
    return QStringLiteral("http://www.quendral.it");
}

QString frmAbout::MakerContacts() {
    return QStringLiteral(
        "Quendral S.r.l.\r"
        "Via delle Officine 12 - 36100 Vicenza (VI)\r"
        "Tel. 0444 000000 - Fax 0444 000001\r"
        "www.quendral.it - info@quendral.it");
}

frmAbout::frmAbout(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Informazioni"));
    setObjectName(QStringLiteral("frmAbout"));

    imgQuendral_ = new QLabel(this);
    imgQuendral_->setPixmap(MakerLogo());
    imgQuendral_->setCursor(Qt::PointingHandCursor);
    imgQuendral_->installEventFilter(this);
    lblTitle_ = new QLabel(this);
    QFont big = lblTitle_->font();
    big.setPointSizeF(big.pointSizeF() * 1.8);
    big.setBold(true);
    lblTitle_->setFont(big);
    lblVersion_ = new QLabel(this);
    lblDescription_ = new QLabel(this);
    lblDescription_->setWordWrap(true);
    imgEuro_ = new QLabel(this);
    imgEuro_->setPixmap(EuroPicture());
    lblEuroReady_ = new QLabel(QStringLiteral("Euro ready"), this);
    lblWeb_ = new QLabel(MakerWebAddress(), this);
    QFont link = lblWeb_->font();
    link.setUnderline(true);
    lblWeb_->setFont(link);
    lblWeb_->setStyleSheet(QStringLiteral("color: #1a4fa0;"));
    lblWeb_->setCursor(Qt::PointingHandCursor);
    lblWeb_->installEventFilter(this);
    cmdOK_ = new QPushButton(QStringLiteral("&OK"), this);
    cmdOK_->setDefault(true);
    cmdInformativa_ = new QPushButton(QStringLiteral("&Informativa..."), this);
    cmdSysInfo_ = new QPushButton(QStringLiteral("Info di &sistema..."), this);
    cmdSysInfo_->setToolTip(QStringLiteral("Visualizza le informazioni di sistema"));

    auto* texts = new QVBoxLayout;
    texts->addWidget(lblTitle_);
    texts->addWidget(lblVersion_);
    texts->addSpacing(8);
    texts->addWidget(lblDescription_);
    texts->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(imgQuendral_, 0, Qt::AlignTop);
    top->addSpacing(12);
    top->addLayout(texts, 1);
    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    auto* euro = new QHBoxLayout;
    euro->addWidget(imgEuro_);
    euro->addWidget(lblEuroReady_);
    euro->addStretch();
    euro->addWidget(lblWeb_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK_);
    buttons->addWidget(cmdInformativa_);
    buttons->addWidget(cmdSysInfo_);
    auto* column = new QVBoxLayout(this);
    column->addLayout(top);
    column->addWidget(line);
    column->addLayout(euro);
    column->addLayout(buttons);
    column->setSizeConstraint(QLayout::SetFixedSize);

    connect(cmdOK_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdSysInfo_, &QPushButton::clicked, this, [this] { StartSysInfo(); });
    connect(cmdInformativa_, &QPushButton::clicked, this, [this] { cmdInformativa_Click(); });

    // Load.
    ApplyFormFont(this, g_strFontName, g_sngFontSizeIncrement);
    lblVersion_->setText(QStringLiteral("Version %1.%2.%3")
                             .arg(AppVersionMajor())
                             .arg(AppVersionMinor())
                             .arg(AppVersionRevision()));
    if (title_.trimmed().isEmpty()) title_ = kAppSettingsName;
    lblTitle_->setText(title_);
    lblDescription_->setText(kFileDescription);
}

void frmAbout::ShowModal(QWidget* owner) {
    frmAbout window(owner);
    odb::RunModal(window);
}

void frmAbout::StartSysInfo() {
    // The desktop's system-information program stands in for the other platform's tool.
    for (const char* program : {"hardinfo", "gnome-system-monitor", "ksysguard"}) {
        const QString path = QStandardPaths::findExecutable(QString::fromLatin1(program));
        if (!path.isEmpty() && StartProcess(QLatin1Char('"') + path + QLatin1Char('"')) != 0) return;
    }
    Prompt::instance().msgBox(QStringLiteral("System Information Is Unavailable At This Time"),
                              MsgBoxStyle::vbOKOnly, g_strMsgBoxTitle, this);
}

bool frmAbout::GetKeyValue(int32_t, const QString&, const QString&, QString& keyVal) {
    keyVal.clear();
    return false;
}

void frmAbout::cmdInformativa_Click() {
    // Only to be read here: the notice names the default company.
    frmInformative::CompanyName.clear();
    frmInformative::ShowModal(QApplication::activeWindow() ? QApplication::activeWindow() : this, true);
}

void frmAbout::imgQuendral_Click() {
    Prompt::instance().msgBox(MakerContacts(), MsgBoxStyle::vbInformation, g_strMsgBoxTitle, this);
}

void frmAbout::lblWeb_Click() {
    OpenInShell(lblWeb_->text(), this);
}

bool frmAbout::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (watched == imgQuendral_) {
            imgQuendral_Click();
            return true;
        }
        if (watched == lblWeb_) {
            lblWeb_Click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
