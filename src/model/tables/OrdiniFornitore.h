// The table OrdiniFornitore: purchase orders to a supplier.
#pragma once

#include "model/TableClass.h"

class OrdiniFornitore : public TableClass {
  public:
    OrdiniFornitore() : TableClass("OrdiniFornitore") {}

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
    void OnNewReference(odb::DataSet& ds, odb::DataSet& referencedDS, const QString& referenceName) override;
};
