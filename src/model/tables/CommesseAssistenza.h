// The table CommesseAssistenza: service job orders: job-order details of their own, numbered by
// the table, priced by the worked time at the hourly price of their service type.
#pragma once

#include "model/TableClass.h"

class CommesseAssistenza : public TableClass {
  public:
    CommesseAssistenza() : TableClass("CommesseAssistenza") {}

    void DefineIdentity(odb::TableIdentity& identity) override;
    void DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                         odb::ReferenceDefs& references) override;

    void OnNewRow(odb::DataSet& ds) override;
    void OnUpdateRow(odb::DataSet& ds) override;
    void OnUpdateField(odb::DataSet& ds, const QString& changedColumnName) override;
    void OnUpdateReference(odb::DataSet& ds, odb::DataSet& referencedDS, const QString& referenceName,
                           bool isDelete, bool inMemory) override;

  private:
    static void UpdateTotalCost(odb::DataSet& ds, odb::DataSet& serviceType);
    static void SetOrderNumber(odb::DataSet& ds, odb::DataSet& type);
};
