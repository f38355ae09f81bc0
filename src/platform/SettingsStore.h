// The per-user settings store: text values by application, section and key, as INI files.
#pragma once

#include <QString>
#include <QStringList>

// Reads a value; the default when the key is absent.
QString GetSetting(const QString& appName, const QString& section, const QString& key,
                   const QString& defaultValue = {});
void SaveSetting(const QString& appName, const QString& section, const QString& key, const QString& value);
// Deletes one key, or the whole section when key is empty.
void DeleteSetting(const QString& appName, const QString& section, const QString& key = {});
QStringList GetAllSettingKeys(const QString& appName, const QString& section);

// The folder that holds the INI files: $XDG_CONFIG_HOME/ZeltoLavrix unless a test set another.
QString SettingsFolder();
void SetSettingsFolder(const QString& folder);
