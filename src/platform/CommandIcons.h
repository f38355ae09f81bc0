// Pictures of the layout windows' small command buttons, drawn: search in the script, delete the
// profile, printer setup. The program's fonts hold no symbol glyphs for them.
#pragma once

#include <QIcon>

QIcon SearchIcon();
QIcon DeleteIcon();
QIcon PrinterSetupIcon();
