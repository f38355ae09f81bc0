// The program folder: where the program keeps "Error.htm", "TableData.htm", "prtct1.sys" and the
// grid layout file. The executable's folder when writable, otherwise a per-user data folder.
#pragma once

#include <QString>

QString ProgramFolder();
void SetProgramFolder(const QString& folder);  // tests point it at their temporary folder
// The executable's name without extension ("ZeltoLavrix").
QString ExecutableName();
