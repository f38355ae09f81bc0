// The table GruppiPassaggi: definition and row rules.
#include "model/tables/GruppiPassaggi.h"

#include "base/Variant.h"
#include "model/DetailPartQuantity.h"
#include "model/HeldGuards.h"
#include "model/TableRuleUtil.h"
#include "odb/DataSet.h"
#include "odb/DbmsGlobal.h"
#include "odb/Table.h"

void GruppiPassaggi::DefineIdentity(odb::TableIdentity& identity) {
    identity.Flags1(1);
}

void GruppiPassaggi::DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& /*indexes*/,
                                     odb::ReferenceDefs& references) {
    fields.AddField("NumeroTotaleParticolari", odb::ftLong, 0, 0, "", 15, -100, -100, true,
                    "Numero Totale dei particolari di tutti i passaggi di lavorazione del gruppo", "", 0);
    references.AddReference("Passaggi", "PassaggiDettaglioCommesse", true, false, "",
                            "Operaio,NumeroCommessa,DataChiusura,Chiuso,Sospeso", 1, -100, -100,
                            "Passaggi di lavorazione del gruppo", -2, -1, 0);
}

namespace {

bool StepGiven(odb::DataSet& step) {
    return !step.DataEmpty() && !step.NoCurrentRow();
}

}  // namespace

void GruppiPassaggi::OnNewRow(odb::DataSet& ds) {
    ds.SetColValue("NumeroTotaleParticolari", 0);
}

void GruppiPassaggi::OnBeforeUpdateReference(odb::DataSet& ds, odb::DataSet& referencedDS,
                                             const QString& referenceName, bool /*isDelete*/,
                                             bool /*inMemory*/) {
    if (!IsColumn(referenceName, "Passaggi")) return;
    // A whole set replaced is counted again afterwards; a step that is only joining has no parts
    // in the total yet.
    if (!StepGiven(referencedDS) || !HoldsStep(ds, referencedDS)) return;
    Set_TotPartgruppo_InPaggaggi(ds, referencedDS, false);
}

void GruppiPassaggi::OnUpdateReference(odb::DataSet& ds, odb::DataSet& referencedDS,
                                       const QString& referenceName, bool isDelete, bool /*inMemory*/) {
    if (!IsColumn(referenceName, "Passaggi")) return;
    if (!StepGiven(referencedDS)) {
        RecountGroup(ds);
        return;
    }
    if (!isDelete) {
        Set_TotPartgruppo_InPaggaggi(ds, referencedDS, true);
        return;
    }
    // A step that left its last group counts its own minutes again.
    odb::DataSet& step = referencedDS;
    if (step.ColNumber("TotaleParticolariGruppo") != 0 && step.OpenRelated("GruppiPassaggi")->DataEmpty()) {
        step.EnableEdit(true);
        step.SetColValue("TotaleParticolariGruppo", 0);
        step.SaveRow();
    }
}

bool GruppiPassaggi::HoldsStep(odb::DataSet& group, odb::DataSet& step) {
    auto steps = group.GetReference("Passaggi");
    return steps->FindBookmark(step.Bookmark(0));
}

int32_t GruppiPassaggi::StepPartQuantity(odb::DataSet& step, bool warnWhenMissing) {
    auto detail = step.OpenRelated("DettagliCommesse");
    if (detail->DataEmpty()) {
        // Nothing is refused: the step simply brings no parts.
        if (warnWhenMissing)
            step.ShowMessage("I dati della commessa (in " + detail->GetTable().Name() +
                             ") non sono stati trovati per il passaggio (in " + step.GetTable().Name() +
                             ") con OID = " + step.Bookmark(0).toText() + ", " + "contattare il supporto.");
        return 0;
    }
    return DetailPartQuantity(*detail);
}

void GruppiPassaggi::Set_TotPartgruppo_InPaggaggi(odb::DataSet& group, odb::DataSet& step, bool add) {
    HeldGuards guards(group);
    if (!guards.lock("NumeroTotaleParticolari")) return;
    const int32_t quantity = StepPartQuantity(step, true);
    const double current = group.ColNumber("NumeroTotaleParticolari");
    const int32_t total = Variant(add ? current + quantity : current - quantity).toLong();
    group.SetColValue("NumeroTotaleParticolari", total);
    SpreadTotal(group, &step, total);
}

void GruppiPassaggi::RecountGroup(odb::DataSet& group) {
    HeldGuards guards(group);
    if (!guards.lock("NumeroTotaleParticolari")) return;
    auto steps = group.GetReference("Passaggi");
    int64_t total = 0;
    for (steps->RowFirst(); !steps->RowInvalid(); steps->RowNext())
        total += StepPartQuantity(*steps, true);
    group.SetColValue("NumeroTotaleParticolari", Variant(static_cast<double>(total)).toLong());
    SpreadTotal(group, nullptr, static_cast<int32_t>(group.ColNumber("NumeroTotaleParticolari")));
}

// Every step of the group gets the new total; its save recomputes its minutes and cost, and the
// step's detail takes the difference.
void GruppiPassaggi::SpreadTotal(odb::DataSet& group, odb::DataSet* step, int32_t total) {
    auto steps = group.GetReference("Passaggi");
    if (!steps->DataEmpty()) {
        steps->EnableEdit(true);
        if (step) step->EnableEdit(true);
        const Variant stepKey = step && StepGiven(*step) ? step->Bookmark(0) : Variant::null();
        for (steps->RowFirst(); !steps->RowInvalid(); steps->RowNext()) {
            if (steps->ColNumber("TotaleParticolariGruppo") == total) continue;
            odb::DataSet& target =
                !stepKey.isNull() && odb::DbmsGlobal::ValuesEqual(steps->Bookmark(0), stepKey) ? *step
                                                                                               : *steps;
            target.SetColValue("TotaleParticolariGruppo", total);
            target.SaveRow();
        }
    }
    // The total is stored with the change of the group's steps.
    if (!group.IsNewRow()) group.SaveRow();
}
