// The table CommesseProduzione: production job orders.
#pragma once

#include "model/TableClass.h"

class CommesseProduzione : public TableClass {
  public:
    CommesseProduzione() : TableClass("CommesseProduzione") {}

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
    // Built machines into (`amount` > 0) or out of the stock of the machine row `machine` stands on.
    static void UpdateMachineStock(odb::DataSet& machine, int32_t amount);
    // The machine's purchased parts booked against their availability for the job order's
    // Quantità, or given back.
    static void BookCommercialPartNeeds(odb::DataSet& ds, odb::DataSet& machine, bool giveBack);
    // Closed when it has at least one detail and none of them, but `exclude`, is open. Written
    // only when it changes.
    static void UpdateClosedState(odb::DataSet& ds, odb::DataSet* exclude, bool needsDetails);
    // One detail per produced part of the machine, with its needed pieces for the job order.
    static void AddDetailsFromMachine(odb::DataSet& ds, odb::DataSet& machine);
    static void SumDetails(odb::DataSet& ds);
};
