// The table DettagliAttrezzature: definition and row rules.
#include "model/tables/DettagliAttrezzature.h"

#include "model/JobOrderNumber.h"
#include "model/TableRuleUtil.h"
#include "odb/DataSet.h"

void DettagliAttrezzature::DefineIdentity(odb::TableIdentity& identity) {
    identity.Version(1.8);
    identity.Flags1(1);
    identity.BaseTable("DettagliCommesse");
}

void DettagliAttrezzature::DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                                           odb::ReferenceDefs& references) {
    fields.AddField("SottoProgressivo", odb::ftLong, 3, 0, "000", 15, -100, -100, true,
                    "Sotto progressivo relativo alla commessa di appartenenza", "", 0);
    fields.AddField("Quantità", odb::ftLong, 0, 0, "", -100, -100, -100, true, "", "", 0);
    fields.AddField("Note", odb::ftMemo, 0, 0, "", -100, -100, -100, false, "", "", 0);
    references.AddReference("Particolare", "ParticolariAttrezzature", false, false, "",
                            "Descrizione,PrezzoListino,TempoPresunto", -100, -100, -100,
                            "Particolare dell'attrezzatura in lavorazione", -2, -1, 0);
    indexes.AddIndex("SottoProgressivo", true, "DettAttrezzature").AddParentLink();
    indexes.SetBrowseColumns("SottoProgressivo,Particolare,Quantità");
}

void DettagliAttrezzature::OnNewRow(odb::DataSet& ds) {
    ds.SetReference("Tipo", 1);
    ds.SetColValue("Quantità", 1);
    JobOrderNumber::NumberNewDetail(ds, "Attrezzature");
}

void DettagliAttrezzature::OnUpdateRow(odb::DataSet& ds) {
    JobOrderNumber::KeepNewDetailNumberFree(ds, QStringLiteral("Attrezzature"));
}

void DettagliAttrezzature::OnUpdateField(odb::DataSet& ds, const QString& changedColumnName) {
    if (IsColumn(changedColumnName, "SottoProgressivo"))
        JobOrderNumber::SetDetailNumber(ds, *ds.GetReference("Tipo"));
}

void DettagliAttrezzature::OnUpdateReference(odb::DataSet& ds, odb::DataSet& referencedDS,
                                             const QString& referenceName, bool /*isDelete*/,
                                             bool /*inMemory*/) {
    if (IsColumn(referenceName, "Tipo")) JobOrderNumber::SetDetailNumber(ds, referencedDS);
    // Once the part of a new detail is chosen, the user goes on with its quantity.
    if (IsColumn(referenceName, "Particolare") && ds.IsNewRow()) ds.FocusField("Quantità");
}
