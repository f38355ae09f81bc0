// The table MagazzinoMacchinari: machines catalogue and stock.
#pragma once

#include "model/TableClass.h"

class MagazzinoMacchinari : public TableClass {
  public:
    MagazzinoMacchinari() : TableClass("MagazzinoMacchinari") {}

    void DefineIdentity(odb::TableIdentity& identity) override;
    void DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                         odb::ReferenceDefs& references) override;
};
