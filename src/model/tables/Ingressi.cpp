// The table Ingressi: definition and row rules.
#include "model/tables/Ingressi.h"

#include "base/DateUtil.h"
#include "base/Variant.h"
#include "model/CalcWorkedMinutes.h"
#include "model/ModelState.h"
#include "model/TableRuleUtil.h"
#include "odb/DataSet.h"
#include "platform/Clock.h"

void Ingressi::DefineIdentity(odb::TableIdentity& identity) {
    identity.Version(1.5);
    identity.Flags1(1);
}

void Ingressi::DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                               odb::ReferenceDefs& references) {
    fields.AddField("Data", odb::ftDate, 0, 0, "", -100, -100, -100, true, "", "", 0);
    fields.AddField("OraEntrataMattino", odb::ftTime, 0, 0, "", -100, -100, -100, false, "", "", 0);
    fields.AddField("OraUscitaMattino", odb::ftTime, 0, 0, "", -100, -100, -100, false, "", "", 0);
    fields.AddField("OraEntrataPomeriggio", odb::ftTime, 0, 0, "", -100, -100, -100, false, "", "", 0);
    fields.AddField("OraUscitaPomeriggio", odb::ftTime, 0, 0, "", -100, -100, -100, false, "", "", 0);
    fields.AddField("OraEntrataExtra", odb::ftTime, 0, 0, "", -100, -100, -100, false,
                    "I minuti di differenza tra entrata e uscita extra vengono automaticamente aggiunti ai "
                    "minuti di permesso",
                    "", 0);
    fields.AddField("OraUscitaExtra", odb::ftTime, 0, 0, "", -100, -100, -100, false,
                    "I minuti di differenza tra entrata e uscita extra vengono automaticamente aggiunti ai "
                    "minuti di permesso",
                    "", 0);
    fields.AddField("MinutiPermesso", odb::ftLong, 0, 0, "", -100, -100, -100, true,
                    "Minuti di permesso da togliere a quelli totali di presenza e di ritardo", "", 0);
    fields.AddField("MinutiPresenza", odb::ftLong, 0, 0, "", 15, -100, -100, true,
                    "Minuti totali di presenza del giorno (intervalli inclusi), esclusi i minuti di permesso",
                    "", 0);
    fields.AddField(
        "MinutiRitardo", odb::ftLong, 0, 0, "", 15, -100, -100, true,
        "Minuti di ritardo calcolati in base agli orari di accesso impostati, esclusi i minuti di permesso",
        "", 0);
    fields.AddField("MinutiPresenzaPresunti", odb::ftLong, 0, 0, "", 15, -100, -100, true,
                    "Minuti di presenza presunti se gli ingressi/uscite non sono completi", "", 0);
    fields.AddField("MinutiMancanti", odb::ftLong, 0, 0, "", 15, -100, -100, true,
                    "Minuti mancanti al completamento della giornata lavorativa", "", 0);
    references.AddReference("Operaio", "Operai", false, false, "Codice", "Nominativo,Matricola", 15, -100, 1,
                            "", -2, -1, 0);
    references.AddReference("TipoAssenza", "TipiAssenza", false, false, "Codice", "Descrizione", -100, -100,
                            -100, "", -2, -1, 0);
    indexes.AddIndex("Operaio", true, "Ingresso").AddField("Data");
    indexes.SetBrowseColumns(
        "Operaio,Data,OraEntrataMattino,OraUscitaMattino,OraEntrataPomeriggio,OraUscitaPomeriggio,"
        "TipoAssenza");
}

namespace {

bool IsExtraColumn(const QString& column) {
    return IsColumn(column, "OraEntrataExtra") || IsColumn(column, "OraUscitaExtra");
}

// The columns whose change moves presence and lateness.
bool IsDayColumn(const QString& column) {
    for (const char* name : {"OraEntrataMattino", "OraUscitaMattino", "OraEntrataPomeriggio",
                             "OraUscitaPomeriggio", "MinutiPermesso"})
        if (IsColumn(column, name)) return true;
    return false;
}

double TimeOf(const odb::DataSet& ds, const QString& field) {
    return ds.ColIsNull(field) ? 0.0 : ds.ColValue(field).toDate();
}

int16_t MinutesOf(double from, double to) {
    return Minutes16(WholeMinutesBetween(from, to));
}

int16_t NumberOf(const odb::DataSet& ds, const QString& field) {
    return Minutes16(static_cast<int64_t>(ds.ColNumber(field)));
}

// One half-day: its real times, completed with the normal ones where a time is missing (0).
struct HalfDay {
    double entry, exit;
    bool complete;
    HalfDay(double realEntry, double realExit, double normalEntry, double normalExit)
        : entry(realEntry != 0 ? realEntry : normalEntry),
          exit(realExit != 0 ? realExit : normalExit),
          complete(realEntry != 0 && realExit != 0) {}
    int16_t minutes() const { return MinutesOf(entry, exit); }
};

}  // namespace

