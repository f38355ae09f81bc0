// Small helpers of the table rules: column-name tests, the comparison of a stored value with the
// marker text of a protected row, and the refusals that keep a lookup table's protected row.
#pragma once

#include <QAnyStringView>
#include <QString>

#include "odb/DataSet.h"

// Field names are matched as the library matches them: letter case ignored.
inline bool IsColumn(const QString& columnName, const QString& fieldName) {
    return columnName.compare(fieldName, Qt::CaseInsensitive) == 0;
}
// A constant name (a literal) is compared as it is, no string made of it. Names are mostly ASCII:
// those letters are folded here, anything else as Qt folds it (rules test a name many times a write).
inline bool IsColumn(const QString& columnName, const char* fieldName) {
    const QChar* c = columnName.constData();
    const qsizetype size = columnName.size();
    qsizetype i = 0;
    for (; fieldName[i] != '\0'; ++i) {
        const auto f = static_cast<unsigned char>(fieldName[i]);
        if (i >= size) return false;  // one ASCII letter a code unit, folded to one
        if (f >= 0x80 || c[i].unicode() >= 0x80) break;
        const auto lower = [](char16_t ch) { return ch >= u'A' && ch <= u'Z' ? char16_t(ch + 32) : ch; };
        if (lower(c[i].unicode()) != lower(f)) return false;
    }
    if (fieldName[i] == '\0') return i == size;
    return QAnyStringView::compare(columnName, QUtf8StringView(fieldName), Qt::CaseInsensitive) == 0;
}

// The value of `field` in the current row, compared as text with `marker`; a Null never matches.
inline bool ColTextIs(const odb::DataSet& ds, const QString& field, const QString& marker) {
    const Variant value = ds.ColValue(field);
    return !value.isEmptyOrNull() && value.toString() == marker;
}

// A lookup table's protected row, the one whose `field` holds `marker` (the default that other
// tables point to), cannot be deleted.
inline void RejectDeletingProtectedRow(odb::DataSet& ds, const QString& field, const QString& marker) {
    if (ColTextIs(ds, field, marker)) ds.RejectChange("Non puoi eliminare questo elemento", 0);
}

// Nor can its description be changed, when that marks it.
inline void RejectRenamingProtectedRow(odb::DataSet& ds, const QString& columnName, const QString& marker) {
    if (IsColumn(columnName, "Descrizione") && ColTextIs(ds, "Descrizione", marker))
        ds.RejectChange("Non puoi modificare la descrizione di questo elemento", 0);
}
