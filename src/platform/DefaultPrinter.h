// The default printer's name: the system's, or the one a printer dialog of this run made the default.
#pragma once

#include <QString>

QString DefaultPrinterName();
// A printer dialog that "makes the choice the default" sets it here for the rest of the run;
// an empty name goes back to the system's default. Tests set it too.
void SetDefaultPrinterName(const QString& name);
