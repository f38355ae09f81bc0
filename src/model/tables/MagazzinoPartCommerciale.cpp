// The table MagazzinoPartCommerciale: definition and row rules.
#include "model/tables/MagazzinoPartCommerciale.h"

#include "model/CopyMisspeltAvailability.h"
#include "model/TableRuleUtil.h"
#include "odb/DataSet.h"

void MagazzinoPartCommerciale::DefineIdentity(odb::TableIdentity& identity) {
    identity.Version(1.7);
    identity.Caption("Magazzino Particolari Commerciale");
    identity.Flags1(1);
}

void MagazzinoPartCommerciale::DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                                               odb::ReferenceDefs& references) {
    fields.AddField("Descrizione", odb::ftText, 64, 0, "", -100, -100, -100, true,
                    "Descrizione del macchinario", "", 0);
    fields.AddField("Codice", odb::ftText, 8, 0, "", 15, -100, 1, true, "", "", 0);
    fields.AddField("QuantitàMagazzino", odb::ftLong, 0, 0, "", -100, -100, -100, true,
                    "Quantità in carico nel magazzino", "", 0);
    fields.AddField("QuantitàInOrdine", odb::ftLong, 0, 0, "", 15, -100, -100, true, "", "", 0);
    fields.AddField("DisponibilitàFinale", odb::ftLong, 0, 0, "", 15, -100, -100, true, "", "", 0);
    fields.AddField("CodiceFornitore", odb::ftText, 24, 0, "", -100, -100, -100, true,
                    "Codice del particolare assegnato dal fornitore", "", 0);
    fields.AddField("PrezzoUnitario", odb::ftCurrency, 0, 0, "", -100, -100, -100, true,
                    "Prezzo di acquisto dal fornitore", "", 0);
    fields.AddField("UsoInterno", odb::ftBoolean, 0, 0, "", -100, -100, -100, true,
                    "Identifica il materiale per uso interno, non destinato ai macchinari", "", 0);
    references.AddReference("Fornitore", "Fornitori", false, false, "", "RagioneSociale", 1, -100, -100,
                            "Ragione sociale del fornitore da cui si acquista il macchinario", -2, -1, 0);
    indexes.AddIndex("Codice", true, "");
    indexes.AddIndex("Descrizione", true, "");
}

void MagazzinoPartCommerciale::OnUpdatedTableStruct(odb::DataSet& ds, double /*curVersion*/,
                                                    double oldVersion, bool created) {
    if (created || oldVersion >= 1.7) return;
    CopyMisspeltAvailability(ds, Name());
}

void MagazzinoPartCommerciale::OnNewRow(odb::DataSet& ds) {
    ds.SetColValue("CodiceFornitore", QString(""));
    ds.SetColValue("QuantitàMagazzino", 0);
    ds.SetColValue("QuantitàInOrdine", 0);
    ds.SetColValue("DisponibilitàFinale", 0);
    ds.SetColValue("UsoInterno", false);
}

namespace {

// The quantities that the final availability follows.
bool MovesAvailability(const QString& column) {
    return IsColumn(column, "QuantitàInOrdine") || IsColumn(column, "QuantitàMagazzino");
}

}  // namespace

// The final availability follows the stock and the quantity on order: the old value leaves it before the
// change, the new one enters it after.
void MagazzinoPartCommerciale::OnBeforeUpdateField(odb::DataSet& ds, const QString& columnName) {
    if (MovesAvailability(columnName)) ds.SubtractFromCol("DisponibilitàFinale", ds.ColNumber(columnName));
}

void MagazzinoPartCommerciale::OnUpdateField(odb::DataSet& ds, const QString& changedColumnName) {
    if (MovesAvailability(changedColumnName))
        ds.AddToCol("DisponibilitàFinale", ds.ColNumber(changedColumnName));
}
