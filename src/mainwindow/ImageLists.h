// ImageLists: the main window's pictures, drawn by the program: the section tree's images (also
// on the section-items buttons), the toolbar's icons and the triangles of the tree pane's button.
#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

// A picture of the tree's image list by key ("Production", "Client", ...); a null pixmap for a
// key the list does not have.
QPixmap TreeImage(const QString& key, int size);
QIcon TreeIcon(const QString& key);
// A toolbar icon by key ("New", "Edit", "Delete", "Filter", "Find", "Refresh", "Print", "Control",
// "Memo", "SendMail").
QIcon ToolbarIcon(const QString& key);
// The tree pane button's picture: a triangle pointing left (hide) or right (show).
QIcon HideTreeIcon(bool pointsLeft);
// The program's own icon (window and tray).
QIcon ApplicationIcon();
