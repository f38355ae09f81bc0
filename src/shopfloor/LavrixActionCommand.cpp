// A job-order action of a worker.
#include "shopfloor/LavrixActionCommand.h"

#include "odb/DataSet.h"
#include "odb/Database.h"
#include "odb/Table.h"
#include "shopfloor/LavrixActionRules.h"

LavrixActionCommand::Result LavrixActionCommand::Run(int32_t action, odb::DataSet& detail,
                                                     odb::DataSet& openSteps, const QString& state) {
    const QString& code = context_.worker;
    worker_ =
        context_.table("Operai").OpenData(QStringLiteral("Codice=") + context_.database->TextLiteral(code));
    if (worker_->DataEmpty()) {
        context_.say(ShopFloorMessage::Icon::Warning, QStringLiteral("L'Operaio con codice < ") + code +
                                                          QStringLiteral(" > non è presente in archivio..."));
        return Result::UnknownWorker;
    }
    workerName_ = worker_->ColText(QStringLiteral("Nominativo"));

    const LavrixActionRules::Verdict verdict =
        LavrixActionRules::CheckActionAllowed(action, openSteps, state, code);
    if (!verdict.message.isEmpty()) context_.say(ShopFloorMessage::Icon::Warning, verdict.message);
    if (!verdict.allowed) return Result::NotAllowed;
    return resultOf(writer_.Execute(action, detail, openSteps, *worker_));
}

LavrixActionCommand::Result LavrixActionCommand::Answer(const QStringList& toClose) {
    return resultOf(writer_.CloseChosen(toClose));
}

LavrixActionCommand::Result LavrixActionCommand::resultOf(LavrixActionWriter::Result written) {
    switch (written) {
        case LavrixActionWriter::Result::Done:
            return Result::Done;
        case LavrixActionWriter::Result::Choose:
            return Result::Choose;
        case LavrixActionWriter::Result::Refused:
            return Result::Refused;
        case LavrixActionWriter::Result::Cancelled:
            break;
    }
    return Result::Cancelled;
}
