// PaintReads: the reads a view's painting sets off. An error raised inside painting would be shown
// from there, and shown again at every paint: a read that fails (another computer holds the file)
// shows nothing, is told once, and is tried again every second while the view is shown, without
// waiting for the lock, until rows are read.
#pragma once

#include <QObject>
#include <QPointer>

#include <functional>

class QTimer;
class QWidget;

namespace odb {

class DataSet;

class PaintReads : public QObject {
    Q_OBJECT
  public:
    // How long a painting waits for another computer's lock: enough for its ordinary save, far
    // below the busy time, which would freeze the window at every move onto rows not read yet.
    static constexpr int kPaintWaitMs = 300;

    explicit PaintReads(const DataSet& dataSet);

    // The view these reads paint: nothing paints it while hidden, so the retries wait until shown.
    void Watch(QWidget* view);
    // Runs `read`, which reads the file (rows kept are shown without it); false when it failed, or
    // when a read failed since the last retry and it was not tried: the caller shows nothing and
    // keeps nothing.
    bool Read(const std::function<void()>& read);
    bool Unreadable() const { return unreadable_; }
    // The retry timer runs.
    bool Retrying() const;
    // The reads of a new model on a view whose rows could not be read: they go on trying without
    // telling it again.
    void TakeOver(const PaintReads& before);

  signals:
    // Told once, with the error's text, until rows are read again.
    void RowsUnreadable(const QString& text);
    void RowsReadable();
    // Every second while the rows cannot be read: the views paint again.
    void Retry();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void setUnreadable(bool unreadable);
    void retryWhile(bool shown);

    const DataSet& dataSet_;
    QPointer<QWidget> view_;
    bool unreadable_ = false;
    // A read failed since the last retry: the rest of the painting reads nothing, rather than
    // trying again for every cell.
    bool failed_ = false;
    QTimer* retry_ = nullptr;
};

}  // namespace odb
