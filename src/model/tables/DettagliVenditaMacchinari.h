// The table DettagliVenditaMacchinari: machine-sale details of a customer job order.
#pragma once

#include "model/TableClass.h"

class DettagliVenditaMacchinari : public TableClass {
  public:
    DettagliVenditaMacchinari() : TableClass("DettagliVenditaMacchinari") {}

    void DefineIdentity(odb::TableIdentity& identity) override;
    void DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                         odb::ReferenceDefs& references) override;

    void OnNewRow(odb::DataSet& ds) override;
    void OnUpdateRow(odb::DataSet& ds) override;
    void OnDeleteRow(odb::DataSet& ds) override;
    void OnUpdateField(odb::DataSet& ds, const QString& changedColumnName) override;
    void OnBeforeUpdateField(odb::DataSet& ds, const QString& columnName) override;
    void OnUpdateReference(odb::DataSet& ds, odb::DataSet& referencedDS, const QString& referenceName,
                           bool isDelete, bool inMemory) override;
    void OnBeforeUpdateReference(odb::DataSet& ds, odb::DataSet& referencedDS, const QString& referenceName,
                                 bool isDelete, bool inMemory) override;

  private:
    // Books the detail's quantity (`sign` +1) or takes it back (-1) in the machine row `machine`
    // stands on: on order while the detail is open, out of stock once it is closed.
    static void UpdateMachineStock(odb::DataSet& machine, odb::DataSet& detail, int sign);
};
