// The table Utenti: definition and row rules.
#include "model/tables/Utenti.h"

QString Utenti::Name() const {
    return "Utenti";
}

void Utenti::DefineIdentity(odb::TableIdentity& identity) {
    identity.Version(1.1);
    identity.Flags1(1);
}

void Utenti::DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                             odb::ReferenceDefs& /*references*/) {
    fields.AddField("Nome", odb::ftText, 64, 0, "", 1, -100, -100, true, "Nome o identificativo dell'utente",
                    "", 0);
    fields.AddField("Password", odb::ftText, 32, 0, "", -100, 1, -100, true, "", "", 0);
    fields.AddField("LivelloAccesso", odb::ftLong, 0, 0, "", 1, -100, -100, true, "",
                    "-1|Solo Commesse|0|Interrogazione|1|Amministrazione", 0);
    indexes.AddIndex("Nome", true, "");
}

void Utenti::DefineDefaultData(odb::itfSetData*& setData) {
    setData = this;
}
