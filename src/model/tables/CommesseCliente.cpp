// The table CommesseCliente: definition and row rules.
#include "model/tables/CommesseCliente.h"

#include "base/Currency.h"
#include "base/DateUtil.h"
#include "base/Variant.h"
#include "model/JobOrderNumber.h"
#include "model/TableRuleUtil.h"
#include "odb/DataSet.h"
#include "odb/Table.h"
#include "platform/Clock.h"

void CommesseCliente::DefineIdentity(odb::TableIdentity& identity) {
    identity.Version(2.4);
    identity.Flags1(1);
}

void CommesseCliente::DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                                      odb::ReferenceDefs& references) {
    fields.AddField("DataInserimento", odb::ftDateTime, 0, 0, "", -100, -100, -100, true, "", "", 0);
    fields.AddField("Progressivo", odb::ftLong, 0, 0, "0000", 15, -100, -100, true, "", "", 0);
    fields.AddField("Urgente", odb::ftBoolean, 0, 0, "", -100, -100, -100, true,
                    "Indica che la commessa deve essere lavorata urgentemente", "", 0);
    fields.AddField("DataConsegnaConcordata", odb::ftDate, 0, 0, "", -100, -100, -100, false,
                    "Data concordata con il cliente", "", 0);
    fields.AddField("CommessaChiusa", odb::ftBoolean, 0, 0, "", 15, -100, -100, true,
                    "Automatico: indica che tutti i dettagli attrezzature e le vendite sono chiuse", "", 0);
    fields.AddField("DataChiusura", odb::ftDateTime, 0, 0, "", -100, -100, -100, false, "", "", 0);
    fields.AddField("TempoTotaleAttrezzature", odb::ftLong, 0, 0, "", 15, -100, -100, true,
                    "Tempo totale di lavorazione per le attrezzature, in minuti", "", 0);
    fields.AddField("CostoTotaleListinoAttrezzature", odb::ftCurrency, 0, 0, "", 15, -100, -100, true,
                    "Somma dei prezzi di listino per tutte le attrezzature della commessa", "", 0);
    fields.AddField("CostoEffettivoAttrezzature", odb::ftCurrency, 0, 0, "", 15, -100, -100, true,
                    "Costo totale effettivo per le attrezzature", "", 0);
    fields.AddField("TempoTotaleMacchine", odb::ftLong, 0, 0, "", 15, -100, -100, true,
                    "Tempo totale di lavorazione per le macchine, in minuti", "", 0);
    fields.AddField("CostoTotaleListinoMacchine", odb::ftCurrency, 0, 0, "", 15, -100, -100, true,
                    "Somma dei prezzi di listino per tutte le macchine della commessa", "", 0);
    fields.AddField("Note", odb::ftMemo, 0, 0, "", -100, -100, -100, false, "", "", 0);
    fields.AddField("Spedito", odb::ftBoolean, 0, 0, "", -100, -100, -100, true,
                    "Indica se una commessa è già stata spedita al cliente", "", 0);
    fields.AddField("DataSpedizione", odb::ftDateTime, 0, 0, "", -100, -100, -100, false, "", "", 0);
    fields.AddField("StatoNotifica", odb::ftLong, 0, 0, "", -100, -100, -100, false,
                    "Indica lo stato della notifica via E-Mail per avvenuta chiusura commessa",
                    "1|NON INVIARE|2|DA INVIARE|3|INVIATA", 0);
    references.AddReference("Cliente", "Clienti", false, false, "Codice", "Descrizione", -100, -100, -100, "",
                            -2, -1, 0);
    references.AddReference(
        "Attrezzature", "DettagliAttrezzature", true, true, "NumeroCommessa",
        "Chiuso,Sospeso,Particolare,Quantità,TempoImpiegato,TempoSospensione,CostoEffettivoPassaggi", -100,
        -100, -100, "Dettagli Attrezzature", -2, -1, 0);
    references.AddReference("Macchine", "DettagliVenditaMacchinari", true, true, "NumeroCommessa",
                            "Chiuso,Sospeso,Macchinario,Quantità,TempoImpiegato,TempoSospensione", -100, -100,
                            -100, "Dettagli Vendita Macchinari", -2, -1, 0);
    references.AddReference("Referente", "Operai", false, false, "Codice", "Nominativo,Matricola", 1, -100, 1,
                            "Nome del referente per la commessa", -2, -1, 0);
    indexes.SetBrowseColumns(
        "DataInserimento,Progressivo,Cliente,Urgente,DataConsegnaConcordata,Attrezzature,Macchine");
}

