// The writes of the job-order actions.
#include "shopfloor/LavrixActionWriter.h"

#include "base/AppError.h"
#include "odb/Connection.h"
#include "odb/DataSet.h"
#include "odb/Database.h"
#include "odb/Table.h"
#include "shopfloor/LavrixActionRules.h"
#include "shopfloor/ShopFloorProgress.h"

namespace {

using Result = LavrixActionWriter::Result;

constexpr int32_t kServiceType = 4;  // service job orders close one step at a time, never in a group

// A write the table rules refused ends the whole action.
struct Refusal {};

void must(bool written) {
    if (!written) throw Refusal{};
}

// The progress shown while a group closes, ended however the close ends.
class ProgressShown {
  public:
    ProgressShown(ShopFloorProgress* progress, const QString& text) : progress_(progress) {
        if (progress_) progress_->Begin(text);
    }
    ~ProgressShown() { end(); }
    ProgressShown(const ProgressShown&) = delete;
    ProgressShown& operator=(const ProgressShown&) = delete;
    void start(int32_t steps) {
        if (progress_) progress_->Start(steps);
    }
    void step() {
        if (progress_) progress_->Step();
    }
    void end() {
        if (progress_) progress_->End();
        progress_ = nullptr;
    }

  private:
    ShopFloorProgress* progress_;
};

}  // namespace

QString LavrixActionWriter::numberCondition(const QString& number) const {
    return QStringLiteral("NumeroCommessa = ") + context_.database->TextLiteral(number);
}

Result LavrixActionWriter::Execute(int32_t action, odb::DataSet& detail, odb::DataSet& openSteps,
                                   odb::DataSet& worker) {
    // Steps another computer opened or closed since the detail was read count too.
    openSteps.SyncRows(true);
    try {
        switch (action) {
            case actOpen:
                return Open(openSteps);
            case actClose:
                return Close(detail, openSteps, worker);
            case actSuspend:
                return Stamp(openSteps, QStringLiteral("DataSospensione"),
                             QStringLiteral("Passaggio da sospendere non trovato per l'operaio "));
            case actResume:
                return Stamp(openSteps, QStringLiteral("DataFineSospensione"),
                             QStringLiteral("Passaggio da riprendere non trovato per l'operaio "));
            case actCloseDetail:
                return CloseDetail(detail, worker);
            default:
                return Result::Cancelled;
        }
    } catch (const Refusal&) {
        return Result::Refused;
    }
}

Result LavrixActionWriter::Open(odb::DataSet& openSteps) {
    must(openSteps.NewRow());
    try {
        must(openSteps.SetColValue(QStringLiteral("DataInizio"), Variant::fromDate(context_.now())));
        must(openSteps.SetReference(QStringLiteral("Operaio"), context_.worker));
        must(openSteps.SaveRow());
    } catch (...) {
        openSteps.CancelRow();
        throw;
    }
    return Result::Done;
}

Result LavrixActionWriter::Stamp(odb::DataSet& openSteps, const QString& field, const QString& notFound) {
    if (!openSteps.FindRow(LavrixActionRules::OwnOpenStepCondition(*context_.database, context_.worker))) {
        openSteps.ShowMessage(notFound + context_.worker);
        return Result::Cancelled;
    }
    try {
        must(openSteps.SetColValue(field, Variant::fromDate(context_.now())));
        must(openSteps.SaveRow());
    } catch (...) {
        openSteps.CancelRow();
        throw;
    }
    return Result::Done;
}

Result LavrixActionWriter::CloseOne(odb::DataSet& steps, const QString& condition) {
    // Only a step of the worker that is still open is closed: never whatever the set stands on.
    if (!steps.FindRow(condition)) {
        steps.ShowMessage(QStringLiteral("Passaggio da chiudere non trovato per l'operaio ") +
                          context_.worker);
        return Result::Cancelled;
    }
    try {
        must(steps.SetColValue(QStringLiteral("Chiuso"), true));
        must(steps.SaveRow());
    } catch (...) {
        steps.CancelRow();
        throw;
    }
    return Result::Done;
}

