// The table MagazzinoPartCommerciale: purchased parts and their stock.
#pragma once

#include "model/TableClass.h"

class MagazzinoPartCommerciale : public TableClass {
  public:
    MagazzinoPartCommerciale() : TableClass("MagazzinoPartCommerciale") {}

    void DefineIdentity(odb::TableIdentity& identity) override;
    void DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                         odb::ReferenceDefs& references) override;

    void OnUpdatedTableStruct(odb::DataSet& ds, double curVersion, double oldVersion, bool created) override;
    void OnNewRow(odb::DataSet& ds) override;
    void OnUpdateField(odb::DataSet& ds, const QString& changedColumnName) override;
    void OnBeforeUpdateField(odb::DataSet& ds, const QString& columnName) override;
};
