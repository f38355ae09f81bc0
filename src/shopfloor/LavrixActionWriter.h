// LavrixActionWriter: writes a job-order action that the rules have allowed: a new work step, a
// suspension or its end, the close of the worker's step or of several as one group, or the close
// of the detail. The table rules add the minutes and costs as the rows are stored.
#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>

#include "shopfloor/ShopFloorContext.h"

namespace odb {
class DataSet;
}

class LavrixActionWriter {
  public:
    enum class Result {
        Done,       // written
        Cancelled,  // nothing to write, said to the worker
        Refused,    // a table rule refused a write (the library showed why); nothing stored
        Choose      // a close: the worker chooses which of his open details close with this one
    };

    explicit LavrixActionWriter(ShopFloorContext context) : context_(std::move(context)) {}

    // `openSteps` are the detail's steps not closed; `worker` stands on the context's worker.
    Result Execute(int32_t action, odb::DataSet& detail, odb::DataSet& openSteps, odb::DataSet& worker);
    // After Choose: the details the worker chose to close (none: nothing is closed).
    Result CloseChosen(const QStringList& toClose);

    // The choice of Choose: the worker's other open details, and the detail of the action, first
    // of those to close.
    const QStringList& Offered() const { return offered_; }
    const QStringList& Proposed() const { return proposed_; }

  private:
    Result Open(odb::DataSet& openSteps);
    Result Stamp(odb::DataSet& openSteps, const QString& field, const QString& notFound);
    Result Close(odb::DataSet& detail, odb::DataSet& openSteps, odb::DataSet& worker);
    Result CloseOne(odb::DataSet& steps, const QString& condition);
    Result CloseGroup(odb::DataSet& workerSteps, const QStringList& numbers);
    Result CloseDetail(odb::DataSet& detail, odb::DataSet& worker);
    QString numberCondition(const QString& number) const;

    ShopFloorContext context_;
    std::shared_ptr<odb::DataSet> mine_;  // the worker's open steps, while he chooses
    QStringList offered_, proposed_;
};
