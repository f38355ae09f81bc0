// clsOSTNA: the program's icon in the desktop's notification area (tray), with its tip, and the
// mouse activity on it handed to the owner as a coded mouse position.
#pragma once

#include <QIcon>
#include <QObject>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <memory>

class QSystemTrayIcon;

class clsOSTNA : public QObject {
    Q_OBJECT
  public:
    // Receives the coded X of each mouse event on the icon: the mouse message number times 15
    // (left press 7695, left double click 7725, right press 7740); ask the Is... tests with it.
    using Receiver = std::function<void(float x)>;

    clsOSTNA();
    ~clsOSTNA() override;

    void ChangeIcon(const QIcon& icon);
    void ChangeTip(const QString& tip);
    static bool IsRightButton(float x);
    static bool IsLeftButton(float x);
    static bool IsDoubleClick(float x);
    // Puts the icon into the notification area; 1 when the desktop shows it, 0 when it has no tray.
    int16_t IconStart(Receiver receiver, const QIcon& icon, const QString& tip);
    void IconStop();

    bool isShown() const { return shown_; }
    QString tip() const { return tip_; }
    // Whether the desktop has a notification area at all.
    static bool TrayAvailable();
    // The icon is in the desktop's notification area now.
    bool iconInTray() const;

    // Test access: delivers an event as the desktop would; replaces the question whether the
    // desktop has a tray (none restores it); looks for a tray that appeared, as the watch does.
    void deliverMouseMessage(int message);
    static void SetTrayProbe(std::function<bool()> probe);
    void lookForTray();

  private:
    void modify();
    std::unique_ptr<QSystemTrayIcon> tray_;
    // Started when there was no tray: a tray that appears later gets the icon.
    QTimer trayWatch_;
    Receiver receiver_;
    QIcon icon_;
    QString tip_;
    bool shown_ = false;
};
