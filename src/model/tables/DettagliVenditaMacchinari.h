// The table DettagliVenditaMacchinari: machine-sale details of a customer job order.
#pragma once

#include "model/TableClass.h"

class DettagliVenditaMacchinari : public TableClass {
  public:
    DettagliVenditaMacchinari() : TableClass("DettagliVenditaMacchinari") {}

    void DefineIdentity(odb::TableIdentity& identity) override;
    void DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                         odb::ReferenceDefs& references) override;
};
