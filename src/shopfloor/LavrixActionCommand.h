// LavrixActionCommand: one job-order action of the worker of the context on a detail he scanned:
// the worker looked up, the action checked against the detail's state and open steps, and
// written. A close of one of several open details stops with the choice of those to close,
// which the window puts to the worker and answers.
#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>

#include "shopfloor/LavrixActionWriter.h"
#include "shopfloor/ShopFloorContext.h"

namespace odb {
class DataSet;
}

class LavrixActionCommand {
  public:
    enum class Result {
        UnknownWorker,  // no worker has the context's code: said
        NotAllowed,     // the rules refused the action: said
        Choose,         // the worker chooses the details closed together: Offered, Proposed, then Answer
        Done,           // written
        Cancelled,      // nothing written, said
        Refused         // a table rule refused a write, and the library said why; nothing stored
    };

    explicit LavrixActionCommand(const ShopFloorContext& context) : context_(context), writer_(context) {}

    // Applies `action` (0 to 4) to `detail`, whose open steps are `openSteps` and whose state,
    // as the worker was shown it before his card was read, is `state`.
    Result Run(int32_t action, odb::DataSet& detail, odb::DataSet& openSteps, const QString& state);
    // After Choose: the numbers the worker chose to close, in his order.
    Result Answer(const QStringList& toClose);

    // The choice of Choose: the worker's other open details, and the one of the action.
    const QStringList& Offered() const { return writer_.Offered(); }
    const QStringList& Proposed() const { return writer_.Proposed(); }
    // The worker's name, once found.
    const QString& WorkerName() const { return workerName_; }

  private:
    static Result resultOf(LavrixActionWriter::Result written);

    ShopFloorContext context_;
    LavrixActionWriter writer_;
    std::shared_ptr<odb::DataSet> worker_;
    QString workerName_;
};
