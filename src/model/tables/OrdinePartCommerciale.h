// The table OrdinePartCommerciale: purchase order lines, each standing for one purchased part.
#pragma once

#include "model/TableClass.h"

class OrdinePartCommerciale : public TableClass {
  public:
    OrdinePartCommerciale() : TableClass("OrdinePartCommerciale") {}

    void DefineIdentity(odb::TableIdentity& identity) override;
    void DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                         odb::ReferenceDefs& references) override;
};
