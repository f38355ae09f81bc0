// ExpandReminderText: a reminder rule's template with its placeholders "<%Field%>" filled from
// the source row.
#pragma once

#include <QString>

namespace odb {
class DataSet;
}

// The longest text a reminder keeps (Promemoria.TestoPromemoria).
inline constexpr int kReminderTextLength = 255;

// One pass over the template: each "<%name%>" becomes the text of the column's value (Null gives
// ""), or "# Non identificato: name#" when the source has no such column; an inserted value is
// never read again. A "<%" with no "%>" after it shows "Messaggio non corretto." through the source
// and gives "". The result is cut to what a reminder keeps.
QString ExpandReminderText(odb::DataSet& source, const QString& templateText);
// True when expanding the template shows that message, whatever the row.
bool ReminderTemplateShowsMessage(const QString& templateText);