struct CommesseCliente::Totals {
    const char* reference;  // the detail collection
    QString item;           // the detail's part or machine, which gives the list price
    const char* time;       // total of TempoImpiegato
    const char* effective;  // total of CostoEffettivoPassaggi, or none
    const char* listPrice;  // total of Quantità x PrezzoListino
};

namespace {

const QString kTable = "CommesseCliente";

bool RowGiven(odb::DataSet& ds) {
    return !ds.DataEmpty() && !ds.NoCurrentRow();
}

// Quantità x the list price of the detail's part or machine (none: 0).
double ListValue(odb::DataSet& detail, const QString& item) {
    // No part or machine chosen: no row to read (a detail's totals move at every save of a step).
    if (detail.ReferenceKey(item).isNull()) return 0;
    auto priced = detail.GetReference(item);
    if (!RowGiven(*priced)) return 0;
    return detail.ColNumber("Quantità") * priced->ColNumber("PrezzoListino");
}

}  // namespace

const CommesseCliente::Totals* CommesseCliente::TotalsOf(const QString& referenceName) {
    static const Totals kTotals[] = {
        {"Attrezzature", QStringLiteral("Particolare"), "TempoTotaleAttrezzature",
         "CostoEffettivoAttrezzature", "CostoTotaleListinoAttrezzature"},
        {"Macchine", QStringLiteral("Macchinario"), "TempoTotaleMacchine", nullptr,
         "CostoTotaleListinoMacchine"},
    };
    for (const Totals& t : kTotals)
        if (IsColumn(referenceName, t.reference)) return &t;
    return nullptr;
}

void CommesseCliente::OnNewRow(odb::DataSet& ds) {
    ds.SetColValue("DataInserimento", Variant::fromDate(Clock::now()));
    ds.SetColValue("CommessaChiusa", false);
    ds.SetColValue("TempoTotaleAttrezzature", 0);
    ds.SetColValue("CostoEffettivoAttrezzature", Currency());
    ds.SetColValue("TempoTotaleMacchine", 0);
    ds.SetColValue("CostoTotaleListinoAttrezzature", Currency());
    ds.SetColValue("CostoTotaleListinoMacchine", Currency());
    ds.SetColValue("Spedito", false);
    ds.SetColValue("Urgente", false);
    ds.SetColValue("StatoNotifica", 1);
    // The worker that stands for none.
    ds.SetReference("Referente", QString(""));
    // The number shown while the row is new; taken again when it is stored.
    if (!ds.EventSource().SkipNumbering()) ds.SetColValue("Progressivo", JobOrderNumber::Next(ds, kTable));
}

// Another computer may have stored a job order since this one was started: its number is taken
// again under the write lock, over every customer job order (items on approval included).
void CommesseCliente::OnUpdateRow(odb::DataSet& ds) {
    if (!ds.IsNewRow() || ds.EventSource().SkipNumbering()) return;
    ds.SetColValue("Progressivo", JobOrderNumber::Next(ds, kTable));
}

void CommesseCliente::OnUpdateField(odb::DataSet& ds, const QString& changedColumnName) {
    const QString& column = changedColumnName;
    // Numbers run by year: a job order dated in another year takes the next one.
    if (IsColumn(column, "DataInserimento") && !ds.ColIsNull("DataInserimento") &&
        SplitOleDate(ds.ColValue("DataInserimento").toDate()).year != SplitOleDate(Clock::now()).year)
        ds.SetColValue("Progressivo", JobOrderNumber::Next(ds, kTable));
    if (IsColumn(column, "Progressivo"))
        for (const char* collection : {"Attrezzature", "Macchine"})
            JobOrderNumber::RenumberDetails(ds, collection);
    if (IsColumn(column, "CommessaChiusa"))
        ds.SetColValue("DataChiusura",
                       ds.ColValueBool("CommessaChiusa") ? Variant::fromDate(Clock::now()) : Variant::null());
    if (IsColumn(column, "DataChiusura") && !ds.ColValueBool("CommessaChiusa") &&
        !ds.ColIsNull("DataChiusura"))
        ds.RejectChange("La data di chiusura può essere modificata solo quando la commessa è chiusa", 0);
    if (IsColumn(column, "Spedito")) {
        if (ds.ColValueBool("Spedito")) {
            if (!ds.ColValueBool("CommessaChiusa"))
                ds.RejectChange("Per effettuare la spedizione la commessa deve essere chiusa", 0);
            ds.SetColValue("DataSpedizione", Variant::fromDate(Clock::now()));
        } else {
            ds.SetColValue("DataSpedizione", Variant::null());
        }
    }
}

