// ConnectionsTable: the library's own table of logged-in users, one row per login.
#pragma once

#include "odb/Interfaces.h"
#include "odb/Schema.h"

namespace odb {

inline const QString kConnectionsTableName = QStringLiteral("Connessioni");

class ConnectionsTable : public itfDefTable {
  public:
    QString Name() const override { return kConnectionsTableName; }
    void DefineIdentity(TableIdentity& identity) override;
    void DefineStructure(FieldDefs& fields, IndexDefs& indexes, ReferenceDefs& references) override;
    void DefineDefaultData(itfSetData*& setData) override { setData = nullptr; }
};

}  // namespace odb
