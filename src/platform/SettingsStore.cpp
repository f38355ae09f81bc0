// Settings on QSettings in INI format, one file per application name.
#include "platform/SettingsStore.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>

namespace {

QString& folderOverride() {
    static QString f;
    return f;
}

QString fileFor(const QString& appName) {
    QString name = appName;
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    return QDir(SettingsFolder()).filePath(name + QStringLiteral(".ini"));
}

// QSettings reads "/" and "\" in keys as group separators; section and key are kept flat.
QString flat(QString s) {
    s.replace(QLatin1Char('/'), QLatin1Char('_'));
    s.replace(QLatin1Char('\\'), QLatin1Char('_'));
    return s;
}

}  // namespace

QString SettingsFolder() {
    if (!folderOverride().isEmpty()) return folderOverride();
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
        .filePath(QStringLiteral("ZeltoLavrix"));
}

void SetSettingsFolder(const QString& folder) {
    folderOverride() = folder;
}

QString GetSetting(const QString& appName, const QString& section, const QString& key,
                   const QString& defaultValue) {
    QSettings s(fileFor(appName), QSettings::IniFormat);
    const QVariant v = s.value(flat(section) + QLatin1Char('/') + flat(key));
    return v.isValid() ? v.toString() : defaultValue;
}

void SaveSetting(const QString& appName, const QString& section, const QString& key, const QString& value) {
    QDir().mkpath(SettingsFolder());
    QSettings s(fileFor(appName), QSettings::IniFormat);
    s.setValue(flat(section) + QLatin1Char('/') + flat(key), value);
    s.sync();
}

void DeleteSetting(const QString& appName, const QString& section, const QString& key) {
    QSettings s(fileFor(appName), QSettings::IniFormat);
    s.remove(key.isEmpty() ? flat(section) : flat(section) + QLatin1Char('/') + flat(key));
    s.sync();
}

QStringList GetAllSettingKeys(const QString& appName, const QString& section) {
    QSettings s(fileFor(appName), QSettings::IniFormat);
    s.beginGroup(flat(section));
    return s.childKeys();
}
