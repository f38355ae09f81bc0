// The upgrade step shared by the two parts stores: older databases kept the final availability
// under a misspelt column name.
#pragma once

#include <QString>

namespace odb {
class DataSet;
}

// Copies the misspelt column into DisponibilitàFinale, where `tableName` still stores it.
void CopyMisspeltAvailability(odb::DataSet& ds, const QString& tableName);
