// The table Fornitori: suppliers.
#pragma once

#include "model/TableClass.h"

class Fornitori : public TableClass {
  public:
    Fornitori() : TableClass("Fornitori") {}

    void DefineIdentity(odb::TableIdentity& identity) override;
    void DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                         odb::ReferenceDefs& references) override;

    void OnNewRow(odb::DataSet& ds) override;
};
