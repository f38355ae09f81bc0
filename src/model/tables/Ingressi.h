// The table Ingressi: attendance: one row per worker and day, its minutes derived from the times.
#pragma once

#include <cstdint>

#include "model/TableClass.h"

class Ingressi : public TableClass {
  public:
    Ingressi() : TableClass("Ingressi") {}

    void DefineIdentity(odb::TableIdentity& identity) override;
    void DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                         odb::ReferenceDefs& references) override;

    void OnNewRow(odb::DataSet& ds) override;
    void OnBeforeUpdateField(odb::DataSet& ds, const QString& columnName) override;
    void OnUpdateField(odb::DataSet& ds, const QString& changedColumnName) override;

  private:
    // Minutes from the extra exit to the return, when both are set.
    static bool ExtraMinutes(const odb::DataSet& ds, int16_t& minutes);
    static void UpdatePresence(odb::DataSet& ds);
    static void UpdateLateness(odb::DataSet& ds);
    static void UpdateMissing(odb::DataSet& ds);
};
