// The script texts a new report profile starts with: one function of the report script each, in a
// frame of comments naming what the engine offers there. Lines end with CR LF; each text ends with an
// empty line.
#pragma once

#include <QString>

// PrintReportMask(ds, prn, bTotal): the module's mask, at the end of each module and once for the totals.
QString ReportMaskTemplate();
// PrintReportRow(dsRow, prn, nRow): one detail row.
QString ReportRowTemplate();
// PrintDataInit(dsRow, prn): the rows' order and filter before the first row.
QString ReportDataTemplate();
// PrintNoteRow(sNoteRow, ds, prn, nRow): one note line; the same text the run appends when a layout
// printed with notes has none.
QString ReportNoteTemplate();
// The script of a new profile: mask, row and data templates, then the note template when the report
// prints notes.
QString DefaultReportScript(bool notes);
