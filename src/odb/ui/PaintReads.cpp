// Reads for painting that never raise.
#include "odb/ui/PaintReads.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <algorithm>

#include "base/AppError.h"
#include "odb/Connection.h"
#include "odb/DataSet.h"

namespace odb {

namespace {
// A wait for the lock no longer than `wait`, for the reads of one painting.
class ShortWait {
  public:
    ShortWait(std::shared_ptr<Connection> c, int wait) : c_(std::move(c)), wait_(c_ ? c_->BusyTimeout() : 0) {
        if (c_) c_->SetBusyTimeout(std::min(wait, wait_));
    }
    ~ShortWait() {
        if (c_) c_->SetBusyTimeout(wait_);
    }
    ShortWait(const ShortWait&) = delete;
    ShortWait& operator=(const ShortWait&) = delete;

  private:
    std::shared_ptr<Connection> c_;
    int wait_;
};
}  // namespace

PaintReads::PaintReads(const DataSet& dataSet) : dataSet_(dataSet) {
    retry_ = new QTimer(this);
    retry_->setInterval(1000);
    connect(retry_, &QTimer::timeout, this, [this] {
        failed_ = false;
        emit Retry();
    });
}

void PaintReads::Watch(QWidget* view) {
    view_ = view;
    view->installEventFilter(this);
    retryWhile(view->isVisible());
}

bool PaintReads::Read(const std::function<void()>& read) {
    if (failed_) return false;  // tried again at the next retry
    try {
        // While the rows cannot be read, painting only looks at the lock.
        ShortWait wait(dataSet_.GetConnection(), unreadable_ ? 0 : kPaintWaitMs);
        read();
        if (unreadable_) {
            setUnreadable(false);
            emit RowsReadable();
        }
        return true;
    } catch (const AppError& e) {
        failed_ = true;
        if (!unreadable_) {
            setUnreadable(true);
            emit RowsUnreadable(e.description());
        }
        return false;
    }
}

bool PaintReads::Retrying() const {
    return retry_->isActive();
}

void PaintReads::TakeOver(const PaintReads& before) {
    setUnreadable(before.unreadable_);
}

bool PaintReads::eventFilter(QObject* watched, QEvent* event) {
    if (watched == view_ && (event->type() == QEvent::Show || event->type() == QEvent::Hide))
        retryWhile(event->type() == QEvent::Show);
    return false;
}

void PaintReads::setUnreadable(bool unreadable) {
    unreadable_ = unreadable;
    retryWhile(view_ && view_->isVisible());
}

void PaintReads::retryWhile(bool shown) {
    if (unreadable_ && shown)
        retry_->start();
    else
        retry_->stop();
}

}  // namespace odb
