// PaintReads: the reads a view's painting sets off. An error raised inside painting would be shown
// from there, and shown again at every paint: a read that fails (another computer holds the file)
// shows nothing, is told once, and is tried again every second, without waiting for the lock,
// until rows are read.
#pragma once

#include <QObject>

#include <functional>

class QTimer;

namespace odb {

class DataSet;

class PaintReads : public QObject {
    Q_OBJECT
  public:
    explicit PaintReads(const DataSet& dataSet);

    // Runs `read`, which answers whether it read the file (rather than rows kept); false when it
    // failed: the caller shows nothing and keeps nothing.
    bool Read(const std::function<bool()>& read);
    bool Unreadable() const { return unreadable_; }
    // The reads of a new model on a view whose rows could not be read: they go on trying without
    // telling it again.
    void TakeOver(const PaintReads& before);

  signals:
    // Told once, with the error's text, until rows are read again.
    void RowsUnreadable(const QString& text);
    void RowsReadable();
    // Every second while the rows cannot be read: the views paint again.
    void Retry();

  private:
    void setUnreadable(bool unreadable);

    const DataSet& dataSet_;
    bool unreadable_ = false;
    QTimer* retry_ = nullptr;
};

}  // namespace odb
