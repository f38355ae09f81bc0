// The pictures of the report preview's command bar, drawn: first and last page (a bar and a
// triangle), print, copy to the clipboard and exit.
#pragma once

#include <QIcon>

QIcon FirstPageIcon();
QIcon LastPageIcon();
QIcon PrinterIcon();
QIcon ClipboardIcon();
QIcon ExitIcon();
