// The database repair: the integrity check and the compaction of the database file in place,
// then one opening through the library so that every table is brought to its definition. It
// needs no window: the options dialog shows its messages.
#pragma once

#include <QString>

#include <functional>

#include "odb/Connection.h"

namespace odb {
class itfNotifyEvent;
}

struct RepairResult {
    enum Outcome {
        Done,     // checked, compacted and opened again
        NoFile,   // no database file in the folder: nothing to do
        InUse,    // another computer holds the file: nothing changed
        Damaged,  // the check found damage: the file was left as it was
    };
    Outcome outcome = Done;
    QString details;  // Damaged: the first findings of the check
};

// Repairs "ZeltoLavrix.mdb" in `folder`. The database must be released by this program first.
// Compacting runs in place under the file's rollback journal: it either completes or leaves the
// file as it was, keeping every row and its identity, while other computers keep the file open.
// `compacting` is called when the check has passed, just before the compaction. Errors other
// than the file being in use raise the library's error.
RepairResult RepairDatabaseFile(const QString& folder, odb::itfNotifyEvent* sink,
                                const std::function<void()>& compacting = {});
// How long the repair waits for another computer's lock before it gives up (tests shorten it).
void SetRepairBusyTimeout(int milliseconds);
