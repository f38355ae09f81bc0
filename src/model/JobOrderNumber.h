// JobOrderNumber: the number text of job orders and of their details, and the next progressive
// number of a numbered table.
#pragma once

#include <QString>

#include <cstdint>
#include <optional>

#include "base/Variant.h"

namespace odb {
class DataSet;
}

class JobOrderNumber {
  public:
    // The number prefix of the job-order type row `type` stands on; "" when it stands on none.
    static QString Prefix(odb::DataSet& type);
    // A job order's number: the prefix and the progressive number with four digits ("4-0012"). A
    // Null number adds no digits.
    static QString Text(const QString& prefix, const Variant& progressive);
    // A detail's number: the prefix, the job order's number and "/" when the detail has a job
    // order (`progressive` given), then the sub-number with three digits ("1-0012/003").
    static QString DetailText(const QString& prefix, const std::optional<Variant>& progressive,
                              const Variant& subNumber);
    // 1 + the greatest `field` over every row of the table `tableName` (1 when it has none). The
    // table is opened as itself, never as the table of `ds`, which may be one derived from it and
    // see only some of its rows. Call it inside the write operation that stores the number, so
    // that no other computer stores the same one meanwhile.
    static int32_t Next(odb::DataSet& ds, const QString& tableName, const QString& field = "Progressivo");
    // 1 + the greatest `field` over the rows of `rows` (1 when none).
    static int32_t NextOver(odb::DataSet& rows, const QString& field);

    // A new detail's sub-number: 1 + the greatest `SottoProgressivo` of its job order's
    // `collection`. Left as it is when it is set already, when the detail has no job order, or
    // while an import brings the details with their own numbers.
    static void NumberNewDetail(odb::DataSet& detail, const QString& collection);
    // A new detail about to be stored whose sub-number another computer gave to a detail of the
    // same job order meanwhile takes the next one. Call it inside the write operation that stores it.
    static void KeepNewDetailNumberFree(odb::DataSet& detail, const QString& collection);
    // `NumeroCommessa` of a detail from its type row `type`, its job order and its sub-number; a
    // stored detail's steps take the new number too.
    static void SetDetailNumber(odb::DataSet& detail, odb::DataSet& type);
    // A stored job order given another number: the details of its `collection` (and their steps)
    // take it, so that their numbers keep leading to it.
    static void RenumberDetails(odb::DataSet& order, const QString& collection);
};
