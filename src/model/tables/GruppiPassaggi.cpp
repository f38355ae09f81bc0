// The table GruppiPassaggi: definition and row rules.
#include "model/tables/GruppiPassaggi.h"

QString GruppiPassaggi::Name() const {
    return "GruppiPassaggi";
}

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

void GruppiPassaggi::DefineDefaultData(odb::itfSetData*& setData) {
    setData = this;
}
