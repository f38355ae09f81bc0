// The table GruppiPassaggi: groups of work steps closed together.
#pragma once

#include "model/TableClass.h"

class GruppiPassaggi : public TableClass {
  public:
    GruppiPassaggi() : TableClass("GruppiPassaggi") {}

    void DefineIdentity(odb::TableIdentity& identity) override;
    void DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                         odb::ReferenceDefs& references) override;

    void OnNewRow(odb::DataSet& ds) override;
    void OnUpdateReference(odb::DataSet& ds, odb::DataSet& referencedDS, const QString& referenceName,
                           bool isDelete, bool inMemory) override;
    void OnBeforeUpdateReference(odb::DataSet& ds, odb::DataSet& referencedDS, const QString& referenceName,
                                 bool isDelete, bool inMemory) override;

  private:
    // Adds or takes off the parts of the step's detail and spreads the new total to every step.
    void Set_TotPartgruppo_InPaggaggi(odb::DataSet& group, odb::DataSet& step, bool add);
    // The total taken again from the steps the group holds, spread to them.
    void RecountGroup(odb::DataSet& group);
    int32_t StepPartQuantity(odb::DataSet& step, bool warnWhenMissing);
    void SpreadTotal(odb::DataSet& group, odb::DataSet* step, int32_t total);
    bool HoldsStep(odb::DataSet& group, odb::DataSet& step);
};
