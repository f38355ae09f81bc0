// LavrixActionRules: what the action window knows of a job-order detail before it writes: its
// state, its summary by job-order type, the workers with an open step on it, and whether the
// worker may apply the action to it.
#pragma once

#include <QString>

#include <cstdint>

namespace odb {
class DataSet;
class Database;
}  // namespace odb

// The action numbers of the command panel's job-order buttons.
enum LavrixAction : int32_t { actOpen = 0, actClose = 1, actSuspend = 2, actResume = 3, actCloseDetail = 4 };

// The texts of the detail's summary; urgent shows the urgency mark.
struct LavrixSummary {
    QString date, customer, parts, note;
    bool urgent = false;
};

class LavrixActionRules {
  public:
    // Whether an action may go ahead, and what the worker is told either way ("" for nothing).
    struct Verdict {
        bool allowed = true;
        QString message;
    };

    // "Da aprire", "Aperta", "Sospesa / Lavorazione", "Chiusa / Completare" or "Completa", from the
    // detail row and its open steps.
    static QString DetailState(odb::DataSet& detail, odb::DataSet& openSteps);
    // The summary by the type of the detail (nothing for a type without one).
    static LavrixSummary Summary(odb::DataSet& detail);
    // The job-order type (Tipologia) of the detail; 0 when it has none.
    static int32_t DetailType(odb::DataSet& detail);

    // Whether the worker `code` may apply `action` to a detail in `state`, with the reason when he
    // may not. A second worker's open step only warns an open.
    static Verdict CheckActionAllowed(int32_t action, odb::DataSet& openSteps, const QString& state,
                                      const QString& code);
    // Whether `code` has an open step among `openSteps`; `noOthers` whether nobody else has one,
    // `others` lists the others (each on a line of its own). Stops at a first step with no start.
    static bool GetOpenPassWorkers(odb::DataSet& openSteps, const QString& code, bool& noOthers,
                                   QString& others);
    // The condition finding the worker's open step among a detail's steps.
    static QString OwnOpenStepCondition(const odb::Database& database, const QString& code);
};
