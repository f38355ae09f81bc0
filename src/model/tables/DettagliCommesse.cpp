// The table DettagliCommesse: definition and row rules.
#include "model/tables/DettagliCommesse.h"

#include <QStringList>

#include <vector>

#include "base/Currency.h"
#include "base/Variant.h"
#include "model/TableRuleUtil.h"
#include "odb/DataSet.h"
#include "odb/Table.h"
#include "platform/Clock.h"

void DettagliCommesse::DefineIdentity(odb::TableIdentity& identity) {
    identity.Version(1.8);
    identity.Flags1(1);
    identity.Flags2(15);
}

void DettagliCommesse::DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                                       odb::ReferenceDefs& references) {
    fields.AddField("NumeroCommessa", odb::ftCodeText, 32, 0, "", 15, -100, -100, true,
                    "Codice univoco che identifica la commessa", "", 0);
    fields.AddField("Chiuso", odb::ftBoolean, 0, 0, "", -100, -100, -100, true,
                    "Indica se la commessa è stata conclusa", "", 0);
    fields.AddField("Sospeso", odb::ftBoolean, 0, 0, "", 15, -100, -100, true,
                    "Indica se la commessa è stata sospesa", "", 0);
    fields.AddField("InLavorazione", odb::ftBoolean, 0, 0, "", 15, -100, -100, true,
                    "Indica se ci sono passaggi di lavorazione aperti", "", 0);
    fields.AddField("DataInizio", odb::ftDateTime, 0, 0, "", -100, -100, -100, true, "Data di inserimento",
                    "", 0);
    fields.AddField("DataChiusura", odb::ftDateTime, 0, 0, "", -100, -100, -100, false, "Data di chiusura",
                    "", 0);
    fields.AddField("TempoImpiegato", odb::ftLong, 0, 0, "", 15, -100, -100, true,
                    "Tempo totale (in minuti) impiegato per la lavorazione", "", 0);
    fields.AddField("CostoEffettivoPassaggi", odb::ftCurrency, 0, 0, "", 15, -100, -100, true,
                    "Costo totale dei passaggi, dato dal tempo impiegato per il costo orario", "", 0);
    fields.AddField("TempoSospensione", odb::ftLong, 0, 0, "", 15, -100, -100, true,
                    "Tempo di sospensione in minuti sottratto al totale", "", 0);
    references.AddReference("Tipo", "TipiCommessa", false, false, "", "Tipologia", 15, -100, -100, "", -1, -1,
                            0);
    references.AddReference("Passaggi", "PassaggiDettaglioCommesse", true, true, "",
                            "Operaio,DataInizio,Chiuso,Sospeso,TempoImpiegato,DataChiusura", 1, -100, -100,
                            "Passaggi di lavorazione", -2, -1, 0);
    indexes.AddIndex("NumeroCommessa", true, "");
    indexes.AddIndex("DataInizio", false, "");
    indexes.SetBrowseColumns("NumeroCommessa,Tipo,Passaggi");
}

namespace {

const QString kCR = "\r";

bool StepGiven(odb::DataSet& step) {
    return !step.DataEmpty() && !step.NoCurrentRow();
}

}  // namespace

void DettagliCommesse::OnNewRow(odb::DataSet& ds) {
    ds.SetColValue("DataInizio", Variant::fromDate(Clock::now()));
    ds.SetColValue("Chiuso", false);
    ds.SetColValue("TempoSospensione", 0);
    ds.SetColValue("TempoImpiegato", 0);
    ds.SetColValue("CostoEffettivoPassaggi", Currency());
    ds.SetColValue("Sospeso", false);
    ds.SetColValue("InLavorazione", false);
}

// A new detail may collide with rows left without their job order: offer to remove them.
void DettagliCommesse::OnUpdateRow(odb::DataSet& ds) {
    if (!ds.IsNewRow()) return;
    auto equivalent = ds.EquivalentRows("", 0, 0);
    if (equivalent->DataEmpty()) return;
    const QString text = "Esistono dati equivalenti che potrebbero non essere più validi, Eliminarli ?" +
                         kCR + kCR + "NOTA: Segnalare il problema al supporto tecnico.";
    if (ds.AskQuestion(1, text, true, true)) equivalent->DeleteRows(nullptr);
}

// The steps go with their detail without their own events: those that shared their time in a
// group leave it first, so that the group's total and the other steps' shares stay right.
void DettagliCommesse::OnDeleteRow(odb::DataSet& ds) {
    auto steps = ds.GetReference("Passaggi");
    for (steps->RowFirst(); !steps->RowInvalid(); steps->RowNext())
        RemoveFromGroups(ds, *steps);
}

