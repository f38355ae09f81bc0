// The table OrdiniInterni: internal-use orders.
#pragma once

#include "model/TableClass.h"

class OrdiniInterni : public TableClass {
  public:
    OrdiniInterni() : TableClass("OrdiniInterni") {}

    void DefineIdentity(odb::TableIdentity& identity) override;
    void DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                         odb::ReferenceDefs& references) override;
};
