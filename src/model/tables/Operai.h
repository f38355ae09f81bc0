// The table Operai: workers, identified by the code on their card.
#pragma once

#include "model/TableClass.h"

class Operai : public TableClass {
  public:
    Operai() : TableClass("Operai") {}

    void DefineIdentity(odb::TableIdentity& identity) override;
    void DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                         odb::ReferenceDefs& references) override;

    void OnUpdatedTableStruct(odb::DataSet& ds, double curVersion, double oldVersion, bool created) override;
    void OnNewRow(odb::DataSet& ds) override;
    void OnDeleteRow(odb::DataSet& ds) override;
    void OnUpdateField(odb::DataSet& ds, const QString& changedColumnName) override;
    void OnBeforeUpdateField(odb::DataSet& ds, const QString& columnName) override;
};
