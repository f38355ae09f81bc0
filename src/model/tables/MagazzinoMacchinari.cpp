// The table MagazzinoMacchinari: definition and row rules.
#include "model/tables/MagazzinoMacchinari.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "base/Currency.h"
#include "base/Variant.h"
#include "model/TableRuleUtil.h"
#include "odb/Connection.h"
#include "odb/DataSet.h"

void MagazzinoMacchinari::DefineIdentity(odb::TableIdentity& identity) {
    identity.Version(1.6);
    identity.Flags1(1);
}

void MagazzinoMacchinari::DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                                          odb::ReferenceDefs& references) {
    fields.AddField("Codice", odb::ftText, 8, 0, "", -100, -100, -100, true, "", "", 0);
    fields.AddField("Descrizione", odb::ftText, 64, 0, "", -100, -100, -100, true,
                    "Descrizione del macchinario", "", 0);
    fields.AddField("QuantitàGiacenza", odb::ftLong, 0, 0, "", 15, -100, -100, true,
                    "Quantità in carico nel magazzino", "", 0);
    fields.AddField("QuantitàOrdinata", odb::ftLong, 0, 0, "", 15, -100, -100, true, "Quantità in ordine", "",
                    0);
    fields.AddField("PrezzoListino", odb::ftCurrency, 0, 0, "", -100, -100, -100, true,
                    "Prezzo Listino di riferimento", "", 0);
    fields.AddField("CostoParticolariCommerciali", odb::ftCurrency, 0, 0, "", 15, -100, -100, true,
                    "Costo totale dei particolari commerciali", "", 0);
    fields.AddField("CostoParticolariProduzione", odb::ftCurrency, 0, 0, "", 15, -100, -100, true,
                    "Costo totale dei particolari produzione", "", 0);
    fields.AddField("CostoTotale", odb::ftCurrency, 0, 0, "", 15, -100, -100, true,
                    "Costo totale dei particolari produzione + commerciali", "", 0);
    fields.AddField("Immagine", odb::ftImageFile, 0, 0, "", -100, -100, -100, true, "", "", 0);
    references.AddReference("ParticolariProduzione", "NecessitaPartProduzione", true, true, "Codice",
                            "Descrizione,QuantitàNecessaria,PrezzoIndicativo", -100, -100, -100, "", -1, -1,
                            0);
    references.AddReference("ParticolariCommerciale", "NecessitaPartCommerciale", true, true, "Codice",
                            "Descrizione,QuantitàNecessaria,QuantitàMagazzino,PrezzoUnitario,Fornitore", -100,
                            -100, -100, "", -1, -1, 0);
    indexes.AddIndex("Codice", true, "");
    indexes.AddIndex("Descrizione", true, "");
}

namespace {

// The two needed-part collections and the price that values each of their rows.
struct NeedCost {
    const char* reference;
    const char* price;
    const char* cost;
};
const NeedCost kNeedCosts[] = {
    {"ParticolariCommerciale", "PrezzoUnitario", "CostoParticolariCommerciali"},
    {"ParticolariProduzione", "PrezzoIndicativo", "CostoParticolariProduzione"},
};

const NeedCost* NeedCostOf(const QString& referenceName) {
    for (const NeedCost& n : kNeedCosts)
        if (IsColumn(referenceName, n.reference)) return &n;
    return nullptr;
}

bool RowGiven(odb::DataSet& ds) {
    return !ds.DataEmpty() && !ds.NoCurrentRow();
}

double NeedValue(odb::DataSet& need, const NeedCost& n) {
    return need.ColNumber(n.price) * need.ColNumber("QuantitàNecessaria");
}

}  // namespace

void MagazzinoMacchinari::OnNewRow(odb::DataSet& ds) {
    ds.SetColValue("QuantitàGiacenza", 0);
    ds.SetColValue("QuantitàOrdinata", 0);
    ds.SetColValue("PrezzoListino", Currency());
    ds.SetColValue("CostoParticolariCommerciali", Currency());
    ds.SetColValue("CostoParticolariProduzione", Currency());
    ds.SetColValue("CostoTotale", Currency());
    ds.SetColValue("Immagine", QString(""));
}

