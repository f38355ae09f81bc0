// DataPanelTools: the library's entry point to its panels, grid layouts and filter dialogs.
#pragma once

#include <QString>

#include <memory>

class QWidget;

namespace odb {

class DataPanel;
class DataSet;
class GridLayout;
class SelectionSet;

class DataPanelTools {
  public:
    // A panel over `dataSet`; raises the library's general error when there is no data set.
    static std::shared_ptr<DataPanel> CreatePanel(std::shared_ptr<DataSet> dataSet, QWidget* owner = nullptr,
                                                  const QString& unused = {});
    // The grid layout of `table` kept in the grid settings file at `path`.
    static std::shared_ptr<GridLayout> LoadGridLayout(const QString& path, const QString& table,
                                                      const QString& unused = {});
    // The conditions dialog over `set`: `mode` 0 the complex filter, whose filters are saved,
    // loaded and deleted by name in it; -1 the predefined selections, which the caller saves.
    // True on OK (the set then holds the conditions), False on Cancel (the set is left as it was).
    static bool ComplexFilter(SelectionSet& set, QWidget* owner, int32_t flag1, int32_t flag2, int32_t mode,
                              const QString& title, int32_t flag3 = 0, int32_t flag4 = 0);
};

}  // namespace odb
