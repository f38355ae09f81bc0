// The per-user settings store: text values by application, section and key, as INI files.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// A settings file that could not be read (it exists but is no settings file, or cannot be opened)
// or written. A file that cannot be read is never written: every value reads as its default and
// every change is refused, so that what it held can still be recovered by hand.
enum class SettingsFault { Unreadable, Unwritable };
// Told once per file and fault (until the handler is set again); none by default.
void SetSettingsFaultHandler(std::function<void(SettingsFault fault, const QString& file)> handler);

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
