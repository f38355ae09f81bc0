// Recording stand-ins for the report print engine and the data set, exposing the members
// layout scripts call, so that tests read the sequence of drawing calls a script makes.
#pragma once

#include <QHash>
#include <QStringList>

#include <memory>
#include <vector>

#include "base/Dispatch.h"

namespace vbstest {

// Script variables as the engines keep them: keys without regard to case, a replaced entry moving
// to the end.
class ScriptVars {
  public:
    Variant get(const Variant& key, const Variant& missing) const;
    void let(const Variant& key, const Variant& value);
    int count() const { return static_cast<int>(entries_.size()); }
    void reset() { entries_.clear(); }

  private:
    std::vector<std::pair<QString, Variant>> entries_;
};

// Every call as "Name a|b|c" with the converted arguments; omitted optional ones as "-".
class FakeReport : public Dispatch {
  public:
    FakeReport();
    QStringList calls;
    bool preview = false;
    int32_t color = 0;
    bool rowPrinting = false;
    bool ignoreNextNewRow = false;
    bool lastRow = false;
    int16_t moduleCount = 0;
    ScriptVars vars;
    void record(const QString& name, const DispatchArgs& args);

  private:
    static const DispatchClass& members();
};

// Rows of named fields; GetReference gives the data set registered under that name.
class FakeDataSet : public Dispatch {
  public:
    FakeDataSet();
    std::vector<std::vector<std::pair<QString, Variant>>> rows;
    int current = 0;
    QHash<QString, std::shared_ptr<FakeDataSet>> references;
    QString sortOrder, filter;
    QStringList calls;

    Variant field(const QString& name) const;

  private:
    static const DispatchClass& members();
};

}  // namespace vbstest
