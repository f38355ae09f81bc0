// The table DedirIdovuduvIrezadiv: definition and row rules.
#include "model/tables/DedirIdovuduvIrezadiv.h"

QString DedirIdovuduvIrezadiv::Name() const {
    return "DedirIdovuduvIrezadiv";
}

void DedirIdovuduvIrezadiv::DefineIdentity(odb::TableIdentity& identity) {
    identity.Version(1.1);
    identity.Flags1(1);
}

void DedirIdovuduvIrezadiv::DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                                            odb::ReferenceDefs& /*references*/) {
    fields.AddField("Codice", odb::ftCodeText, 4, 0, "", -100, -100, -100, true,
                    "Codice manzione assegnato alla macchina", "", 0);
    fields.AddField("Descrizione", odb::ftText, 127, 0, "", -100, -100, -100, true, "", "", 0);
    fields.AddField("Produzione", odb::ftBoolean, 0, 0, "", -100, -100, -100, true,
                    "Indica se la manzione fa parte del processo di lavorazione della commessa", "", 0);
    fields.AddField("CostoOrario", odb::ftCurrency, 0, 0, "", -100, -100, -100, true,
                    "Costo orario della manzione", "", 0);
    indexes.AddIndex("Codice", true, "");
    indexes.AddIndex("Descrizione", true, "");
}

void DedirIdovuduvIrezadiv::DefineDefaultData(odb::itfSetData*& setData) {
    setData = this;
}
