// The table CarichiCommerciale: stock loads of purchased parts.
#pragma once

#include "model/TableClass.h"

class CarichiCommerciale : public TableClass {
  public:
    CarichiCommerciale() : TableClass("CarichiCommerciale") {}

    void DefineIdentity(odb::TableIdentity& identity) override;
    void DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                         odb::ReferenceDefs& references) override;

    void OnNewRow(odb::DataSet& ds) override;
    void OnUpdateReference(odb::DataSet& ds, odb::DataSet& referencedDS, const QString& referenceName,
                           bool isDelete, bool inMemory) override;
    void OnBeforeUpdateReference(odb::DataSet& ds, odb::DataSet& referencedDS, const QString& referenceName,
                                 bool isDelete, bool inMemory) override;
    void OnSelectReference(odb::DataSet& ds, odb::DataSet& referenceDS,
                           const QString& referenceName) override;
};
