// The table PassaggiDettaglioCommesse: definition and row rules.
#include "model/tables/PassaggiDettaglioCommesse.h"

#include <QStringList>

#include <initializer_list>

#include "base/Currency.h"
#include "base/DateUtil.h"
#include "base/Variant.h"
#include "model/CostOfMinutes.h"
#include "model/DetailPartQuantity.h"
#include "model/HeldGuards.h"
#include "model/TableRuleUtil.h"
#include "odb/DataSet.h"
#include "platform/Clock.h"

void PassaggiDettaglioCommesse::DefineIdentity(odb::TableIdentity& identity) {
    identity.Version(1.4);
    identity.Flags1(1);
}

void PassaggiDettaglioCommesse::DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                                                odb::ReferenceDefs& references) {
    fields.AddField("NumeroCommessa", odb::ftCodeText, 32, 0, "", 15, -100, -100, true,
                    "Codice univoco che identifica la commessa", "", 0);
    fields.AddField("Chiuso", odb::ftBoolean, 0, 0, "", -100, -100, -100, true,
                    "Indica se la commessa è stata conclusa", "", 0);
    fields.AddField("Sospeso", odb::ftBoolean, 0, 0, "", 15, -100, -100, true,
                    "Indica se la commessa è stata sospesa", "", 0);
    fields.AddField("DataInizio", odb::ftDateTime, 0, 0, "", -100, -100, -100, false, "", "", 0);
    fields.AddField("DataChiusura", odb::ftDateTime, 0, 0, "", -100, -100, -100, false, "Data di conclusione",
                    "", 0);
    fields.AddField("DataSospensione", odb::ftDateTime, 0, 0, "", -100, -100, -100, false,
                    "Data di inzio dell'ultima sospensione effettuata", "", 0);
    fields.AddField("DataFineSospensione", odb::ftDateTime, 0, 0, "", -100, -100, -100, false,
                    "Data di fine dell'ultima sospensione effettuata", "", 0);
    fields.AddField("TempoImpiegato", odb::ftLong, 0, 0, "", 15, -100, -100, true,
                    "Tempo in minuti calcolato automaticamente", "", 0);
    fields.AddField("CostoEffettivo", odb::ftCurrency, 0, 0, "", 15, -100, -100, true,
                    "Tempo impiegato per costo orario", "", 0);
    fields.AddField("TempoSospensione", odb::ftLong, 0, 0, "", -100, -100, -100, true,
                    "Tempo di sospensione in minuti da decrementare al totale", "", 0);
    fields.AddField("TotaleParticolariGruppo", odb::ftLong, 0, 0, "", 15, -100, -100, true,
                    "Il tempo impiegato viene calcolato dividendo per questo numero e moltiplicando per la "
                    "quantità del particolare lavorato",
                    "", 0);
    references.AddReference("Operaio", "Operai", false, false, "Codice", "Nominativo,Manzione", -100, -100,
                            -100, "", -2, -1, 0);
    indexes.AddIndex("NumeroCommessa", true, "PassaggioCommessa").AddColumn("Operaio").AddField("DataInizio");
    indexes.AddIndex("DataInizio", false, "");
    // The control panel reads the newest closings.
    indexes.AddIndex("DataChiusura", false, "");
    // The detail asks whether it still has open or suspended steps on every change of one of them.
    indexes.AddIndex("", false).AddParentLink().Where("Not Chiuso");
    indexes.AddIndex("", false).AddParentLink().Where("Sospeso");
    indexes.SetBrowseColumns("Operaio,NumeroCommessa,DataInizio,Chiuso,Sospeso");
}

namespace {

bool IsAnyColumn(const QString& column, std::initializer_list<const char*> names) {
    for (const char* n : names)
        if (IsColumn(column, n)) return true;
    return false;
}

double DateOf(const odb::DataSet& ds, const char* field) {
    return ds.ColValue(field).toDate();
}

}  // namespace

void PassaggiDettaglioCommesse::OnNewRow(odb::DataSet& ds) {
    ds.SetColValue("Chiuso", false);
    ds.SetColValue("TempoSospensione", 0);
    ds.SetColValue("TempoImpiegato", 0);
    ds.SetColValue("CostoEffettivo", Currency());
    ds.SetColValue("Sospeso", false);
    ds.SetColValue("TotaleParticolariGruppo", 0);
    // The worker that stands for none; choosing a real one stamps the start.
    ds.SetReference("Operaio", QString(""));
}

