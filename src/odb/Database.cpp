// The open database: opening, parameters, literals, user level.
#include "odb/Database.h"

#include "base/DateUtil.h"
#include "base/Format.h"
#include "odb/Connection.h"
#include "odb/ConnectionsTable.h"
#include "odb/Engine.h"
#include "odb/LibraryError.h"
#include "odb/Schema.h"
#include "odb/SchemaBuilder.h"
#include "odb/SqlStatement.h"
#include "odb/WhereLiteral.h"

namespace odb {

namespace {

// Installation parameters live in the library's settings table, made when first written.
bool readSetting(Engine& engine, const QString& key, Variant& out) {
    Connection& c = engine.conn();
    SchemaBuilder builder(engine, c);
    if (!builder.hasLibraryTables()) return false;
    auto st = c.statement(QStringLiteral("SELECT Value FROM \"%1\" WHERE Key=?").arg(kSettingsTable));
    st.bind(1, key);
    if (!st.step()) return false;
    out = st.isNull(0) ? Variant::null() : Variant(st.text(0));
    return true;
}

void writeSetting(Engine& engine, const QString& key, const Variant& value) {
    Connection& c = engine.conn();
    const int token = c.beginWrite();
    try {
        SchemaBuilder(engine, c).ensureLibraryTables();
        auto st = c.statement(
            QStringLiteral("INSERT OR REPLACE INTO \"%1\" (Key, Value) VALUES (?, ?)").arg(kSettingsTable));
        st.bind(1, key);
        if (value.isEmptyOrNull())
            st.bindNull(2);
        else
            st.bind(2, value.toText());
        st.run();
    } catch (...) {
        c.endWrite(token, false);
        throw;
    }
    c.endWrite(token, true);
}

}  // namespace

Database::Database(std::shared_ptr<itfDefDatabase> definition, const QString& applicationName,
                   itfNotifyEvent* notify)
    : engine_(std::make_unique<Engine>(*this, std::move(definition), applicationName, notify)) {}

Database::~Database() = default;

Engine& Database::engine() {
    return *engine_;
}

void Database::Open(std::shared_ptr<Connection> connection, int32_t, int32_t, int32_t, int32_t,
                    itfProgress* progress) {
    SchemaBuilder::open(*engine_, std::move(connection), progress);
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
    if (!readSetting(*engine_, key, v) || v.isNull()) return defaultValue;
    return v.toText();
}

Variant Database::GetSettingVariant(const std::shared_ptr<Connection>&, const QString& key,
                                    const Variant& defaultValue) {
    Variant v;
    if (!readSetting(*engine_, key, v)) return defaultValue;
    return v;
}

void Database::SaveSetting(const std::shared_ptr<Connection>&, const QString& key, const QString& value,
                           const Variant& longValue) {
    if (key.isEmpty())
        LibraryError::Raise(odbErrBadValue,
                            LibraryError::Text(odbErrBadValue) + QStringLiteral(": chiave vuota"));
    writeSetting(*engine_, key, longValue.isMissing() ? Variant(value) : longValue);
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
    engine_->setUserLevel(level);
}

int32_t Database::GetUserLevel() const {
    return engine_->userLevel();
}

void Database::SetService(std::shared_ptr<Object> service) {
    engine_->setService(std::move(service));
}

std::shared_ptr<Object> Database::Service() const {
    return engine_->service();
}

QString Database::ConnectionsTableName() const {
    return kConnectionsTableName;
}

}  // namespace odb
