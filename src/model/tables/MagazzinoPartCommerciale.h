// The table MagazzinoPartCommerciale: purchased parts and their stock.
#pragma once

#include "odb/Interfaces.h"
#include "odb/Schema.h"

class MagazzinoPartCommerciale : public odb::itfDefTable, public odb::itfSetData {
  public:
    QString Name() const override;
    void DefineIdentity(odb::TableIdentity& identity) override;
    void DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                         odb::ReferenceDefs& references) override;
    void DefineDefaultData(odb::itfSetData*& setData) override;

    void OnUpdatedTableStruct(odb::DataSet& ds, double curVersion, double oldVersion, bool created) override;
};
