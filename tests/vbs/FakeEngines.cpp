// The fake data set of the layout script tests.
#include "FakeEngines.h"

#include "base/AppError.h"

namespace vbstest {

FakeDataSet::FakeDataSet() : Dispatch(members()) {}

Variant FakeDataSet::field(const QString& name) const {
    if (current < 0 || current >= static_cast<int>(rows.size()))
        throw AppError(kAppErrorNumber, QStringLiteral("DataSet"), QStringLiteral("Nessuna riga corrente"));
    for (const auto& f : rows[current])
        if (f.first.compare(name, Qt::CaseInsensitive) == 0) return f.second;
    throw AppError(kAppErrorNumber, QStringLiteral("DataSet"),
                   QStringLiteral("Campo inesistente: %1").arg(name));
}

const DispatchClass& FakeDataSet::members() {
    static const DispatchClassOf<FakeDataSet> cls = [] {
        DispatchClassOf<FakeDataSet> c(QStringLiteral("DataSet"));
        c.method(QStringLiteral("ColValue"), {Param(QStringLiteral("name"), VarType::String)},
                 [](FakeDataSet& d, DispatchArgs& a) { return d.field(a.string(0)); })
            .method(QStringLiteral("FormattedColValue"), {Param(QStringLiteral("name"), VarType::String)},
                    [](FakeDataSet& d, DispatchArgs& a) {
                        return QStringLiteral("[%1]").arg(d.field(a.string(0)).toText());
                    })
            .method(QStringLiteral("GetReference"), {Param(QStringLiteral("name"), VarType::String)},
                    [](FakeDataSet& d, DispatchArgs& a) {
                        const auto r = d.references.value(a.string(0).toLower());
                        if (!r)
                            throw AppError(kAppErrorNumber, QStringLiteral("DataSet"),
                                           QStringLiteral("Riferimento inesistente"));
                        return Variant(ObjectRef(r));
                    })
            .method(QStringLiteral("RowFirst"), {}, [](FakeDataSet& d, DispatchArgs&) { d.current = 0; })
            .method(QStringLiteral("RowNext"), {}, [](FakeDataSet& d, DispatchArgs&) { ++d.current; })
            .method(QStringLiteral("RowPrevious"), {}, [](FakeDataSet& d, DispatchArgs&) { --d.current; })
            .method(QStringLiteral("RowLast"), {},
                    [](FakeDataSet& d, DispatchArgs&) { d.current = static_cast<int>(d.rows.size()) - 1; })
            .get(QStringLiteral("RowInvalid"), {},
                 [](FakeDataSet& d, DispatchArgs&) {
                     return d.current < 0 || d.current >= static_cast<int>(d.rows.size());
                 })
            .get(QStringLiteral("DataEmpty"), {},
                 [](FakeDataSet& d, DispatchArgs&) { return d.rows.empty(); })
            .method(QStringLiteral("RowCount"),
                    {OptParam(QStringLiteral("all"), VarType::Boolean, Variant(false))},
                    [](FakeDataSet& d, DispatchArgs&) { return static_cast<int32_t>(d.rows.size()); })
            .let(QStringLiteral("SortOrder"), {Param(QStringLiteral("value"), VarType::String)},
                 [](FakeDataSet& d, DispatchArgs& a) {
                     d.sortOrder = a.string(0);
                     d.calls << QStringLiteral("SortOrder ") + d.sortOrder;
                 })
            .get(QStringLiteral("SortOrder"), {}, [](FakeDataSet& d, DispatchArgs&) { return d.sortOrder; })
            .let(QStringLiteral("Filter"), {Param(QStringLiteral("value"), VarType::String)},
                 [](FakeDataSet& d, DispatchArgs& a) {
                     d.filter = a.string(0);
                     d.calls << QStringLiteral("Filter ") + d.filter;
                 })
            .get(QStringLiteral("Filter"), {}, [](FakeDataSet& d, DispatchArgs&) { return d.filter; });
        return c;
    }();
    return cls;
}

}  // namespace vbstest
