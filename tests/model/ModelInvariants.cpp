// The walk over a database file: every check is a query that lists the rows breaking one rule.
#include "ModelInvariants.h"

#include <sqlite3.h>

#include <cmath>

namespace {

// Whole pieces, as the rules book them: halves go to the even neighbour.
void RoundHalfEvenFunction(sqlite3_context* context, int, sqlite3_value** values) {
    if (sqlite3_value_type(values[0]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    sqlite3_result_int64(context,
                         static_cast<sqlite3_int64>(std::nearbyint(sqlite3_value_double(values[0]))));
}

// Sub-selects shared by the checks.
const QString kToolingOf =
    "FROM DettagliAttrezzature a JOIN DettagliCommesse d ON d.OID=a.OID WHERE "
    "a._Owner='CommesseCliente.Attrezzature' AND a._OwnerOID=c.OID";
const QString kSalesOf =
    "FROM DettagliVenditaMacchinari v JOIN DettagliCommesse d ON d.OID=v.OID WHERE "
    "v._Owner='CommesseCliente.Macchine' AND v._OwnerOID=c.OID";
const QString kProductionOf =
    "FROM DettagliProduzione x JOIN DettagliCommesse d ON d.OID=x.OID WHERE "
    "x._Owner='CommesseProduzione.Dettagli' AND x._OwnerOID=p.OID";
// Open production details on the produced part `k`.
const QString kOpenMaking =
    "FROM DettagliProduzione x JOIN DettagliCommesse d ON d.OID=x.OID JOIN NecessitaPartProduzione n ON "
    "n.OID=x.Particolare WHERE n.OID_MagazzinoPartProduzione=k.OID AND d.Chiuso=0";
// The purchased part `k` booked by production job orders on a machine that needs it.
const QString kBookedByProduction =
    "(SELECT TOTAL(n.QuantitàNecessaria * half_even(p.Quantità)) FROM CommesseProduzione p JOIN "
    "NecessitaPartCommerciale n ON n._Owner='MagazzinoMacchinari.ParticolariCommerciale' AND "
    "n._OwnerOID=p.Macchinario WHERE n.OID_MagazzinoPartCommerciale=k.OID AND p.Quantità IS NOT NULL)";

// A detail's number as its job order's number and its own sub-number make it, for the details of
// `details` owned through `owner` by rows of `orders`.
QString DetailNumbers(const QString& details, const QString& owner, const QString& orders) {
    return "SELECT d.NumeroCommessa || ' of ' || o.Progressivo FROM " + details +
           " x JOIN DettagliCommesse d ON d.OID=x.OID JOIN " + orders + " o ON x._Owner='" + owner +
           "' AND o.OID=x._OwnerOID LEFT JOIN TipiCommessa t ON t.OID=d.Tipo WHERE d.NumeroCommessa IS NOT "
           "IFNULL(t.PrefissoNumero, '') || printf('%04d/%03d', o.Progressivo, x.SottoProgressivo)";
}

struct Check {
    const char* rule;
    QString sql;  // one text per row that breaks the rule
};

std::vector<Check> Checks() {
    return {
        {"tooling detail numbered after its job order",
         DetailNumbers("DettagliAttrezzature", "CommesseCliente.Attrezzature", "CommesseCliente")},
        {"machine-sale detail numbered after its job order",
         DetailNumbers("DettagliVenditaMacchinari", "CommesseCliente.Macchine", "CommesseCliente")},
        {"production detail numbered after its job order",
         DetailNumbers("DettagliProduzione", "CommesseProduzione.Dettagli", "CommesseProduzione")},
        {"step numbered as its detail",
         "SELECT s.NumeroCommessa || ' of ' || d.NumeroCommessa FROM PassaggiDettaglioCommesse s JOIN "
         "DettagliCommesse d ON s._Owner='DettagliCommesse.Passaggi' AND d.OID=s._OwnerOID WHERE "
         "s.NumeroCommessa IS NOT d.NumeroCommessa"},
        {"customer job order totals",
         "SELECT c.Progressivo || ': ' || c.TempoTotaleAttrezzature || ' ' || c.CostoEffettivoAttrezzature "
         "|| ' ' "
         "|| c.CostoTotaleListinoAttrezzature || ' ' || c.TempoTotaleMacchine || ' ' || "
         "c.CostoTotaleListinoMacchine FROM CommesseCliente c WHERE "
         "c.TempoTotaleAttrezzature IS NOT (SELECT TOTAL(d.TempoImpiegato) " +
             kToolingOf +
             ") OR c.CostoEffettivoAttrezzature IS NOT (SELECT TOTAL(d.CostoEffettivoPassaggi) " +
             kToolingOf +
             ") OR c.CostoTotaleListinoAttrezzature IS NOT (SELECT TOTAL(a.Quantità * IFNULL((SELECT "
             "PrezzoListino FROM ParticolariAttrezzature t WHERE t.OID=a.Particolare), 0)) " +
             kToolingOf + ") OR c.TempoTotaleMacchine IS NOT (SELECT TOTAL(d.TempoImpiegato) " + kSalesOf +
             ") OR c.CostoTotaleListinoMacchine IS NOT (SELECT CAST(round(TOTAL(v.Quantità * IFNULL((SELECT "
             "PrezzoListino FROM MagazzinoMacchinari m WHERE m.OID=v.Macchinario), 0))) AS INTEGER) " +
             kSalesOf + ")"},
        {"customer job order closed when no detail is open",
         "SELECT c.Progressivo || ': ' || c.CommessaChiusa FROM CommesseCliente c WHERE c.CommessaChiusa IS "
         "NOT "
         "NOT EXISTS (SELECT 1 " +
             kToolingOf + " AND d.Chiuso=0 UNION ALL SELECT 1 " + kSalesOf + " AND d.Chiuso=0)"},
        {"production job order totals",
         "SELECT p.Progressivo || ': ' || p.TempoTotale || ' ' || p.CostoNecessità || ' ' || "
         "p.CostoEffettivo || "
         "' ' || IFNULL(p.CostoTotale, 'Null') FROM CommesseProduzione p WHERE p.TempoTotale IS NOT (SELECT "
         "TOTAL(d.TempoImpiegato) " +
             kProductionOf + ") OR p.CostoNecessità IS NOT (SELECT TOTAL(x.CostoNecessità) " + kProductionOf +
             ") OR p.CostoEffettivo IS NOT (SELECT TOTAL(d.CostoEffettivoPassaggi) " + kProductionOf +
             ") OR IFNULL(p.CostoTotale, 0) IS NOT (SELECT TOTAL(x.CostoProduzione) " + kProductionOf +
             ") + IFNULL((SELECT CostoParticolariCommerciali FROM MagazzinoMacchinari m WHERE "
             "m.OID=p.Macchinario), 0)"},
        {"production job order closed when it has details and none is open",
         "SELECT p.Progressivo || ': ' || p.CommessaChiusa FROM CommesseProduzione p WHERE p.CommessaChiusa "
         "IS "
         "NOT (EXISTS (SELECT 1 " +
             kProductionOf + ") AND NOT EXISTS (SELECT 1 " + kProductionOf + " AND d.Chiuso=0))"},
        {"produced part in production and available",
         "SELECT k.Codice || ': ' || k.QuantitàMagazzino || ' ' || k.QuantitàInProduzione || ' ' || "
         "k.DisponibilitàFinale FROM MagazzinoPartProduzione k WHERE k.QuantitàInProduzione IS NOT (SELECT "
         "TOTAL(x.Quantità) " +
             kOpenMaking +
             ") OR k.DisponibilitàFinale IS NOT k.QuantitàMagazzino + (SELECT "
             "TOTAL(x.Quantità - x.QuantitàNecessariaTotale) " +
             kOpenMaking + ")"},
        {"purchased part on order and available (stock, on order, available; as the lines and bookings say)",
         "SELECT Codice || ': ' || QuantitàMagazzino || ' ' || QuantitàInOrdine || ' ' || "
         "DisponibilitàFinale || "
         "'; ' || lines || ' ' || (QuantitàMagazzino + QuantitàInOrdine - booked) FROM (SELECT k.*, (SELECT "
         "CAST(round(TOTAL(IFNULL(l.QuantitàOrdine, 0) - IFNULL(l.QuantitàCaricata, 0))) AS INTEGER) FROM "
         "OrdinePartCommerciale l WHERE l.OID_MagazzinoPartCommerciale=k.OID) AS lines, " +
             kBookedByProduction +
             " AS booked FROM MagazzinoPartCommerciale k) WHERE QuantitàInOrdine IS NOT lines OR "
             "DisponibilitàFinale IS NOT QuantitàMagazzino + QuantitàInOrdine - booked"},
        {"machine on order and in stock",
         "SELECT m.Codice || ': ' || m.QuantitàOrdinata || ' ' || m.QuantitàGiacenza FROM "
         "MagazzinoMacchinari m "
         "WHERE m.QuantitàOrdinata IS NOT (SELECT TOTAL(half_even(v.Quantità)) FROM "
         "DettagliVenditaMacchinari v "
         "JOIN DettagliCommesse d ON d.OID=v.OID WHERE v.Macchinario=m.OID AND d.Chiuso=0) OR "
         "m.QuantitàGiacenza IS NOT (SELECT TOTAL(half_even(p.Quantità)) FROM CommesseProduzione p WHERE "
         "p.Macchinario=m.OID AND p.CommessaChiusa=1) - (SELECT TOTAL(half_even(v.Quantità)) FROM "
         "DettagliVenditaMacchinari v JOIN DettagliCommesse d ON d.OID=v.OID WHERE v.Macchinario=m.OID AND "
         "d.Chiuso=1)"},
        {"machine costs from its needed parts",
         "SELECT m.Codice || ': ' || m.CostoParticolariCommerciali || ' ' || m.CostoParticolariProduzione || "
         "' ' "
         "|| m.CostoTotale FROM MagazzinoMacchinari m WHERE m.CostoParticolariCommerciali IS NOT (SELECT "
         "TOTAL(n.QuantitàNecessaria * k.PrezzoUnitario) FROM NecessitaPartCommerciale n JOIN "
         "MagazzinoPartCommerciale k ON k.OID=n.OID_MagazzinoPartCommerciale WHERE n._OwnerOID=m.OID) OR "
         "m.CostoParticolariProduzione IS NOT (SELECT TOTAL(n.QuantitàNecessaria * k.PrezzoIndicativo) FROM "
         "NecessitaPartProduzione n JOIN MagazzinoPartProduzione k ON k.OID=n.OID_MagazzinoPartProduzione "
         "WHERE "
         "n._OwnerOID=m.OID) OR m.CostoTotale IS NOT m.CostoParticolariCommerciali + "
         "m.CostoParticolariProduzione"},
        {"purchase order total",
         "SELECT o.Numero || ': ' || o.ImportoTotale FROM OrdiniCommerciale o WHERE o.ImportoTotale IS NOT "
         "(SELECT TOTAL(l.ImportoOrdine) FROM OrdinePartCommerciale l WHERE l._Owner='OrdiniCommerciale."
         "Particolari' AND l._OwnerOID=o.OID)"},
        // An order that never had a line keeps the state it was created with.
        {"purchase order closed when every line has arrived",
         "SELECT o.Numero || ': ' || o.OrdineChiuso FROM OrdiniCommerciale o WHERE (o.OrdineChiuso=1 OR "
         "EXISTS "
         "(SELECT 1 FROM OrdinePartCommerciale l WHERE l._Owner='OrdiniCommerciale.Particolari' AND "
         "l._OwnerOID=o.OID)) AND o.OrdineChiuso IS NOT NOT EXISTS (SELECT 1 FROM OrdinePartCommerciale l "
         "WHERE l._Owner='OrdiniCommerciale.Particolari' AND "
         "l._OwnerOID=o.OID AND (l.QuantitàOrdine > l.QuantitàCaricata OR l.QuantitàOrdine = 0 OR "
         "l.QuantitàOrdine IS NULL))"},
        {"stock load total",
         "SELECT c.OID || ': ' || c.ImportoTotale FROM CarichiCommerciale c WHERE c.ImportoTotale IS NOT "
         "(SELECT "
         "TOTAL(l.ImportoCarico) FROM CaricoPartCommerciale l WHERE "
         "l._Owner='CarichiCommerciale.Particolari' "
         "AND l._OwnerOID=c.OID)"},
    };
}

}  // namespace

QStringList ModelInvariantViolations(const QString& databasePath) {
    QStringList out;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(databasePath.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return {"cannot open " + databasePath};
    }
    sqlite3_create_function(db, "half_even", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                            RoundHalfEvenFunction, nullptr, nullptr);
    for (const Check& c : Checks()) {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db, c.sql.toUtf8().constData(), -1, &st, nullptr) != SQLITE_OK) {
            out << QString(c.rule) + ": " + QString::fromUtf8(sqlite3_errmsg(db));
            continue;
        }
        while (sqlite3_step(st) == SQLITE_ROW) {
            const auto* text = sqlite3_column_text(st, 0);
            out << QString(c.rule) + " - " +
                       (text ? QString::fromUtf8(reinterpret_cast<const char*>(text)) : "?");
        }
        sqlite3_finalize(st);
    }
    sqlite3_close(db);
    return out;
}
