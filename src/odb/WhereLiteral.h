// WhereLiteral: values written as literals of the library's where-texts.
#pragma once

#include <QString>

#include "base/Variant.h"

namespace odb {

class WhereLiteral {
  public:
    // 'text' with inner quotes doubled.
    static QString text(const QString& s);
    // #mm/dd/yyyy# or #mm/dd/yyyy hh:nn:ss#.
    static QString date(double oleDate, bool withTime);
    // Any value: Null as Null, Booleans True/False, numbers with "." as decimal point, dates as above.
    static QString value(const Variant& v);
};

}  // namespace odb
