// The table DettagliProduzione: production details, one per part to make.
#pragma once

#include "model/TableClass.h"

class DettagliProduzione : public TableClass {
  public:
    DettagliProduzione() : TableClass("DettagliProduzione") {}

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
    // An open detail books its pieces in its part: Quantità in production and available,
    // QuantitàNecessariaTotale taken off the availability. `sign` +1 books the values the detail
    // holds now, -1 takes them back.
    static void BookQuantity(odb::DataSet& ds, int sign);
    // The needed pieces: off the availability while the detail is open; off the stock, with which
    // the availability moves, once it is closed (closing moved them there).
    static void BookNeed(odb::DataSet& ds, int sign);
    // Closing moves the produced pieces from production into stock, less the pieces needed, and
    // keeps the availability as booked; reopening moves them back.
    static void UpdatePartStockOnClose(odb::DataSet& ds, bool closed);
    // The part row, editable, when the detail has one and the guard "Particolare" was free.
    static std::shared_ptr<odb::DataSet> LockedPart(odb::DataSet& ds, class HeldGuards& guards);
};
