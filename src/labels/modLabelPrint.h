// modLabelPrint: label layouts of a table (a row of TabStampaEtichette each), their script, the print
// run over the rows of a data set and the one-row preview.
#pragma once

#include <QString>

#include <cstdint>
#include <memory>

#include "base/Variant.h"

class QWidget;
class clsLabelPrint;
class frmLabelPreview;

namespace odb {
class DataSet;
}
namespace vbs {
class ScriptHost;
}

// The engine a run keeps for the next one when it did not end the document (two data sets on one
// sheet); a run that ends the document releases it.
extern std::shared_ptr<clsLabelPrint> g_objLabelPrint;

// True when TabStampaEtichette holds a layout for the table.
bool HasLabelSetting(const QString& tableName);

// A script host loaded with the layout script (vbscript, the code, a 30 s limit), with the program's
// clock and prompt; null after showing why the script does not load.
std::unique_ptr<vbs::ScriptHost> CreateLabelScript(const QString& script);
// PrintLabel(ds, prn) on a freshly loaded script; False after an error, which it shows.
bool RunLabelScript(std::shared_ptr<odb::DataSet>& ds, std::shared_ptr<clsLabelPrint>& prn,
                    const QString& script);
// PrintLabel(ds, prn) on a loaded script: both taken back, the result as Boolean; False after an
// error, which it shows.
bool RunPrintLabel(std::shared_ptr<odb::DataSet>& ds, std::shared_ptr<clsLabelPrint>& prn,
                   vbs::ScriptHost& script);

// Prints the labels of the rows of `ds` with the layout of its table (or of `table`):
//  selection  a grid's SelBookmarks (0-based) or another collection of bookmarks with Count and Item
//             (1-based); missing: no selection
//  selOnly    True: the rows of the selection, or the current row without one; False: every row
//  table      the layout's table, whose rows (related to those of `ds`) the script gets; "": ds's own
//  skip       positions to leave empty; negative: ask (-1 also checks that a row is current)
//  endDoc     end the print document when the run ends; False keeps it for a following run
//  preview    null: print; a window: one row of labels drawn on it instead
//  qtyDefault labels per row and copy, unless `qtyField` names a field of `ds` holding them;
//  askQty     asks them for every row and copy, showing the item's `promptField`.
// Returns the positions used on the current sheet after printing, 0 otherwise.
int16_t PrintLabels(QWidget* frm, std::shared_ptr<odb::DataSet>& ds, const Variant& selection, bool selOnly,
                    const QString& table, int16_t skip, bool endDoc, frmLabelPreview*& preview,
                    int32_t qtyDefault = 1, const QString& qtyField = {}, bool askQty = false,
                    const QString& promptField = {});
// The same over a grid's selected bookmarks (the grid's SelBookmarks list), in the order selected.
int16_t PrintLabels(QWidget* frm, std::shared_ptr<odb::DataSet>& ds, const VariantList& gridBookmarks,
                    bool selOnly, const QString& table, int16_t skip, bool endDoc, frmLabelPreview*& preview,
                    int32_t qtyDefault = 1, const QString& qtyField = {}, bool askQty = false,
                    const QString& promptField = {});

// One row of labels of one data row, each label from a freshly loaded script, on the preview window
// (shown modally afterwards) or printed on the printer of that name. `choose` lets the user pick the
// row. True when the row of labels was produced.
bool ShowLabelPreview(frmLabelPreview* window, std::shared_ptr<odb::DataSet>& ds, float height, float width,
                      float top, float left, int32_t columns, bool horizontal, const QString& script,
                      bool choose);
bool ShowLabelPreview(const QString& printerName, std::shared_ptr<odb::DataSet>& ds, float height,
                      float width, float top, float left, int32_t columns, bool horizontal,
                      const QString& script, bool choose);
