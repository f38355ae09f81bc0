// The table TipiAssenza: definition and row rules.
#include "model/tables/TipiAssenza.h"

QString TipiAssenza::Name() const {
    return "TipiAssenza";
}

void TipiAssenza::DefineIdentity(odb::TableIdentity& identity) {
    identity.Version(1.0);
    identity.Flags1(1);
}

void TipiAssenza::DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                                  odb::ReferenceDefs& /*references*/) {
    fields.AddField("Codice", odb::ftLong, 2, 0, "00", -100, -100, -100, true, "", "", 0);
    fields.AddField("Descrizione", odb::ftText, 127, 0, "", -100, -100, -100, true, "", "", 0);
    indexes.AddIndex("Codice", true, "");
    indexes.AddIndex("Descrizione", true, "");
}

void TipiAssenza::DefineDefaultData(odb::itfSetData*& setData) {
    setData = this;
}
