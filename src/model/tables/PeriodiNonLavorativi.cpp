// The table PeriodiNonLavorativi: definition and row rules.
#include "model/tables/PeriodiNonLavorativi.h"

#include "model/TableRuleUtil.h"
#include "odb/DataSet.h"

void PeriodiNonLavorativi::DefineIdentity(odb::TableIdentity& identity) {
    identity.Version(1.3);
    identity.Caption("Periodi Non Lavorativi");
    identity.Flags1(1);
}

void PeriodiNonLavorativi::DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                                           odb::ReferenceDefs& references) {
    fields.AddField("DataInizioPeriodo", odb::ftDate, 0, 0, "", -100, -100, -100, false,
                    "Data iniziale del periodo non lavorativo", "", 0);
    fields.AddField("DataFinePeriodo", odb::ftDate, 0, 0, "", -100, -100, -100, false,
                    "Data finale del periodo non lavorativo", "", 0);
    references.AddReference("TipoAssenza", "TipiAssenza", false, false, "Codice", "Descrizione", -100, -100,
                            -100, "Verrà visualizzato nella stampa accessi per i giorni impostati", -2, -1,
                            0);
    indexes.AddIndex("DataInizioPeriodo", true, "");
    indexes.AddIndex("DataFinePeriodo", false, "");
}

// A period typed by its start alone lasts that one day; the user goes on to its end.
void PeriodiNonLavorativi::OnUpdateField(odb::DataSet& ds, const QString& changedColumnName) {
    if (!IsColumn(changedColumnName, "DataInizioPeriodo") || !ds.ColIsNull("DataFinePeriodo") ||
        ds.ColIsNull("DataInizioPeriodo"))
        return;
    ds.SetColValue("DataFinePeriodo", ds.ColDate("DataInizioPeriodo"));
    ds.FocusField("DataFinePeriodo");
}
