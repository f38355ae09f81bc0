// The attendance registration.
#include "shopfloor/AccessRegistration.h"

#include <cmath>

#include "base/DateUtil.h"
#include "odb/DataSet.h"
#include "odb/Database.h"
#include "odb/Schema.h"
#include "odb/Table.h"
#include "platform/RaiseAppError.h"
#include "shopfloor/ShopFloorContext.h"

namespace {

using Icon = ShopFloorMessage::Icon;

const QString kCR = QStringLiteral("\r");

struct KindFields {
    const char* label;
    double WorkingHours::*boundary;
    const char* morningField;
    const char* afternoonField;
};

const KindFields kKinds[] = {
    {"ENTRATA", &WorkingHours::morningExit, "OraEntrataMattino", "OraEntrataPomeriggio"},
    {"USCITA", &WorkingHours::afternoonEntry, "OraUscitaMattino", "OraUscitaPomeriggio"},
    {"ENTRATA EXTRA", &WorkingHours::morningExit, "OraEntrataExtra", "OraEntrataExtra"},
    {"USCITA EXTRA", &WorkingHours::afternoonEntry, "OraUscitaExtra", "OraUscitaExtra"},
};

// Times of day compared in whole seconds, free of the fractions' rounding.
int64_t secondsOf(double time) {
    return std::llround(OleTimePart(time) * 86400.0);
}

}  // namespace

AccessRegistration::Outcome AccessRegistration::Register(const ShopFloorContext& context, int32_t kind) {
    odb::Database& db = *context.database;
    const QString& code = context.worker;
    auto worker = context.table("Operai").OpenData(QStringLiteral("Codice=") + db.TextLiteral(code));
    if (worker->DataEmpty()) {
        context.say(Icon::Warning, QStringLiteral("L'Operaio con codice < ") + code +
                                       QStringLiteral(" > non è presente in archivio..."));
        return Outcome::NotStored;
    }
    const bool overtime = worker->ColValueBool(QStringLiteral("AbilitaStraordinari"));

    const double now = context.now();
    const double today = OleDatePart(now);
    // The day of the worker just found, by his row: the index of worker and date finds it, where
    // his code would be compared with every day's worker.
    auto day = context.table("Ingressi")
                   .OpenData(QStringLiteral("Data=") + db.DateLiteral(Variant::fromDate(today), false) +
                             QStringLiteral(" AND Operaio.OID=") + worker->RowIdentity());
    bool refused = false;
    // Whatever ends the registration early, the row's pending changes never stay behind.
    try {
        if (day->DataEmpty()) {
            refused = !day->NewRow() || !day->SetColValue(QStringLiteral("Data"), Variant::fromDate(today)) ||
                      !day->SetReference(QStringLiteral("Operaio"), code);
        }
        if (kind < Entry || kind > ExtraExit)
            RaiseAppError(QStringLiteral("frmCommandPanel"),
                          QStringLiteral("Tipo di accesso non impostato. Contattare il supporto"));
        const KindFields& k = kKinds[kind];
        const double boundary = context.hours.*k.boundary;
        bool store = !refused;
        bool morning = false;
        if (secondsOf(boundary) == 0) {
            context.say(Icon::Error, QStringLiteral("Impostazione degli orari non valida."));
            store = false;
        } else {
            morning = secondsOf(now) < secondsOf(boundary);
        }
        const QString field = QString::fromLatin1(morning ? k.morningField : k.afternoonField);
        const QString label = QString::fromLatin1(k.label);

        const QString sequence = refused ? QString() : CheckAccessSequence(kind, *day, field, morning);
        if (!sequence.isEmpty()) {
            context.say(Icon::Warning, sequence);
            store = false;
        } else if (!refused && day->ColIsNull(field)) {
            double time = OleTimePart(now);
            const double endOfDay = context.hours.afternoonExit;
            if (secondsOf(now) > secondsOf(endOfDay) && !overtime) {
                time = OleTimePart(endOfDay);
                context.say(Icon::Warning, QStringLiteral("Utente non abilitato agli straordinari.") + kCR +
                                               kCR + QStringLiteral("L'orario di uscita registrato: ") +
                                               FormatVbDate(time));
            }
            if (!day->SetColValue(field, Variant::fromDate(time))) refused = true;
        } else if (!refused) {
            context.say(Icon::Warning, QStringLiteral("L' ") + label +
                                           QStringLiteral(" è già stata registrata.") + kCR + kCR +
                                           QStringLiteral("Ora: ") +
                                           db.FormatValue(day->ColValue(field), odb::ftTime, 0));
            store = false;
        }
        if (refused || !store) {
            day->CancelRow();
            return refused ? Outcome::Refused : Outcome::NotStored;
        }
        if (!day->SaveRow()) {
            day->CancelRow();
            return Outcome::Refused;
        }
        context.say(Icon::Information, QStringLiteral("< ") + label + QStringLiteral(" >") + kCR + kCR +
                                           QStringLiteral("Operazione registrata."));
        return Outcome::Registered;
    } catch (...) {
        day->CancelRow();
        throw;
    }
}

QString AccessRegistration::CheckAccessSequence(int32_t kind, odb::DataSet& ds, const QString& fieldName,
                                                bool morning) {
    auto empty = [&](const char* name) { return ds.ColIsNull(QString::fromLatin1(name)); };
    if (fieldName == QLatin1String("OraUscitaMattino")) {
        if (empty("OraEntrataMattino"))
            return QStringLiteral("Impossibile registrare l'uscita mattutina.") + kCR + kCR +
                   QStringLiteral("L'ingresso non risulta ancora effettuato");
    } else if (fieldName == QLatin1String("OraUscitaPomeriggio")) {
        if (empty("OraEntrataPomeriggio"))
            return QStringLiteral("Impossibile registrare l'uscita pomeridiana.") + kCR + kCR +
                   QStringLiteral("L'ingresso non risulta ancora effettuato");
    } else if (fieldName == QLatin1String("OraEntrataPomeriggio")) {
        if (!empty("OraEntrataMattino") && empty("OraUscitaMattino"))
            return QStringLiteral("Impossibile registrare l'ingresso pomeridiano.") + kCR + kCR +
                   QStringLiteral("Uscita mattutina non effettuata");
    } else if (fieldName == QLatin1String("OraEntrataExtra")) {
        if (empty("OraUscitaExtra"))
            return QStringLiteral("Impossibile registrare l'entrata extra.") + kCR + kCR +
                   QStringLiteral("L' uscita extra non risulta ancora effettuata");
    } else if (fieldName == QLatin1String("OraUscitaExtra") && kind == ExtraExit) {
        const char* entry = morning ? "OraEntrataMattino" : "OraEntrataPomeriggio";
        const char* exit = morning ? "OraUscitaMattino" : "OraUscitaPomeriggio";
        const QString head = QStringLiteral("Impossibile registrare l'uscita extra.") + kCR + kCR;
        if (empty(entry)) return head + QStringLiteral("L'ingresso non risulta ancora effettuato");
        if (!empty(exit)) return head + QStringLiteral("E' già stata effettuata l'uscita regolare.");
    }
    return {};
}
