// The table Ingressi: definition and row rules.
#include "model/tables/Ingressi.h"

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
