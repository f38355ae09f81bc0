// The table DettagliProduzione: definition and row rules.
#include "model/tables/DettagliProduzione.h"

#include "base/Currency.h"
#include "base/Variant.h"
#include "model/HeldGuards.h"
#include "model/JobOrderNumber.h"
#include "model/TableRuleUtil.h"
#include "odb/DataSet.h"

void DettagliProduzione::DefineIdentity(odb::TableIdentity& identity) {
    identity.Version(1.8);
    identity.Flags1(1);
    identity.BaseTable("DettagliCommesse");
}

void DettagliProduzione::DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                                         odb::ReferenceDefs& references) {
    fields.AddField("SottoProgressivo", odb::ftLong, 3, 0, "000", 15, -100, -100, true,
                    "Sotto progressivo relativo alla commessa di appartenenza", "", 0);
    fields.AddField("Quantità", odb::ftLong, 0, 0, "", -100, -100, -100, true,
                    "Quantità richiesta dall'operatore in relazione alle esigenze di produzione", "", 0);
    fields.AddField("QuantitàNecessariaTotale", odb::ftLong, 0, 0, "", 15, -100, -100, true,
                    "Quantità totale effettivamente necessaria per la produzione della/e macchina/e", "", 0);
    fields.AddField("CostoProduzione", odb::ftCurrency, 0, 0, "", 15, -100, -100, true,
                    "Costo totale per la produzione dei particolari", "", 0);
    fields.AddField("CostoNecessità", odb::ftCurrency, 0, 0, "", 15, -100, -100, true,
                    "Costo del particolare in base alla quantità necessaria", "", 0);
    fields.AddField("Note", odb::ftMemo, 0, 0, "", -100, -100, -100, false, "", "", 0);
    references.AddReference(
        "Particolare", "NecessitaPartProduzione", false, false, "Codice",
        "Descrizione,QuantitàInProduzione,QuantitàMagazzino,DisponibilitàFinale,QuantitàNecessaria", -100,
        -100, -100, "", -2, -1, 0);
    indexes.AddIndex("SottoProgressivo", true, "DettProduzione").AddParentLink();
    indexes.SetBrowseColumns("SottoProgressivo,Particolare,Quantità");
}

namespace {

bool RowGiven(odb::DataSet& ds) {
    return !ds.DataEmpty() && !ds.NoCurrentRow();
}

double PartPrice(odb::DataSet& ds) {
    auto part = ds.GetReference("Particolare");
    return RowGiven(*part) ? part->ColNumber("PrezzoIndicativo") : 0;
}

}  // namespace

void DettagliProduzione::OnNewRow(odb::DataSet& ds) {
    ds.SetColValue("Quantità", 0);
    ds.SetColValue("CostoProduzione", Currency());
    ds.SetColValue("CostoNecessità", Currency());
    ds.SetColValue("QuantitàNecessariaTotale", 0);
    ds.SetReference("Tipo", 3);
    JobOrderNumber::NumberNewDetail(ds, "Dettagli");
}

void DettagliProduzione::OnUpdateRow(odb::DataSet& ds) {
    JobOrderNumber::KeepNewDetailNumberFree(ds, "Dettagli");
}

void DettagliProduzione::OnBeforeUpdateField(odb::DataSet& ds, const QString& columnName) {
    if (IsColumn(columnName, "Quantità")) {
        if (ds.ColValueBool("Chiuso"))
            ds.RejectChange("Non puoi impostare la quantità della commessa (" + ds.ColText("NumeroCommessa") +
                                ") dopo la chiusura",
                            0);
        BookQuantity(ds, -1);
    }
    if (IsColumn(columnName, "QuantitàNecessariaTotale")) BookNeed(ds, -1);
    if (IsColumn(columnName, "Chiuso") && ds.ColValueBool("Chiuso") && ds.ReferenceEmpty("Particolare"))
        ds.RejectChange("Devi prima impostare il Particolare", 0);
}

void DettagliProduzione::OnUpdateField(odb::DataSet& ds, const QString& changedColumnName) {
    const QString& column = changedColumnName;
    // The pieces to make follow the pieces needed upwards; a closed detail keeps what it made.
    if (IsColumn(column, "QuantitàNecessariaTotale") && !ds.ColValueBool("Chiuso") &&
        ds.ColNumber("QuantitàNecessariaTotale") > ds.ColNumber("Quantità"))
        ds.SetColValue("Quantità", ds.ColValue("QuantitàNecessariaTotale"));
    if (IsColumn(column, "Quantità")) BookQuantity(ds, +1);
    if (IsColumn(column, "Chiuso")) UpdatePartStockOnClose(ds, ds.ColValueBool("Chiuso"));
    if (IsColumn(column, "SottoProgressivo")) JobOrderNumber::SetDetailNumber(ds, *ds.GetReference("Tipo"));
    if (IsColumn(column, "QuantitàNecessariaTotale")) {
        BookNeed(ds, +1);
        if (!ds.ReferenceEmpty("Particolare"))
            ds.SetColValue("CostoNecessità", PartPrice(ds) * ds.ColNumber("QuantitàNecessariaTotale"));
    }
    if (IsColumn(column, "Quantità") && !ds.ReferenceEmpty("Particolare"))
        ds.SetColValue("CostoProduzione", PartPrice(ds) * ds.ColNumber("Quantità"));
}