void DettagliCommesse::OnUpdateField(odb::DataSet& ds, const QString& changedColumnName) {
    if ((IsColumn(changedColumnName, "DataChiusura") || IsColumn(changedColumnName, "DataInizio")) &&
        !ds.ColIsNull("DataChiusura")) {
        if (ds.ColIsNull("DataInizio")) ds.RejectChange("L'inizio della commessa non è stato impostato.", 0);
        if (ds.ColValue("DataChiusura").toDate() < ds.ColValue("DataInizio").toDate())
            ds.RejectChange("Il periodo di lavorazione non è corretto.", 0);
    }
    if (IsColumn(changedColumnName, "Chiuso")) {
        if (ds.ColValueBool("Chiuso"))
            CloseDetail(ds);
        else
            ds.SetColValue("DataChiusura", Variant::null());
    }
}

// Closing forces every open step closed; the steps' own rules bring their minutes and costs back here.
void DettagliCommesse::CloseDetail(odb::DataSet& ds) {
    if (ds.ColValueBool("InLavorazione")) {
        ds.AskQuestion(
            0,
            "Per chiudere la commessa è necessario forzare la chiusura dei passaggi in lavorazione..." + kCR +
                kCR + "Proseguire con la chiusura ?",
            true, false);
        auto open = ds.GetReference("Passaggi", "Not Chiuso");
        open->RowFirst();
        while (!open->RowInvalid()) {
            open->SetColValue("Chiuso", true);
            open->SaveRow();
            open->RowNext();
        }
        if (ds.ColValueBool("InLavorazione"))
            ds.RejectChange("L'operazione di chiusura non è stata completata correttamente!", 0);
    } else if (ds.ReferenceEmpty("Passaggi")) {
        ds.AskQuestion(0,
                       "La commessa risulta senza passaggi di lavorazione..." + kCR + kCR +
                           "Proseguire con la chiusura ?",
                       true, false);
    }
    if (ds.ColIsNull("DataInizio")) ds.SetColValue("DataInizio", Variant::fromDate(Clock::now()));
    ds.SetColValue("DataChiusura", Variant::fromDate(Clock::now()));
}

void DettagliCommesse::OnBeforeUpdateReference(odb::DataSet& ds, odb::DataSet& referencedDS,
                                               const QString& referenceName, bool isDelete,
                                               bool /*inMemory*/) {
    if (!IsColumn(referenceName, "Passaggi")) return;
    odb::DataSet& step = referencedDS;
    if (!StepGiven(step)) {
        // The whole step set is about to be rebuilt: the after-event sums it again.
        ds.SetColValue("TempoImpiegato", 0);
        ds.SetColValue("TempoSospensione", 0);
        ds.SetColValue("CostoEffettivoPassaggi", Currency());
        ds.SetColValue("InLavorazione", false);
        ds.SetColValue("Sospeso", false);
        return;
    }
    if (isDelete) RemoveFromGroups(ds, step);
    if (step.ColNumber("TempoImpiegato") > 0)
        ds.SubtractFromCol("TempoImpiegato", step.ColNumber("TempoImpiegato"));
    ds.SubtractFromCol("TempoSospensione", step.ColNumber("TempoSospensione"));
    if (step.ColNumber("CostoEffettivo") > 0)
        ds.SubtractFromCol("CostoEffettivoPassaggi", step.ColNumber("CostoEffettivo"));
    // The other steps tell whether the detail stays in work and suspended.
    const bool askOpen = step.ColValueBool("Chiuso") != ds.ColValueBool("InLavorazione");
    const bool askSuspended = step.ColValueBool("Sospeso") == ds.ColValueBool("Sospeso");
    const StepStates others = OpenOrSuspendedSteps(ds, askOpen, askSuspended, step.Bookmark(-1));
    if (askOpen) ds.SetColValue("InLavorazione", others.open);
    if (askSuspended) ds.SetColValue("Sospeso", others.suspended);
}

// A deleted step leaves every group that shared its time with others.
void DettagliCommesse::RemoveFromGroups(odb::DataSet& ds, odb::DataSet& step) {
    auto groups = step.OpenRelated("GruppiPassaggi");
    if (groups->DataEmpty()) return;
    groups->RowFirst();
    ds.ShowMessage("INFORMAZIONE: Il Passaggio eliminato < " + step.ColText("NumeroCommessa") +
                   " > faceva parte di un Gruppo di Commesse (OID: " + groups->Bookmark(0).toText() +
                   ") con la suddivisione dei tempi...");
    const Variant stepKey = step.Bookmark(0);
    while (!groups->RowInvalid()) {
        groups->SetReference("Passaggi", stepKey, true);
        groups->RowNext();
    }
}

