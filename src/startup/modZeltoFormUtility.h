// modZeltoFormUtility: small services that many windows share: the quick-search key text, the
// window placement in the settings store, the sort toggle of a grid column, the HTML export of a
// data set, menu arrays and the shared font adjustment.
#pragma once

#include <QString>

#include <cstdint>
#include <memory>

class QAction;
class QMenu;
class QWidget;

namespace odb {
class DataSet;
}

// Title of most message boxes of the program; nothing assigns it (the prompt service then uses
// the program's name).
extern QString g_strMsgBoxTitle;
// Font every window gets on load through ApplyFormFont; empty and 0 change nothing.
extern QString g_strFontName;
extern float g_sngFontSizeIncrement;

// The keystroke text of a virtual-key code (see KeyCodeToSendKeys); False for keys that type nothing.
bool KeyCodeToText(int16_t keyCode, QString& text);

// The window's placement, in twips, in the section "<window name>Settings" of the settings store
// (the window name is its object name, else its class name). A minimised or maximised window only
// writes its state, so that its last normal placement is kept.
void SaveFormSettings(QWidget* form, bool positionOnly = false);
// Restores the placement; a window without one comes up centred on the screen at its own size
// (a default of 0 means centred). Non-numeric stored values raise a type mismatch.
void LoadFormSettings(QWidget* form, bool skipState = false, bool positionOnly = false, float defaultLeft = 0,
                      float defaultTop = 0);
bool HasFormSettings(QWidget* form);

// Sorts the data set by a column (a second click on the same column reverses the direction) or by
// a complete sort text (holding a blank or a comma), set unchanged. Errors are shown, and the sort
// stays as it was.
void ToggleDataSort(const QString& columnOrSort, odb::DataSet* dataSet);

// Writes the rows of the data set to "TableData.htm" in the program folder, after offering the
// choice of the columns, and opens the page. Errors go to ShowErrorDetails.
void ExportHtmlTable(const std::shared_ptr<odb::DataSet>& dataSet, QWidget* owner, QString fieldList = {});

// A menu array is the actions of a menu, element 0 first: appends an element with the caption and
// the tag (kept as the action's data), enabled only when the tag is not empty.
QAction* AddMenuArrayItem(QMenu* menuArray, const QString& caption, const QString& tag);

// Gives the window and its controls the font name (fixed-pitch and symbol fonts excepted) and
// adds the size increment (points) to their font sizes.
void ApplyFormFont(QWidget* form, const QString& fontName, float sizeIncrement);
