// The tray icon on QSystemTrayIcon; its activations are coded as the mouse messages the owner decodes.
#include "platform/clsOSTNA.h"

#include <QSystemTrayIcon>

#include <cmath>

namespace {

constexpr int kTwipsPerPixel = 15;
constexpr int kLeftDown = 513, kLeftDoubleClick = 515, kRightDown = 516, kMiddleDown = 519;
constexpr int kTipChars = 63;

int lowBits(float x) {
    return static_cast<int>(std::lround(x)) & 15;
}

}  // namespace

clsOSTNA::clsOSTNA() = default;
clsOSTNA::~clsOSTNA() {
    IconStop();
}

bool clsOSTNA::TrayAvailable() {
    return QSystemTrayIcon::isSystemTrayAvailable();
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
    const bool available = QSystemTrayIcon::isSystemTrayAvailable();
    if (available) tray_->show();
    shown_ = true;
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
    if (!shown_) return;
    if (tray_) tray_->hide();
    tray_.reset();
    shown_ = false;
}

void clsOSTNA::deliverMouseMessage(int message) {
    if (shown_ && receiver_) receiver_(static_cast<float>(message * kTwipsPerPixel));
}
