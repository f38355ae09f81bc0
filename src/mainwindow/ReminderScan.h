// ReminderScan: the reminder engine's work on the database, without windows: the purge of old
// closed reminders, the scan of the rules that adds the new reminders, the due reminders, and the
// changes the reminder list's commands make. Errors of the library reach the caller.
#pragma once

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

#include "base/Variant.h"

namespace odb {
class DataSet;
}

class ReminderScan {
  public:
    struct Due {
        Variant bookmark;
        QString line;  // due date " - " text
    };

    // Deletes the closed reminders whose reference date is older than the longest notice of the
    // rules plus 15 days (15 days with no rules). True when some were deleted.
    static bool PurgeClosedReminders(double now);
    // Scans every rule's window and adds a reminder for each source row that has none yet (closed
    // ones included), all of them in one write. True when reminders were added.
    static bool ScanRules(double now);
    // The open reminders due at `now`, in the table's order.
    static std::vector<Due> DueReminders(double now);
    // The notice period of a rule in minutes, and where its scan starts.
    static double ScanStart(const Variant& lastCheck, int64_t noticeMinutes, double now);
    // Moves the reminders to `now` + `minutes`; the bookmarks not found are returned.
    static std::vector<Variant> Postpone(const std::vector<Variant>& bookmarks, int minutes, double now);
    // The reminders named by the bookmarks, those still there.
    static std::shared_ptr<odb::DataSet> OpenReminders(const std::vector<Variant>& bookmarks);
    // Closes the reminders; they stay in the table until purged.
    static void Close(const std::vector<Variant>& bookmarks);
};

// `minutes` after (or before) an OLE date, to the second.
double AddMinutes(double oleDate, int64_t minutes);
