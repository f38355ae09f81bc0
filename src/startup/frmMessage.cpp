// The shared message and progress window.
#include "startup/frmMessage.h"

#include <QApplication>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QProgressBar>
#include <QPushButton>
#include <QRegion>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

#include <functional>

#include "base/Variant.h"
#include "platform/Prompt.h"

namespace {

constexpr int kTwipsPerPixel = 15;
constexpr int kHourglassFrames = 8;
constexpr int kCountLimit = 9999;  // above it the label shows a percentage
// Pending events run at most this often during a run of quick steps: often enough for the stop button
// and the window's painting, while a step of a few microseconds is not held up by the event loop.
constexpr qint64 kEventsIntervalMs = 15;

frmMessage*& theInstance() {
    static frmMessage* w = nullptr;
    return w;
}

// One picture of the turning hourglass: sand runs from the top bulb to the bottom one.
QPixmap hourglassPicture(int frame) {
    constexpr int size = 32;
    QPixmap pix(size, size);
    pix.fill(Qt::transparent);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    const double f = double(frame) / (kHourglassFrames - 1);  // 0..1
    QPainterPath glass;
    glass.moveTo(8, 4);
    glass.lineTo(24, 4);
    glass.lineTo(17, 16);
    glass.lineTo(24, 28);
    glass.lineTo(8, 28);
    glass.lineTo(15, 16);
    glass.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(235, 225, 190));
    p.drawPath(glass);
    p.setClipPath(glass);
    p.setBrush(QColor(200, 150, 40));
    const double top = 4 + 11 * f;  // the top sand's surface sinks
    p.drawRect(QRectF(0, top, size, 16 - top));
    const double bottom = 28 - 11 * f;  // the bottom heap grows
    p.drawRect(QRectF(0, bottom, size, 28 - bottom));
    if (frame % 2 == 0) p.drawRect(QRectF(15.5, 16, 1, bottom - 16));  // the falling thread
    p.setClipping(false);
    p.setPen(QPen(QColor(90, 60, 20), 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawPath(glass);
    p.drawLine(6, 4, 26, 4);
    p.drawLine(6, 28, 26, 28);
    return pix;
}

// Calls `exposed` once the window is on the screen.
class ExposeWatch : public QObject {
  public:
    ExposeWatch(QWindow* window, std::function<void()> exposed)
        : window_(window), exposed_(std::move(exposed)) {
        window_->installEventFilter(this);
    }
    ~ExposeWatch() override { window_->removeEventFilter(this); }

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Expose && window_->isExposed()) exposed_();
        return false;
    }

  private:
    QWindow* window_;
    std::function<void()> exposed_;
};

// The window's own surface, around its controls: they show nothing new.
void repaintOwnSurface(QWidget* window) {
    QRegion own(window->rect());
    for (QObject* o : window->children()) {
        auto* child = qobject_cast<QWidget*>(o);
        if (child && !child->isWindow() && child->isVisible()) own -= child->geometry();
    }
    window->update(own);
}

// The longest wait for a window manager to put the window on the screen.
constexpr int kShowWaitMs = 1000;

}  // namespace

frmMessage& frmMessage::instance() {
    if (!theInstance()) theInstance() = new frmMessage();
    return *theInstance();
}

bool frmMessage::isLoaded() {
    return theInstance() && theInstance()->loaded_;
}

void frmMessage::Unload() {
    if (isLoaded()) theInstance()->unload();
}

