// The table TipiCategoria: worker categories.
#pragma once

#include "model/TableClass.h"

class TipiCategoria : public TableClass {
  public:
    TipiCategoria() : TableClass("TipiCategoria") {}

    void DefineIdentity(odb::TableIdentity& identity) override;
    void DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                         odb::ReferenceDefs& references) override;

    void OnUpdatedTableStruct(odb::DataSet& ds, double curVersion, double oldVersion, bool created) override;
    void OnDeleteRow(odb::DataSet& ds) override;
    void OnBeforeUpdateField(odb::DataSet& ds, const QString& columnName) override;
};
