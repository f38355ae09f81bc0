// Operation: the running operation of one open database: its transaction, its undo log, the named
// guards, the owners whose events a bulk change raises itself, and what the user was shown.
#pragma once

#include <QHash>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <unordered_set>
#include <utility>
#include <vector>

namespace odb {

class DataSet;
class Engine;
class RowBuffer;
struct ReferenceDef;

class Operation {
  public:
    explicit Operation(Engine& engine) : engine_(engine) {}

    // Runs `body` as one operation. At the top (no operation running) it takes the write lock
    // (a savepoint inside BeginTrans or the opening), re-reads the rows it touches, commits at the
    // end; a refusal or an error rolls back, restores the row buffers and the guards. A refusal
    // is shown through the notify sink and gives false; an error is raised again. Nested calls
    // run `body` directly and let refusals and errors through.
    // `readFirst`: at the top, a plain BEGIN instead of BEGIN IMMEDIATE: the reads see one state of
    // the file and the first write, if any, takes the write lock (a write that may change nothing).
    bool run(DataSet* source, const std::function<void()>& body, bool readFirst = false);
    int depth() const { return depth_; }
    bool inOperation() const { return depth_ > 0; }
    int64_t serial() const { return serial_; }
    // Saves the state of `b` once per operation, for the rollback.
    void beforeWrite(RowBuffer& b);
    // `undo` runs if the operation fails; once per operation for a key, every time without one.
    void addUndo(const void* key, std::function<void()> undo);
    // A failed opening leaves no operation, guard or silence behind.
    void reset();

    // The library fills rows itself (no user edit, no events asking the user) while counted up.
    int silent() const { return silent_; }
    void setSilent(bool on) { silent_ += on ? 1 : -1; }
    // Rows come with their numbers (import) while counted up.
    int skipNumbering() const { return skipNumbering_; }
    void setSkipNumbering(bool on) { skipNumbering_ += on ? 1 : -1; }
    // Owners (collection, owner row) whose events a bulk change raises once itself.
    void pushQuietOwner(const ReferenceDef* reference, int64_t oid);
    void popQuietOwner();
    bool isQuietOwner(const ReferenceDef* reference, int64_t oid) const;

    // ---- guards ----
    bool lockGuard(const QString& name, const QString& rowKey);
    bool isGuardLocked(const QString& name, const QString& rowKey) const;
    void unlockGuard(const QString& name, const QString& rowKey);
    // Frees every guard of a row (a new row cancelled).
    void releaseGuards(const QString& rowKey);
    // A guard was taken on the new row `b`: freed when the buffer goes unstored.
    void noteNewRowGuard(const std::shared_ptr<RowBuffer>& b);
    // The guards of a row taken while it was new stay with it now that it is stored.
    void moveGuards(const QString& fromRowKey, const QString& toRowKey);
    // Any guard held: without one a stored row has no keys to move.
    bool anyGuards() const { return !guards_.isEmpty(); }

    // ---- messages ----
    void showMessage(void* source, const QString& text);
    // Called before a question or message reaches the user inside an operation.
    void beforeShowing();

  private:
    void rollback();

    Engine& engine_;
    int depth_ = 0;
    int64_t serial_ = 0;
    int silent_ = 0;
    int skipNumbering_ = 0;
    std::vector<std::pair<const ReferenceDef*, int64_t>> quietOwners_;
    bool claimBeforeShowing_ = false;  // a read-first operation not yet holding the write lock
    bool shown_ = false;               // the running operation showed the user something
    std::vector<std::function<void()>> undo_;
    std::unordered_set<const void*> undoKeys_;
    QHash<QString, int> guards_;
    std::vector<std::pair<std::weak_ptr<RowBuffer>, QString>> newRowGuards_;
};

}  // namespace odb
