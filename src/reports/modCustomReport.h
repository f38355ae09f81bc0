// modCustomReport: the contract between a report layout's script and the report run (the script made
// from the layout text, with a default note function when needed, and the four functions it defines),
// and the report run itself: the layouts of a data set's table, chosen, run over its rows, references,
// selected rows, copies and note lines, printed or previewed.
#pragma once

#include <QString>

#include <cstdint>
#include <memory>

#include "base/Variant.h"

class QWidget;
class clsCustomReport;

namespace odb {
class DataSet;
}
namespace vbs {
class ScriptHost;
}

// ---- the script contract ----

// The script of a report: sCode, or the engine's script when sCode is empty, with the default note
// function appended when there are notes and the text has no "PrintNoteRow(" (letter case counts).
// Null after showing why it did not load.
std::unique_ptr<vbs::ScriptHost> CreateReportScript(clsCustomReport& prn, const QString& sCode, bool bNotes);
// The default note function: the notes take no row of the band and draw nothing.
QString DefaultNoteFunction();

// The four calls of a report script. Each shows the error of a failed call with its heading and
// script line and returns False; otherwise the function's result as Boolean. Data sets and engine are
// taken back from the script, which may have replaced them.
bool RunPrintDataInit(std::shared_ptr<odb::DataSet>& dsRow, std::shared_ptr<clsCustomReport>& prn,
                      vbs::ScriptHost& script);
bool RunPrintReportRow(std::shared_ptr<odb::DataSet>& dsRow, std::shared_ptr<clsCustomReport>& prn,
                       vbs::ScriptHost& script, int32_t& nRow);
bool RunPrintNoteRow(const QString& sNoteRow, std::shared_ptr<odb::DataSet>& ds,
                     std::shared_ptr<clsCustomReport>& prn, vbs::ScriptHost& script, int32_t& nRow);
bool RunPrintReportMask(std::shared_ptr<odb::DataSet>& ds, std::shared_ptr<clsCustomReport>& prn,
                        vbs::ScriptHost& script, bool bTotal);

// The time each call of a report script may take, in milliseconds; 0 (at start) keeps the script
// host's own limit. Tests shorten it.
void SetReportScriptTimeout(int milliseconds);

// ---- the run ----

// How a run ended: every row printed; stopped by test mode after its first module (its only stop);
// stopped otherwise (a check, the user, a script, an error).
enum class ReportRunEnd { Completed, TestPageDone, Stopped };

// True when TabProspettiStampa holds a layout for the table of ds or one of its base tables, in the
// group and with the report name when these are not empty.
bool HasCustomReport(odb::DataSet& ds, const QString& group = {}, const QString& report = {});

// Prints or previews the report over the rows of ds:
//  owner      the window the progress and the preview stand over
//  report     an engine the caller set up (the layout editor's), or null: the layout is looked up
//  reference  "" the rows of ds; "*" any layout with a reference (its reference decides);
//             "[ tutti i riferimenti ]" every listed reference of the row; a name: that reference
//  rowLimit   1 or more: that many detail rows; -1 test mode (one module, marked); else no limit
//  copies     copies of each item (the printer chooser may change them)
//  noteField  field of ds whose lines are printed as notes after the rows
//  selection  a grid's SelBookmarks or another collection of bookmarks; missing: none
//  group      NomeGruppo of the layouts looked up; printedField a Boolean field of ds that records a
//             completed print (asked before and after); `end`, when given, receives how the run ended.
// True when the last pass ended without a stop. A run while another is under way is refused with a
// beep.
bool PrintCustomReports(QWidget* owner, std::shared_ptr<odb::DataSet>& ds,
                        std::shared_ptr<clsCustomReport> report, const QString& reference,
                        const QString& reportName, int32_t rowLimit, bool preview, int16_t copies,
                        const QString& noteField, const Variant& selection = Variant::missing(),
                        const QString& group = {}, const QString& printedField = {},
                        ReportRunEnd* end = nullptr);