void PassaggiDettaglioCommesse::OnUpdateRow(odb::DataSet& ds) {
    if (ds.ColIsNull("DataChiusura")) return;
    if (ds.ColNumber("TempoImpiegato") < 0)
        ds.RejectChange(
            "Il tempo risulta negativo, verificare che il periodo (Inizio/Fine) sia impostato correttamente.",
            0);
    if (ds.ColNumber("TempoSospensione") < 0)
        ds.RejectChange("Il tempo di sospensione non può essere negativo.", 0);
}

void PassaggiDettaglioCommesse::OnBeforeUpdateField(odb::DataSet& ds, const QString& columnName) {
    if (IsAnyColumn(columnName, {"DataFineSospensione", "DataSospensione", "TempoSospensione"})) {
        if (!ds.IsGuardLocked("Set_FineSosp") && !ds.ColIsNull("DataChiusura"))
            ds.RejectChange(
                "Non puoi modificare i dati di Sospensione dopo che la data chiusura è stata impostata", 0);
        if (IsColumn(columnName, "DataFineSospensione") && ds.ColIsNull("DataSospensione") &&
            !ds.ColIsNull("DataFineSospensione"))
            ds.RejectChange("Devi impostare la data/ora di inizio sospensione", 0);
    }
    // The period about to change leaves the suspension total; the new one enters it after the write.
    if (IsColumn(columnName, "DataFineSospensione")) AddSuspensionTime(ds, true);
}

void PassaggiDettaglioCommesse::OnUpdateField(odb::DataSet& ds, const QString& changedColumnName) {
    try {
        UpdateFieldRules(ds, changedColumnName);
    } catch (...) {
        // Every guard of the row goes before the library receives the error.
        HeldGuards::Release(ds, {"Add_Sosp", "Set_FineSosp"});
        throw;
    }
}

void PassaggiDettaglioCommesse::UpdateFieldRules(odb::DataSet& ds, const QString& column) {
    if (IsAnyColumn(column, {"DataChiusura", "DataInizio"}) && !ds.ColIsNull("DataChiusura")) {
        if (ds.ColIsNull("DataInizio")) ds.RejectChange("L'inizio della commessa non è stato impostato.", 0);
        if (DateOf(ds, "DataChiusura") < DateOf(ds, "DataInizio"))
            ds.RejectChange("Il periodo di lavorazione non è corretto.", 0);
    }
    if (IsColumn(column, "DataChiusura")) {
        if (ds.ColValueBool("Chiuso") && ds.ColIsNull("DataChiusura")) ds.SetColValue("Chiuso", false);
        if (!ds.ColValueBool("Chiuso") && !ds.ColIsNull("DataChiusura")) ds.SetColValue("Chiuso", true);
    }
    if (IsColumn(column, "DataSospensione")) {
        // A new suspension starts: it may not begin before the previous one ended.
        if (!ds.ColIsNull("DataFineSospensione") &&
            (ds.ColIsNull("DataSospensione") ||
             DateOf(ds, "DataSospensione") < DateOf(ds, "DataFineSospensione")))
            ds.RejectChange(
                "Per impostare una nuova sospensione devi specificare una Data/Ora successiva alla "
                "sospensione "
                "precedente.",
                0);
        // The earlier suspension's minutes stay in TempoSospensione.
        HeldGuards guards(ds);
        guards.lock("Add_Sosp");
        ds.SetColValue("DataFineSospensione", Variant::null());
    }
    if (IsColumn(column, "DataFineSospensione")) {
        if (!ds.ColIsNull("DataFineSospensione")) {
            if (ds.ColIsNull("DataSospensione"))
                ds.RejectChange("L'inizio della sospensione non è stato impostato.", 0);
            if (DateOf(ds, "DataFineSospensione") < DateOf(ds, "DataSospensione"))
                ds.RejectChange("Il periodo di sospensione non è corretto.", 0);
        }
        AddSuspensionTime(ds, false);
    }
    if (IsAnyColumn(column, {"DataFineSospensione", "DataSospensione"})) {
        const bool suspended = ds.ColIsNull("DataFineSospensione") && !ds.ColIsNull("DataSospensione");
        if (ds.ColValueBool("Sospeso") != suspended) ds.SetColValue("Sospeso", suspended);
    }
    if (IsColumn(column, "Chiuso")) {
        // A running suspension ends when the step closes.
        if (!ds.ColIsNull("DataSospensione") && ds.ColIsNull("DataFineSospensione")) {
            if (ds.ColIsNull("DataChiusura")) {
                ds.SetColValue("DataFineSospensione", Variant::fromDate(Clock::now()));
            } else {
                HeldGuards guards(ds);
                guards.lock("Set_FineSosp");
                ds.SetColValue("DataFineSospensione", ds.ColValue("DataChiusura"));
            }
        }
        if (ds.ColValueBool("Chiuso")) {
            if (ds.ColIsNull("DataInizio")) ds.SetColValue("DataInizio", Variant::fromDate(Clock::now()));
            if (ds.ColIsNull("DataChiusura")) ds.SetColValue("DataChiusura", Variant::fromDate(Clock::now()));
        } else {
            ds.SetColValue("DataChiusura", Variant::null());
        }
    }
    if (IsColumn(column, "TempoSospensione") && !ds.ColIsNull("DataSospensione") &&
        !ds.ColIsNull("DataFineSospensione") &&
        ds.ColNumber("TempoSospensione") <
            static_cast<double>(
                WholeMinutesBetween(DateOf(ds, "DataSospensione"), DateOf(ds, "DataFineSospensione"))) &&
        !ds.IsGuardLocked("Add_Sosp"))
        ds.RejectChange(
            "Il tempo di sospensione non può essere inferiore a quello risultante dal periodo di sospensione "
            "impostato.",
            0);
    if (IsAnyColumn(column, {"DataChiusura", "DataInizio", "DataSospensione", "TempoSospensione",
                             "TotaleParticolariGruppo"}))
        ComputeWorkedMinutes(ds);
    if (IsColumn(column, "TempoImpiegato")) ComputeEffectiveCost(ds);
}

