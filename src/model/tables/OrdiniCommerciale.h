// The table OrdiniCommerciale: purchase orders of purchased parts.
#pragma once

#include "model/TableClass.h"

class OrdiniCommerciale : public TableClass {
  public:
    OrdiniCommerciale() : TableClass("OrdiniCommerciale") {}

    void DefineIdentity(odb::TableIdentity& identity) override;
    void DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                         odb::ReferenceDefs& references) override;
};
