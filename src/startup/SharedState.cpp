// The shared state's initial values.
#include "startup/SharedState.h"

QString g_strRootDir;
bool g_blnIsWorkStation = false;
bool g_blnIsMailNotificationServer = false;
QString g_strCommandPanelUserName = QStringLiteral("Operatore");
int16_t g_intNumCommVisible = 50;
int32_t g_lngIntervalTimerControlPanel = 1;
bool g_blnCommandPanelClosed = false;
bool g_blnCommandPanelActive = false;
int32_t g_intDatabaseType = 0;
QString g_strCurrentUser;
Variant g_vntCurrentUserKey;

int32_t g_intMagneticDevType = 0;
int16_t g_intCOMPortNumber = 1;
QString g_strCOMPortParam = QStringLiteral("9600,n,8,1");

bool g_blnSelDate = false;
bool g_blnSelMonth = false;
bool g_blnSelPeriod = false;
Variant g_vntSelDate;
Variant g_vntSelFromDate;
Variant g_vntSelToDate;

int AppVersionMajor() {
    return ZL_VERSION_MAJOR;
}
int AppVersionMinor() {
    return ZL_VERSION_MINOR;
}
int AppVersionRevision() {
    return ZL_VERSION_PATCH;
}
QString AppVersionText() {
    return QStringLiteral("%1.%2.%3").arg(AppVersionMajor()).arg(AppVersionMinor()).arg(AppVersionRevision());
}
