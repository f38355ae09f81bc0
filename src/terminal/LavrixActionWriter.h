// LavrixActionWriter: writes a job-order action that the action window has allowed: a new work
// step, a suspension or its end, the close of the worker's step or of several as one group, or
// the close of the detail. The table rules add the minutes and costs as the rows are stored.
#pragma once

#include <QString>

#include <cstdint>

class QWidget;

namespace odb {
class DataSet;
}

class LavrixActionWriter {
  public:
    enum class Result {
        Done,       // written
        Cancelled,  // nothing to write, said to the worker
        Refused     // a table rule refused a write (the library showed why); nothing stored
    };

    // `window` is the action window (dialogs and messages over it); `panel` the command panel,
    // under which the progress of a group close shows.
    LavrixActionWriter(QWidget* window, QWidget* panel) : window_(window), panel_(panel) {}

    // `openSteps` are the detail's steps not closed; `worker` stands on the worker of card `code`.
    Result Execute(int32_t action, odb::DataSet& detail, odb::DataSet& openSteps, odb::DataSet& worker,
                   const QString& code);

  private:
    Result Open(odb::DataSet& openSteps, const QString& code);
    Result Stamp(odb::DataSet& openSteps, const QString& code, const QString& field, const QString& notFound);
    Result Close(odb::DataSet& detail, odb::DataSet& openSteps, odb::DataSet& worker, const QString& code);
    Result CloseOne(odb::DataSet& steps, const QString& condition, const QString& code);
    Result CloseGroup(odb::DataSet& workerSteps, const QStringList& numbers);
    Result CloseDetail(odb::DataSet& detail, odb::DataSet& worker);

    QWidget* window_;
    QWidget* panel_;
};
