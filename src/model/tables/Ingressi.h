// The table Ingressi: attendance: one row per worker and day.
#pragma once

#include "model/TableClass.h"

class Ingressi : public TableClass {
  public:
    Ingressi() : TableClass("Ingressi") {}

    void DefineIdentity(odb::TableIdentity& identity) override;
    void DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                         odb::ReferenceDefs& references) override;
};
