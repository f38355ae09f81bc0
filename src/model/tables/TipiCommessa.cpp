// The table TipiCommessa: definition and row rules.
#include "model/tables/TipiCommessa.h"

QString TipiCommessa::Name() const {
    return "TipiCommessa";
}

void TipiCommessa::DefineIdentity(odb::TableIdentity& identity) {
    identity.Version(1.1);
    identity.Caption("Tipi Commessa / Prefisso Codici");
    identity.Flags1(1);
    identity.Flags2(15);
}

void TipiCommessa::DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                                   odb::ReferenceDefs& /*references*/) {
    fields.AddField("Tipologia", odb::ftLong, 0, 0, "", 15, -100, -100, true, "",
                    "1|Attrezzature|2|Macchine|3|Produzione|4|Assistenza|9|Prefisso Codice Carta", 0);
    fields.AddField("PrefissoNumero", odb::ftCodeText, 4, 0, "", -100, -100, -100, true,
                    "Prefisso codice per tutte le commesse di questo tipo", "", 0);
    indexes.AddIndex("Tipologia", true, "");
    indexes.AddIndex("PrefissoNumero", true, "");
}

void TipiCommessa::DefineDefaultData(odb::itfSetData*& setData) {
    setData = this;
}
