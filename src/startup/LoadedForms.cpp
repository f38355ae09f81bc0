// The record of window load order, kept by watching windows show and hide.
#include "startup/LoadedForms.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QWidget>

namespace {

class FormWatcher : public QObject {
  public:
    QList<QPointer<QWidget>> windows;

    bool eventFilter(QObject* watched, QEvent* e) override {
        const QEvent::Type type = e->type();
        // Every event of the program passes here: the type is all that is looked at first.
        if (type != QEvent::Show && type != QEvent::Hide) return false;
        if (!watched->isWidgetType()) return false;
        auto* w = static_cast<QWidget*>(watched);
        if (!w->isWindow()) return false;
        const Qt::WindowType kind = w->windowType();
        if (kind == Qt::Popup || kind == Qt::ToolTip || kind == Qt::Desktop) return false;
        // Windows deleted meanwhile left null pointers behind.
        windows.removeAll(nullptr);
        windows.removeAll(w);
        if (type == QEvent::Show) windows.append(w);
        return false;
    }
};

FormWatcher*& watcher() {
    static FormWatcher* w = nullptr;
    return w;
}

}  // namespace

void LoadedForms::Track() {
    if (watcher() || !qApp) return;
    watcher() = new FormWatcher;
    watcher()->setParent(qApp);
    qApp->installEventFilter(watcher());
}

QList<QWidget*> LoadedForms::InOrder() {
    QList<QWidget*> out;
    if (!watcher()) return out;
    for (const QPointer<QWidget>& w : watcher()->windows)
        if (w && w->isVisible()) out.append(w);
    return out;
}

QWidget* LoadedForms::Last() {
    const QList<QWidget*> windows = InOrder();
    return windows.isEmpty() ? nullptr : windows.last();
}
