// The placement of dialogs and owned windows: the date dialogs at a position in twips, -1 meaning
// centred on the screen; the others centred on their owner; owned windows kept above their owner.
#pragma once

#include <cstdint>

class QWidget;

// Sets the dialog's left and top edges to `xTwips` and `yTwips`; a position of -1 becomes the one
// that centres the dialog, at its own size, on the screen of its owner.
void PlaceDialog(QWidget* dialog, int32_t yTwips, int32_t xTwips);

// Centres `window`, at its own size, on the window of `owner`, kept on the owner's screen. Owned
// windows that are not dialogs are otherwise put wherever the window manager likes, often over the
// owner's menu bar in a corner of the screen.
void CentreOnOwner(QWidget* window, const QWidget* owner);

// Makes `window` a window owned by the window of `owner`, which the window manager keeps above its
// owner (a click on the owner no longer buries it): a window of the dialog kind, its title buttons
// kept, that names the owner on its native window before each showing. The window need not be a
// child of the owner (a child is disabled with it). Called before the window is first shown.
void KeepAboveOwner(QWidget* window, QWidget* owner);
