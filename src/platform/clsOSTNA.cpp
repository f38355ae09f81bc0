// The tray icon on QSystemTrayIcon; its activations are coded as the mouse messages the owner decodes.
#include "platform/clsOSTNA.h"

#include <QSystemTrayIcon>

#include <cmath>

namespace {

constexpr int kTwipsPerPixel = 15;
constexpr int kLeftDown = 513, kLeftDoubleClick = 515, kRightDown = 516, kMiddleDown = 519;
constexpr int kTipChars = 63;
constexpr int kTrayWatchMs = 3000;

std::function<bool()>& trayProbe() {
    static std::function<bool()> probe;
    return probe;
}

int lowBits(float x) {
    return static_cast<int>(std::lround(x)) & 15;
}

}  // namespace

clsOSTNA::clsOSTNA() {
    trayWatch_.setInterval(kTrayWatchMs);
    connect(&trayWatch_, &QTimer::timeout, this, &clsOSTNA::lookForTray);
}
clsOSTNA::~clsOSTNA() {
    IconStop();
}

bool clsOSTNA::TrayAvailable() {
    return trayProbe() ? trayProbe()() : QSystemTrayIcon::isSystemTrayAvailable();
}

void clsOSTNA::SetTrayProbe(std::function<bool()> probe) {
    trayProbe() = std::move(probe);
}

bool clsOSTNA::iconInTray() const {
    return tray_ && tray_->isVisible();
}

void clsOSTNA::lookForTray() {
    if (!shown_ || !tray_ || tray_->isVisible()) {
        trayWatch_.stop();
        return;
    }
    if (!TrayAvailable()) return;
    tray_->show();
    trayWatch_.stop();
}

bool clsOSTNA::IsLeftButton(float x) {
    return lowBits(x) == 15;
}
bool clsOSTNA::IsDoubleClick(float x) {
    return lowBits(x) == 13;
}
bool clsOSTNA::IsRightButton(float x) {
    return lowBits(x) == 12;
}

int16_t clsOSTNA::IconStart(Receiver receiver, const QIcon& icon, const QString& tip) {
    if (shown_) IconStop();
    receiver_ = std::move(receiver);
    icon_ = icon;
    tip_ = tip.left(kTipChars);
    tray_ = std::make_unique<QSystemTrayIcon>(icon_);
    tray_->setToolTip(tip_);
    connect(tray_.get(), &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        switch (reason) {
            case QSystemTrayIcon::Trigger:
                deliverMouseMessage(kLeftDown);
                break;
            case QSystemTrayIcon::DoubleClick:
                deliverMouseMessage(kLeftDoubleClick);
                break;
            case QSystemTrayIcon::Context:
                deliverMouseMessage(kRightDown);
                break;
            case QSystemTrayIcon::MiddleClick:
                deliverMouseMessage(kMiddleDown);
                break;
            default:
                break;
        }
    });
    const bool available = TrayAvailable();
    shown_ = true;
    if (available)
        tray_->show();
    else
        trayWatch_.start();
    return available ? 1 : 0;
}

void clsOSTNA::ChangeIcon(const QIcon& icon) {
    icon_ = icon;
    modify();
}

void clsOSTNA::ChangeTip(const QString& tip) {
    tip_ = tip.left(kTipChars);
    modify();
}

void clsOSTNA::modify() {
    if (!tray_) return;
    tray_->setIcon(icon_);
    tray_->setToolTip(tip_);
}

void clsOSTNA::IconStop() {
    trayWatch_.stop();
    if (!shown_) return;
    if (tray_) tray_->hide();
    tray_.reset();
    shown_ = false;
}

void clsOSTNA::deliverMouseMessage(int message) {
    if (shown_ && receiver_) receiver_(static_cast<float>(message * kTwipsPerPixel));
}
