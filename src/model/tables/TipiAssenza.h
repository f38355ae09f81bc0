// The table TipiAssenza: absence types of the attendance records.
#pragma once

#include "odb/Interfaces.h"
#include "odb/Schema.h"

class TipiAssenza : public odb::itfDefTable, public odb::itfSetData {
  public:
    QString Name() const override;
    void DefineIdentity(odb::TableIdentity& identity) override;
    void DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                         odb::ReferenceDefs& references) override;
    void DefineDefaultData(odb::itfSetData*& setData) override;
};
