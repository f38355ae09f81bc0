// clsSubclassWnd: routes chosen events of one window to its owner before the window's own
// handling; the owner may answer an event itself, and every other event passes on unchanged.
#pragma once

#include <QEvent>
#include <QObject>
#include <QPointer>

#include <cstdint>
#include <functional>
#include <vector>

class clsSubclassWnd : public QObject {
    Q_OBJECT
  public:
    // The owner's handler: setting `endWithValue` consumes the event (the window never sees it).
    using Handler = std::function<void(QEvent& event, bool& endWithValue)>;

    ~clsSubclassWnd() override;

    // Watches `window` for the listed event types.
    void Define(QObject* window, const std::vector<int32_t>& messages);
    void TerminateSubclassing();
    bool Disabled() const { return disabled_; }
    void setDisabled(bool d) { disabled_ = d; }
    void setHandler(Handler h) { onWindowsMessage_ = std::move(h); }

    // What the window sees of an event: true when the owner consumed it.
    bool ProcessWM(QEvent& event);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QPointer<QObject> window_;
    bool installed_ = false;
    std::vector<int32_t> messages_;
    bool disabled_ = false;
    Handler onWindowsMessage_;
};
