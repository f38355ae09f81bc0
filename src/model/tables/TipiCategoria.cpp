// The table TipiCategoria: definition and row rules.
#include "model/tables/TipiCategoria.h"

#include "model/TableRuleUtil.h"

void TipiCategoria::DefineIdentity(odb::TableIdentity& identity) {
    identity.Version(1.0);
    identity.Flags1(1);
}

void TipiCategoria::DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                                    odb::ReferenceDefs& /*references*/) {
    fields.AddField("Descrizione", odb::ftText, 127, 0, "", -100, -100, -100, true, "", "", 0);
    indexes.AddIndex("Descrizione", true, "");
}

void TipiCategoria::OnUpdatedTableStruct(odb::DataSet& ds, double /*curVersion*/, double /*oldVersion*/,
                                         bool created) {
    if (created) ds.AddRow({"Descrizione", "<indefinito>"});
}

void TipiCategoria::OnDeleteRow(odb::DataSet& ds) {
    RejectDeletingProtectedRow(ds, "Descrizione", "<indefinito>");
}

void TipiCategoria::OnBeforeUpdateField(odb::DataSet& ds, const QString& columnName) {
    RejectRenamingProtectedRow(ds, columnName, "<indefinito>");
}