void PassaggiDettaglioCommesse::ComputeWorkedMinutes(odb::DataSet& ds) {
    double worked = 0;
    if (!ds.ColIsNull("DataInizio") && !ds.ColIsNull("DataChiusura")) {
        const int32_t minutes = Variant(static_cast<double>(WholeMinutesBetween(DateOf(ds, "DataInizio"),
                                                                                DateOf(ds, "DataChiusura"))))
                                    .toLong();
        worked = Variant(minutes - ds.ColNumber("TempoSospensione")).toLong();
    } else if (!ds.ColIsNull("DataSospensione") && !ds.ColIsNull("DataInizio")) {
        worked =
            static_cast<double>(WholeMinutesBetween(DateOf(ds, "DataInizio"), DateOf(ds, "DataSospensione")));
    }
    // In a group the minutes are shared by parts: this step's detail takes its quantity's share.
    const double groupTotal = ds.ColNumber("TotaleParticolariGruppo");
    if (groupTotal > 0 && worked != 0) {
        auto detail = ds.OpenRelated("DettagliCommesse");
        if (!detail->DataEmpty()) {
            const int32_t quantity = DetailPartQuantity(*detail);
            worked = RoundHalfEven(quantity * (worked / groupTotal));
        }
    }
    ds.SetColValue("TempoImpiegato", Variant(worked).toLong());
}

void PassaggiDettaglioCommesse::AddSuspensionTime(odb::DataSet& ds, bool subtract) {
    HeldGuards guards(ds);
    if (!guards.lock("Add_Sosp")) return;
    if (!ds.ColIsNull("DataSospensione") && !ds.ColIsNull("DataFineSospensione")) {
        const int32_t minutes =
            Variant(static_cast<double>(WholeMinutesBetween(DateOf(ds, "DataSospensione"),
                                                            DateOf(ds, "DataFineSospensione"))))
                .toLong();
        const double current = ds.ColNumber("TempoSospensione");
        ds.SetColValue("TempoSospensione",
                       Variant(subtract ? current - minutes : current + minutes).toLong());
    }
}

void PassaggiDettaglioCommesse::ComputeEffectiveCost(odb::DataSet& ds) {
    const double worked = ds.ColNumber("TempoImpiegato");
    if (!(worked > 0)) {
        ds.SetColValue("CostoEffettivo", Currency());
        return;
    }
    Variant rate;
    auto worker = ds.GetReference(QStringLiteral("Operaio"));
    if (!worker->DataEmpty()) {
        auto role = worker->GetReference(QStringLiteral("Manzione"));
        if (!role->DataEmpty()) rate = role->ColValue("CostoOrario");
    }
    ds.SetColValue("CostoEffettivo", CostOfMinutes(rate, static_cast<int64_t>(worked)));
}

void PassaggiDettaglioCommesse::OnUpdateReference(odb::DataSet& ds, odb::DataSet& referencedDS,
                                                  const QString& referenceName, bool /*isDelete*/,
                                                  bool /*inMemory*/) {
    if (!IsColumn(referenceName, "Operaio")) return;
    if (ds.ColIsNull("DataInizio") && !referencedDS.DataEmpty() && !referencedDS.NoCurrentRow() &&
        referencedDS.ColText("Codice") != "")
        ds.SetColValue("DataInizio", Variant::fromDate(Clock::now()));
    ComputeEffectiveCost(ds);
}

void PassaggiDettaglioCommesse::OnSelect(odb::DataSet& ds) {
    ds.SortBy(QStringLiteral("DataInizio"));
}
