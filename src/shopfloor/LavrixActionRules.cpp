// The state, summary and permission rules of a job-order action.
#include "shopfloor/LavrixActionRules.h"

#include <QSet>

#include "odb/DataSet.h"
#include "odb/Database.h"

namespace {

const QString kCR = QStringLiteral("\r");
const QString kToOpen = QStringLiteral("Da aprire");
const QString kOpen = QStringLiteral("Aperta");
const QString kSuspended = QStringLiteral("Sospesa / Lavorazione");
const QString kClosed = QStringLiteral("Chiusa / Completare");
const QString kComplete = QStringLiteral("Completa");

QString text(odb::DataSet& ds, const char* field) {
    return ds.ColText(QString::fromUtf8(field));
}

// The description of a lookup of the row; "" when it points nowhere.
QString described(odb::DataSet& ds, const char* reference) {
    auto target = ds.GetReference(QString::fromUtf8(reference));
    return target->NoCurrentRow() ? QString() : target->ColText(QStringLiteral("Descrizione"));
}

}  // namespace

QString LavrixActionRules::DetailState(odb::DataSet& detail, odb::DataSet& openSteps) {
    if (detail.ColValueBool(QStringLiteral("Sospeso"))) return kSuspended;
    if (detail.ColValueBool(QStringLiteral("Chiuso"))) return kComplete;
    if (!openSteps.DataEmpty()) return kOpen;
    if (detail.ReferenceEmpty(QStringLiteral("Passaggi"))) return kToOpen;
    return kClosed;
}

int32_t LavrixActionRules::DetailType(odb::DataSet& detail) {
    auto type = detail.GetReference(QStringLiteral("Tipo"));
    return type->NoCurrentRow() ? 0 : static_cast<int32_t>(type->ColNumber(QStringLiteral("Tipologia")));
}

LavrixSummary LavrixActionRules::Summary(odb::DataSet& detail) {
    LavrixSummary s;
    const int32_t type = DetailType(detail);
    const char* extension = nullptr;
    const char* ownerTable = nullptr;
    const char* item = nullptr;
    switch (type) {
        case 1:
            extension = "DettagliAttrezzature", ownerTable = "CommesseCliente", item = "Particolare";
            break;
        case 2:
            extension = "DettagliVenditaMacchinari", ownerTable = "CommesseCliente", item = "Macchinario";
            break;
        case 3:
            extension = "DettagliProduzione", ownerTable = "CommesseProduzione", item = "Particolare";
            break;
        case 4:
            extension = "CommesseAssistenza";
            break;
        default:
            return s;
    }
    auto ext = detail.OpenRelatedEx(QString::fromUtf8(extension));
    if (ext->NoCurrentRow()) return s;
    // A service job order is its own owner.
    std::shared_ptr<odb::DataSet> owner = ownerTable ? ext->OpenRelated(QString::fromUtf8(ownerTable)) : ext;
    if (!owner->NoCurrentRow()) {
        s.date = owner->FormattedColValue(QStringLiteral("DataInserimento"));
        s.urgent = owner->ColValueBool(QStringLiteral("Urgente"));
        s.customer = type == 3 ? QStringLiteral("< lavorazione >")
                               : QStringLiteral(" ") + described(*owner, "Cliente");
    }
    if (type == 4)
        s.parts = QStringLiteral("N° 1   ") + described(*ext, "TipoAssistenza");
    else
        s.parts = QStringLiteral("N° ") + ext->ColValue(QStringLiteral("Quantità")).toText() +
                  QStringLiteral("   ") + described(*ext, item);
    const QString note = text(*ext, "Note");
    if (!note.isEmpty()) s.note = QStringLiteral(" ") + note;
    return s;
}

QString LavrixActionRules::OwnOpenStepCondition(const odb::Database& database, const QString& code) {
    return QStringLiteral("Operaio.Codice = ") + database.TextLiteral(code) +
           QStringLiteral(" AND Not Chiuso");
}

