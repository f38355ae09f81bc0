// The table TipiAssenza: definition and row rules.
#include "model/tables/TipiAssenza.h"

#include "model/TableRuleUtil.h"

void TipiAssenza::DefineIdentity(odb::TableIdentity& identity) {
    identity.Version(1.0);
    identity.Flags1(1);
}

void TipiAssenza::DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                                  odb::ReferenceDefs& /*references*/) {
    fields.AddField("Codice", odb::ftLong, 2, 0, "00", -100, -100, -100, true, "", "", 0);
    fields.AddField("Descrizione", odb::ftText, 127, 0, "", -100, -100, -100, true, "", "", 0);
    indexes.AddIndex("Codice", true, "");
    indexes.AddIndex("Descrizione", true, "");
}

void TipiAssenza::OnUpdatedTableStruct(odb::DataSet& ds, double /*curVersion*/, double /*oldVersion*/,
                                       bool created) {
    if (!created) return;
    ds.AddRow({"Codice", "0", "Descrizione", "Nessuna"});
    ds.AddRow({"Codice", 1, "Descrizione", "Malattia"});
    ds.AddRow({"Codice", 2, "Descrizione", "Infortunio"});
    ds.AddRow({"Codice", 3, "Descrizione", "Ferie"});
    ds.AddRow({"Codice", 4, "Descrizione", "Permesso"});
    ds.AddRow({"Codice", 5, "Descrizione", "Ingiustificato"});
    ds.AddRow({"Codice", 6, "Descrizione", "Sciopero"});
    ds.AddRow({"Codice", 7, "Descrizione", "Trasferta"});
}

void TipiAssenza::OnNewRow(odb::DataSet& ds) {
    if (!ds.ColIsNull("Codice")) return;
    const Variant highest = ds.Aggregate("Codice", odb::aggMax);
    ds.SetColValue("Codice", static_cast<int32_t>(highest.isEmptyOrNull() ? 0 : highest.toLong()) + 1);
}

void TipiAssenza::OnDeleteRow(odb::DataSet& ds) {
    RejectDeletingProtectedRow(ds, "Codice", "0");
}

void TipiAssenza::OnBeforeUpdateField(odb::DataSet& ds, const QString& columnName) {
    if ((IsColumn(columnName, "Codice") || IsColumn(columnName, "Descrizione")) &&
        ColTextIs(ds, "Descrizione", "Nessuna"))
        ds.RejectChange("Non puoi modificare la descrizione di questo elemento", 0);
}
