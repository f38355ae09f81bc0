// The table DettagliAttrezzature: tooling details of a customer job order.
#pragma once

#include "model/TableClass.h"

class DettagliAttrezzature : public TableClass {
  public:
    DettagliAttrezzature() : TableClass("DettagliAttrezzature") {}

    void DefineIdentity(odb::TableIdentity& identity) override;
    void DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                         odb::ReferenceDefs& references) override;
};
