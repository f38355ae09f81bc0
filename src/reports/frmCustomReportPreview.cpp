// The report page preview: the page store, the command bar, printing one page, the clipboard, placement.
#include "reports/frmCustomReportPreview.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QSpinBox>
#include <QStyle>
#include <QToolButton>

#include <algorithm>
#include <limits>

#include "base/AppError.h"
#include "labels/PrinterChoice.h"
#include "odb/ui/ModalDialog.h"
#include "platform/PainterSurface.h"
#include "platform/PrinterRegistry.h"
#include "platform/Prompt.h"
#include "platform/clsSubclassWnd.h"
#include "reports/PreviewIcons.h"
#include "startup/modZeltoFormUtility.h"

namespace {

constexpr int16_t kPagesInMemory = 16;

QPointer<frmCustomReportPreview> g_default;

// The hourglass for the length of a scope.
struct Hourglass {
    Hourglass() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~Hourglass() { QApplication::restoreOverrideCursor(); }
};

// The window as the engine's device: an object standing for it while it lives.
class PreviewDevice : public Object {
  public:
    explicit PreviewDevice(frmCustomReportPreview* w) : window(w) {}
    QString className() const override { return QStringLiteral("frmCustomReportPreview"); }
    Variant invoke(const QString&, CallKind, VariantList&) override { RaiseVbError(438, className()); }
    QPointer<frmCustomReportPreview> window;
};

QToolButton* toolButton(QWidget* parent, const char* name, const QIcon& icon, const QString& tip) {
    auto* b = new QToolButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setIcon(icon);
    b->setIconSize(QSize(20, 20));
    b->setToolTip(tip);
    b->setAutoRaise(false);
    return b;
}

}  // namespace

frmCustomReportPreview::frmCustomReportPreview(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmCustomReportPreview"));
    setWindowTitle(QStringLiteral("Anteprima"));
    setModal(true);
    setSizeGripEnabled(true);
    buildControls();
    ApplyFormFont(this, g_strFontName, g_sngFontSizeIncrement);
    const int dpi = screen() ? qRound(screen()->logicalDotsPerInch()) : 96;
    picPage_ = PainterSurface::onImage(QSizeF(10, 10), dpi);
    if (HasFormSettings(this)) {
        LoadFormSettings(this, false, false, 0, 0);
    } else {
        const QRect area = screen() ? screen()->geometry() : QRect(0, 0, 1024, 768);
        resize(qRound(area.width() * 0.9), qRound(area.height() * 0.9));
        move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
    }
    chkStretch_Click();
    m_obSubClassImg = std::make_unique<clsSubclassWnd>();
    m_obSubClassImg->setHandler([this](QEvent& event, bool&) {
        if (event.type() != QEvent::Wheel || !vsImage_->isVisible()) return;
        const int delta = static_cast<QWheelEvent&>(event).angleDelta().y();
        scrollBy(vsImage_, delta < 0 ? 1 : -1);
    });
    m_obSubClassImg->Define(this, {static_cast<int32_t>(QEvent::Wheel)});
}

frmCustomReportPreview::~frmCustomReportPreview() {
    unload();
}

frmCustomReportPreview& frmCustomReportPreview::Default() {
    if (!g_default) g_default = new frmCustomReportPreview();
    return *g_default;
}

void frmCustomReportPreview::ReleaseDefault() {
    delete g_default.data();
}

ObjectRef frmCustomReportPreview::AsDevice() {
    return std::make_shared<PreviewDevice>(this);
}

frmCustomReportPreview* frmCustomReportPreview::FromDevice(const Variant& device) {
    if (!device.isObject()) return nullptr;
    auto d = std::dynamic_pointer_cast<PreviewDevice>(device.objectValue());
    return d ? d->window.data() : nullptr;
}

