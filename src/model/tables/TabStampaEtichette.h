// The table TabStampaEtichette: label layouts, one per source table, with the print script.
#pragma once

#include "model/TableClass.h"

class TabStampaEtichette : public TableClass {
  public:
    TabStampaEtichette() : TableClass("TabStampaEtichette") {}

    void DefineIdentity(odb::TableIdentity& identity) override;
    void DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                         odb::ReferenceDefs& references) override;

    void OnNewRow(odb::DataSet& ds) override;
};
