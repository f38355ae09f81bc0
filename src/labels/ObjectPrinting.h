// Printing an external document through the object viewer, as both print engines' PrintObject do, and
// the size a page takes on the screen.
#pragma once

#include <QSizeF>
#include <QString>

class Object;

// A page of height h and width w as large as 95 % of the screen allows, in its proportions (mm).
QSizeF PageOnScreen(float h, float w);

// Hosts a control of the class in the object viewer, applies the setting text to it ("Name=value" sets
// a property, "Name argument" calls a method) and shows the viewer modally, which prints with the print
// method text at once (printing) or when the user asks (preview). The viewer takes the current
// printer's page proportions in the wanted orientation; the engine's own sizes are left alone. A
// failed setting raises the engines' error with `engine` as its source.
void PrintThroughObjectViewer(const Object& engine, const QString& classId, const QString& setting,
                              const QString& printMethod, bool preview, bool horizontal);
