// Small helpers of the table rules: column-name tests and the comparison of a stored value with the
// marker text of a protected row.
#pragma once

#include <QString>

#include "odb/DataSet.h"

// Field names are matched as the library matches them: letter case ignored.
inline bool IsColumn(const QString& columnName, const QString& fieldName) {
    return columnName.compare(fieldName, Qt::CaseInsensitive) == 0;
}

// The value of `field` in the current row, compared as text with `marker`; a Null never matches.
inline bool ColTextIs(const odb::DataSet& ds, const QString& field, const QString& marker) {
    const Variant value = ds.ColValue(field);
    return !value.isEmptyOrNull() && value.toString() == marker;
}
