// The table TipiAssistenza: definition and row rules.
#include "model/tables/TipiAssistenza.h"

#include "model/TableRuleUtil.h"

void TipiAssistenza::DefineIdentity(odb::TableIdentity& identity) {
    identity.Version(1.0);
    identity.Flags1(1);
}

void TipiAssistenza::DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                                     odb::ReferenceDefs& /*references*/) {
    fields.AddField("Descrizione", odb::ftText, 127, 0, "", -100, -100, -100, true, "", "", 0);
    fields.AddField("PrezzoOrario", odb::ftCurrency, 0, 0, "", -100, -100, -100, true,
                    "Costo di ogni ora di assistenza", "", 0);
    indexes.AddIndex("Descrizione", true, "");
}

void TipiAssistenza::OnUpdatedTableStruct(odb::DataSet& ds, double /*curVersion*/, double /*oldVersion*/,
                                          bool created) {
    if (created) ds.AddRow({"Descrizione", "<indefinito>", "PrezzoOrario", 0});
}

void TipiAssistenza::OnDeleteRow(odb::DataSet& ds) {
    RejectDeletingProtectedRow(ds, "Descrizione", "<indefinito>");
}

void TipiAssistenza::OnBeforeUpdateField(odb::DataSet& ds, const QString& columnName) {
    RejectRenamingProtectedRow(ds, columnName, "<indefinito>");
}
