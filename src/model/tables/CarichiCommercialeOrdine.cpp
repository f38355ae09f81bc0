// The table CarichiCommercialeOrdine: definition and row rules.
#include "model/tables/CarichiCommercialeOrdine.h"

void CarichiCommercialeOrdine::DefineIdentity(odb::TableIdentity& identity) {
    identity.Version(1.2);
    identity.Caption("Carichi da Ordini (Particolari Commerciale)");
    identity.Flags1(1);
    identity.BaseTable("CarichiCommerciale");
}

void CarichiCommercialeOrdine::DefineStructure(odb::FieldDefs& /*fields*/, odb::IndexDefs& indexes,
                                               odb::ReferenceDefs& references) {
    references.AddReference("Ordine", "OrdiniCommerciale", false, false, "Numero",
                            "DataInserimento,ImportoTotale,OrdineChiuso", -100, -100, -100,
                            "Ordine contenente i Particolari Commerciali da Caricare", -2, -1, 0);
    indexes.SetBrowseColumns("DataInserimento,ImportoTotale,Ordine,Particolari");
}
