// The panels' entry point.
#include "odb/ui/DataPanelTools.h"

#include "odb/DbmsGlobal.h"
#include "odb/ui/DataPanel.h"

namespace odb {

std::shared_ptr<DataPanel> DataPanelTools::CreatePanel(std::shared_ptr<DataSet> dataSet) {
    if (!dataSet) DbmsGlobal::Raise(odbErrGeneral);
    return std::make_shared<DataPanel>(std::move(dataSet));
}

}  // namespace odb
