// The number text of job orders and details, and the next progressive number.
#include "model/JobOrderNumber.h"

#include "base/Format.h"
#include "odb/DataSet.h"

QString JobOrderNumber::Prefix(odb::DataSet& type) {
    if (type.DataEmpty() || type.NoCurrentRow()) return {};
    return type.ColText("PrefissoNumero");
}

QString JobOrderNumber::Text(const QString& prefix, const Variant& progressive) {
    return prefix + VbFormat(progressive, "0000");
}

QString JobOrderNumber::DetailText(const QString& prefix, const std::optional<Variant>& progressive,
                                   const Variant& subNumber) {
    QString text = prefix;
    if (progressive) text += VbFormat(*progressive, "0000") + "/";
    return text + VbFormat(subNumber, "000");
}

int32_t JobOrderNumber::Next(odb::DataSet& ds, const QString& tableName, const QString& field) {
    const Variant highest = ds.OpenTable(tableName)->Aggregate(field, odb::aggMax);
    return (highest.isEmptyOrNull() ? 0 : Variant(highest.toDouble()).toLong()) + 1;
}
