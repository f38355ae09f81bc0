// The table CommesseProduzione: definition and row rules.
#include "model/tables/CommesseProduzione.h"

#include "base/Currency.h"
#include "base/DateUtil.h"
#include "base/Variant.h"
#include "model/HeldGuards.h"
#include "model/JobOrderNumber.h"
#include "model/TableRuleUtil.h"
#include "odb/DataSet.h"
#include "odb/Table.h"
#include "platform/Clock.h"

void CommesseProduzione::DefineIdentity(odb::TableIdentity& identity) {
    identity.Version(1.7);
    identity.Flags1(1);
}

void CommesseProduzione::DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                                         odb::ReferenceDefs& references) {
    fields.AddField("DataInserimento", odb::ftDateTime, 0, 0, "", -100, -100, -100, true, "", "", 0);
    fields.AddField("Progressivo", odb::ftLong, 0, 0, "0000", 15, -100, -100, true, "", "", 0);
    fields.AddField("Quantità", odb::ftQuantity, 0, 0, "", -100, -100, -100, true,
                    "Numero di macchinari da produrre", "", 0);
    fields.AddField("Urgente", odb::ftBoolean, 0, 0, "", -100, -100, -100, true,
                    "Indica che la commessa deve essere lavorata urgentemente", "", 0);
    fields.AddField("CommessaChiusa", odb::ftBoolean, 0, 0, "", 15, -100, -100, true,
                    "Impostato automaticamente quando tutti i dettagli di produzione sono chiusi", "", 0);
    fields.AddField("DataChiusura", odb::ftDateTime, 0, 0, "", -100, -100, -100, false, "", "", 0);
    fields.AddField("TempoTotale", odb::ftLong, 0, 0, "", 15, -100, -100, true,
                    "Tempo totale di produzione in minuti", "", 0);
    fields.AddField("CostoNecessità", odb::ftCurrency, 0, 0, "", 15, -100, -100, true,
                    "Costo totale dei dettagli di produzione necessari al macchinario", "", 0);
    fields.AddField("CostoEffettivo", odb::ftCurrency, 0, 0, "", 15, -100, -100, true,
                    "Costo totale dei dettagli di produzione", "", 0);
    fields.AddField("CostoTotale", odb::ftCurrency, 0, 0, "", 15, -100, -100, true,
                    "Costo totale del macchinario (produzione + commerciale)", "", 0);
    fields.AddField("Note", odb::ftMemo, 0, 0, "", -100, -100, -100, false, "", "", 0);
    references.AddReference("Macchinario", "MagazzinoMacchinari", false, false, "Codice",
                            "Descrizione,QuantitàGiacenza", -100, -100, -100, "", -2, -1, 0);
    references.AddReference("Dettagli", "DettagliProduzione", true, true, "NumeroCommessa",
                            "Quantità,Chiuso,Sospeso,Particolare,CostoNecessità,CostoEffettivoPassaggi,"
                            "TempoImpiegato,TempoSospensione",
                            -100, -100, -100, "Dettagli Produzione", -2, -1, 0);
    indexes.SetBrowseColumns("DataInserimento,Progressivo,Urgente,Macchinario,Quantità,Dettagli");
}

namespace {

const QString kTable = "CommesseProduzione";

bool RowGiven(odb::DataSet& ds) {
    return !ds.DataEmpty() && !ds.NoCurrentRow();
}

// The job order's number of machines as a whole number (halves to even).
int32_t Machines(const odb::DataSet& ds) {
    return static_cast<int32_t>(RoundHalfEven(ds.ColNumber("Quantità")));
}

// The detail totals and the job-order totals they go into.
struct DetailTotal {
    const char* order;
    const char* detail;
};
const DetailTotal kDetailTotals[] = {
    {"TempoTotale", "TempoImpiegato"},
    {"CostoNecessità", "CostoNecessità"},
    {"CostoEffettivo", "CostoEffettivoPassaggi"},
    {"CostoTotale", "CostoProduzione"},
};

}  // namespace

void CommesseProduzione::OnNewRow(odb::DataSet& ds) {
    ds.SetColValue("DataInserimento", Variant::fromDate(Clock::now()));
    ds.SetColValue("CommessaChiusa", false);
    ds.SetColValue("CostoNecessità", Currency());
    ds.SetColValue("CostoEffettivo", Currency());
    ds.SetColValue("TempoTotale", 0);
    ds.SetColValue("Urgente", false);
    ds.SetColValue("Quantità", 1);
    if (!ds.EventSource().SkipNumbering()) ds.SetColValue("Progressivo", JobOrderNumber::Next(ds, kTable));
}

// The number is taken again under the write lock when the job order is first stored.
void CommesseProduzione::OnUpdateRow(odb::DataSet& ds) {
    if (!ds.IsNewRow() || ds.EventSource().SkipNumbering()) return;
    ds.SetColValue("Progressivo", JobOrderNumber::Next(ds, kTable));
}