// The image file takes its new name with the row that names it: renamed inside the save, and back
// if the save does not happen.
void MagazzinoMacchinari::OnUpdateRow(odb::DataSet& ds) {
    StoreMachineImage(ds, "Immagine", true);
}

void MagazzinoMacchinari::OnUpdateField(odb::DataSet& ds, const QString& changedColumnName) {
    if (IsColumn(changedColumnName, "CostoParticolariProduzione") ||
        IsColumn(changedColumnName, "CostoParticolariCommerciali"))
        ds.SetColValue("CostoTotale", ds.ColNumber("CostoParticolariCommerciali") +
                                          ds.ColNumber("CostoParticolariProduzione"));
    if (IsColumn(changedColumnName, "Immagine") || IsColumn(changedColumnName, "Codice"))
        StoreMachineImage(ds, "Immagine", false);
}

void MagazzinoMacchinari::OnBeforeUpdateReference(odb::DataSet& ds, odb::DataSet& referencedDS,
                                                  const QString& referenceName, bool /*isDelete*/,
                                                  bool /*inMemory*/) {
    const NeedCost* n = NeedCostOf(referenceName);
    if (!n) return;
    // The whole collection about to be replaced is summed again afterwards.
    if (!RowGiven(referencedDS))
        ds.SetColValue(n->cost, Currency());
    else
        ds.SubtractFromCol(n->cost, NeedValue(referencedDS, *n));
}

void MagazzinoMacchinari::OnUpdateReference(odb::DataSet& ds, odb::DataSet& referencedDS,
                                            const QString& referenceName, bool /*isDelete*/,
                                            bool /*inMemory*/) {
    const NeedCost* n = NeedCostOf(referenceName);
    if (!n) return;
    if (!RowGiven(referencedDS))
        ds.SetColValue(
            n->cost,
            ds.GetReference(n->reference)->Aggregate(QString(n->price) + "*QuantitàNecessaria", odb::aggSum));
    else
        ds.AddToCol(n->cost, NeedValue(referencedDS, *n));
}

// A produced part added from the machine starts with the machine's description, for the user to edit.
void MagazzinoMacchinari::OnNewReference(odb::DataSet& ds, odb::DataSet& referencedDS,
                                         const QString& referenceName) {
    if (!IsColumn(referenceName, "ParticolariProduzione")) return;
    referencedDS.SetColValue("Descrizione", ds.ColValue("Descrizione"));
    referencedDS.FocusField("Descrizione");
}

QString MagazzinoMacchinari::ImagePathFor(const QString& path, const QString& code) {
    const QFileInfo info(path);
    QString name = info.fileName();
    if (name.left(code.size()).compare(code, Qt::CaseInsensitive) == 0) name = name.mid(code.size());
    const qsizetype underscore = name.indexOf('_');
    if (underscore >= 0) name = name.mid(underscore + 1);
    name = code + "_" + name;
    const QString folder = path.contains('/') ? info.path() : QString();
    return folder.isEmpty() ? name : folder + "/" + name;
}

void MagazzinoMacchinari::StoreMachineImage(odb::DataSet& ds, const QString& field, bool rename) {
    const QString code = ds.ColText("Codice");
    if (code.isEmpty() || ds.ColText(field).isEmpty()) return;
    const QString from = QDir::fromNativeSeparators(ds.ColFilePath(field));
    const QString to = ImagePathFor(from, code);
    if (to == from) return;
    QString problem;
    if (!QFileInfo::exists(from))
        problem = "Il file " + from + " non esiste";
    else if (QFileInfo::exists(to))
        problem = "Il file " + to + " esiste già";
    else if (rename && !QFile::rename(from, to))
        problem = "Impossibile rinominare il file " + from + " in " + to;
    if (!problem.isEmpty())
        ds.RejectChange("Validazione del file <" + ds.ColText(field) + "> per il campo <" + field +
                            "> non riuscita\r" + problem,
                        0);
    if (!rename) return;
    ds.GetConnection()->OnRollback([from, to] { QFile::rename(to, from); });
    ds.SetColFilePath(field, to);
}
