// The script face of a data set: navigation, values, references, order and filter by name.
#include "odb/DataSetObject.h"

#include "odb/DataSet.h"

namespace odb {

namespace {

const DispatchClass& dataSetClass() {
    static const DispatchClassOf<DataSetObject> cls = [] {
        DispatchClassOf<DataSetObject> c(QStringLiteral("DataSet"));
        auto& ds = c;
        ds.method("RowFirst", {}, [](DataSetObject& o, DispatchArgs&) { return o.dataSet().RowFirst(); });
        ds.method("RowNext", {}, [](DataSetObject& o, DispatchArgs&) { return o.dataSet().RowNext(); });
        ds.method("RowPrevious", {},
                  [](DataSetObject& o, DispatchArgs&) { return o.dataSet().RowPrevious(); });
        ds.method("RowLast", {}, [](DataSetObject& o, DispatchArgs&) { return o.dataSet().RowLast(); });
        ds.method("StepToLastRow", {},
                  [](DataSetObject& o, DispatchArgs&) { return o.dataSet().StepToLastRow(); });
        ds.get("RowInvalid", {}, [](DataSetObject& o, DispatchArgs&) { return o.dataSet().RowInvalid(); });
        ds.get("RowUnavailable", {},
               [](DataSetObject& o, DispatchArgs&) { return o.dataSet().RowUnavailable(); });
        ds.get("NoCurrentRow", {},
               [](DataSetObject& o, DispatchArgs&) { return o.dataSet().NoCurrentRow(); });
        ds.get("DataEmpty", {}, [](DataSetObject& o, DispatchArgs&) { return o.dataSet().DataEmpty(); });
        ds.get("RowCount", {OptParam("Flags")},
               [](DataSetObject& o, DispatchArgs&) { return o.dataSet().RowCount(); });
        ds.get("ColValue", {Param("Name", VarType::String)},
               [](DataSetObject& o, DispatchArgs& a) { return o.dataSet().ColValue(a.string(0)); });
        ds.get("ColText", {Param("Name", VarType::String)},
               [](DataSetObject& o, DispatchArgs& a) { return o.dataSet().ColText(a.string(0)); });
        ds.get("ColNumber", {Param("Name", VarType::String)},
               [](DataSetObject& o, DispatchArgs& a) { return o.dataSet().ColNumber(a.string(0)); });
        ds.get("ColValueBool", {Param("Name", VarType::String)},
               [](DataSetObject& o, DispatchArgs& a) { return o.dataSet().ColValueBool(a.string(0)); });
        ds.get("ColIsNull", {Param("Name", VarType::String)},
               [](DataSetObject& o, DispatchArgs& a) { return o.dataSet().ColIsNull(a.string(0)); });
        ds.get("FormattedColValue", {Param("Name", VarType::String)},
               [](DataSetObject& o, DispatchArgs& a) { return o.dataSet().FormattedColValue(a.string(0)); });
        ds.get("GetReference",
               {Param("Name", VarType::String), OptParam("Where", VarType::String, Variant(""))},
               [](DataSetObject& o, DispatchArgs& a) {
                   return o.dataSet().GetReference(a.string(0), a.string(1))->AsObject();
               });
        ds.get("Bookmark", {OptParam("Flags")},
               [](DataSetObject& o, DispatchArgs&) { return o.dataSet().Bookmark(); });
        ds.method("GotoBookmark", {Param("Bookmark")},
                  [](DataSetObject& o, DispatchArgs& a) { return o.dataSet().GotoBookmark(a[0]); });
        ds.get("SortOrder", {}, [](DataSetObject& o, DispatchArgs&) { return o.dataSet().SortOrder(); });
        ds.let("SortOrder", {Param("Order", VarType::String)},
               [](DataSetObject& o, DispatchArgs& a) { o.dataSet().SetSortOrder(a.string(0)); });
        ds.get("Filter", {}, [](DataSetObject& o, DispatchArgs&) { return o.dataSet().Filter(); });
        ds.let("Filter", {Param("Filter", VarType::String)},
               [](DataSetObject& o, DispatchArgs& a) { o.dataSet().SetFilter(a.string(0)); });
        return c;
    }();
    return cls;
}

}  // namespace

DataSetObject::DataSetObject(std::shared_ptr<DataSet> dataSet)
    : Dispatch(dataSetClass()), dataSet_(std::move(dataSet)) {}

}  // namespace odb