void CommesseProduzione::OnBeforeUpdateField(odb::DataSet& ds, const QString& columnName) {
    const bool quantity = IsColumn(columnName, "Quantità");
    if ((quantity || IsColumn(columnName, "CommessaChiusa")) && ds.ColValueBool("CommessaChiusa"))
        UpdateMachineStock(*ds.GetReference("Macchinario"), -Machines(ds));
    // The purchased parts were booked for the old number of machines.
    if (quantity && !ds.IsGuardLocked("MagazzinoPartProduzione"))
        BookCommercialPartNeeds(ds, *ds.GetReference("Macchinario"), true);
}

void CommesseProduzione::OnUpdateField(odb::DataSet& ds, const QString& changedColumnName) {
    const QString& column = changedColumnName;
    if (IsColumn(column, "DataInserimento") && !ds.ColIsNull("DataInserimento") &&
        SplitOleDate(ds.ColValue("DataInserimento").toDate()).year != SplitOleDate(Clock::now()).year)
        ds.SetColValue("Progressivo", JobOrderNumber::Next(ds, kTable));
    if (IsColumn(column, "Progressivo")) JobOrderNumber::RenumberDetails(ds, "Dettagli");
    if (IsColumn(column, "DataChiusura") && !ds.ColValueBool("CommessaChiusa") &&
        !ds.ColIsNull("DataChiusura"))
        ds.RejectChange("La data di chiusura può essere modificata solo quando la commessa è chiusa", 0);
    if (IsColumn(column, "CommessaChiusa"))
        ds.SetColValue("DataChiusura",
                       ds.ColValueBool("CommessaChiusa") ? Variant::fromDate(Clock::now()) : Variant::null());
    const bool quantity = IsColumn(column, "Quantità");
    if ((quantity || IsColumn(column, "CommessaChiusa")) && ds.ColValueBool("CommessaChiusa"))
        UpdateMachineStock(*ds.GetReference("Macchinario"), Machines(ds));
    if (!quantity) return;
    if (!ds.IsGuardLocked("MagazzinoPartProduzione"))
        BookCommercialPartNeeds(ds, *ds.GetReference("Macchinario"), false);
    // Every detail needs its part's pieces for each machine.
    auto details = ds.GetReference("Dettagli");
    for (details->RowFirst(); !details->RowInvalid(); details->RowNext()) {
        auto part = details->GetReference("Particolare");
        if (!RowGiven(*part)) continue;
        details->SetColValue("QuantitàNecessariaTotale",
                             part->ColNumber("QuantitàNecessaria") * ds.ColNumber("Quantità"));
        details->SaveRow();
    }
}

// Closed machines leave the stock and the purchased parts are given back; the details go with
// the job order and give back their own parts.
void CommesseProduzione::OnDeleteRow(odb::DataSet& ds) {
    if (ds.ColValueBool("CommessaChiusa")) UpdateMachineStock(*ds.GetReference("Macchinario"), -Machines(ds));
    if (!ds.ColIsNull("Quantità") && !ds.IsGuardLocked("MagazzinoPartProduzione"))
        BookCommercialPartNeeds(ds, *ds.GetReference("Macchinario"), true);
}

// No rule narrows the rows offered for "Dettagli": narrowing them to the identities of the machine's
// purchased-part rows would compare the keys of two unrelated tables and hide details at random.

void CommesseProduzione::OnBeforeUpdateReference(odb::DataSet& ds, odb::DataSet& referencedDS,
                                                 const QString& referenceName, bool /*isDelete*/,
                                                 bool /*inMemory*/) {
    if (IsColumn(referenceName, "Dettagli")) {
        odb::DataSet& detail = referencedDS;
        if (!RowGiven(detail)) {
            // The whole set is about to be replaced; the after-event sums it again.
            for (const DetailTotal& t : kDetailTotals)
                ds.SetColValue(t.order, t.order == QString("TempoTotale") ? Variant(0) : Variant(Currency()));
            UpdateClosedState(ds, nullptr, false);
            return;
        }
        for (const DetailTotal& t : kDetailTotals)
            ds.SubtractFromCol(t.order, detail.ColNumber(t.detail));
        if (detail.ColValueBool("Chiuso") == ds.ColValueBool("CommessaChiusa"))
            UpdateClosedState(ds, &detail, false);
        return;
    }
    if (!IsColumn(referenceName, "Macchinario") || !RowGiven(referencedDS)) return;
    odb::DataSet& machine = referencedDS;
    ds.SubtractFromCol("CostoTotale", machine.ColNumber("CostoParticolariCommerciali"));
    if (ds.ColValueBool("CommessaChiusa")) UpdateMachineStock(machine, -Machines(ds));
    if (!ds.IsGuardLocked("MagazzinoPartProduzione")) BookCommercialPartNeeds(ds, machine, true);
}

