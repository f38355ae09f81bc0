// DataPanelTools: the library's entry point to its panels.
#pragma once

#include <memory>

namespace odb {

class DataPanel;
class DataSet;

class DataPanelTools {
  public:
    // A panel over `dataSet`; raises the library's general error when there is no data set.
    static std::shared_ptr<DataPanel> CreatePanel(std::shared_ptr<DataSet> dataSet);
};

}  // namespace odb
