// The table CarichiCommerciale: definition and row rules.
#include "model/tables/CarichiCommerciale.h"

#include "base/Currency.h"
#include "base/Variant.h"
#include "model/TableRuleUtil.h"
#include "odb/DataSet.h"
#include "platform/Clock.h"

void CarichiCommerciale::DefineIdentity(odb::TableIdentity& identity) {
    identity.Version(1.0);
    identity.Caption("Carichi Particolari Commerciale");
    identity.Flags1(1);
}

void CarichiCommerciale::DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                                         odb::ReferenceDefs& references) {
    fields.AddField("DataInserimento", odb::ftDateTime, 0, 0, "", 1, -100, -100, true, "", "", 0);
    fields.AddField("ImportoTotale", odb::ftCurrency, 0, 0, "", 15, 1, -100, true,
                    "Importo totale dell'Ordine", "", 0);
    fields.AddField("Note", odb::ftText, 255, 0, "", -100, -100, -100, true, "", "", 0);
    references.AddReference("Particolari", "CaricoPartCommerciale", true, true, "Codice",
                            "Descrizione,QuantitàCarico,DisponibilitàFinale,ImportoCarico,QuantitàMagazzino,"
                            "PrezzoUnitario,Fornitore",
                            -100, -100, -100, "", -2, -1, 0);
    indexes.AddIndex("DataInserimento", false, "");
    indexes.SetBrowseColumns("DataInserimento,ImportoTotale,Particolari");
}

void CarichiCommerciale::OnNewRow(odb::DataSet& ds) {
    ds.SetColValue("ImportoTotale", Currency());
    ds.SetColValue("DataInserimento", Variant::fromDate(Clock::now()));
    ds.SetColValue("Note", QString(""));
}

void CarichiCommerciale::OnBeforeUpdateReference(odb::DataSet& ds, odb::DataSet& referencedDS,
                                                 const QString& referenceName, bool /*isDelete*/,
                                                 bool /*inMemory*/) {
    if (!IsColumn(referenceName, "Particolari")) return;
    if (referencedDS.DataEmpty() || referencedDS.NoCurrentRow())
        ds.SetColValue("ImportoTotale", Currency());
    else
        ds.SubtractFromCol("ImportoTotale", referencedDS.ColNumber("ImportoCarico"));
}

void CarichiCommerciale::OnUpdateReference(odb::DataSet& ds, odb::DataSet& referencedDS,
                                           const QString& referenceName, bool /*isDelete*/,
                                           bool /*inMemory*/) {
    if (!IsColumn(referenceName, "Particolari")) return;
    if (referencedDS.DataEmpty() || referencedDS.NoCurrentRow())
        ds.SetColValue("ImportoTotale",
                       ds.GetReference("Particolari")->Aggregate("ImportoCarico", odb::aggSum));
    else
        ds.AddToCol("ImportoTotale", referencedDS.ColNumber("ImportoCarico"));
}

// The parts offered for a line, the scarcest first.
void CarichiCommerciale::OnSelectReference(odb::DataSet& /*ds*/, odb::DataSet& referenceDS,
                                           const QString& referenceName) {
    if (IsColumn(referenceName, "Particolari.MagazzinoPartCommerciale"))
        referenceDS.SortBy("DisponibilitàFinale");
}
