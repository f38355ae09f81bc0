// The drawing vocabulary of the print engines as helpers over a surface: wrapped text, right-aligned
// and turned text, boxes, circles, lines, image files and the font. Positions are surface units with
// X first; the engines add their label or module offsets before calling.
#pragma once

#include <QString>

#include <cstdint>

class DrawSurface;
class QImage;
class Object;

// Prints the text from (x, y) line by line and returns the width of the widest line. Breaks: with
// keepBreaks every LF is a CR and doubled CRs are one, each CR starts a line; without, CR and LF are
// spaces. A positive wrap cuts lines wider than it at their last space, or inside a word when it has
// none (at least one character a line). advanceAfterWhole moves the current point one line down after
// an unwrapped last line too, as reports need to measure the depth reached.
float DrawTextLines(DrawSurface& surface, float x, float y, QString text, float wrap, bool keepBreaks,
                    bool advanceAfterWhole = false);
// Prints the text as one line ending at endX; returns its width.
float DrawTextRight(DrawSurface& surface, float y, float endX, const QString& text);
// Draws the text turned on an opaque white block at (x, y), reading downward or upward; with
// raiseToBase the block is raised by its length less a line height. Returns the text's width. A block
// that cannot be made raises the engines' errors with `source` as their source.
float DrawTurnedText(DrawSurface& surface, float x, float y, const QString& text, bool upward,
                     bool raiseToBase, int32_t color, const Object& source);
// A box filled in the fill colour and outlined in the fore colour, or only its four sides.
// The fill style is transparent afterwards either way.
void DrawBox(DrawSurface& surface, float x, float y, float x2, float y2, bool fill);
void DrawCircle(DrawSurface& surface, float x, float y, float radius, bool fill);
// A horizontal or vertical line is drawn in the box form, any other as a segment.
void DrawLine(DrawSurface& surface, float x, float y, float x2, float y2);
// A picture file as the engines read it, WMF and EMF included: only a regular file is opened (a
// missing file, a folder, a named pipe or a device is NotAFile); a picture of more than
// kMaxPicturePixels, far beyond what a page shows at any printer's resolution, is NotAPicture like a
// file that is no picture.
enum class PictureFile { Loaded, NotAFile, NotAPicture };
inline constexpr qint64 kMaxPicturePixels = 64LL * 1000 * 1000;
PictureFile ReadPictureFile(const QString& path, QImage& picture);
// The picture in the file (relative names are in the program folder) at (x, y): at its own size when a
// size is 0, stretched to dimX x dimY, or, not stretched, its top-left region of that size at its own
// scale. A missing file (or one that is no regular file) is told to the user and nothing is drawn; a file
// that is no picture raises 481.
void DrawImageFile(DrawSurface& surface, const QString& file, float x, float y, float dimY, float dimX,
                   bool stretch);
// The font: a face name that is not empty replaces the face; the size is in points on a printer and
// divided by the surface's units per millimetre elsewhere, so text keeps its size on the page.
void SetSurfaceFont(DrawSurface& surface, int16_t size, bool bold, bool italic, const QString& name,
                    bool underline);
// Units of the surface per millimetre of the device: 1 on a printer.
float PreviewFactor(const DrawSurface& surface);
