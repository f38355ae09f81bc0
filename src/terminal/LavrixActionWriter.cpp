// The writes of the job-order actions.
#include "terminal/LavrixActionWriter.h"

#include <QListWidget>
#include <QStringList>

#include "base/AppError.h"
#include "model/GetDBTable.h"
#include "model/ModelState.h"
#include "odb/Connection.h"
#include "odb/DataSet.h"
#include "odb/Database.h"
#include "odb/Table.h"
#include "platform/Clock.h"
#include "platform/Prompt.h"
#include "startup/DatabaseOpening.h"
#include "startup/frmMessage.h"
#include "terminal/LavrixActionRules.h"
#include "terminal/frmSelectLavrix.h"

namespace {

using Result = LavrixActionWriter::Result;

constexpr int32_t kServiceType = 4;  // service job orders close one step at a time, never in a group

// A write the table rules refused ends the whole action.
struct Refusal {};

void must(bool written) {
    if (!written) throw Refusal{};
}

QString numberCondition(const QString& number) {
    return QStringLiteral("NumeroCommessa = ") + g_objDatabase->TextLiteral(number);
}

}  // namespace

Result LavrixActionWriter::Execute(int32_t action, odb::DataSet& detail, odb::DataSet& openSteps,
                                   odb::DataSet& worker, const QString& code) {
    // Steps another computer opened or closed since the detail was read count too.
    openSteps.SyncRows(true);
    try {
        switch (action) {
            case actOpen:
                return Open(openSteps, code);
            case actClose:
                return Close(detail, openSteps, worker, code);
            case actSuspend:
                return Stamp(openSteps, code, QStringLiteral("DataSospensione"),
                             QStringLiteral("Passaggio da sospendere non trovato per l'operaio "));
            case actResume:
                return Stamp(openSteps, code, QStringLiteral("DataFineSospensione"),
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

Result LavrixActionWriter::Open(odb::DataSet& openSteps, const QString& code) {
    must(openSteps.NewRow());
    try {
        must(openSteps.SetColValue(QStringLiteral("DataInizio"), Variant::fromDate(Clock::now())));
        must(openSteps.SetReference(QStringLiteral("Operaio"), code));
        must(openSteps.SaveRow());
    } catch (...) {
        openSteps.CancelRow();
        throw;
    }
    return Result::Done;
}

Result LavrixActionWriter::Stamp(odb::DataSet& openSteps, const QString& code, const QString& field,
                                 const QString& notFound) {
    if (!openSteps.FindRow(LavrixActionRules::OwnOpenStepCondition(code))) {
        openSteps.ShowMessage(notFound + code);
        return Result::Cancelled;
    }
    try {
        must(openSteps.SetColValue(field, Variant::fromDate(Clock::now())));
        must(openSteps.SaveRow());
    } catch (...) {
        openSteps.CancelRow();
        throw;
    }
    return Result::Done;
}

Result LavrixActionWriter::CloseOne(odb::DataSet& steps, const QString& condition, const QString& code) {
    // Only a step of the worker that is still open is closed: never whatever the set stands on.
    if (!steps.FindRow(condition)) {
        steps.ShowMessage(QStringLiteral("Passaggio da chiudere non trovato per l'operaio ") + code);
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

Result LavrixActionWriter::Close(odb::DataSet& detail, odb::DataSet& openSteps, odb::DataSet& worker,
                                 const QString& code) {
    // The worker's open steps on every detail, and among them those of other details.
    auto mine = worker.OpenRelated(QStringLiteral("PassaggiDettaglioCommesse"), QStringLiteral("NOT Chiuso"));
    const QString number = detail.ColText(QStringLiteral("NumeroCommessa"));
    mine->SetFilter(mine->MakeCondition(QStringLiteral("NumeroCommessa"), 0, number, 1));
    if (mine->DataEmpty()) return CloseOne(openSteps, LavrixActionRules::OwnOpenStepCondition(code), code);

    frmSelectLavrix* dialog = frmSelectLavrix::Get();
    dialog->lstOpenSubLavrix()->clear();
    dialog->lstSubLavrixToClose()->clear();
    for (mine->RowFirst(); !mine->RowInvalid(); mine->RowNext())
        dialog->lstOpenSubLavrix()->addItem(mine->ColText(QStringLiteral("NumeroCommessa")));
    mine->RowFirst();
    dialog->lstSubLavrixToClose()->addItem(number);
    if (LavrixActionRules::DetailType(detail) != kServiceType) {
        Prompt::instance().beep();
        dialog->ShowModal(window_);
    }
    const QStringList toClose = dialog->ToClose();
    dialog->Unload();
    // The database was let go while the choice was up: nothing is closed, nothing said.
    if (!IsDatabaseOpen() || &detail.GetDatabase() != g_objDatabase.get()) return Result::Cancelled;

    if (toClose.isEmpty()) {
        Prompt::instance().msgBox(QStringLiteral("Non è tata impostata nessuna commessa da chiudere"),
                                  MsgBoxStyle::vbExclamation, {}, window_);
        return Result::Cancelled;
    }
    mine->SetFilter(QString());
    if (toClose.size() == 1) {
        mine->SyncRows(true);
        return CloseOne(*mine, numberCondition(toClose.front()), code);
    }
    return CloseGroup(*mine, toClose);
}

Result LavrixActionWriter::CloseGroup(odb::DataSet& workerSteps, const QStringList& numbers) {
    frmMessage& progress = frmMessage::instance();
    progress.ShowMsg(QStringLiteral("Chiusura commesse in corso..."), panel_, -1, -1);
    odb::Connection& connection = *g_objConnection;
    QStringList missing;
    int joined = 0;
    // One transaction: the group holds every step it closed, or nothing is closed.
    connection.BeginTrans();
    try {
        // Under the lock: a step another computer closed meanwhile is no longer found.
        workerSteps.SyncRows(true);
        auto groups = GetDBTable(Variant(QStringLiteral("GruppiPassaggi"))).OpenData();
        must(groups->AddRow({}));
        progress.StartProgress(static_cast<int32_t>(numbers.size()), false);
        for (const QString& number : numbers) {
            progress.Progress();
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
        frmMessage::Unload();
        throw;
    }
    frmMessage::Unload();
    // Told once the file is free again.
    for (const QString& number : missing)
        workerSteps.ShowMessage(
            QStringLiteral("Commessa ") + number +
            QStringLiteral(" non trovata, il gruppo deve essere verificato dal supporto tecnico."));
    return joined > 0 ? Result::Done : Result::Cancelled;
}

Result LavrixActionWriter::CloseDetail(odb::DataSet& detail, odb::DataSet& worker) {
    if (!worker.ColValueBool(QStringLiteral("GestioneAvanzataCommesse"))) {
        Prompt::instance().msgBox(
            QStringLiteral("Operatore non abilitato alla chiusura del dettaglio commesse."),
            MsgBoxStyle::vbExclamation, {}, window_);
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
