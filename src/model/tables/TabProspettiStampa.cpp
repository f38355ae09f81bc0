// The table TabProspettiStampa: definition and row rules.
#include "model/tables/TabProspettiStampa.h"

#include "odb/DataSet.h"

void TabProspettiStampa::DefineIdentity(odb::TableIdentity& identity) {
    identity.Version(1.5);
    identity.Caption("Prospetti di Stampa");
    identity.Flags1(1);
    identity.Flags1(15);
}

void TabProspettiStampa::DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                                         odb::ReferenceDefs& /*references*/) {
    fields.AddField("NomeTabellaOrigine", odb::ftText, 64, 0, "", -100, -100, -100, true, "", "", 0);
    fields.AddField("NomeReference", odb::ftText, 64, 0, "", -100, -100, -100, true, "", "", 0);
    fields.AddField("NomeProspetto", odb::ftText, 64, 0, "", -100, -100, -100, true, "", "", 0);
    fields.AddField("NomeGruppo", odb::ftText, 64, 0, "", -100, -100, -100, true, "", "", 0);
    fields.AddField("NomeStampante", odb::ftText, 64, 0, "", -100, -100, -100, true, "", "", 0);
    fields.AddField("RichiediSelezioneStampante", odb::ftBoolean, 0, 0, "", -100, -100, -100, true, "", "",
                    0);
    fields.AddField("NumeroColonne", odb::ftLong, 0, 0, "", -100, -100, -100, true,
                    "Numero di moduli (colonne) contenuti in ogni foglio (copie multiple)", "", 0);
    fields.AddField("AltezzaModulo", odb::ftDecimal, 0, 0, "", -100, -100, -100, true,
                    "Altezza del modulo espresso in millimetri", "", 0);
    fields.AddField("LarghezzaModulo", odb::ftDecimal, 0, 0, "", -100, -100, -100, true,
                    "Larghezza del modulo espresso in millimetri", "", 0);
    fields.AddField("MargineSuperiore", odb::ftDecimal, 0, 0, "", -100, -100, -100, true,
                    "Margine superiore del foglio espresso in millimetri", "", 0);
    fields.AddField("MargineSinistro", odb::ftDecimal, 0, 0, "", -100, -100, -100, true,
                    "Margine sinistro del foglio espresso in millimetri", "", 0);
    fields.AddField(
        "MargineSuperioreRighe", odb::ftDecimal, 0, 0, "", -100, -100, -100, true,
        "Margine superiore di inizio righe dettaglio rispetto all'inizio modulo espresso in millimetri", "",
        0);
    fields.AddField(
        "MargineInferioreRighe", odb::ftDecimal, 0, 0, "", -100, -100, -100, true,
        "Margine inferiore di fine righe dettaglio rispetto all'inizio modulo espresso in millimetri", "", 0);
    fields.AddField("AltezzaRigheDettaglio", odb::ftDecimal, 0, 0, "", -100, -100, -100, true,
                    "Altezza di ogni riga di dettaglio espressa in millimetri", "", 0);
    fields.AddField("ImmagineSfondo", odb::ftPictureFile, 0, 0, "", -100, -100, -100, true,
                    "Nome completo del file contenente l'immmagine di sfondo (carta intestata)", "", 0);
    fields.AddField("MargineInferioreSfondo", odb::ftDecimal, 0, 0, "", -100, -100, -100, true,
                    "Bordo inferiore per l'immagine di sfondo espresso in millimetri", "", 0);
    fields.AddField("OrientamentoOrizzontale", odb::ftBoolean, 0, 0, "", -100, -100, -100, true,
                    "Orienta i moduli orizzontalmente (ruota di 90 gradi)", "", 0);
    fields.AddField("IstruzioniStampa", odb::ftMemo, 0, 0, "", -100, -100, -100, true,
                    "Codice di stampa in linguaggio VB Script", "", 0);
    indexes.AddIndex("NomeTabellaOrigine", true, "Report")
        .AddColumn("NomeReference")
        .AddField("NomeProspetto");
}

// The readers compare the reference and group with texts: they start as empty texts, not Null.
void TabProspettiStampa::OnNewRow(odb::DataSet& ds) {
    ds.SetColValue("NomeReference", QString(""));
    ds.SetColValue("NomeGruppo", QString(""));
    ds.SetColValue("NumeroColonne", 1);
    ds.SetColValue("AltezzaModulo", 0);
    ds.SetColValue("LarghezzaModulo", 0);
    ds.SetColValue("MargineSuperiore", 0);
    ds.SetColValue("MargineSinistro", 0);
    ds.SetColValue("ImmagineSfondo", QString(""));
    ds.SetColValue("MargineInferioreSfondo", 0);
    ds.SetColValue("OrientamentoOrizzontale", false);
    ds.SetColValue("RichiediSelezioneStampante", false);
}
