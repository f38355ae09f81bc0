// The table DettagliCommesse: base of every job-order detail: number, state and totals of the work steps.
#pragma once

#include "model/TableClass.h"

class DettagliCommesse : public TableClass {
  public:
    DettagliCommesse() : TableClass("DettagliCommesse") {}

    void DefineIdentity(odb::TableIdentity& identity) override;
    void DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                         odb::ReferenceDefs& references) override;

    void OnNewRow(odb::DataSet& ds) override;
    void OnUpdateRow(odb::DataSet& ds) override;
    void OnDeleteRow(odb::DataSet& ds) override;
    void OnUpdateField(odb::DataSet& ds, const QString& changedColumnName) override;
    void OnUpdateReference(odb::DataSet& ds, odb::DataSet& referencedDS, const QString& referenceName,
                           bool isDelete, bool inMemory) override;
    void OnBeforeUpdateReference(odb::DataSet& ds, odb::DataSet& referencedDS, const QString& referenceName,
                                 bool isDelete, bool inMemory) override;
    void OnSelectReference(odb::DataSet& ds, odb::DataSet& referenceDS,
                           const QString& referenceName) override;
    void OnNewReference(odb::DataSet& ds, odb::DataSet& referencedDS, const QString& referenceName) override;

  private:
    void CloseDetail(odb::DataSet& ds);
    void RemoveFromGroups(odb::DataSet& ds, odb::DataSet& step);
    // Whether a step of the detail other than `step` meets `condition`.
    bool OtherStepExists(odb::DataSet& ds, odb::DataSet& step, const QString& condition);
    // Totals, open and suspended state recomputed from all the steps.
    void RecomputeFromSteps(odb::DataSet& ds);
};
