// The open database: opening, parameters, literals, user level.
#include "odb/Database.h"

#include "base/DateUtil.h"
#include "base/Format.h"
#include "odb/Connection.h"
#include "odb/ConnectionsTable.h"
#include "odb/Engine.h"
#include "odb/LibraryError.h"
#include "odb/Schema.h"
#include "odb/WhereLiteral.h"

namespace odb {

Database::Database(std::shared_ptr<itfDefDatabase> definition, const QString& applicationName,
                   itfNotifyEvent* notify)
    : engine_(std::make_unique<Engine>(*this, std::move(definition), applicationName, notify)) {}

Database::~Database() = default;

Engine& Database::engine() {
    return *engine_;
}

void Database::Open(std::shared_ptr<Connection> connection, int32_t, int32_t, int32_t, int32_t,
                    itfProgress* progress) {
    engine_->open(std::move(connection), progress);
}

int32_t Database::State() const {
    return engine_->isOpen() && engine_->connection() && engine_->connection()->IsOpen()
               ? kDatabaseStateOpen
               : kDatabaseStateClosed;
}

odb::Tables& Database::Tables() {
    if (!engine_->isOpen()) LibraryError::Raise(odbErrNotOpen);
    return engine_->tables();
}

std::shared_ptr<Connection> Database::GetConnection() const {
    return engine_->connection();
}

const QString& Database::ApplicationName() const {
    return engine_->applicationName();
}

itfNotifyEvent* Database::NotifySink() const {
    return engine_->notify();
}

QString Database::GetSetting(const std::shared_ptr<Connection>&, const QString& key,
                             const QString& defaultValue) {
    Variant v;
    if (!engine_->readSetting(key, v) || v.isNull()) return defaultValue;
    return v.toText();
}

Variant Database::GetSettingVariant(const std::shared_ptr<Connection>&, const QString& key,
                                    const Variant& defaultValue) {
    Variant v;
    if (!engine_->readSetting(key, v)) return defaultValue;
    return v;
}

void Database::SaveSetting(const std::shared_ptr<Connection>&, const QString& key, const QString& value,
                           const Variant& longValue) {
    if (key.isEmpty())
        LibraryError::Raise(odbErrBadValue,
                            LibraryError::Text(odbErrBadValue) + QStringLiteral(": chiave vuota"));
    engine_->writeSetting(key, longValue.isMissing() ? Variant(value) : longValue);
}

QString Database::TextLiteral(const QString& text) const {
    return WhereLiteral::text(text);
}

QString Database::DateLiteral(const Variant& date, bool withTime, bool delimited) const {
    if (date.isEmptyOrNull()) return QStringLiteral("Null");
    const QString text = WhereLiteral::date(date.toDate(), withTime);
    return delimited ? text : text.mid(1, text.size() - 2);
}

QString Database::FormatValue(const Variant& value, int32_t typeCode, int32_t) const {
    if (value.isEmptyOrNull()) return {};
    switch (typeCode) {
        case ftTime:
            return VbFormat(value, QStringLiteral("hh:nn"));
        case ftDate:
            return VbFormat(value, QStringLiteral("dd/mm/yyyy"));
        case ftDateTime:
            return VbFormat(value, QStringLiteral("dd/mm/yyyy hh:nn"));
        case ftCurrency:
            return VbFormatCurrency(value);
        case ftBoolean:
            return value.toBool() ? QStringLiteral("Sì") : QStringLiteral("No");
        default:
            return value.toText();
    }
}

Currency Database::ConvertCurrency(const Variant& amount, int32_t, float factor) const {
    if (amount.isEmptyOrNull()) return Currency();
    if (factor == 1.0f) return amount.toCurrency();
    return Currency::fromDouble(amount.toCurrency().toDouble() * static_cast<double>(factor));
}

void Database::SetUserLevel(int32_t level) {
    engine_->userLevel = level;
}

int32_t Database::GetUserLevel() const {
    return engine_->userLevel;
}

void Database::SetService(std::shared_ptr<Object> service) {
    engine_->service = std::move(service);
}

std::shared_ptr<Object> Database::Service() const {
    return engine_->service;
}

QString Database::ConnectionsTableName() const {
    return kConnectionsTableName;
}

}  // namespace odb
