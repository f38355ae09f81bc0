// The table CaricoPartCommerciale: stock load lines, each standing for one purchased part.
#pragma once

#include "model/TableClass.h"

class CaricoPartCommerciale : public TableClass {
  public:
    CaricoPartCommerciale() : TableClass("CaricoPartCommerciale") {}

    void DefineIdentity(odb::TableIdentity& identity) override;
    void DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                         odb::ReferenceDefs& references) override;
};
