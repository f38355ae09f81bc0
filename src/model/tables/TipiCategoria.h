// The table TipiCategoria: worker categories.
#pragma once

#include "odb/Interfaces.h"
#include "odb/Schema.h"

class TipiCategoria : public odb::itfDefTable, public odb::itfSetData {
  public:
    QString Name() const override;
    void DefineIdentity(odb::TableIdentity& identity) override;
    void DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                         odb::ReferenceDefs& references) override;
    void DefineDefaultData(odb::itfSetData*& setData) override;

    void OnUpdatedTableStruct(odb::DataSet& ds, double curVersion, double oldVersion, bool created) override;
    void OnDeleteRow(odb::DataSet& ds) override;
    void OnBeforeUpdateField(odb::DataSet& ds, const QString& columnName) override;
};
