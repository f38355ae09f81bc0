// The table CommesseProduzione: production job orders.
#pragma once

#include "model/TableClass.h"

class CommesseProduzione : public TableClass {
  public:
    CommesseProduzione() : TableClass("CommesseProduzione") {}

    void DefineIdentity(odb::TableIdentity& identity) override;
    void DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                         odb::ReferenceDefs& references) override;
};
