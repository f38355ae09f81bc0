// The table PeriodiNonLavorativi: non-working periods.
#pragma once

#include "model/TableClass.h"

class PeriodiNonLavorativi : public TableClass {
  public:
    PeriodiNonLavorativi() : TableClass("PeriodiNonLavorativi") {}

    void DefineIdentity(odb::TableIdentity& identity) override;
    void DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                         odb::ReferenceDefs& references) override;

    void OnUpdateField(odb::DataSet& ds, const QString& changedColumnName) override;
};
