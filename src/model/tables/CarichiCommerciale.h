// The table CarichiCommerciale: stock loads of purchased parts.
#pragma once

#include "model/TableClass.h"

class CarichiCommerciale : public TableClass {
  public:
    CarichiCommerciale() : TableClass("CarichiCommerciale") {}

    void DefineIdentity(odb::TableIdentity& identity) override;
    void DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                         odb::ReferenceDefs& references) override;
};
