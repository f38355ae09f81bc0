// A stand-in for the data set, exposing the members layout scripts call, so that layout scripts run
// on the real engines without a database.
#pragma once

#include <QHash>
#include <QStringList>

#include <memory>
#include <vector>

#include "base/Dispatch.h"

namespace vbstest {

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
