// The table DedirIdovuduvIrezadiv: definition and row rules.
#include "model/tables/DedirIdovuduvIrezadiv.h"

#include "model/TableRuleUtil.h"

void DedirIdovuduvIrezadiv::DefineIdentity(odb::TableIdentity& identity) {
    identity.Version(1.1);
    identity.Flags1(1);
}

void DedirIdovuduvIrezadiv::DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                                            odb::ReferenceDefs& /*references*/) {
    fields.AddField("Codice", odb::ftCodeText, 4, 0, "", -100, -100, -100, true,
                    "Codice manzione assegnato alla macchina", "", 0);
    fields.AddField("Descrizione", odb::ftText, 127, 0, "", -100, -100, -100, true, "", "", 0);
    fields.AddField("Produzione", odb::ftBoolean, 0, 0, "", -100, -100, -100, true,
                    "Indica se la manzione fa parte del processo di lavorazione della commessa", "", 0);
    fields.AddField("CostoOrario", odb::ftCurrency, 0, 0, "", -100, -100, -100, true,
                    "Costo orario della manzione", "", 0);
    indexes.AddIndex("Codice", true, "");
    indexes.AddIndex("Descrizione", true, "");
}

void DedirIdovuduvIrezadiv::OnUpdatedTableStruct(odb::DataSet& ds, double /*curVersion*/,
                                                 double /*oldVersion*/, bool created) {
    if (created) ds.AddRow({"Codice", "", "Descrizione", "<indefinito>", "CostoOrario", 0});
}

void DedirIdovuduvIrezadiv::OnNewRow(odb::DataSet& ds) {
    ds.SetColValue("Produzione", true);
}

void DedirIdovuduvIrezadiv::OnDeleteRow(odb::DataSet& ds) {
    RejectDeletingProtectedRow(ds, "Descrizione", "<indefinito>");
}

void DedirIdovuduvIrezadiv::OnBeforeUpdateField(odb::DataSet& ds, const QString& columnName) {
    RejectRenamingProtectedRow(ds, columnName, "<indefinito>");
    // The empty code names the default task, which the default worker refers to.
    if (IsColumn(columnName, "Codice") && ColTextIs(ds, "Codice", ""))
        ds.RejectChange("Non puoi modificare il codice di questo elemento", 0);
}
