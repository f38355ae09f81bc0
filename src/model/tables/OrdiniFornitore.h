// The table OrdiniFornitore: purchase orders to a supplier.
#pragma once

#include "model/TableClass.h"

class OrdiniFornitore : public TableClass {
  public:
    OrdiniFornitore() : TableClass("OrdiniFornitore") {}

    void DefineIdentity(odb::TableIdentity& identity) override;
    void DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                         odb::ReferenceDefs& references) override;
};
