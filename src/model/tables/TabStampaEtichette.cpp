// The table TabStampaEtichette: definition and row rules.
#include "model/tables/TabStampaEtichette.h"

#include "odb/DataSet.h"

void TabStampaEtichette::DefineIdentity(odb::TableIdentity& identity) {
    identity.Version(1.5);
    identity.Caption("Stampe di Etichette");
    identity.Flags1(1);
    identity.Flags1(255);
}

void TabStampaEtichette::DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                                         odb::ReferenceDefs& /*references*/) {
    fields.AddField("NomeTabellaOrigine", odb::ftText, 64, 0, "", -100, -100, -100, true, "", "", 0);
    fields.AddField("NomeStampante", odb::ftText, 64, 0, "", -100, -100, -100, true, "", "", 0);
    fields.AddField("RichiediSelezioneStampante", odb::ftBoolean, 0, 0, "", -100, -100, -100, true, "", "",
                    0);
    fields.AddField("NumeroColonne", odb::ftLong, 0, 0, "", -100, -100, -100, true,
                    "Numero di colonne delle etichette per ogni riga", "", 0);
    fields.AddField("AltezzaEtichetta", odb::ftDecimal, 0, 0, "", -100, -100, -100, true,
                    "Altezza di ogni etichetta espressa in millimetri", "", 0);
    fields.AddField("LarghezzaEtichetta", odb::ftDecimal, 0, 0, "", -100, -100, -100, true,
                    "Larghezza di ogni etichetta espressa in millimetri", "", 0);
    fields.AddField("MargineSuperiore", odb::ftDecimal, 0, 0, "", -100, -100, -100, true,
                    "Margine superiore del foglio di inizio etichette espresso in millimetri", "", 0);
    fields.AddField("MargineSinistro", odb::ftDecimal, 0, 0, "", -100, -100, -100, true,
                    "Margine sinistro del foglio di inizio etichette espresso in millimetri", "", 0);
    fields.AddField("IstruzioniStampa", odb::ftMemo, 0, 0, "", -100, -100, -100, true,
                    "Codice di stampa in linguaggio VB Script", "", 0);
    fields.AddField("OrientamentoOrizzontale", odb::ftBoolean, 0, 0, "", -100, -100, -100, true,
                    "Orienta i moduli orizzontalmente (ruota di 90 gradi)", "", 0);
    fields.AddField("AbilitaPosizionamento", odb::ftBoolean, 0, 0, "", -100, -100, -100, true,
                    "Richiede all'utente il numero di eventuali etichette da saltare", "", 0);
    fields.AddField("NumeroCopie", odb::ftLong, 0, 0, "", -100, -100, -100, true,
                    "Richiede all'utente il numero di eventuali etichette da saltare", "", 0);
    indexes.AddIndex("NomeTabellaOrigine", true, "");
}

void TabStampaEtichette::OnNewRow(odb::DataSet& ds) {
    ds.SetColValue("OrientamentoOrizzontale", false);
    ds.SetColValue("AbilitaPosizionamento", true);
    ds.SetColValue("RichiediSelezioneStampante", false);
    ds.SetColValue("NumeroCopie", 1);
}
