// The table ImpostazioniPromemoria: reminder rules.
#pragma once

#include "model/TableClass.h"

class ImpostazioniPromemoria : public TableClass {
  public:
    ImpostazioniPromemoria() : TableClass("ImpostazioniPromemoria") {}

    void DefineIdentity(odb::TableIdentity& identity) override;
    void DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                         odb::ReferenceDefs& references) override;
};
