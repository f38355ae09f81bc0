// The attendance registration.
#include "terminal/AccessRegistration.h"

#include <cmath>

#include "base/DateUtil.h"
#include "model/GetDBTable.h"
#include "model/ModelState.h"
#include "odb/DataSet.h"
#include "odb/Database.h"
#include "odb/Schema.h"
#include "odb/Table.h"
#include "platform/Clock.h"
#include "platform/Prompt.h"
#include "platform/modOSWinUtil.h"

namespace {

using namespace MsgBoxStyle;

const QString kCR = QStringLiteral("\r");

struct KindFields {
    const char* label;
    double* boundary;
    const char* morningField;
    const char* afternoonField;
};

const KindFields kKinds[] = {
    {"ENTRATA", &g_dtmOraPredefinitaUscitaMattino, "OraEntrataMattino", "OraEntrataPomeriggio"},
    {"USCITA", &g_dtmOraPredefinitaEntrataPomeriggio, "OraUscitaMattino", "OraUscitaPomeriggio"},
    {"ENTRATA EXTRA", &g_dtmOraPredefinitaUscitaMattino, "OraEntrataExtra", "OraEntrataExtra"},
    {"USCITA EXTRA", &g_dtmOraPredefinitaEntrataPomeriggio, "OraUscitaExtra", "OraUscitaExtra"},
};

// Times of day compared in whole seconds, free of the fractions' rounding.
int64_t secondsOf(double time) {
    return std::llround(OleTimePart(time) * 86400.0);
}

void warn(const QString& text, QWidget* owner) {
    Prompt::instance().msgBox(text, vbExclamation, {}, owner);
}

}  // namespace

AccessRegistration::Outcome AccessRegistration::Register(int32_t kind, const QString& code, QWidget* owner) {
    odb::Database& db = *g_objDatabase;
    auto worker = GetDBTable(Variant(QStringLiteral("Operai")))
                      .OpenData(QStringLiteral("Codice=") + db.TextLiteral(code));
    if (worker->DataEmpty()) {
        warn(QStringLiteral("L'Operaio con codice < ") + code +
                 QStringLiteral(" > non è presente in archivio..."),
             owner);
        return Outcome::NotStored;
    }
    const bool overtime = worker->ColValueBool(QStringLiteral("AbilitaStraordinari"));

    const double now = Clock::now();
    const double today = OleDatePart(now);
    auto day = GetDBTable(Variant(QStringLiteral("Ingressi")))
                   .OpenData(QStringLiteral("Data=") + db.DateLiteral(Variant::fromDate(today), false) +
                             QStringLiteral(" AND Operaio.Codice=") + db.TextLiteral(code));
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
        bool store = !refused;
        bool morning = false;
        if (secondsOf(*k.boundary) == 0) {
            Prompt::instance().msgBox(QStringLiteral("Impostazione degli orari non valida."), vbCritical, {},
                                      owner);
            store = false;
        } else {
            morning = secondsOf(now) < secondsOf(*k.boundary);
        }
        const QString field = QString::fromLatin1(morning ? k.morningField : k.afternoonField);
        const QString label = QString::fromLatin1(k.label);

        if (!refused && !CheckAccessSequence(kind, *day, field, morning, owner)) {
            store = false;
        } else if (!refused && day->ColIsNull(field)) {
            double time = OleTimePart(now);
            if (secondsOf(now) > secondsOf(g_dtmOraPredefinitaUscitaPomeriggio) && !overtime) {
                time = OleTimePart(g_dtmOraPredefinitaUscitaPomeriggio);
                warn(QStringLiteral("Utente non abilitato agli straordinari.") + kCR + kCR +
                         QStringLiteral("L'orario di uscita registrato: ") + FormatVbDate(time),
                     owner);
            }
            if (!day->SetColValue(field, Variant::fromDate(time))) refused = true;
        } else if (!refused) {
            warn(QStringLiteral("L' ") + label + QStringLiteral(" è già stata registrata.") + kCR + kCR +
                     QStringLiteral("Ora: ") + db.FormatValue(day->ColValue(field), odb::ftTime, 0),
                 owner);
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
        Prompt::instance().msgBox(QStringLiteral("< ") + label + QStringLiteral(" >") + kCR + kCR +
                                      QStringLiteral("Operazione registrata."),
                                  vbInformation, {}, owner);
        return Outcome::Registered;
    } catch (...) {
        day->CancelRow();
        throw;
    }
}

bool AccessRegistration::CheckAccessSequence(int32_t kind, odb::DataSet& ds, const QString& fieldName,
                                             bool morning, QWidget* owner) {
    auto empty = [&](const char* name) { return ds.ColIsNull(QString::fromLatin1(name)); };
    QString refusal;
    if (fieldName == QLatin1String("OraUscitaMattino")) {
        if (empty("OraEntrataMattino"))
            refusal = QStringLiteral("Impossibile registrare l'uscita mattutina.") + kCR + kCR +
                      QStringLiteral("L'ingresso non risulta ancora effettuato");
    } else if (fieldName == QLatin1String("OraUscitaPomeriggio")) {
        if (empty("OraEntrataPomeriggio"))
            refusal = QStringLiteral("Impossibile registrare l'uscita pomeridiana.") + kCR + kCR +
                      QStringLiteral("L'ingresso non risulta ancora effettuato");
    } else if (fieldName == QLatin1String("OraEntrataPomeriggio")) {
        if (!empty("OraEntrataMattino") && empty("OraUscitaMattino"))
            refusal = QStringLiteral("Impossibile registrare l'ingresso pomeridiano.") + kCR + kCR +
                      QStringLiteral("Uscita mattutina non effettuata");
    } else if (fieldName == QLatin1String("OraEntrataExtra")) {
        if (empty("OraUscitaExtra"))
            refusal = QStringLiteral("Impossibile registrare l'entrata extra.") + kCR + kCR +
                      QStringLiteral("L' uscita extra non risulta ancora effettuata");
    } else if (fieldName == QLatin1String("OraUscitaExtra") && kind == ExtraExit) {
        const char* entry = morning ? "OraEntrataMattino" : "OraEntrataPomeriggio";
        const char* exit = morning ? "OraUscitaMattino" : "OraUscitaPomeriggio";
        const QString head = QStringLiteral("Impossibile registrare l'uscita extra.") + kCR + kCR;
        if (empty(entry))
            refusal = head + QStringLiteral("L'ingresso non risulta ancora effettuato");
        else if (!empty(exit))
            refusal = head + QStringLiteral("E' già stata effettuata l'uscita regolare.");
    }
    if (refusal.isEmpty()) return true;
    warn(refusal, owner);
    return false;
}
