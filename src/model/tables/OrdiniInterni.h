// The table OrdiniInterni: internal-use orders.
#pragma once

#include "model/TableClass.h"

class OrdiniInterni : public TableClass {
  public:
    OrdiniInterni() : TableClass("OrdiniInterni") {}

    void DefineIdentity(odb::TableIdentity& identity) override;
    void DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                         odb::ReferenceDefs& references) override;

    void OnNewRow(odb::DataSet& ds) override;
    void OnBeforeUpdateReference(odb::DataSet& ds, odb::DataSet& referencedDS, const QString& referenceName,
                                 bool isDelete, bool inMemory) override;
    void OnSelectReference(odb::DataSet& ds, odb::DataSet& referenceDS,
                           const QString& referenceName) override;
    void OnNewReference(odb::DataSet& ds, odb::DataSet& referencedDS, const QString& referenceName) override;
};
