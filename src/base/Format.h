// Formatting values for display, under Italian settings: VB's Format patterns and FormatNumber family.
#pragma once

#include <QString>

#include "base/Variant.h"

// VB's Format(value, pattern): digit patterns ("0000", "#,##0.00", "0%", sections split by ";")
// and date patterns ("dd/mm/yyyy", "hh:nn"); an empty pattern gives CStr. Null gives "".
QString VbFormat(const Variant& value, const QString& pattern);

// Tristate arguments: -1 True, 0 False, -2 the regional default.
QString VbFormatNumber(const Variant& value, int decimals = -1, int leadingDigit = -2, int parens = -2,
                       int groupDigits = -2);
QString VbFormatCurrency(const Variant& value, int decimals = -1, int leadingDigit = -2, int parens = -2,
                         int groupDigits = -2);
QString VbFormatPercent(const Variant& value, int decimals = -1, int leadingDigit = -2, int parens = -2,
                        int groupDigits = -2);
// 0 general, 1 long date, 2 short date, 3 long time, 4 short time.
QString VbFormatDateTime(const Variant& value, int namedFormat = 0);
