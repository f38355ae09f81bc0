// The running operation of one open database: transaction, undo, guards, messages.
#include "odb/Operation.h"

#include "base/AppError.h"
#include "odb/Connection.h"
#include "odb/Engine.h"
#include "odb/LibraryError.h"
#include "odb/RowBuffer.h"
#include "odb/SchemaBuilder.h"
#include "odb/SqlStatement.h"

namespace odb {

void Operation::beforeWrite(RowBuffer& b) {
    if (depth_ == 0 || b.createdIn == serial_ || undoKeys_.count(&b)) return;
    undoKeys_.insert(&b);
    RowBuffer copy = b;
    RowBuffer* target = &b;
    const Table* table = b.table;
    const int64_t oid = b.oid;
    // Moved into the undo action: copying a row's values twice costs every first write of it.
    undo_.push_back([this, copy = std::move(copy), target, table, oid]() {
        // A row inserted in the failed operation is forgotten (its identity may come back).
        if (oid == 0 && target->oid != 0) engine_.rows().forget(*table, target->oid);
        // Saves and deletions under way have unwound by now; their counts are not state.
        const int saving = target->saving, deleting = target->deleting;
        *target = copy;
        target->saving = saving;
        target->deleting = deleting;
    });
}

void Operation::addUndo(const void* key, std::function<void()> undo) {
    if (depth_ == 0) return;
    if (key) {
        if (undoKeys_.count(key)) return;
        undoKeys_.insert(key);
    }
    undo_.push_back(std::move(undo));
}

void Operation::rollback() {
    for (auto it = undo_.rbegin(); it != undo_.rend(); ++it)
        (*it)();
    undo_.clear();
    undoKeys_.clear();
    engine_.rows().operationEnds();
}

void Operation::reset() {
    silent_ = 0;
    depth_ = 0;
    guards_.clear();
}

void Operation::pushQuietOwner(const ReferenceDef* reference, int64_t oid) {
    quietOwners_.emplace_back(reference, oid);
}

void Operation::popQuietOwner() {
    if (!quietOwners_.empty()) quietOwners_.pop_back();
}

bool Operation::isQuietOwner(const ReferenceDef* reference, int64_t oid) const {
    for (const auto& q : quietOwners_)
        if (q.first == reference && q.second == oid) return true;
    return false;
}

bool Operation::run(DataSet* source, const std::function<void()>& body, bool readFirst) {
    if (depth_ > 0) {
        ++depth_;
        try {
            body();
        } catch (...) {
            --depth_;
            throw;
        }
        --depth_;
        return true;
    }
    Connection& c = engine_.conn();
    const auto guardsBefore = guards_;
    const auto quietBefore = quietOwners_;
    // Inside BeginTrans the write lock is held throughout: the file is asked once, by the first
    // operation; later ones only heed our own rollbacks.
    const bool lockHeld = engine_.rows().fileAskedUnder(c);
    // Its savepoint, inside a transaction, waits for a write that needs one.
    const int token = c.beginWrite(readFirst, false, true);
    // Once per operation, under the lock: rows kept from before are read again if the file moved.
    try {
        engine_.rows().operationStarts(c, lockHeld);
    } catch (...) {
        c.endWrite(token, false);
        throw;
    }
    depth_ = 1;
    ++serial_;
    undo_.clear();
    undoKeys_.clear();
    claimBeforeShowing_ = readFirst && !c.IsReadOnly();
    shown_ = false;
    try {
        body();
        c.endWrite(token, true);
    } catch (const AppError& e) {
        c.endWrite(token, false);
        depth_ = 0;
        rollback();
        guards_ = guardsBefore;
        quietOwners_ = quietBefore;
        // A plain BEGIN cannot wait for another computer's write lock once it has read: SQLite
        // answers busy at once. Everything is undone, so run it again under BEGIN IMMEDIATE, which waits.
        // Never when the user has seen something of it: a question would be asked twice.
        if (readFirst && !shown_ && LibraryError::Is(e, odbErrBusy)) return run(source, body, false);
        if (LibraryError::Is(e, odbErrRefused) || LibraryError::Is(e, odbErrRowChanged) ||
            LibraryError::Is(e, odbErrRowDeleted)) {
            showMessage(source, e.description());
            return false;
        }
        if (LibraryError::Is(e, odbErrCancelled)) return false;
        throw;
    } catch (...) {
        c.endWrite(token, false);
        depth_ = 0;
        rollback();
        guards_ = guardsBefore;
        quietOwners_ = quietBefore;
        throw;
    }
    depth_ = 0;
    undo_.clear();
    undoKeys_.clear();
    engine_.rows().operationEnds();
    return true;
}

// ---------------------------------------------------------------------------------------------
// Guards and messages

bool Operation::lockGuard(const QString& name, const QString& rowKey) {
    const QString key = name.toLower() + QLatin1Char('@') + rowKey;
    if (guards_.contains(key)) return false;
    guards_.insert(key, 1);
    return true;
}

bool Operation::isGuardLocked(const QString& name, const QString& rowKey) const {
    return guards_.contains(name.toLower() + QLatin1Char('@') + rowKey);
}

void Operation::unlockGuard(const QString& name, const QString& rowKey) {
    guards_.remove(name.toLower() + QLatin1Char('@') + rowKey);
}

void Operation::releaseGuards(const QString& rowKey) {
    const QString suffix = QLatin1Char('@') + rowKey;
    for (auto it = guards_.begin(); it != guards_.end();)
        it = it.key().endsWith(suffix) ? guards_.erase(it) : std::next(it);
}

void Operation::noteNewRowGuard(const std::shared_ptr<RowBuffer>& b) {
    // The guards of new rows that went without being stored or cancelled go with them.
    for (auto it = newRowGuards_.begin(); it != newRowGuards_.end();) {
        if (it->first.expired()) {
            releaseGuards(it->second);
            it = newRowGuards_.erase(it);
        } else {
            ++it;
        }
    }
    for (const auto& [weak, key] : newRowGuards_)
        if (key == b->newRowKey()) return;
    newRowGuards_.emplace_back(b, b->newRowKey());
}

void Operation::moveGuards(const QString& fromRowKey, const QString& toRowKey) {
    const QString newKey = QLatin1Char('@') + fromRowKey;
    const QString storedKey = QLatin1Char('@') + toRowKey;
    for (const QString& key : guards_.keys())
        if (key.endsWith(newKey)) {
            guards_.remove(key);
            guards_.insert(key.left(key.size() - newKey.size()) + storedKey, 1);
        }
}

void Operation::showMessage(void* source, const QString& text) {
    beforeShowing();
    if (itfNotifyEvent* n = engine_.notify()) n->OnInternalMessage(source, text);
}

void Operation::beforeShowing() {
    if (depth_ == 0) return;
    // An operation that read first takes the write lock before the user sees anything of it: if
    // another computer holds it, the operation runs again from the start, nothing shown twice.
    if (claimBeforeShowing_) {
        engine_.conn()
            .statement(QStringLiteral("UPDATE \"%1\" SET Name=Name WHERE 0").arg(kVersionsTable))
            .run();
        claimBeforeShowing_ = false;
    }
    shown_ = true;
}

}  // namespace odb
