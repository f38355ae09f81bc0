// The table CommesseCliente: customer job orders.
#pragma once

#include "model/TableClass.h"

class CommesseCliente : public TableClass {
  public:
    CommesseCliente() : TableClass("CommesseCliente") {}

    void DefineIdentity(odb::TableIdentity& identity) override;
    void DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                         odb::ReferenceDefs& references) override;

    void OnNewRow(odb::DataSet& ds) override;
    void OnUpdateRow(odb::DataSet& ds) override;
    void OnUpdateField(odb::DataSet& ds, const QString& changedColumnName) override;
    void OnUpdateReference(odb::DataSet& ds, odb::DataSet& referencedDS, const QString& referenceName,
                           bool isDelete, bool inMemory) override;
    void OnBeforeUpdateReference(odb::DataSet& ds, odb::DataSet& referencedDS, const QString& referenceName,
                                 bool isDelete, bool inMemory) override;

  private:
    // The totals of one detail collection: its own (tooling has an effective cost, machines not).
    struct Totals;
    static const Totals* TotalsOf(const QString& referenceName);
    // Adds (`sign` +1) or takes off (-1) the values of `detail` in the totals of its collection.
    static void MoveTotals(odb::DataSet& ds, const Totals& t, odb::DataSet& detail, int sign);
    static void SumTotals(odb::DataSet& ds, const Totals& t);
    // Closed when no detail of either collection is open; `exclude` leaves out one detail of the
    // collection `excludeFrom` (about to change or go). Written only when it changes.
    static void UpdateClosedState(odb::DataSet& ds, odb::DataSet* exclude, const QString& excludeFrom);
};
