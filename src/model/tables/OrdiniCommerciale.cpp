// The table OrdiniCommerciale: definition and row rules.
#include "model/tables/OrdiniCommerciale.h"

#include "base/Currency.h"
#include "base/Variant.h"
#include "model/JobOrderNumber.h"
#include "model/TableRuleUtil.h"
#include "odb/DataSet.h"
#include "platform/Clock.h"

void OrdiniCommerciale::DefineIdentity(odb::TableIdentity& identity) {
    identity.Version(1.6);
    identity.Caption("Ordini Particolari Commerciale");
    identity.Flags1(1);
}

void OrdiniCommerciale::DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                                        odb::ReferenceDefs& references) {
    fields.AddField("DataInserimento", odb::ftDateTime, 0, 0, "", 1, -100, -100, true, "", "", 0);
    fields.AddField("Numero", odb::ftLong, 0, 0, "000000", 15, -100, -100, true,
                    "Numero progressivo dell'ordine", "", 0);
    fields.AddField("ImportoTotale", odb::ftCurrency, 0, 0, "", 15, 1, -100, true,
                    "Importo totale dell'Ordine", "", 0);
    fields.AddField("OrdineChiuso", odb::ftBoolean, 0, 0, "", 1, -100, -100, true,
                    "Indica se l'ordine è stato caticato completamente", "", 0);
    fields.AddField("DataConsegnaMerce", odb::ftDateTime, 0, 0, "", 1, -100, -100, false,
                    "Data prevista per la consegna. Se impostata viene stampata nel fax d'ordine", "", 0);
    fields.AddField("Urgente", odb::ftBoolean, 0, 0, "", -100, -100, -100, true,
                    "Indica se l'ordine è urgente. Viene eventualmente stampato nel fax d'ordine al posto "
                    "della data di consegna",
                    "", 0);
    fields.AddField("Note", odb::ftText, 255, 0, "", -100, -100, -100, true, "", "", 0);
    references.AddReference("Particolari", "OrdinePartCommerciale", true, true, "Codice",
                            "Descrizione,QuantitàOrdine,DisponibilitàFinale,QuantitàCaricata,ImportoOrdine,"
                            "QuantitàMagazzino,PrezzoUnitario,Fornitore",
                            -100, -100, -100, "", -2, -1, 0);
    indexes.AddIndex("DataInserimento", false, "");
    indexes.SetBrowseColumns("DataInserimento,Numero,Particolari");
}

namespace {

bool RowGiven(odb::DataSet& ds) {
    return !ds.DataEmpty() && !ds.NoCurrentRow();
}

}  // namespace

void OrdiniCommerciale::OnNewRow(odb::DataSet& ds) {
    ds.SetColValue("ImportoTotale", Currency());
    ds.SetColValue("DataInserimento", Variant::fromDate(Clock::now()));
    ds.SetColValue("Note", QString(""));
    ds.SetColValue("OrdineChiuso", false);
    ds.SetColValue("Urgente", false);
    AssignNextOrderNumber(ds);
}

// Another computer may have stored an order since this one was started: the number is taken again
// under the write lock.
void OrdiniCommerciale::OnUpdateRow(odb::DataSet& ds) {
    if (ds.IsNewRow()) AssignNextOrderNumber(ds);
}

void OrdiniCommerciale::AssignNextOrderNumber(odb::DataSet& ds) {
    if (ds.EventSource().SkipNumbering()) return;
    ds.SetColValue("Numero", JobOrderNumber::Next(ds, "OrdiniCommerciale", "Numero"));
}

// A line about to change or go: its old amount leaves the total.
void OrdiniCommerciale::OnBeforeUpdateReference(odb::DataSet& ds, odb::DataSet& referencedDS,
                                                const QString& referenceName, bool /*isDelete*/,
                                                bool /*inMemory*/) {
    if (!IsColumn(referenceName, "Particolari")) return;
    if (RowGiven(referencedDS))
        ds.SubtractFromCol("ImportoTotale", referencedDS.ColNumber("ImportoOrdine"));
    else
        ds.SetColValue("ImportoTotale", Currency());
}

// A line changed, added or gone: its new amount enters the total, and the closed flag is judged
// again over the lines as they now are.
void OrdiniCommerciale::OnUpdateReference(odb::DataSet& ds, odb::DataSet& referencedDS,
                                          const QString& referenceName, bool /*isDelete*/,
                                          bool /*inMemory*/) {
    if (!IsColumn(referenceName, "Particolari")) return;
    if (RowGiven(referencedDS))
        ds.AddToCol("ImportoTotale", referencedDS.ColNumber("ImportoOrdine"));
    else
        ds.SetColValue("ImportoTotale",
                       ds.GetReference("Particolari")->Aggregate("ImportoOrdine", odb::aggSum));
    UpdateOrderClosedFlag(ds);
}

void OrdiniCommerciale::UpdateOrderClosedFlag(odb::DataSet& ds) {
    const bool closed =
        ds.GetReference("Particolari",
                        "QuantitàOrdine>QuantitàCaricata Or QuantitàOrdine=0 Or IsNull(QuantitàOrdine)")
            ->DataEmpty();
    if (closed != ds.ColValueBool("OrdineChiuso")) ds.SetColValue("OrdineChiuso", closed);
}
