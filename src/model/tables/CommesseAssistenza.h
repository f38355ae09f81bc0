// The table CommesseAssistenza: service job orders.
#pragma once

#include "model/TableClass.h"

class CommesseAssistenza : public TableClass {
  public:
    CommesseAssistenza() : TableClass("CommesseAssistenza") {}

    void DefineIdentity(odb::TableIdentity& identity) override;
    void DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                         odb::ReferenceDefs& references) override;
};
