// The database definition handed to the object-database library: the 38 tables in order.
#pragma once

#include "odb/Interfaces.h"

class DB : public odb::itfDefDatabase {
  public:
    // Registers one new instance of every table class; every base table comes before the tables
    // that extend it.
    void Define(odb::DatabaseDef& def) override;
};
