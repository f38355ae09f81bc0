// The table CommesseCliente: customer job orders.
#pragma once

#include "model/TableClass.h"

class CommesseCliente : public TableClass {
  public:
    CommesseCliente() : TableClass("CommesseCliente") {}

    void DefineIdentity(odb::TableIdentity& identity) override;
    void DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                         odb::ReferenceDefs& references) override;
};
