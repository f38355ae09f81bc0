// The table DettagliCommesse: base of every job-order detail: number, state and totals of the work steps.
#pragma once

#include "base/Variant.h"
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
    // Whether the detail has open and suspended steps (the step `except` left out when given): the
    // questions asked (`open`, `suspended`) in one probe; a question not asked answers False.
    struct StepStates {
        bool open = false;
        bool suspended = false;
    };
    StepStates OpenOrSuspendedSteps(odb::DataSet& ds, bool open, bool suspended,
                                    const Variant& except = Variant::missing());
    // Totals, open and suspended state recomputed from all the steps.
    void RecomputeFromSteps(odb::DataSet& ds);
};
