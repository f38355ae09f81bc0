// The table TabProspettiStampa: report layouts, named per source table and reference, with the print script.
#pragma once

#include "model/TableClass.h"

class TabProspettiStampa : public TableClass {
  public:
    TabProspettiStampa() : TableClass("TabProspettiStampa") {}

    void DefineIdentity(odb::TableIdentity& identity) override;
    void DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                         odb::ReferenceDefs& references) override;

    void OnNewRow(odb::DataSet& ds) override;
};
