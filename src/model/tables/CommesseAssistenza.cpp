// The table CommesseAssistenza: definition and row rules.
#include "model/tables/CommesseAssistenza.h"

#include "base/Currency.h"
#include "base/DateUtil.h"
#include "base/Variant.h"
#include "model/CostOfMinutes.h"
#include "model/JobOrderNumber.h"
#include "model/TableRuleUtil.h"
#include "odb/DataSet.h"
#include "odb/Database.h"
#include "platform/Clock.h"

void CommesseAssistenza::DefineIdentity(odb::TableIdentity& identity) {
    identity.Version(1.4);
    identity.Flags1(1);
    identity.BaseTable("DettagliCommesse");
}

void CommesseAssistenza::DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                                         odb::ReferenceDefs& references) {
    fields.AddField("DataInserimento", odb::ftDateTime, 0, 0, "", -100, -100, -100, true, "", "", 0);
    fields.AddField("Progressivo", odb::ftLong, 0, 0, "0000", 15, -100, -100, true, "", "", 0);
    fields.AddField("Urgente", odb::ftBoolean, 0, 0, "", -100, -100, -100, true,
                    "Indica che la commessa deve essere lavorata urgentemente", "", 0);
    fields.AddField("CostoTotale", odb::ftCurrency, 0, 0, "", 15, -100, -100, true,
                    "Costo totale dell'intervento", "", 0);
    fields.AddField("TipoMacchina", odb::ftText, 64, 0, "", -100, -100, -100, false,
                    "Indica se l'intervento di assistenza si riferisce ad una macchina in particolare", "",
                    0);
    fields.AddField("Note", odb::ftMemo, 0, 0, "", -100, -100, -100, false, "", "", 0);
    references.AddReference("Cliente", "Clienti", false, false, "Codice", "Descrizione", -100, -100, -100, "",
                            -2, -1, 0);
    references.AddReference("TipoAssistenza", "TipiAssistenza", false, false, "", "Descrizione,PrezzoOrario",
                            -100, -100, -100, "", -2, -1, 0);
    indexes.SetBrowseColumns("DataInserimento,Progressivo,Cliente,TipoAssistenza,Urgente");
}

namespace {

constexpr int32_t kServiceType = 4;

int YearOf(double oleDate) {
    return SplitOleDate(oleDate).year;
}

}  // namespace

void CommesseAssistenza::OnNewRow(odb::DataSet& ds) {
    ds.SetReference("Tipo", kServiceType);
    ds.SetColValue("DataInserimento", Variant::fromDate(Clock::now()));
    ds.SetColValue("Urgente", false);
}

// A new service job order takes its number and number text when it is stored, inside the write
// that stores it, so that two computers never give out the same one. Until then it has no number
// text: the base detail's check of equivalent rows, made first, would take any stored service job
// order of the same number for a row left without its job order and offer to delete it. Imported
// rows bring their own number.
void CommesseAssistenza::OnUpdateRow(odb::DataSet& ds) {
    if (!ds.IsNewRow()) return;
    if (!ds.EventSource().SkipNumbering() &&
        (ds.ColIsNull("Progressivo") ||
         !ds.OpenTable("CommesseAssistenza",
                       "Progressivo=" + QString::number(ds.ColValue("Progressivo").toLong()))
              ->DataEmpty()))
        ds.SetColValue("Progressivo", JobOrderNumber::Next(ds, "CommesseAssistenza"));
    auto type = ds.GetReference("Tipo");
    SetOrderNumber(ds, *type);
}

void CommesseAssistenza::OnUpdateField(odb::DataSet& ds, const QString& changedColumnName) {
    // Dated in another year, the job order takes the next number of the table.
    if (IsColumn(changedColumnName, "DataInserimento") && !ds.ColIsNull("DataInserimento") &&
        YearOf(ds.ColValue("DataInserimento").toDate()) != YearOf(Clock::now()))
        ds.SetColValue("Progressivo", JobOrderNumber::Next(ds, "CommesseAssistenza"));
    if (IsColumn(changedColumnName, "TempoImpiegato") || IsColumn(changedColumnName, "TempoSospensione")) {
        auto serviceType = ds.GetReference("TipoAssistenza");
        UpdateTotalCost(ds, *serviceType);
    }
    // A new row gets its number text when it is stored.
    if (IsColumn(changedColumnName, "Progressivo") && !ds.IsNewRow()) {
        auto type = ds.GetReference("Tipo");
        SetOrderNumber(ds, *type);
    }
}

void CommesseAssistenza::OnUpdateReference(odb::DataSet& ds, odb::DataSet& referencedDS,
                                           const QString& referenceName, bool /*isDelete*/,
                                           bool /*inMemory*/) {
    if (IsColumn(referenceName, "TipoAssistenza")) UpdateTotalCost(ds, referencedDS);
    if (IsColumn(referenceName, "Tipo") && !ds.IsNewRow()) SetOrderNumber(ds, referencedDS);
}

// The worked minutes summed from the closed steps are already net of their suspensions: the price
// applies to them as they stand.
void CommesseAssistenza::UpdateTotalCost(odb::DataSet& ds, odb::DataSet& serviceType) {
    const double worked = ds.ColNumber("TempoImpiegato");
    if (!(worked > 0) || serviceType.DataEmpty() || serviceType.NoCurrentRow()) {
        ds.SetColValue("CostoTotale", Currency());
        return;
    }
    const Currency amount = CostOfMinutes(serviceType.ColValue("PrezzoOrario"), static_cast<int64_t>(worked));
    ds.SetColValue("CostoTotale", ds.GetDatabase().ConvertCurrency(Variant(amount), 0, 1.0f));
}

// A stored job order's steps carry its number: a new number goes to them too, or the base
// detail would refuse every later change of a step as belonging to another job order.
void CommesseAssistenza::SetOrderNumber(odb::DataSet& ds, odb::DataSet& type) {
    const QString number = JobOrderNumber::Text(JobOrderNumber::Prefix(type), ds.ColValue("Progressivo"));
    const QString old = ds.ColText("NumeroCommessa");
    ds.SetColValue("NumeroCommessa", number);
    if (ds.IsNewRow() || number == old) return;
    auto steps = ds.GetReference("Passaggi");
    for (steps->RowFirst(); !steps->RowInvalid(); steps->RowNext())
        if (steps->SetColValue("NumeroCommessa", number)) steps->SaveRow();
}
