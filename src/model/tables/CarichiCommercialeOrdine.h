// The table CarichiCommercialeOrdine: stock loads against a purchase order.
#pragma once

#include "model/TableClass.h"

class CarichiCommercialeOrdine : public TableClass {
  public:
    CarichiCommercialeOrdine() : TableClass("CarichiCommercialeOrdine") {}

    void DefineIdentity(odb::TableIdentity& identity) override;
    void DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                         odb::ReferenceDefs& references) override;
};
