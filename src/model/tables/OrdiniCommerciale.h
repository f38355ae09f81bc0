// The table OrdiniCommerciale: purchase orders of purchased parts.
#pragma once

#include "model/TableClass.h"

class OrdiniCommerciale : public TableClass {
  public:
    OrdiniCommerciale() : TableClass("OrdiniCommerciale") {}

    void DefineIdentity(odb::TableIdentity& identity) override;
    void DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                         odb::ReferenceDefs& references) override;

    void OnNewRow(odb::DataSet& ds) override;
    void OnUpdateRow(odb::DataSet& ds) override;
    void OnUpdateReference(odb::DataSet& ds, odb::DataSet& referencedDS, const QString& referenceName,
                           bool isDelete, bool inMemory) override;
    void OnBeforeUpdateReference(odb::DataSet& ds, odb::DataSet& referencedDS, const QString& referenceName,
                                 bool isDelete, bool inMemory) override;

  private:
    // The next number over every purchase order, whichever kind the data set shows.
    static void AssignNextOrderNumber(odb::DataSet& ds);
    // Closed when no line, as stored, still waits for goods or has no quantity.
    static void UpdateOrderClosedFlag(odb::DataSet& ds);
};