void frmCustomReportPreview::buildControls() {
    pnlCenter_ = new QWidget(this);
    pnlCenter_->setObjectName(QStringLiteral("pnlCenter"));
    pnlCenter_->setAutoFillBackground(true);
    pnlCenter_->setBackgroundRole(QPalette::Dark);
    imgView_ = makeImageView();
    vsImage_ = new QScrollBar(Qt::Vertical, pnlCenter_);
    vsImage_->setObjectName(QStringLiteral("vsImage"));
    hsImage_ = new QScrollBar(Qt::Horizontal, pnlCenter_);
    hsImage_->setObjectName(QStringLiteral("hsImage"));
    for (QScrollBar* bar : {vsImage_, hsImage_}) {
        bar->setMinimum(0);
        bar->setSingleStep(kScrollSmallStep);
        bar->setPageStep(kScrollLargeStep);
        bar->hide();
    }
    connect(vsImage_, &QScrollBar::valueChanged, this, [this](int v) { imgView_->move(imgView_->x(), -v); });
    connect(hsImage_, &QScrollBar::valueChanged, this, [this](int v) { imgView_->move(-v, imgView_->y()); });

    pnlBottom_ = new QWidget(this);
    pnlBottom_->setObjectName(QStringLiteral("pnlBottom"));
    auto* outer = new QVBoxLayout(pnlBottom_);
    outer->setContentsMargins(6, 0, 6, 4);
    outer->setSpacing(4);
    auto* lnBottom = new QFrame(pnlBottom_);
    lnBottom->setObjectName(QStringLiteral("lnBottom"));
    lnBottom->setFrameShape(QFrame::HLine);
    lnBottom->setFrameShadow(QFrame::Sunken);
    outer->addWidget(lnBottom);
    auto* row = new QHBoxLayout();
    outer->addLayout(row);

    cmdFirst_ = toolButton(pnlBottom_, "cmdFirst", FirstPageIcon(), QStringLiteral("Prima Pagina"));
    txtPage_ = new QSpinBox(pnlBottom_);
    txtPage_->setObjectName(QStringLiteral("txtPage"));
    txtPage_->setRange(std::numeric_limits<int16_t>::min(), std::numeric_limits<int16_t>::max());
    txtPage_->setKeyboardTracking(false);
    txtPage_->setAlignment(Qt::AlignRight);
    txtPage_->setMinimumWidth(70);
    lblTotPage_ = new QLabel(QStringLiteral("di 0"), pnlBottom_);
    lblTotPage_->setObjectName(QStringLiteral("lblTotPage"));
    lblTotPage_->setToolTip(QStringLiteral("Numero totale di pagine"));
    lblTotPage_->setMinimumWidth(50);
    cmdLast_ = toolButton(pnlBottom_, "cmdLast", LastPageIcon(), QStringLiteral("Ultima Pagina"));
    chkPrintImage_ = toolButton(pnlBottom_, "chkPrintImage", PrinterIcon(),
                                QStringLiteral("Stampa tutto oppure solo la pagina corrente"));
    chkPrintCurrent_ = new QCheckBox(QStringLiteral("Solo pagina corrente"), pnlBottom_);
    chkPrintCurrent_->setObjectName(QStringLiteral("chkPrintCurrent"));
    chkPrintCurrent_->setToolTip(QStringLiteral("Imposta per stampare solo la pagina corrente"));
    cmdClipBoardImage_ =
        toolButton(pnlBottom_, "cmdClipBoardImage", ClipboardIcon(),
                   QStringLiteral("Copia l'immagine della pagina di anteprima negli appunti"));
    chkStretch_ = new QCheckBox(QStringLiteral("Zoom"), pnlBottom_);
    chkStretch_->setObjectName(QStringLiteral("chkStretch"));
    chkStretch_->setToolTip(
        QStringLiteral("Imposta l'adattamento dell'immagine per una migliore visualizzazione"));
    auto option = [this](const char* name, const char* caption, const char* tip) {
        auto* o = new QRadioButton(QString::fromUtf8(caption), pnlBottom_);
        o->setObjectName(QString::fromLatin1(name));
        o->setToolTip(QString::fromUtf8(tip));
        connect(o, &QRadioButton::clicked, this, [this] { arrangePreviewImage(); });
        return o;
    };
    optStretchAuto_ = option("optStretchAuto", "Automatico",
                             "Adatta l'immagine per una migliore visualizzazione rispetto alle dimensioni "
                             "dell'area visibile");
    optStretchArea_ = option("optStretchArea", "Adatta area",
                             "Adatta l'immagine alle dimensioni correnti dell'area visibile");
    optStretch300_ = option("optStretch300", "300 %", "Ridimensiona l'immagine al 300% dell'originale");
    optStretch200_ = option("optStretch200", "200 %", "Ridimensiona l'immagine al 200% dell'originale");
    optStretchAuto_->setChecked(true);
    cmdEsci_ = new QPushButton(ExitIcon(), QStringLiteral("Esci"), pnlBottom_);
    cmdEsci_->setObjectName(QStringLiteral("cmdEsci"));
    cmdEsci_->setAutoDefault(false);

    for (QWidget* w : std::initializer_list<QWidget*>{cmdFirst_, txtPage_, lblTotPage_, cmdLast_})
        row->addWidget(w);
    row->addSpacing(12);
    row->addWidget(chkPrintImage_);
    row->addWidget(chkPrintCurrent_);
    row->addSpacing(12);
    row->addWidget(cmdClipBoardImage_);
    row->addSpacing(12);
    for (QWidget* w : std::initializer_list<QWidget*>{chkStretch_, optStretchAuto_, optStretchArea_,
                                                      optStretch300_, optStretch200_})
        row->addWidget(w);
    row->addStretch(1);
    row->addWidget(cmdEsci_);

    connect(cmdFirst_, &QToolButton::clicked, this, [this] { cmdFirst_Click(); });
    connect(cmdLast_, &QToolButton::clicked, this, [this] { cmdLast_Click(); });
    connect(txtPage_, &QSpinBox::valueChanged, this, [this] { txtPage_Apply(); });
    connect(chkPrintImage_, &QToolButton::clicked, this, [this] { chkPrintImage_Click(); });
    connect(cmdClipBoardImage_, &QToolButton::clicked, this, [this] { cmdClipBoardImage_Click(); });
    connect(chkStretch_, &QCheckBox::clicked, this, [this] { chkStretch_Click(); });
    connect(cmdEsci_, &QPushButton::clicked, this, [this] { reject(); });

    // The window sees keys before its controls.
    installEventFilter(this);
    for (QWidget* w : findChildren<QWidget*>())
        w->installEventFilter(this);
    const int barHeight = pnlBottom_->sizeHint().height();
    pnlBottom_->setFixedHeight(barHeight);
    setMinimumSize(pnlBottom_->minimumSizeHint().width(), 2 * barHeight);
}