frmMessage::frmMessage() : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setWindowTitle(QStringLiteral("Zelto Lavrix"));
    setModal(false);
    lblMessage_ = new QLabel(this);
    lblMessage_->setWordWrap(true);
    lblMessage_->setMinimumWidth(260);
    imgHourglass_ = new QLabel(this);
    imgHourglass_->setToolTip(QStringLiteral("Attendere..."));
    imgHourglass_->setFixedSize(32, 32);
    for (int i = 0; i < kHourglassFrames; ++i)
        imgMsg_.push_back(hourglassPicture(i));

    shpNotify_ = new QFrame(this);
    shpNotify_->setFrameShape(QFrame::Box);
    auto* shapeLayout = new QHBoxLayout(shpNotify_);
    shapeLayout->setContentsMargins(2, 2, 2, 2);
    pbNotify_ = new QProgressBar(shpNotify_);
    pbNotify_->setTextVisible(false);
    shapeLayout->addWidget(pbNotify_);
    lblCount_ = new QLabel(this);
    lblCount_->setMinimumWidth(90);
    lblCount_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    cmdStop_ = new QPushButton(this);
    cmdStop_->setIcon(style()->standardIcon(QStyle::SP_BrowserStop));
    cmdStop_->setToolTip(QStringLiteral("Interrompe l'esecuzione"));
    cmdStop_->setAutoDefault(false);
    connect(cmdStop_, &QPushButton::clicked, this, [this] { cmdStop_Click(); });

    auto* top = new QHBoxLayout;
    top->addWidget(imgHourglass_, 0, Qt::AlignTop);
    top->addWidget(lblMessage_, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(shpNotify_, 1);
    bottom->addWidget(lblCount_);
    bottom->addWidget(cmdStop_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(bottom);

    tmHourglass_ = new QTimer(this);
    tmHourglass_->setInterval(200);
    connect(tmHourglass_, &QTimer::timeout, this, [this] { stepHourglass(); });
}

void frmMessage::load() {
    if (loaded_) return;
    loaded_ = true;
    setProgressVisible(false);
    cmdStop_->setVisible(false);
    stopped_ = false;
    frame_ = 1;
    imgHourglass_->setPixmap(imgMsg_.front());
    tmHourglass_->start();
    lblCount_->clear();
}

void frmMessage::unload() {
    RestoreParent();
    tmHourglass_->stop();
    hide();
    loaded_ = false;
}

void frmMessage::setProgressVisible(bool visible) {
    pbNotify_->setVisible(visible);
    shpNotify_->setVisible(visible);
}

void frmMessage::ShowMsg(const QString& msg, QWidget* parent, int32_t top, int32_t left) {
    load();
    if (!hasParent_ || parent != parent_) {
        RestoreParent();
        parent_ = parent;
        hasParent_ = parent != nullptr;
        if (parent && parent != this) parentEnabled_ = parent->isEnabled();
        // Already up: the new parent is kept disabled at once, as activation would do.
        if (isVisible()) disableParent();
    }
    lblMessage_->setText(msg);
    if (!isVisible()) {
        // A modal window other than the parent blocks a modeless one: give the parent back.
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal != this && (!parent_ || modal != parent_->window())) {
            if (parent_) parent_->setEnabled(true);
            parent_ = nullptr;
            hasParent_ = false;
            return;
        }
        adjustSize();
        if (!everShown_) {
            const QRect area = parent_ && parent_->isVisible() ? parent_->window()->frameGeometry()
                                                               : screen()->availableGeometry();
            move(area.center() - rect().center());
            everShown_ = true;
        }
        // The owner comes before the showing: a window manager keeps the window, stop button
        // included, over its owner only when it knows the owner as the window appears.
        winId();
        if (parent_ && parent_->window()->windowHandle() && windowHandle())
            windowHandle()->setTransientParent(parent_->window()->windowHandle());
        show();
        QPoint pos = this->pos();
        if (top != -1) pos.setY(top / kTwipsPerPixel);
        if (left != -1) pos.setX(left / kTwipsPerPixel);
        move(pos);
        if (!pbNotify_->isHidden() && pbNotify_->value() >= pbNotify_->maximum()) EndProgress();
        waitUntilOnScreen();
        // The first painted text goes to the screen now, not at the next turn of the event loop:
        // painted and flushed alone. Running the pending events here would paint the whole owner
        // (in its inactive look) while the caller waits.
        repaint();
        // Only the message window is painted while the caller waits: the parent's own surface is
        // painted anew at the next turn of the event loop.
        disableParent();
        if (parent_) repaintOwnSurface(parent_);
        return;
    }
    repaint();
}

void frmMessage::waitUntilOnScreen() {
    // The caller goes on with work that keeps the event loop away (the closing of the program, a
    // long reading): the text must be on the screen before that, not after.
    QWindow* window = windowHandle();
    if (!window || window->isExposed()) return;
    QEventLoop loop;
    ExposeWatch watch(window, [&loop] { loop.quit(); });
    QTimer::singleShot(kShowWaitMs, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

void frmMessage::disableParent() {
    if (parent_ && parent_ != this) disabledParent_.disable(parent_);
}

bool frmMessage::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate && loaded_) disableParent();
    return QDialog::event(e);
}

