// The table DettagliVenditaMacchinari: definition and row rules.
#include "model/tables/DettagliVenditaMacchinari.h"

#include "base/Variant.h"
#include "model/HeldGuards.h"
#include "model/JobOrderNumber.h"
#include "model/TableRuleUtil.h"
#include "odb/DataSet.h"

void DettagliVenditaMacchinari::DefineIdentity(odb::TableIdentity& identity) {
    identity.Version(1.3);
    identity.Flags1(1);
    identity.BaseTable("DettagliCommesse");
}

void DettagliVenditaMacchinari::DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                                                odb::ReferenceDefs& references) {
    fields.AddField("SottoProgressivo", odb::ftLong, 3, 0, "000", 15, -100, -100, true,
                    "Sotto progressivo relativo alla commessa di appartenenza", "", 0);
    fields.AddField("Quantità", odb::ftQuantity, 0, 0, "", -100, -100, -100, true,
                    "Numero di macchinari relativi alla vendita", "", 0);
    fields.AddField("Note", odb::ftMemo, 0, 0, "", -100, -100, -100, false, "", "", 0);
    references.AddReference("Macchinario", "MagazzinoMacchinari", false, false, "Codice",
                            "Descrizione,PrezzoListino,QuantitàGiacenza,QuantitàOrdinata", -100, -100, -100,
                            "Macchinario venduto", -2, -1, 0);
    indexes.AddIndex("SottoProgressivo", true, "DettVendita").AddParentLink();
    indexes.SetBrowseColumns("Macchinario");
}

namespace {

// The two fields whose values are booked in the machine.
bool BookedField(const QString& column) {
    return IsColumn(column, "Chiuso") || IsColumn(column, "Quantità");
}

}  // namespace

void DettagliVenditaMacchinari::OnNewRow(odb::DataSet& ds) {
    ds.SetReference("Tipo", 2);
    ds.SetColValue("Quantità", 1);
    JobOrderNumber::NumberNewDetail(ds, "Macchine");
}

void DettagliVenditaMacchinari::OnUpdateRow(odb::DataSet& ds) {
    JobOrderNumber::KeepNewDetailNumberFree(ds, "Macchine");
}

// Each change is the old values taken back before it and the new ones booked after it.
void DettagliVenditaMacchinari::OnBeforeUpdateField(odb::DataSet& ds, const QString& columnName) {
    if (BookedField(columnName)) UpdateMachineStock(*ds.GetReference("Macchinario"), ds, -1);
}

void DettagliVenditaMacchinari::OnUpdateField(odb::DataSet& ds, const QString& changedColumnName) {
    if (BookedField(changedColumnName)) UpdateMachineStock(*ds.GetReference("Macchinario"), ds, +1);
    if (IsColumn(changedColumnName, "SottoProgressivo"))
        JobOrderNumber::SetDetailNumber(ds, *ds.GetReference("Tipo"));
}

void DettagliVenditaMacchinari::OnBeforeUpdateReference(odb::DataSet& ds, odb::DataSet& referencedDS,
                                                        const QString& referenceName, bool /*isDelete*/,
                                                        bool /*inMemory*/) {
    if (IsColumn(referenceName, "Macchinario")) UpdateMachineStock(referencedDS, ds, -1);
}

void DettagliVenditaMacchinari::OnUpdateReference(odb::DataSet& ds, odb::DataSet& referencedDS,
                                                  const QString& referenceName, bool /*isDelete*/,
                                                  bool /*inMemory*/) {
    if (IsColumn(referenceName, "Macchinario")) UpdateMachineStock(referencedDS, ds, +1);
    if (IsColumn(referenceName, "Tipo")) JobOrderNumber::SetDetailNumber(ds, referencedDS);
}

void DettagliVenditaMacchinari::OnDeleteRow(odb::DataSet& ds) {
    UpdateMachineStock(*ds.GetReference("Macchinario"), ds, -1);
}

void DettagliVenditaMacchinari::UpdateMachineStock(odb::DataSet& machine, odb::DataSet& detail, int sign) {
    if (machine.DataEmpty() || machine.NoCurrentRow()) return;
    // Held while the machine row is saved: its events must not book again.
    HeldGuards guards(machine);
    if (!guards.lock("QM")) return;
    const int32_t quantity = static_cast<int32_t>(RoundHalfEven(detail.ColNumber("Quantità")));
    if (quantity == 0) return;
    if (detail.ColValueBool("Chiuso"))
        machine.SubtractFromCol("QuantitàGiacenza", sign * quantity);
    else
        machine.AddToCol("QuantitàOrdinata", sign * quantity);
    machine.SaveRow();
}
