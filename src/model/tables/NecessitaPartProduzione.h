// The table NecessitaPartProduzione: a machine's need for one produced part.
#pragma once

#include "model/TableClass.h"

class NecessitaPartProduzione : public TableClass {
  public:
    NecessitaPartProduzione() : TableClass("NecessitaPartProduzione") {}

    void DefineIdentity(odb::TableIdentity& identity) override;
    void DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                         odb::ReferenceDefs& references) override;
};
