// The panels' entry point.
#include "odb/ui/DataPanelTools.h"

#include <QDialog>

#include "odb/GridLayout.h"
#include "odb/LibraryError.h"
#include "odb/SelectionSet.h"
#include "odb/ui/ComplexFilterDialog.h"
#include "odb/ui/DataPanel.h"
#include "odb/ui/ModalDialog.h"

namespace odb {

std::shared_ptr<DataPanel> DataPanelTools::CreatePanel(std::shared_ptr<DataSet> dataSet, QWidget* owner,
                                                       const QString&) {
    if (!dataSet) LibraryError::Raise(odbErrGeneral);
    return std::make_shared<DataPanel>(std::move(dataSet), owner);
}

std::shared_ptr<GridLayout> DataPanelTools::LoadGridLayout(const QString& path, const QString& table,
                                                           const QString&) {
    return GridLayout::Load(path, table);
}

bool DataPanelTools::ComplexFilter(SelectionSet& set, QWidget* owner, int32_t, int32_t, int32_t mode,
                                   const QString& title, int32_t, int32_t) {
    ComplexFilterDialog dialog(set, mode == 0, title, owner);
    return RunModal(dialog) == QDialog::Accepted;
}

}  // namespace odb
