// The application's shared state: configuration, workstation roles, the logged-in user, the card
// device and the main window's date selection. The database and working hours live in
// model/ModelState.h, where the table rules can see them.
#pragma once

#include <QString>

#include <cstdint>

#include "base/Variant.h"
#include "model/ModelState.h"

extern QString g_strRootDir;                    // work folder holding the database, "Docs", "Updates"
extern bool g_blnIsWorkStation;                 // a shop-floor workstation
extern bool g_blnIsMailNotificationServer;      // sends the e-mail notifications
extern QString g_strCommandPanelUserName;       // user of the workstation command panel ("Operatore")
extern int16_t g_intNumCommVisible;             // lines of the control panel's list (50)
extern int32_t g_lngIntervalTimerControlPanel;  // minutes between control panel refreshes (1)
extern bool g_blnCommandPanelClosed;            // the command panel was closed by its user
extern bool g_blnCommandPanelActive;            // the command panel is loaded
extern int32_t g_intDatabaseType;               // 0; 3 once the database was opened
extern QString g_strCurrentUser;                // the logged-in user
extern Variant g_vntCurrentUserKey;             // key of the logged-in user's row

extern int32_t g_intMagneticDevType;  // card device: 0, 1, 2 drivers; 9999 none
extern int16_t g_intCOMPortNumber;    // its serial port number
extern QString g_strCOMPortParam;     // its line parameters ("9600,n,8,1")

// The main window's date selection.
extern bool g_blnSelDate;
extern bool g_blnSelMonth;
extern bool g_blnSelPeriod;
extern Variant g_vntSelDate;
extern Variant g_vntSelFromDate;
extern Variant g_vntSelToDate;

// Names the program goes by: the settings' application name and the executable's name.
inline const QString kAppSettingsName = QStringLiteral("Zelto Lavrix");
inline const QString kAppExeName = QStringLiteral("ZeltoLavrix");
// The database file in the work folder.
inline const QString kDatabaseFileName = QStringLiteral("ZeltoLavrix.mdb");
// The program's version, as the splash shows it: "2.2.49".
QString AppVersionText();
int AppVersionMajor();
int AppVersionMinor();
int AppVersionRevision();
