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
    return NextOver(*ds.OpenTable(tableName), field);
}

int32_t JobOrderNumber::NextOver(odb::DataSet& rows, const QString& field) {
    const Variant highest = rows.Aggregate(field, odb::aggMax);
    return (highest.isEmptyOrNull() ? 0 : Variant(highest.toDouble()).toLong()) + 1;
}

void JobOrderNumber::NumberNewDetail(odb::DataSet& detail, const QString& collection) {
    if (detail.EventSource().SkipNumbering() || !detail.ColIsNull("SottoProgressivo")) return;
    auto order = detail.ParentRow();
    if (order->DataEmpty()) return;
    detail.SetColValue("SottoProgressivo", NextOver(*order->GetReference(collection), "SottoProgressivo"));
}

void JobOrderNumber::KeepNewDetailNumberFree(odb::DataSet& detail, const QString& collection) {
    if (!detail.IsNewRow() || detail.EventSource().SkipNumbering() || detail.ColIsNull("SottoProgressivo"))
        return;
    auto order = detail.ParentRow();
    if (order->DataEmpty()) return;
    auto details = order->GetReference(collection);
    const QString number = QString::number(detail.ColNumber("SottoProgressivo"), 'f', 0);
    if (!details->FindRow("SottoProgressivo=" + number)) return;
    detail.SetColValue("SottoProgressivo", NextOver(*details, "SottoProgressivo"));
}

void JobOrderNumber::SetDetailNumber(odb::DataSet& detail, odb::DataSet& type) {
    auto order = detail.ParentRow();
    std::optional<Variant> progressive;
    if (!order->DataEmpty()) progressive = order->ColValue("Progressivo");
    const QString number = DetailText(Prefix(type), progressive, detail.ColValue("SottoProgressivo"));
    const QString old = detail.ColText("NumeroCommessa");
    detail.SetColValue("NumeroCommessa", number);
    // The steps carry their detail's number, or the detail would refuse them as another's.
    if (detail.IsNewRow() || number == old) return;
    auto steps = detail.GetReference("Passaggi");
    for (steps->RowFirst(); !steps->RowInvalid(); steps->RowNext())
        if (steps->SetColValue("NumeroCommessa", number)) steps->SaveRow();
}

void JobOrderNumber::RenumberDetails(odb::DataSet& order, const QString& collection) {
    if (order.IsNewRow()) return;
    auto details = order.GetReference(collection);
    for (details->RowFirst(); !details->RowInvalid(); details->RowNext()) {
        SetDetailNumber(*details, *details->GetReference("Tipo"));
        details->SaveRow();
    }
}
