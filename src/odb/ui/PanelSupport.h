// What the library's windows share: measures in twips, messages and questions through the
// database's notification sink (so that the program shows them and tests read them), and the
// rights the user's access level gives.
#pragma once

#include <QString>

#include <memory>

class QDialog;
class QFontMetrics;
class QWidget;

namespace odb {

class Connection;
class DataSet;
class Database;
struct FieldDef;

// Twips (1/1440 inch) and pixels of a widget's screen.
int TwipsFromPixels(int pixels, const QWidget* widget);
int PixelsFromTwips(int twips, const QWidget* widget);

// The width in pixels a grid column of field `f` starts with: room for a typical value of its type
// (the labels of a value list), and never less than its header.
int ColumnWidthFor(const FieldDef& f, const QString& header, const QFontMetrics& fm);

// A message (a refusal, a value that does not read as its field) through itfNotifyEvent.
void ShowPanelMessage(Database& database, const QString& text);
// An OK/Cancel question through itfNotifyEvent; True for OK. With no sink: `defaultCancel` decides.
bool AskPanelQuestion(Database& database, const QString& text, bool defaultCancel = true);

// Closes `dialog` as its Cancel does when `connection` (the one its rows are read through) is
// about to close, so that no window stays on rows of a file the program lets go.
void CloseWithConnection(QDialog& dialog, const std::shared_ptr<Connection>& connection);
// True when the connection of `dataSet` has closed (a window on it came back because of that).
bool ConnectionClosed(const DataSet& dataSet);

// Access levels: "Solo Commesse" (-1), "Interrogazione" (0), "Amministrazione" (1).
inline constexpr int kLevelJobOrdersOnly = -1;
inline constexpr int kLevelQuery = 0;
// The panels change nothing at the query level.
bool PanelsReadOnly(const Database& database);
// A field the user may type into, at the user's level: not computed or written by the program
// itself (ReadOnly), and at "Solo Commesse" not an identity or booking field (first flag word 1).
bool FieldEditable(const Database& database, const FieldDef& field);

}  // namespace odb