DettagliCommesse::StepStates DettagliCommesse::OpenOrSuspendedSteps(odb::DataSet& ds, bool open,
                                                                    bool suspended, const Variant& except) {
    StepStates states;
    if (!open && !suspended) return states;
    // Both asked together whatever is wanted: the same question before and after a step is stored
    // is answered once.
    static const QStringList kStates{QStringLiteral("Not Chiuso"), QStringLiteral("Sospeso")};
    const std::vector<bool> found = ds.ReferenceHasRowsEach(QStringLiteral("Passaggi"), kStates, except);
    states.open = open && found.front();
    states.suspended = suspended && found.back();
    return states;
}

void DettagliCommesse::OnUpdateReference(odb::DataSet& ds, odb::DataSet& referencedDS,
                                         const QString& referenceName, bool isDelete, bool inMemory) {
    if (!IsColumn(referenceName, "Passaggi")) return;
    odb::DataSet& step = referencedDS;
    if (!StepGiven(step)) {
        RecomputeFromSteps(ds);
        return;
    }
    if (step.ColText("NumeroCommessa") != ds.ColText("NumeroCommessa"))
        ds.RejectChange("Il numero della commessa non corrisponde!", 0);
    if (ds.ColValueBool("Chiuso") && !step.ColValueBool("Chiuso")) {
        ds.AskQuestion(0,
                       "< " + step.ColText("NumeroCommessa") + " >" + kCR +
                           "Il dettaglio della commessa risulta già chiuso..." + kCR + kCR +
                           "Proseguire con la riapertura ?",
                       true, false);
        if (ds.ColValueBool("Chiuso")) ds.SetColValue("Chiuso", false);
    }
    if (step.ColNumber("TempoImpiegato") > 0) ds.AddToCol("TempoImpiegato", step.ColNumber("TempoImpiegato"));
    ds.AddToCol("TempoSospensione", step.ColNumber("TempoSospensione"));
    if (step.ColNumber("CostoEffettivo") > 0)
        ds.AddToCol("CostoEffettivoPassaggi", step.ColNumber("CostoEffettivo"));
    const bool askOpen = step.ColValueBool("Chiuso") == ds.ColValueBool("InLavorazione");
    const bool askSuspended = step.ColValueBool("Sospeso") != ds.ColValueBool("Sospeso");
    StepStates steps;
    if (isDelete || inMemory) {
        steps = OpenOrSuspendedSteps(ds, askOpen, askSuspended);
    } else {
        // The step was just stored among the detail's: the others as the before-event asked them,
        // and the step itself as it now is.
        steps = OpenOrSuspendedSteps(ds, askOpen, askSuspended, step.Bookmark(-1));
        steps.open = steps.open || (askOpen && !step.ColIsNull("Chiuso") && !step.ColValueBool("Chiuso"));
        steps.suspended = steps.suspended || (askSuspended && step.ColValueBool("Sospeso"));
    }
    if (askOpen) ds.SetColValue("InLavorazione", steps.open);
    if (askSuspended) ds.SetColValue("Sospeso", steps.suspended);
}

void DettagliCommesse::RecomputeFromSteps(odb::DataSet& ds) {
    auto steps = ds.GetReference("Passaggi");
    ds.SetColValue("TempoImpiegato", steps->Aggregate("TempoImpiegato", odb::aggSum));
    ds.SetColValue("TempoSospensione", steps->Aggregate("TempoSospensione", odb::aggSum));
    ds.SetColValue("CostoEffettivoPassaggi", steps->Aggregate("CostoEffettivo", odb::aggSum));
    const StepStates states = OpenOrSuspendedSteps(ds, true, true);
    ds.SetColValue("InLavorazione", states.open);
    ds.SetColValue("Sospeso", states.suspended);
}

// The offered steps are listed by their start.
void DettagliCommesse::OnSelectReference(odb::DataSet& /*ds*/, odb::DataSet& referenceDS,
                                         const QString& referenceName) {
    if (!IsColumn(referenceName, "Passaggi")) return;
    referenceDS.SetSortOrder("DataInizio");
}

void DettagliCommesse::OnNewReference(odb::DataSet& ds, odb::DataSet& referencedDS,
                                      const QString& referenceName) {
    if (!IsColumn(referenceName, "Passaggi")) return;
    referencedDS.SetColValue("NumeroCommessa", ds.ColValue("NumeroCommessa"));
}
