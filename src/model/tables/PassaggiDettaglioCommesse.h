// The table PassaggiDettaglioCommesse: work steps recorded on a job-order detail.
#pragma once

#include "model/TableClass.h"

class PassaggiDettaglioCommesse : public TableClass {
  public:
    PassaggiDettaglioCommesse() : TableClass("PassaggiDettaglioCommesse") {}

    void DefineIdentity(odb::TableIdentity& identity) override;
    void DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                         odb::ReferenceDefs& references) override;

    void OnNewRow(odb::DataSet& ds) override;
    void OnUpdateRow(odb::DataSet& ds) override;
    void OnUpdateField(odb::DataSet& ds, const QString& changedColumnName) override;
    void OnBeforeUpdateField(odb::DataSet& ds, const QString& columnName) override;
    void OnUpdateReference(odb::DataSet& ds, odb::DataSet& referencedDS, const QString& referenceName,
                           bool isDelete, bool inMemory) override;
    void OnSelect(odb::DataSet& ds) override;

  private:
    void UpdateFieldRules(odb::DataSet& ds, const QString& column);
    // Moves the minutes of the latest suspension into or out of TempoSospensione.
    void AddSuspensionTime(odb::DataSet& ds, bool subtract);
    void ComputeEffectiveCost(odb::DataSet& ds);
    void ComputeWorkedMinutes(odb::DataSet& ds);
};
