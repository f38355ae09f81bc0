// Italian regional settings whatever the machine's locale, and Qt's own Italian translations.
#pragma once

class QCoreApplication;

// Sets the default QLocale to Italian (Italy) and loads qtbase_it.qm when it is installed.
void InstallItalianLocale(QCoreApplication& app);
