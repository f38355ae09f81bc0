// The table TipiCategoria: definition and row rules.
#include "model/tables/TipiCategoria.h"

QString TipiCategoria::Name() const {
    return "TipiCategoria";
}

void TipiCategoria::DefineIdentity(odb::TableIdentity& identity) {
    identity.Version(1.0);
    identity.Flags1(1);
}

void TipiCategoria::DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                                    odb::ReferenceDefs& /*references*/) {
    fields.AddField("Descrizione", odb::ftText, 127, 0, "", -100, -100, -100, true, "", "", 0);
    indexes.AddIndex("Descrizione", true, "");
}

void TipiCategoria::DefineDefaultData(odb::itfSetData*& setData) {
    setData = this;
}
