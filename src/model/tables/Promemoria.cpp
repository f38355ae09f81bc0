// The table Promemoria: definition and row rules.
#include "model/tables/Promemoria.h"

#include "odb/DataSet.h"
#include "platform/Clock.h"

void Promemoria::DefineIdentity(odb::TableIdentity& identity) {
    identity.Version(1.1);
    identity.Flags1(1);
}

void Promemoria::DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                                 odb::ReferenceDefs& /*references*/) {
    fields.AddField("TestoPromemoria", odb::ftText, 255, 0, "", -100, -100, -100, true, "", "", 0);
    fields.AddField("DataProssimaNotifica", odb::ftDateTime, 0, 0, "", -100, -100, -100, true, "", "", 0);
    fields.AddField("NomeTabellaOrigine", odb::ftText, 64, 0, "", -100, 15, -100, false,
                    "Identifica la tabella di origine del messaggio", "", 0);
    fields.AddField("NomeCampoDataOrigine", odb::ftText, 64, 0, "", -100, 15, -100, false,
                    "Identifica il campo data origine del messaggio", "", 0);
    fields.AddField("IDElementoOrigine", odb::ftText, 255, 0, "", -100, 15, -100, false,
                    "Identifica l'elemento che ha originato il messaggio", "", 0);
    fields.AddField("Chiuso", odb::ftBoolean, 0, 0, "", -100, -100, -100, true,
                    "Indica la validità o meno del promemoria", "", 0);
    fields.AddField("DataRiferimento", odb::ftDateTime, 0, 0, "", 15, 15, 15, true, "", "", 0);
    indexes.AddIndex("DataProssimaNotifica", false, "");
    indexes.AddIndex("NomeTabellaOrigine", false, "");
    indexes.AddIndex("NomeCampoDataOrigine", false, "");
    indexes.AddIndex("IDElementoOrigine", false, "");
    indexes.AddIndex("DataRiferimento", false, "");
}

void Promemoria::OnNewRow(odb::DataSet& ds) {
    ds.SetColValue("Chiuso", false);
    ds.SetColValue("DataRiferimento", Variant::fromDate(Clock::now()));
    ds.SetColValue("IDElementoOrigine", "");
    ds.SetColValue("NomeTabellaOrigine", "");
    ds.SetColValue("NomeCampoDataOrigine", "");
}