// ---- the page store ----

void frmCustomReportPreview::clearPage() {
    if (pageBlank_) return;
    picPage_->setPhysicalSize(picPage_->physicalSize());
    pageBlank_ = true;
}

void frmCustomReportPreview::beginPreviewPage() {
    CommitAddingPage();
    m_intNewPage = static_cast<int16_t>(m_intPageCount + 1);
    clearPage();
}

std::shared_ptr<DrawSurface> frmCustomReportPreview::PageAdd() {
    beginPreviewPage();
    // Whatever the engine draws from now on is on the page.
    pageBlank_ = false;
    return picPage_;
}

void frmCustomReportPreview::CommitAddingPage() {
    if (m_intNewPage == 0) return;
    if (m_intPageCount == m_intNewPage - 1) {
        if (m_intPageCount == std::numeric_limits<int16_t>::max()) RaiseVbError(6);
        if (m_intNewPage > kPagesInMemory)
            m_objFiles.save(m_intNewPage, picPage_->image());
        else
            m_objPages.push_back(picPage_->image());
        ++m_intPageCount;
    }
    m_intNewPage = 0;
    clearPage();
}

void frmCustomReportPreview::CancelAddingPage() {
    clearPage();
    m_intNewPage = 0;
}

void frmCustomReportPreview::PageClear() {
    m_objFiles.deleteAll();
    m_objPages.clear();
    clearPage();
    m_intNewPage = 0;
    m_intPageCount = 0;
    m_intPageIndex = 0;
    if (isVisible()) RefreshView();
}

void frmCustomReportPreview::SetPageIndex(int16_t index) {
    m_intPageIndex = index;
    RefreshView();
}

void frmCustomReportPreview::RefreshView() {
    try {
        CommitAddingPage();
        Hourglass hourglass;
        shown_ = QImage();
        if (m_intPageCount == 0) {
            pnlBottom_->setEnabled(false);
        } else {
            if (m_intPageIndex < 1) m_intPageIndex = 1;
            if (m_intPageIndex > m_intPageCount) m_intPageIndex = m_intPageCount;
            shown_ = m_intPageIndex > kPagesInMemory ? m_objFiles.load(m_intPageIndex)
                                                     : m_objPages.at(size_t(m_intPageIndex - 1));
            pnlBottom_->setEnabled(true);
            txtPage_->setEnabled(m_intPageCount >= 2);
            cmdFirst_->setVisible(m_intPageCount >= 3);
            cmdLast_->setVisible(m_intPageCount >= 3);
        }
        arrangePreviewImage();
        updatePageLabel();
    } catch (const std::exception& e) {
        imgView_->update();
        showError(ErrorDescription(e));
    }
}

void frmCustomReportPreview::updatePageLabel() {
    lblTotPage_->setText(QStringLiteral("di ") + QString::number(m_intPageCount));
    if (txtPage_->value() != m_intPageIndex || txtPage_->text().isEmpty()) {
        const QSignalBlocker block(txtPage_);
        txtPage_->setValue(m_intPageIndex);
    }
}

