// The table CaricoPartCommerciale: stock load lines, each standing for one purchased part.
#pragma once

#include "model/TableClass.h"

class CaricoPartCommerciale : public TableClass {
  public:
    CaricoPartCommerciale() : TableClass("CaricoPartCommerciale") {}

    void DefineIdentity(odb::TableIdentity& identity) override;
    void DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                         odb::ReferenceDefs& references) override;

    void OnNewRow(odb::DataSet& ds) override;
    void OnDeleteRow(odb::DataSet& ds) override;
    void OnUpdateField(odb::DataSet& ds, const QString& changedColumnName) override;
    void OnBeforeUpdateField(odb::DataSet& ds, const QString& columnName) override;
};
