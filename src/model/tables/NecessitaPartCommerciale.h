// The table NecessitaPartCommerciale: a machine's need for one purchased part.
#pragma once

#include "model/TableClass.h"

class NecessitaPartCommerciale : public TableClass {
  public:
    NecessitaPartCommerciale() : TableClass("NecessitaPartCommerciale") {}

    void DefineIdentity(odb::TableIdentity& identity) override;
    void DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                         odb::ReferenceDefs& references) override;
};
