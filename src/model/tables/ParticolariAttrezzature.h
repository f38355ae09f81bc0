// The table ParticolariAttrezzature: tooling parts with list price and estimated time.
#pragma once

#include "model/TableClass.h"

class ParticolariAttrezzature : public TableClass {
  public:
    ParticolariAttrezzature() : TableClass("ParticolariAttrezzature") {}

    void DefineIdentity(odb::TableIdentity& identity) override;
    void DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                         odb::ReferenceDefs& references) override;

    void OnNewRow(odb::DataSet& ds) override;
};
