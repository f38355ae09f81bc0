// The final availability of older parts stores, copied from its misspelt column.
#include "model/CopyMisspeltAvailability.h"

#include "model/StoredColumnExists.h"
#include "odb/AdoConnection.h"
#include "odb/Connection.h"
#include "odb/DataSet.h"

void CopyMisspeltAvailability(odb::DataSet& ds, const QString& tableName) {
    auto connection = ds.GetConnection();
    if (StoredColumnExists(*connection, tableName, "DisponidilitàFinale"))
        connection->AdoConnection().Execute(
            "UPDATE " + tableName + " SET DisponibilitàFinale=DisponidilitàFinale", nullptr, -1);
}