void Ingressi::OnNewRow(odb::DataSet& ds) {
    ds.SetColValue("Data", Variant::fromDate(Clock::today()));
    ds.SetColValue("MinutiPermesso", 0);
    ds.SetColValue("MinutiPresenza", 0);
    ds.SetColValue("MinutiRitardo", 0);
    ds.SetColValue("MinutiPresenzaPresunti", 0);
    ds.SetColValue("MinutiMancanti", 0);
    ds.SetReference("TipoAssenza", QStringLiteral("0"));
}

bool Ingressi::ExtraMinutes(const odb::DataSet& ds, int16_t& minutes) {
    if (ds.ColIsNull("OraEntrataExtra") || ds.ColIsNull("OraUscitaExtra")) return false;
    minutes = MinutesOf(ds.ColValue("OraUscitaExtra").toDate(), ds.ColValue("OraEntrataExtra").toDate());
    return true;
}

// The extra pair about to change leaves the permission minutes, which never go below 0.
void Ingressi::OnBeforeUpdateField(odb::DataSet& ds, const QString& columnName) {
    if (!IsExtraColumn(columnName)) return;
    int16_t old = 0;
    if (!ExtraMinutes(ds, old)) return;
    const int16_t permission = NumberOf(ds, "MinutiPermesso");
    ds.SetColValue("MinutiPermesso", permission > old ? Minutes16(int64_t{permission} - old) : 0);
}

void Ingressi::OnUpdateField(odb::DataSet& ds, const QString& changedColumnName) {
    if (IsExtraColumn(changedColumnName)) {
        int16_t extra = 0;
        if (ExtraMinutes(ds, extra))
            ds.SetColValue("MinutiPermesso", Minutes16(int64_t{NumberOf(ds, "MinutiPermesso")} + extra));
    }
    if (IsDayColumn(changedColumnName)) {
        UpdatePresence(ds);
        UpdateLateness(ds);
    }
    if (IsColumn(changedColumnName, "MinutiPresenza")) UpdateMissing(ds);
}

// Complete half-days count as presence; one with a missing time (0 counts as missing) is completed
// with the normal hours and counts as presumed presence.
void Ingressi::UpdatePresence(odb::DataSet& ds) {
    const HalfDay morning(TimeOf(ds, "OraEntrataMattino"), TimeOf(ds, "OraUscitaMattino"),
                          g_dtmOraPredefinitaEntrataMattino, g_dtmOraPredefinitaUscitaMattino);
    const HalfDay afternoon(TimeOf(ds, "OraEntrataPomeriggio"), TimeOf(ds, "OraUscitaPomeriggio"),
                            g_dtmOraPredefinitaEntrataPomeriggio, g_dtmOraPredefinitaUscitaPomeriggio);
    int16_t presence = 0, presumed = 0;
    for (const HalfDay* half : {&morning, &afternoon}) {
        int16_t& total = half->complete ? presence : presumed;
        total = Minutes16(int64_t{total} + half->minutes());
    }
    // Equal times pass; the refusal undoes the whole change, so the row keeps its earlier minutes.
    if (WholeMinutesBetween(morning.entry, morning.exit) < 0 ||
        WholeMinutesBetween(afternoon.entry, afternoon.exit) < 0 ||
        WholeMinutesBetween(morning.exit, afternoon.entry) < 0)
        ds.RejectChange(
            "L'impostazione degli orari non è valida, verificare nel pannello di configurazione orari di "
            "accesso.",
            0);
    ds.SetColValue("MinutiPresenza", presence);
    ds.SetColValue("MinutiPresenzaPresunti", presumed);
}

// Lateness needs all four times (00:00 counts as a time here); otherwise it keeps its value.
void Ingressi::UpdateLateness(odb::DataSet& ds) {
    for (const char* field :
         {"OraEntrataMattino", "OraUscitaMattino", "OraEntrataPomeriggio", "OraUscitaPomeriggio"})
        if (ds.ColIsNull(field)) return;
    const int16_t worked = CalcWorkedMinutes(TimeOf(ds, "OraEntrataMattino"), TimeOf(ds, "OraUscitaMattino"),
                                             TimeOf(ds, "OraEntrataPomeriggio"),
                                             TimeOf(ds, "OraUscitaPomeriggio"), g_intMinPausaMattutina);
    const int16_t accounted = Minutes16(int64_t{worked} + NumberOf(ds, "MinutiPermesso"));
    const int16_t late = Minutes16(int64_t{g_intTotMinGiornataLavorativa} - accounted);
    ds.SetColValue("MinutiRitardo", late >= 1 ? late : 0);
}

// The permission minutes count twice against the day; a day longer than the normal one goes negative.
void Ingressi::UpdateMissing(odb::DataSet& ds) {
    const int16_t presence = NumberOf(ds, "MinutiPresenza");
    int16_t missing = Minutes16(int64_t{g_intTotMinGiornataLavorativa} - presence);
    if (!ds.ColIsNull("MinutiPermesso") && ds.ColNumber("MinutiPermesso") != 0)
        missing = Minutes16(int64_t{missing} - 2 * int64_t{NumberOf(ds, "MinutiPermesso")});
    ds.SetColValue("MinutiMancanti", missing);
}
