// The table Promemoria: reminders.
#pragma once

#include "model/TableClass.h"

class Promemoria : public TableClass {
  public:
    Promemoria() : TableClass("Promemoria") {}

    void DefineIdentity(odb::TableIdentity& identity) override;
    void DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                         odb::ReferenceDefs& references) override;

    void OnNewRow(odb::DataSet& ds) override;
};
