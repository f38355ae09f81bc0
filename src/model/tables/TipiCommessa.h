// The table TipiCommessa: job-order types and their number prefixes, with the card-code prefix (type 9).
#pragma once

#include "model/TableClass.h"

class TipiCommessa : public TableClass {
  public:
    TipiCommessa() : TableClass("TipiCommessa") {}

    void DefineIdentity(odb::TableIdentity& identity) override;
    void DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                         odb::ReferenceDefs& references) override;

    void OnUpdatedTableStruct(odb::DataSet& ds, double curVersion, double oldVersion, bool created) override;
    void OnDeleteRow(odb::DataSet& ds) override;
};
