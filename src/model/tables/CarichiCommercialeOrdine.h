// The table CarichiCommercialeOrdine: stock loads against a purchase order.
#pragma once

#include "model/TableClass.h"

class CarichiCommercialeOrdine : public TableClass {
  public:
    CarichiCommercialeOrdine() : TableClass("CarichiCommercialeOrdine") {}

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

  private:
    // Carries the load line's quantity into the order line of the same part: out with the old
    // value (`before`), in with the new one. A part that is not on the order carries nothing.
    static void CarryLoadToOrderLine(odb::DataSet& ds, odb::DataSet& line, bool before);
    // A line for every part of the order with pieces still to come, when the user wants them.
    static void FillFromOrder(odb::DataSet& ds);
};
