// The table OrdiniFornitore: definition and row rules.
#include "model/tables/OrdiniFornitore.h"

void OrdiniFornitore::DefineIdentity(odb::TableIdentity& identity) {
    identity.Version(1.2);
    identity.Caption("Ordini per Fornitore (Particolari Commerciale)");
    identity.Flags1(1);
    identity.BaseTable("OrdiniCommerciale");
}

void OrdiniFornitore::DefineStructure(odb::FieldDefs& /*fields*/, odb::IndexDefs& indexes,
                                      odb::ReferenceDefs& references) {
    references.AddReference("Fornitore", "Fornitori", false, false, "", "RagioneSociale", -100, -100, -100,
                            "Ragione sociale del fornitore da cui si acquista", -2, -1, 0);
    references.AddReference("RiferimentoMacchinari", "MagazzinoMacchinari", false, false, "Codice",
                            "Descrizione,QuantitàGiacenza,QuantitàOrdinata,PrezzoListino", -100, -100, -100,
                            "Selezione dei Macchinari per ordinare i relativi Particolari Commerciali", -2,
                            -1, 0);
    indexes.AddIndex("Fornitore", true, "InxOrdiniFornitore").AddParentLink();
}
