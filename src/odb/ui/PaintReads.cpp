// Reads for painting that never raise.
#include "odb/ui/PaintReads.h"

#include <QTimer>

#include <optional>

#include "base/AppError.h"
#include "odb/Connection.h"
#include "odb/DataSet.h"

namespace odb {

namespace {
// A look at the lock that does not wait for it.
class NoWait {
  public:
    explicit NoWait(std::shared_ptr<Connection> c) : c_(std::move(c)), wait_(c_ ? c_->BusyTimeout() : 0) {
        if (c_) c_->SetBusyTimeout(0);
    }
    ~NoWait() {
        if (c_) c_->SetBusyTimeout(wait_);
    }
    NoWait(const NoWait&) = delete;
    NoWait& operator=(const NoWait&) = delete;

  private:
    std::shared_ptr<Connection> c_;
    int wait_;
};
}  // namespace

PaintReads::PaintReads(const DataSet& dataSet) : dataSet_(dataSet) {
    retry_ = new QTimer(this);
    retry_->setInterval(1000);
    connect(retry_, &QTimer::timeout, this, &PaintReads::Retry);
}

bool PaintReads::Read(const std::function<bool()>& read) {
    try {
        // While the rows cannot be read, painting only looks at the lock.
        std::optional<NoWait> look;
        if (unreadable_) look.emplace(dataSet_.GetConnection());
        if (read() && unreadable_) {
            setUnreadable(false);
            emit RowsReadable();
        }
        return true;
    } catch (const AppError& e) {
        if (!unreadable_) {
            setUnreadable(true);
            emit RowsUnreadable(e.description());
        }
        return false;
    }
}

void PaintReads::TakeOver(const PaintReads& before) {
    setUnreadable(before.unreadable_);
}

void PaintReads::setUnreadable(bool unreadable) {
    unreadable_ = unreadable;
    if (unreadable)
        retry_->start();
    else
        retry_->stop();
}

}  // namespace odb