Result LavrixActionWriter::Close(odb::DataSet& detail, odb::DataSet& openSteps, odb::DataSet& worker) {
    // The worker's open steps on every detail, and among them those of other details.
    mine_ = worker.OpenRelated(QStringLiteral("PassaggiDettaglioCommesse"), QStringLiteral("NOT Chiuso"));
    const QString number = detail.ColText(QStringLiteral("NumeroCommessa"));
    mine_->SetFilter(mine_->MakeCondition(QStringLiteral("NumeroCommessa"), 0, number, 1));
    if (mine_->DataEmpty())
        return CloseOne(openSteps,
                        LavrixActionRules::OwnOpenStepCondition(*context_.database, context_.worker));

    offered_.clear();
    for (mine_->RowFirst(); !mine_->RowInvalid(); mine_->RowNext())
        offered_ << mine_->ColText(QStringLiteral("NumeroCommessa"));
    mine_->RowFirst();
    proposed_ = QStringList{number};
    if (LavrixActionRules::DetailType(detail) != kServiceType) return Result::Choose;
    return CloseChosen(proposed_);
}

Result LavrixActionWriter::CloseChosen(const QStringList& toClose) {
    if (!mine_) return Result::Cancelled;
    if (toClose.isEmpty()) {
        context_.say(ShopFloorMessage::Icon::Warning,
                     QStringLiteral("Non è tata impostata nessuna commessa da chiudere"));
        return Result::Cancelled;
    }
    mine_->SetFilter(QString());
    try {
        if (toClose.size() == 1) {
            mine_->SyncRows(true);
            return CloseOne(*mine_, numberCondition(toClose.front()));
        }
        return CloseGroup(*mine_, toClose);
    } catch (const Refusal&) {
        return Result::Refused;
    }
}

Result LavrixActionWriter::CloseGroup(odb::DataSet& workerSteps, const QStringList& numbers) {
    ProgressShown progress(context_.progress, QStringLiteral("Chiusura commesse in corso..."));
    odb::Connection& connection = *context_.connection;
    QStringList missing;
    int joined = 0;
    // One transaction: the group holds every step it closed, or nothing is closed.
    connection.BeginTrans();
    try {
        // Under the lock: a step another computer closed meanwhile is no longer found.
        workerSteps.SyncRows(true);
        auto groups = context_.table("GruppiPassaggi").OpenData();
        must(groups->AddRow({}));
        progress.start(static_cast<int32_t>(numbers.size()));
        for (const QString& number : numbers) {
            progress.step();
            if (!workerSteps.FindRow(numberCondition(number))) {
                missing << number;
                continue;
            }
            must(workerSteps.SetColValue(QStringLiteral("Chiuso"), true));
            must(workerSteps.SaveRow());
            must(groups->SetReference(QStringLiteral("Passaggi"), workerSteps.Bookmark()));
            ++joined;
        }
        if (joined > 0) must(groups->SaveRow());
        if (joined > 0)
            connection.CommitTrans();
        else
            connection.RollbackTrans();  // no group of nothing
    } catch (...) {
        workerSteps.CancelRow();
        connection.RollbackTrans();
        throw;
    }
    progress.end();
    // Told once the file is free again.
    for (const QString& number : missing)
        workerSteps.ShowMessage(
            QStringLiteral("Commessa ") + number +
            QStringLiteral(" non trovata, il gruppo deve essere verificato dal supporto tecnico."));
    return joined > 0 ? Result::Done : Result::Cancelled;
}

Result LavrixActionWriter::CloseDetail(odb::DataSet& detail, odb::DataSet& worker) {
    if (!worker.ColValueBool(QStringLiteral("GestioneAvanzataCommesse"))) {
        context_.say(ShopFloorMessage::Icon::Warning,
                     QStringLiteral("Operatore non abilitato alla chiusura del dettaglio commesse."));
        return Result::Cancelled;
    }
    try {
        must(detail.SetColValue(QStringLiteral("Chiuso"), true));
        must(detail.SaveRow());
    } catch (...) {
        detail.CancelRow();
        throw;
    }
    return Result::Done;
}
