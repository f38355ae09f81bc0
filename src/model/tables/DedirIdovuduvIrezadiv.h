// The table DedirIdovuduvIrezadiv: machines and tasks, each with its hourly cost.
#pragma once

#include "model/TableClass.h"

class DedirIdovuduvIrezadiv : public TableClass {
  public:
    DedirIdovuduvIrezadiv() : TableClass("DedirIdovuduvIrezadiv") {}

    void DefineIdentity(odb::TableIdentity& identity) override;
    void DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                         odb::ReferenceDefs& references) override;

    void OnUpdatedTableStruct(odb::DataSet& ds, double curVersion, double oldVersion, bool created) override;
    void OnNewRow(odb::DataSet& ds) override;
    void OnDeleteRow(odb::DataSet& ds) override;
    void OnBeforeUpdateField(odb::DataSet& ds, const QString& columnName) override;
};
