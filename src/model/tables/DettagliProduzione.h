// The table DettagliProduzione: production details, one per part to make.
#pragma once

#include "model/TableClass.h"

class DettagliProduzione : public TableClass {
  public:
    DettagliProduzione() : TableClass("DettagliProduzione") {}

    void DefineIdentity(odb::TableIdentity& identity) override;
    void DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                         odb::ReferenceDefs& references) override;
};
