// The table ImpostazioniPromemoria: definition and row rules.
#include "model/tables/ImpostazioniPromemoria.h"

void ImpostazioniPromemoria::DefineIdentity(odb::TableIdentity& identity) {
    identity.Version(1.3);
    identity.Flags1(1);
}

void ImpostazioniPromemoria::DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                                             odb::ReferenceDefs& /*references*/) {
    fields.AddField("NomeTabella", odb::ftText, 64, 0, "", -100, -100, -100, true,
                    "Nome della tabella di riferimento per il promemoria", "", 0);
    fields.AddField(
        "NomeCampoData", odb::ftText, 64, 0, "", -100, -100, -100, true,
        "Nome della campo della tabella di riferimento per il promemoria, deve essere di una data", "", 0);
    fields.AddField("GiorniDiPreavviso", odb::ftLong, 0, 0, "", -100, -100, -100, true,
                    "Numero di giorni di preavviso (sommato a ore e minuti)", "", 0);
    fields.AddField("OreDiPreavviso", odb::ftLong, 0, 0, "", -100, -100, -100, true,
                    "Numero di ore di preavviso (sommato a giorni e minuti)", "", 0);
    fields.AddField("MinutiDiPreavviso", odb::ftLong, 0, 0, "", -100, -100, -100, true,
                    "Numero di minuti di preavviso (sommato a giorni e ore)", "", 0);
    fields.AddField("MessaggioDiNotifica", odb::ftText, 128, 0, "", -100, -100, -100, true,
                    "Se si utilizza <%NomeCampoTabella%> verrà visualizzato il contenuto del campo", "", 0);
    fields.AddField("DataUltimoControllo", odb::ftDateTime, 0, 0, "", -100, -100, -100, false,
                    "Utilizzata dal sistema come ripartenza per i controlli successivi", "", 0);
    indexes.AddIndex("NomeTabella", false, "");
}
