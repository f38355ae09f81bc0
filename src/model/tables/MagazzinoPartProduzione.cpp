// The table MagazzinoPartProduzione: definition and row rules.
#include "model/tables/MagazzinoPartProduzione.h"

#include "model/CopyMisspeltAvailability.h"
#include "model/TableRuleUtil.h"
#include "odb/DataSet.h"

void MagazzinoPartProduzione::DefineIdentity(odb::TableIdentity& identity) {
    identity.Version(1.5);
    identity.Caption("Magazzino Particolari Produzione");
    identity.Flags1(1);
}

void MagazzinoPartProduzione::DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                                              odb::ReferenceDefs& /*references*/) {
    fields.AddField("Descrizione", odb::ftText, 64, 0, "", -100, -100, -100, true,
                    "Descrizione del macchinario", "", 0);
    fields.AddField("Codice", odb::ftText, 8, 0, "", 15, -100, 1, true, "", "", 0);
    fields.AddField("Immagine", odb::ftFileLink, 0, 0, "", -100, -100, -100, false,
                    "Immagine del particolare", "", 0);
    fields.AddField("QuantitàMagazzino", odb::ftLong, 0, 0, "", -100, -100, -100, true,
                    "Quantità in carico nel magazzino", "", 0);
    fields.AddField("QuantitàInProduzione", odb::ftLong, 0, 0, "", 15, -100, -100, true, "", "", 0);
    fields.AddField("DisponibilitàFinale", odb::ftLong, 0, 0, "", 15, -100, -100, true, "", "", 0);
    fields.AddField("PrezzoIndicativo", odb::ftCurrency, 0, 0, "", -100, -100, -100, true,
                    "Prezzo indicativo per controlli nelle commesse di produzione", "", 0);
    fields.AddField("TempoPresunto", odb::ftLong, 0, 0, "", -100, -100, -100, true,
                    "Tempo stimato per la lavorazione del particolare", "", 0);
    indexes.AddIndex("Codice", true, "");
    indexes.AddIndex("Descrizione", true, "");
}

void MagazzinoPartProduzione::OnUpdatedTableStruct(odb::DataSet& ds, double /*curVersion*/, double oldVersion,
                                                   bool created) {
    if (created || oldVersion >= 1.3) return;
    CopyMisspeltAvailability(ds, Name());
}

void MagazzinoPartProduzione::OnNewRow(odb::DataSet& ds) {
    ds.SetColValue("QuantitàMagazzino", 0);
    ds.SetColValue("QuantitàInProduzione", 0);
    ds.SetColValue("DisponibilitàFinale", 0);
    ds.SetColValue("TempoPresunto", 0);
}

namespace {

// The quantities that the final availability follows.
bool MovesAvailability(const QString& column) {
    return IsColumn(column, "QuantitàMagazzino");
}

}  // namespace

// The final availability follows the stock: the old value leaves it before the change, the new one
// enters it after.
void MagazzinoPartProduzione::OnBeforeUpdateField(odb::DataSet& ds, const QString& columnName) {
    if (MovesAvailability(columnName)) ds.SubtractFromCol("DisponibilitàFinale", ds.ColNumber(columnName));
}

void MagazzinoPartProduzione::OnUpdateField(odb::DataSet& ds, const QString& changedColumnName) {
    if (MovesAvailability(changedColumnName))
        ds.AddToCol("DisponibilitàFinale", ds.ColNumber(changedColumnName));
}