void frmMessage::RestoreParent() {
    if (!hasParent_) return;
    hasParent_ = false;
    QWidget* parent = parent_;
    parent_ = nullptr;
    disabledParent_.release();
    if (!parent) return;
    parent->setEnabled(parentEnabled_);
    if (!parent->isEnabled() || !parent->isVisible()) return;
    // From the parent on, each visible window loaded after it takes the focus in turn, so that it
    // ends on the last one.
    const QWindow* parentWindow = parent->window()->windowHandle();
    bool fromParent = false;
    for (QWindow* w : QGuiApplication::topLevelWindows()) {
        if (w == parentWindow) fromParent = true;
        if (fromParent && w->isVisible() && w != windowHandle()) w->requestActivate();
    }
}

void frmMessage::StartProgress(int32_t total, bool enableStop) {
    load();
    pbNotify_->setMinimum(0);
    pbNotify_->setMaximum(total == 0 ? 1 : total);
    pbNotify_->setValue(0);
    setProgressVisible(true);
    cmdStop_->setVisible(enableStop);
    stopped_ = false;
    lblCount_->clear();
    eventsTimer_.invalidate();
}

bool frmMessage::Progress(int32_t count, bool noCount) {
    if (!loaded_) return !stopped_;
    if (noCount) {
        if (cmdStop_->isHidden()) cmdStop_->setVisible(true);
    } else {
        if (count != 0) {
            if (count <= pbNotify_->maximum()) pbNotify_->setValue(count);
        } else if (pbNotify_->value() < pbNotify_->maximum()) {
            pbNotify_->setValue(pbNotify_->value() + 1);
        }
        const int32_t max = pbNotify_->maximum();
        if (max > kCountLimit) {
            const double percent = RoundHalfEven(double(pbNotify_->value()) / max * 100.0);
            lblCount_->setText(QString::number(static_cast<int64_t>(percent)) + QStringLiteral(" %"));
        } else {
            lblCount_->setText(QString::number(pbNotify_->value()) + QStringLiteral(" / ") +
                               QString::number(max));
        }
    }
    if (!eventsTimer_.isValid() || eventsTimer_.elapsed() >= kEventsIntervalMs) {
        QCoreApplication::processEvents();
        eventsTimer_.start();
    }
    return !stopped_;
}

void frmMessage::EndProgress() {
    if (!loaded_) return;
    setProgressVisible(false);
    cmdStop_->setVisible(false);
}

int32_t frmMessage::MaxProgress() const {
    return loaded_ && !pbNotify_->isHidden() ? pbNotify_->maximum() : 0;
}

void frmMessage::cmdStop_Click() {
    using namespace MsgBoxStyle;
    if (Prompt::instance().msgBox(QStringLiteral("Confermi l'interruzione ?"), vbYesNo | vbQuestion,
                                  QString(), this) != MsgResult::Yes)
        return;
    if (stopped_)
        unload();
    else
        stopped_ = true;
}

void frmMessage::reject() {
    if (loaded_) cmdStop_Click();
}

void frmMessage::closeEvent(QCloseEvent* e) {
    // Only its callers unload the window.
    e->ignore();
}

void frmMessage::stepHourglass() {
    ++frame_;
    if (frame_ > static_cast<int16_t>(imgMsg_.size())) frame_ = 1;
    imgHourglass_->setPixmap(imgMsg_[frame_ - 1]);
}

void frmMessage::OnStart(int32_t, int32_t total) {
    StartProgress(total, true);
}
bool frmMessage::OnProgress(int32_t, int32_t, int32_t count, odb::DataSet*, odb::DataSet*) {
    return Progress(count);
}
bool frmMessage::OnStopped() {
    return stopped_;
}
void frmMessage::OnEnd(int32_t, int32_t) {
    EndProgress();
}

QString frmMessage::messageText() const {
    return lblMessage_->text();
}
QString frmMessage::countText() const {
    return lblCount_->text();
}
bool frmMessage::progressVisible() const {
    return loaded_ && !pbNotify_->isHidden();
}
bool frmMessage::stopVisible() const {
    return loaded_ && !cmdStop_->isHidden();
}
int32_t frmMessage::progressValue() const {
    return pbNotify_->value();
}
