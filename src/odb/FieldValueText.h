// FieldValueText: a field's value as the windows show it, and a typed text read back as a value of
// the field, under Italian settings.
#pragma once

#include <QString>

#include "base/Variant.h"

namespace odb {

struct FieldDef;

// The value as shown: its value-list label, its format ("0000"), dates as "dd/mm/yyyy" (with the
// time when it has one), times as "hh:nn", currency as "1.234,50 €", Booleans as "Sì"/"No".
// Null and Empty give "".
QString FieldValueText(const FieldDef& field, const Variant& value);

// A typed text read as a value of the field: a value-list label (or its code), an Italian number,
// a date or time, an amount with or without "€", "Sì"/"No"; a blank text is Null. False, with
// `problem` set to the reason shown to the user, when the text does not read as the field's type.
bool ParseFieldText(const FieldDef& field, const QString& text, Variant& value, QString* problem = nullptr);

// A text as a Like pattern that matches it literally: "*", "?", "#" and "[" in brackets.
QString LikeLiteral(const QString& text);

}  // namespace odb