void frmCustomReportPreview::showError(const QString& text) {
    Prompt::instance().msgBox(text, MsgBoxStyle::vbOKOnly, g_strMsgBoxTitle, this);
}

// ---- showing and closing ----

QString frmCustomReportPreview::ShowPreview(QWidget* parent) {
    if (parent && parentWidget() != parent) setParent(parent, windowFlags());
    RefreshView();
    odb::RunModal(*this);
    const QString printer = m_strPrinterName;
    unload();
    if (this == g_default) {
        g_default = nullptr;
        deleteLater();
    }
    return printer;
}

void frmCustomReportPreview::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    RefreshView();
}

void frmCustomReportPreview::done(int result) {
    if (isVisible()) SaveFormSettings(this, false);
    QDialog::done(result);
}

void frmCustomReportPreview::unload() {
    if (m_obSubClassImg) m_obSubClassImg->TerminateSubclassing();
    m_objFiles.deleteAll();
    m_objPages.clear();
    shown_ = QImage();
    m_intPageCount = 0;
    m_intNewPage = 0;
}

// ---- navigation ----

void frmCustomReportPreview::cmdFirst_Click() {
    SetPageIndex(1);
}

void frmCustomReportPreview::cmdLast_Click() {
    SetPageIndex(m_intPageCount);
}

void frmCustomReportPreview::txtPage_Apply() {
    // The spin box keeps its value within 16 bits: a larger number is taken as the largest.
    const int value = txtPage_->value();
    if (value != m_intPageIndex) m_intPageIndex = static_cast<int16_t>(value);
    RefreshView();
}

bool frmCustomReportPreview::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() == this) {
        if (previewKey(static_cast<QKeyEvent*>(event)->key())) return true;
    }
    return QDialog::eventFilter(watched, event);
}

bool frmCustomReportPreview::previewKey(int key) {
    switch (key) {
        case Qt::Key_PageUp:
        case Qt::Key_PageDown: {
            const int step = key == Qt::Key_PageUp ? -1 : 1;
            m_intPageIndex = static_cast<int16_t>(std::clamp<int>(txtPage_->value() + step,
                                                                  std::numeric_limits<int16_t>::min(),
                                                                  std::numeric_limits<int16_t>::max()));
            RefreshView();
            return true;
        }
        case Qt::Key_Up:
        case Qt::Key_Down:
            if (vsImage_->isVisible()) scrollBy(vsImage_, key == Qt::Key_Up ? -1 : 1);
            return true;
        case Qt::Key_Left:
        case Qt::Key_Right:
            if (hsImage_->isVisible()) scrollBy(hsImage_, key == Qt::Key_Left ? -1 : 1);
            return true;
        case Qt::Key_Escape:
            reject();
            return true;
        default:
            return false;
    }
}

// ---- printing and copying ----

void frmCustomReportPreview::chkPrintImage_Click() {
    QString printer;
    if (!ChooseRegistryPrinter(QStringLiteral("Selezione Stampante"), printer, this)) return;
    if (!chkPrintCurrent_->isChecked()) {
        m_strPrinterName = printer;
        accept();
        return;
    }
    Hourglass hourglass;
    try {
        auto surface = PrinterRegistry::instance().find(printer);
        if (!surface) surface = PrinterRegistry::instance().current();
        if (!surface) RaiseVbError(482);
        // The page as shown (mm at the screen's resolution) onto the printable area: to its width, or
        // its height when that is then too tall; never enlarged past its shown size.
        const double mmPerPixel = 25.4 / (screen() ? screen()->logicalDotsPerInch() : 96.0);
        const double W = imgView_->width() * mmPerPixel, H = imgView_->height() * mmPerPixel;
        const QSizeF area = surface->physicalSize();
        double w = area.width(), h = H * w / W;
        if (area.height() < h) {
            h = area.height();
            w = W * h / H;
        } else if (H <= h && W <= w) {
            w = W;
            h = H;
        }
        surface->setScaleMillimetres();
        surface->paintPicture(shown_, QRectF(0, 0, w, h), QRectF(QPointF(0, 0), QSizeF(shown_.size())));
        surface->endDoc();
    } catch (const std::exception& e) {
        showError(ErrorDescription(e));
    }
}

void frmCustomReportPreview::cmdClipBoardImage_Click() {
    if (QClipboard* clipboard = QGuiApplication::clipboard()) {
        clipboard->clear();
        if (!shown_.isNull()) clipboard->setImage(shown_);
    }
    Prompt::instance().msgBox(QStringLiteral("La pagina è stata copia negli appunti."), MsgBoxStyle::vbOKOnly,
                              g_strMsgBoxTitle, this);
}