// A detail about to change or go: its old values leave the totals.
void CommesseCliente::OnBeforeUpdateReference(odb::DataSet& ds, odb::DataSet& referencedDS,
                                              const QString& referenceName, bool /*isDelete*/,
                                              bool /*inMemory*/) {
    const Totals* t = TotalsOf(referenceName);
    if (!t) return;
    odb::DataSet& detail = referencedDS;
    const bool given = RowGiven(detail);
    if (!given) {
        // The whole collection is about to be replaced; the after-event sums it again.
        if (t->effective) {
            ds.SetColValue(t->time, 0);
            ds.SetColValue(t->effective, Currency());
            ds.SetColValue(t->listPrice, Currency());
        } else {
            SumTotals(ds, *t);
        }
    } else {
        MoveTotals(ds, *t, detail, -1);
    }
    // The reference as the library names it: the same collection as `t->reference`, no copy made.
    if (!given || detail.ColValueBool("Chiuso") == ds.ColValueBool("CommessaChiusa"))
        UpdateClosedState(ds, given ? &detail : nullptr, referenceName);
}

// A detail changed or added: its new values enter the totals; or the customer changed.
void CommesseCliente::OnUpdateReference(odb::DataSet& ds, odb::DataSet& referencedDS,
                                        const QString& referenceName, bool /*isDelete*/, bool /*inMemory*/) {
    if (IsColumn(referenceName, "Cliente")) {
        // No customer, no mail.
        const bool mail = RowGiven(referencedDS) && referencedDS.ColValueBool("InvioAutomaticoEMail");
        ds.SetColValue("StatoNotifica", mail ? 2 : 1);
        return;
    }
    const Totals* t = TotalsOf(referenceName);
    if (!t) return;
    odb::DataSet& detail = referencedDS;
    const bool given = RowGiven(detail);
    if (!given)
        SumTotals(ds, *t);
    else
        MoveTotals(ds, *t, detail, +1);
    if (!given || detail.ColValueBool("Chiuso") != ds.ColValueBool("CommessaChiusa"))
        UpdateClosedState(ds, nullptr, {});
}

void CommesseCliente::MoveTotals(odb::DataSet& ds, const Totals& t, odb::DataSet& detail, int sign) {
    ds.AddToCol(t.time, sign * detail.ColNumber("TempoImpiegato"));
    if (t.effective) ds.AddToCol(t.effective, sign * detail.ColNumber("CostoEffettivoPassaggi"));
    ds.AddToCol(t.listPrice, sign * ListValue(detail, t.item));
}

void CommesseCliente::SumTotals(odb::DataSet& ds, const Totals& t) {
    auto details = ds.GetReference(t.reference);
    ds.SetColValue(t.time, details->Aggregate("TempoImpiegato", odb::aggSum));
    if (t.effective) ds.SetColValue(t.effective, details->Aggregate("CostoEffettivoPassaggi", odb::aggSum));
    double listPrice = 0;
    for (details->RowFirst(); !details->RowInvalid(); details->RowNext())
        listPrice += ListValue(*details, t.item);
    ds.SetColValue(t.listPrice, listPrice);
}

void CommesseCliente::UpdateClosedState(odb::DataSet& ds, odb::DataSet* exclude, const QString& excludeFrom) {
    auto noOpenDetail = [&](const QString& reference) {
        const Variant except =
            exclude && IsColumn(reference, excludeFrom) ? exclude->Bookmark(-1) : Variant::missing();
        return !ds.ReferenceHasRows(reference, QStringLiteral("Not Chiuso"), except);
    };
    const bool closed =
        noOpenDetail(QStringLiteral("Attrezzature")) && noOpenDetail(QStringLiteral("Macchine"));
    // Written only when it changes: its write stamps the closing date.
    if (closed != ds.ColValueBool("CommessaChiusa")) ds.SetColValue("CommessaChiusa", closed);
}
