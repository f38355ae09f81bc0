// The table CommesseContoVisione: items left with a customer on approval.
#pragma once

#include "model/TableClass.h"

class CommesseContoVisione : public TableClass {
  public:
    CommesseContoVisione() : TableClass("CommesseContoVisione") {}

    void DefineIdentity(odb::TableIdentity& identity) override;
    void DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                         odb::ReferenceDefs& references) override;
};
