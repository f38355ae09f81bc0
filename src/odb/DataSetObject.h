// DataSetObject: a data set as scripts see it (`ds`, `dsRow`): its members called by name.
#pragma once

#include <memory>

#include "base/Dispatch.h"

namespace odb {

class DataSet;

class DataSetObject : public Dispatch {
  public:
    explicit DataSetObject(std::shared_ptr<DataSet> dataSet);
    DataSet& dataSet() const { return *dataSet_; }
    const std::shared_ptr<DataSet>& shared() const { return dataSet_; }

  private:
    std::shared_ptr<DataSet> dataSet_;
};

}  // namespace odb
