// The table Clienti: customers.
#pragma once

#include "model/TableClass.h"

class Clienti : public TableClass {
  public:
    Clienti() : TableClass("Clienti") {}

    void DefineIdentity(odb::TableIdentity& identity) override;
    void DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                         odb::ReferenceDefs& references) override;

    void OnUpdatedTableStruct(odb::DataSet& ds, double curVersion, double oldVersion, bool created) override;
    void OnNewRow(odb::DataSet& ds) override;
};