LavrixActionRules::Verdict LavrixActionRules::CheckActionAllowed(int32_t action, odb::DataSet& openSteps,
                                                                 const QString& state, const QString& code) {
    QString reason;
    auto allowOnly = [&](std::initializer_list<int32_t> actions, const char* refusal) {
        for (int32_t a : actions)
            if (a == action) return;
        reason = QString::fromUtf8(refusal);
    };
    if (state == kToOpen) {
        allowOnly({actOpen}, "Questa commessa non risulta aperta, è consentito solamente aprirla.");
    } else if (state == kOpen) {
        allowOnly({actOpen, actClose, actSuspend},
                  "Questa commessa risulta aperta (in lavorazione), è consentito solamente chiuderla o "
                  "sospenderla o aprire un nuovo passaggio di lavorazione.");
    } else if (state == kSuspended) {
        if (!openSteps.FindRow(OwnOpenStepCondition(openSteps.GetDatabase(), code)))
            allowOnly({actOpen}, "Nessun passaggio attivo, è consentito solamente APRIRE la lavorazione.");
        else if (openSteps.ColValueBool(QStringLiteral("Sospeso")))
            allowOnly({actResume},
                      "Questa commessa risulta sospesa, è consentito solamente riprendere la lavorazione.");
        else
            allowOnly({actClose, actSuspend},
                      "Questa commessa risulta aperta, è consentito solamente sospenderla o chiuderla.");
    } else if (state == kClosed) {
        allowOnly({actOpen, actCloseDetail},
                  "Questa commessa risulta chiusa / completare, è consentito solamente aprire un nuovo "
                  "passaggio o completarla.");
    } else if (state == kComplete) {
        allowOnly({},
                  "Questa commessa risulta completa, non sono consentite operazioni. Altrimenti contattare "
                  "l'amministratore");
    }
    if (!reason.isEmpty())
        return {false, reason + kCR + kCR + QStringLiteral("Impossibile eseguire l'operazione richiesta")};

    bool noOthers = true;
    QString others;
    const bool mine = GetOpenPassWorkers(openSteps, code, noOthers, others);
    if (mine && action == actOpen)
        return {false, QStringLiteral(
                           "ATTENZIONE: Hai già aperto questa commessa, non è possibile aprirla due volte.")};
    if (!mine && !noOthers) {
        if (action == actOpen)
            return {true, QStringLiteral("Questa commessa risulta già aperta da: ") + kCR + others + kCR +
                              kCR +
                              QStringLiteral("Se non si tratta di una lavorazione contemporanea invitare a "
                                             "chiudere la commessa.")};
        return {false, QStringLiteral("Questa commessa risulta aperta da: ") + kCR + others};
    }
    return {};
}

bool LavrixActionRules::GetOpenPassWorkers(odb::DataSet& openSteps, const QString& code, bool& noOthers,
                                           QString& others) {
    noOthers = true;
    bool mine = false;
    if (openSteps.DataEmpty()) return false;
    openSteps.RowFirst();
    if (openSteps.ColIsNull(QStringLiteral("DataInizio"))) return false;
    QSet<QString> seen;
    for (; !openSteps.RowInvalid(); openSteps.RowNext()) {
        auto worker = openSteps.GetReference(QStringLiteral("Operaio"));
        if (worker->NoCurrentRow()) continue;
        const QString workerCode = text(*worker, "Codice");
        if (seen.contains(workerCode)) continue;
        seen.insert(workerCode);
        if (workerCode.isEmpty()) continue;
        if (workerCode == code) {
            mine = true;
        } else {
            noOthers = false;
            others += kCR + QStringLiteral(" Codice: ") + workerCode + QStringLiteral("- Nominativo: ") +
                      text(*worker, "Nominativo");
        }
    }
    openSteps.RowFirst();
    return mine;
}