void CommesseProduzione::OnUpdateReference(odb::DataSet& ds, odb::DataSet& referencedDS,
                                           const QString& referenceName, bool /*isDelete*/,
                                           bool /*inMemory*/) {
    if (IsColumn(referenceName, "Dettagli")) {
        odb::DataSet& detail = referencedDS;
        const bool given = RowGiven(detail);
        if (!given) {
            SumDetails(ds);
        } else {
            for (const DetailTotal& t : kDetailTotals)
                ds.AddToCol(t.order, detail.ColNumber(t.detail));
        }
        if (!given || detail.ColValueBool("Chiuso") != ds.ColValueBool("CommessaChiusa"))
            UpdateClosedState(ds, nullptr, true);
        return;
    }
    if (!IsColumn(referenceName, "Macchinario")) return;
    odb::DataSet& machine = referencedDS;
    if (!RowGiven(machine)) return;
    // What the machine books belongs to a stored job order, and details need one to belong to.
    if (ds.IsNewRow()) ds.SaveRow();
    ds.AddToCol("CostoTotale", machine.ColNumber("CostoParticolariCommerciali"));
    if (ds.ColValueBool("CommessaChiusa")) UpdateMachineStock(machine, Machines(ds));
    if (!machine.IsGuardLocked("QuantitàMacchinario") && !ds.IsGuardLocked("MagazzinoPartProduzione"))
        AddDetailsFromMachine(ds, machine);
    if (!ds.IsGuardLocked("MagazzinoPartProduzione")) BookCommercialPartNeeds(ds, machine, false);
}

void CommesseProduzione::AddDetailsFromMachine(odb::DataSet& ds, odb::DataSet& machine) {
    HeldGuards guards(ds);
    if (!guards.lock("Macchinario")) return;
    auto details = ds.GetReference("Dettagli");
    if (!details->DataEmpty()) {
        if (!ds.IsSilent())
            ds.ShowMessage(
                "La modifica al Macchinario non comporta l'impostazione automatica dei dettagli.\r"
                "I particolari commerciali necessari alla macchina vengono invece automaticamente "
                "reimpostati.");
        return;
    }
    if (ds.ColIsNull("Quantità")) return;
    const double machines = RoundHalfEven(ds.ColNumber("Quantità"));
    auto needs = machine.GetReference("ParticolariProduzione");
    for (needs->RowFirst(); !needs->RowInvalid(); needs->RowNext()) {
        // The part by the need row itself: need rows of several machines share the part's code.
        details->NewRow();
        details->SetColValue("Particolare", needs->Bookmark(0));
        details->SetColValue("QuantitàNecessariaTotale", needs->ColNumber("QuantitàNecessaria") * machines);
        details->SaveRow();
    }
}

void CommesseProduzione::UpdateMachineStock(odb::DataSet& machine, int32_t amount) {
    if (!RowGiven(machine) || amount == 0) return;
    // Held while the machine is stored: the rules it sets off must not move the stock again.
    HeldGuards guards(machine);
    if (!guards.lock("QuantitàMacchinario")) return;
    machine.SetColValue("QuantitàGiacenza", machine.ColNumber("QuantitàGiacenza") + amount);
    machine.SaveRow();
}

void CommesseProduzione::BookCommercialPartNeeds(odb::DataSet& ds, odb::DataSet& machine, bool giveBack) {
    if (ds.ColIsNull("Quantità") || !RowGiven(machine)) return;
    const double machines = RoundHalfEven(ds.ColNumber("Quantità"));
    auto needs = machine.GetReference("ParticolariCommerciale");
    HeldGuards guards(ds);
    if (!guards.lock("MagazzinoPartProduzione")) return;
    needs->EnableEdit(true);
    for (needs->RowFirst(); !needs->RowInvalid(); needs->RowNext()) {
        const double amount = needs->ColNumber("QuantitàNecessaria") * machines;
        needs->AddToCol("DisponibilitàFinale", giveBack ? amount : -amount);
        needs->SaveRow();
    }
}

void CommesseProduzione::UpdateClosedState(odb::DataSet& ds, odb::DataSet* exclude, bool needsDetails) {
    bool closed =
        !ds.ReferenceHasRows("Dettagli", "Not Chiuso", exclude ? exclude->Bookmark(-1) : Variant::missing());
    if (closed && needsDetails) closed = !ds.ReferenceEmpty("Dettagli");
    if (closed != ds.ColValueBool("CommessaChiusa")) ds.SetColValue("CommessaChiusa", closed);
}

// The totals summed over every detail; the total cost also counts the machine's purchased parts,
// which a set of details replaced whole must not lose.
void CommesseProduzione::SumDetails(odb::DataSet& ds) {
    auto details = ds.GetReference("Dettagli");
    for (const DetailTotal& t : kDetailTotals)
        ds.SetColValue(t.order, details->Aggregate(t.detail, odb::aggSum));
    auto machine = ds.GetReference("Macchinario");
    if (RowGiven(*machine)) ds.AddToCol("CostoTotale", machine->ColNumber("CostoParticolariCommerciali"));
}
