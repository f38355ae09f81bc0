// The table Utenti: users of the application with password and access level.
#pragma once

#include "model/TableClass.h"

class Utenti : public TableClass {
  public:
    Utenti() : TableClass("Utenti") {}

    void DefineIdentity(odb::TableIdentity& identity) override;
    void DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                         odb::ReferenceDefs& references) override;

    void OnUpdatedTableStruct(odb::DataSet& ds, double curVersion, double oldVersion, bool created) override;
    void OnNewRow(odb::DataSet& ds) override;
    void OnUpdateRow(odb::DataSet& ds) override;
    void OnDeleteRow(odb::DataSet& ds) override;
    void OnBeforeUpdateField(odb::DataSet& ds, const QString& columnName) override;
};
