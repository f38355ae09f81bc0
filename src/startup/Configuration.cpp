// Reading and writing the per-user configuration.
#include "startup/Configuration.h"

#include <cmath>
#include <limits>

#include "base/TextUtil.h"
#include "base/Variant.h"
#include "odb/DbmsGlobal.h"
#include "platform/ProgramFolder.h"
#include "platform/Prompt.h"
#include "platform/SettingsStore.h"
#include "startup/SharedState.h"
#include "startup/modZeltoFormUtility.h"

namespace {

const QString kConfiguration = QStringLiteral("Configuration");
const QString kMagneticDevParam = QStringLiteral("MagneticDevParam");

QString setting(const QString& section, const QString& key, const QString& defaultValue) {
    return GetSetting(kAppSettingsName, section, key, defaultValue);
}

// The leading number of a text, rounded half to even ("2abc" reads 2, "abc" 0); a number out of
// the variable's range gives the fallback.
template <class Int>
Int leadingWhole(const QString& text, Int fallback) {
    const double v = RoundHalfEven(LeadingNumber(text));
    if (!std::isfinite(v) || v < std::numeric_limits<Int>::min() || v > std::numeric_limits<Int>::max())
        return fallback;
    return static_cast<Int>(v);
}

// A count read as a number; a text that is no number keeps the default.
template <class Int>
Int numberOr(const QString& text, Int defaultValue) {
    double v = 0;
    if (!ParseVbNumber(text, v)) return defaultValue;
    v = RoundHalfEven(v);
    if (v < std::numeric_limits<Int>::min() || v > std::numeric_limits<Int>::max()) return defaultValue;
    return static_cast<Int>(v);
}

QString boolText(bool b) {
    return b ? QStringLiteral("True") : QStringLiteral("False");
}

}  // namespace

void InstallSettingsFaultMessages() {
    SetSettingsFaultHandler([](SettingsFault fault, const QString& file) {
        const QString text =
            fault == SettingsFault::Unreadable
                ? QStringLiteral("Impossibile leggere il file delle impostazioni:\r") + file +
                      QStringLiteral(
                          "\r\rSono usate le impostazioni predefinite; il file non verrà modificato.")
                : QStringLiteral("Impossibile scrivere il file delle impostazioni:\r") + file +
                      QStringLiteral("\r\rLe modifiche alle impostazioni non sono state salvate.");
        Prompt::instance().msgBox(text, MsgBoxStyle::vbExclamation, g_strMsgBoxTitle);
    });
}

void ReadConfiguration() {
    g_strRootDir = setting(kConfiguration, QStringLiteral("RootDir"), ProgramFolder());
    g_blnIsWorkStation =
        StrToBool(setting(kConfiguration, QStringLiteral("IsWorkStation"), QStringLiteral("False")));
    g_strCommandPanelUserName =
        setting(kConfiguration, QStringLiteral("CommandPanelUserName"), QStringLiteral("Operatore"));
    g_intNumCommVisible = numberOr<int16_t>(
        setting(kConfiguration, QStringLiteral("NumCommVisible"), QStringLiteral("50")), 50);
    // Minutes between two refreshes of the control panel; never stored: every minute.
    g_lngIntervalTimerControlPanel = numberOr<int32_t>(
        setting(kConfiguration, QStringLiteral("IntervalTimerControlPanel"), QStringLiteral("1")), 1);
    g_blnIsMailNotificationServer = StrToBool(
        setting(kConfiguration, QStringLiteral("IsMailNotificationServer"), QStringLiteral("False")));
    LoadMagneticDevParams();
}

void SaveConfiguration() {
    SaveSetting(kAppSettingsName, kConfiguration, QStringLiteral("RootDir"), g_strRootDir);
    SaveSetting(kAppSettingsName, kConfiguration, QStringLiteral("IsWorkStation"),
                boolText(g_blnIsWorkStation));
    SaveSetting(kAppSettingsName, kConfiguration, QStringLiteral("CommandPanelUserName"),
                g_strCommandPanelUserName);
    SaveSetting(kAppSettingsName, kConfiguration, QStringLiteral("NumCommVisible"),
                QString::number(g_intNumCommVisible));
    SaveSetting(kAppSettingsName, kConfiguration, QStringLiteral("IntervalTimerControlPanel"),
                QString::number(g_lngIntervalTimerControlPanel));
    SaveSetting(kAppSettingsName, kConfiguration, QStringLiteral("IsMailNotificationServer"),
                boolText(g_blnIsMailNotificationServer));
    odb::DbmsGlobal::SetDocumentFolder(kAppExeName,
                                       BuildPath(g_strRootDir, QStringLiteral("Docs"), QString()));
}

void LoadMagneticDevParams() {
    g_intMagneticDevType =
        leadingWhole<int32_t>(setting(kMagneticDevParam, QStringLiteral("Type"), QStringLiteral("0")), 0);
    g_intCOMPortNumber = leadingWhole<int16_t>(
        setting(kMagneticDevParam, QStringLiteral("COMPortNumber"), QStringLiteral("1")), 1);
    g_strCOMPortParam =
        setting(kMagneticDevParam, QStringLiteral("COMPortParam"), QStringLiteral("9600,n,8,1"));
}

void SaveMagneticDevParams() {
    SaveSetting(kAppSettingsName, kMagneticDevParam, QStringLiteral("Type"),
                QString::number(g_intMagneticDevType));
    SaveSetting(kAppSettingsName, kMagneticDevParam, QStringLiteral("COMPortNumber"),
                QString::number(g_intCOMPortNumber));
    SaveSetting(kAppSettingsName, kMagneticDevParam, QStringLiteral("COMPortParam"), g_strCOMPortParam);
}