// A detail goes with what it booked given back: reopened first, then zeroed and stored. A detail
// without a part booked nothing; closed, it could be neither reopened nor changed, so it goes as it is.
void DettagliProduzione::OnDeleteRow(odb::DataSet& ds) {
    if (ds.ReferenceEmpty("Particolare")) return;
    if (ds.ColValueBool("Chiuso")) ds.SetColValue("Chiuso", false);
    ds.SetColValue("Quantità", 0);
    ds.SetColValue("QuantitàNecessariaTotale", 0);
    ds.SaveRow();
}

void DettagliProduzione::OnBeforeUpdateReference(odb::DataSet& ds, odb::DataSet& /*referencedDS*/,
                                                 const QString& referenceName, bool /*isDelete*/,
                                                 bool /*inMemory*/) {
    if (!IsColumn(referenceName, "Particolare") || ds.IsGuardLocked("Particolare")) return;
    if (ds.ColValueBool("Chiuso")) ds.RejectChange("Non cambiare il Particolare dopo la chiusura", 0);
    // The old part gets back everything the detail booked in it.
    ds.SetColValue("QuantitàNecessariaTotale", 0);
    ds.SetColValue("Quantità", 0);
    ds.SetColValue("CostoNecessità", Currency());
    ds.SetColValue("CostoProduzione", Currency());
}

void DettagliProduzione::OnUpdateReference(odb::DataSet& ds, odb::DataSet& referencedDS,
                                           const QString& referenceName, bool /*isDelete*/,
                                           bool /*inMemory*/) {
    if (IsColumn(referenceName, "Tipo")) JobOrderNumber::SetDetailNumber(ds, referencedDS);
    if (!IsColumn(referenceName, "Particolare") || ds.IsGuardLocked("Particolare") || !RowGiven(referencedDS))
        return;
    odb::DataSet& part = referencedDS;
    ds.SetColValue("QuantitàNecessariaTotale", part.ColValue("QuantitàNecessaria"));
    ds.SetColValue("CostoNecessità",
                   part.ColNumber("PrezzoIndicativo") * ds.ColNumber("QuantitàNecessariaTotale"));
    ds.SetColValue("CostoProduzione", part.ColNumber("PrezzoIndicativo") * ds.ColNumber("Quantità"));
}

std::shared_ptr<odb::DataSet> DettagliProduzione::LockedPart(odb::DataSet& ds, HeldGuards& guards) {
    if (ds.ReferenceEmpty("Particolare") || !guards.lock("Particolare")) return nullptr;
    auto part = ds.GetReference("Particolare");
    if (!RowGiven(*part)) return nullptr;
    part->EnableEdit(true);
    return part;
}

void DettagliProduzione::BookQuantity(odb::DataSet& ds, int sign) {
    if (ds.ColValueBool("Chiuso")) return;
    HeldGuards guards(ds);
    auto part = LockedPart(ds, guards);
    if (!part) return;
    const double quantity = sign * ds.ColNumber("Quantità");
    part->AddToCol("DisponibilitàFinale", quantity);
    part->AddToCol("QuantitàInProduzione", quantity);
    part->SaveRow();
}

void DettagliProduzione::BookNeed(odb::DataSet& ds, int sign) {
    HeldGuards guards(ds);
    auto part = LockedPart(ds, guards);
    if (!part) return;
    const double needed = sign * ds.ColNumber("QuantitàNecessariaTotale");
    part->SubtractFromCol(ds.ColValueBool("Chiuso") ? "QuantitàMagazzino" : "DisponibilitàFinale", needed);
    part->SaveRow();
}

void DettagliProduzione::UpdatePartStockOnClose(odb::DataSet& ds, bool closed) {
    HeldGuards guards(ds);
    auto part = LockedPart(ds, guards);
    if (!part) return;
    const double made = ds.ColNumber("Quantità");
    const double needed = ds.ColNumber("QuantitàNecessariaTotale");
    const int sign = closed ? 1 : -1;
    part->SubtractFromCol("QuantitàInProduzione", sign * made);
    const Variant keep = Variant(part->ColNumber("DisponibilitàFinale")).toLong();
    part->AddToCol("QuantitàMagazzino", sign * made);
    part->SubtractFromCol("QuantitàMagazzino", sign * needed);
    part->SetColValue("DisponibilitàFinale", keep);
    part->SaveRow();
}
