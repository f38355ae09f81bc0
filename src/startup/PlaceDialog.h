// The placement of the date dialogs: a position in twips, -1 meaning centred on the screen.
#pragma once

#include <cstdint>

class QWidget;

// Sets the dialog's left and top edges to `xTwips` and `yTwips`; a position of -1 becomes the one
// that centres the dialog, at its own size, on the screen of its owner.
void PlaceDialog(QWidget* dialog, int32_t yTwips, int32_t xTwips);
