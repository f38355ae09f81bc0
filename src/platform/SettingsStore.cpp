// Settings on QSettings in INI format, one file per application name.
#include "platform/SettingsStore.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QPair>
#include <QSet>
#include <QSettings>
#include <QStandardPaths>

#include <memory>

namespace {

struct FaultState {
    std::function<void(SettingsFault, const QString&)> handler;
    QSet<QString> told;
    // Files found unreadable, with their size and time of change then: QSettings keeps what it
    // made of a file in a cache of its own and tells the fault only at its first reading.
    QHash<QString, QPair<qint64, QDateTime>> unreadable;
};

FaultState& faults() {
    static FaultState f;
    return f;
}

void tell(SettingsFault fault, const QString& file) {
    FaultState& f = faults();
    const QString key = QString::number(static_cast<int>(fault)) + file;
    if (!f.handler || f.told.contains(key)) return;
    f.told.insert(key);
    f.handler(fault, file);
}

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

// The settings of `appName` as read from its file; null when the file exists but cannot be read.
std::unique_ptr<QSettings> open(const QString& appName) {
    const QString file = fileFor(appName);
    const QFileInfo info(file);
    const QPair<qint64, QDateTime> state(info.size(), info.lastModified());
    auto& unreadable = faults().unreadable;
    if (!info.exists() || unreadable.value(file) != state) {
        auto s = std::make_unique<QSettings>(file, QSettings::IniFormat);
        s->childGroups();  // the file is read at the first access: status() tells only after it
        if (s->status() == QSettings::NoError) {
            unreadable.remove(file);
            return s;
        }
        unreadable.insert(file, state);
    }
    tell(SettingsFault::Unreadable, file);
    return nullptr;
}

// Writes the changes out; a failure is told.
void write(QSettings& s) {
    s.sync();
    if (s.status() != QSettings::NoError) tell(SettingsFault::Unwritable, s.fileName());
}

}  // namespace

void SetSettingsFaultHandler(std::function<void(SettingsFault fault, const QString& file)> handler) {
    faults().handler = std::move(handler);
    faults().told.clear();
}

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
    const auto s = open(appName);
    const QVariant v = s ? s->value(flat(section) + QLatin1Char('/') + flat(key)) : QVariant();
    return v.isValid() ? v.toString() : defaultValue;
}

void SaveSetting(const QString& appName, const QString& section, const QString& key, const QString& value) {
    QDir().mkpath(SettingsFolder());
    const auto s = open(appName);
    if (!s) {
        tell(SettingsFault::Unwritable, fileFor(appName));
        return;
    }
    s->setValue(flat(section) + QLatin1Char('/') + flat(key), value);
    write(*s);
}

void DeleteSetting(const QString& appName, const QString& section, const QString& key) {
    const auto s = open(appName);
    if (!s) {
        tell(SettingsFault::Unwritable, fileFor(appName));
        return;
    }
    s->remove(key.isEmpty() ? flat(section) : flat(section) + QLatin1Char('/') + flat(key));
    write(*s);
}

QStringList GetAllSettingKeys(const QString& appName, const QString& section) {
    const auto s = open(appName);
    if (!s) return {};
    s->beginGroup(flat(section));
    return s->childKeys();
}
