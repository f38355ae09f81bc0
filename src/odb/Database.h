// Database: the one open database of a run. Builds or upgrades the stored tables from the program's
// definition, gives its Tables, keeps installation parameters, formats literals for where-texts and
// holds the user's access level. Also the home of what every data set on it shares: the row buffers,
// the named guards and the running operation.
#pragma once

#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

#include "base/Object.h"
#include "base/Variant.h"
#include "odb/Interfaces.h"

namespace odb {

class Connection;
class Engine;
class Table;
class Tables;

// Database::State when the database is open (as IsDatabaseOpen tests).
inline constexpr int32_t kDatabaseStateOpen = 5;
inline constexpr int32_t kDatabaseStateClosed = 0;

class Database : public std::enable_shared_from_this<Database> {
  public:
    Database(std::shared_ptr<itfDefDatabase> definition, const QString& applicationName,
             itfNotifyEvent* notify);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Runs the definition on the connection: calls Define, asks every table for identity, structure
    // and event object, creates missing tables and upgrades stored ones (one transaction, taken only
    // when something must change), raising OnUpdatedTableStruct in registration order. The four
    // constants are accepted as the program passes them. On error or a stop from `progress` the
    // file is left as it was and the database stays closed.
    void Open(std::shared_ptr<Connection> connection, int32_t option1 = -1, int32_t option2 = 0,
              int32_t option3 = 0, int32_t option4 = 0, itfProgress* progress = nullptr);
    int32_t State() const;
    odb::Tables& Tables();
    std::shared_ptr<Connection> GetConnection() const;
    const QString& ApplicationName() const;
    itfNotifyEvent* NotifySink() const;

    // Installation parameters, stored in the database file (the connection argument is the
    // program's; the database's own connection is used).
    QString GetSetting(const std::shared_ptr<Connection>& connection, const QString& key,
                       const QString& defaultValue = {});
    Variant GetSettingVariant(const std::shared_ptr<Connection>& connection, const QString& key,
                              const Variant& defaultValue = Variant());
    // Stores `value`; a long text may come as `longValue` instead (it wins when given).
    void SaveSetting(const std::shared_ptr<Connection>& connection, const QString& key, const QString& value,
                     const Variant& longValue = Variant::missing());

    // Literals for where-texts: a text in single quotes with inner quotes doubled; a date as
    // #mm/dd/yyyy# or, `withTime`, #mm/dd/yyyy hh:nn:ss# (the program passes -1/0); `delimited`
    // False leaves out the #s.
    QString TextLiteral(const QString& text) const;
    QString DateLiteral(const Variant& date, bool withTime = true, bool delimited = true) const;
    // A value as shown for a field type code (ftTime: "hh:nn", ftDate: "dd/mm/yyyy", ...).
    QString FormatValue(const Variant& value, int32_t typeCode, int32_t flags = 0) const;
    // A currency amount converted by `factor` (1.0 gives the amount itself).
    Currency ConvertCurrency(const Variant& amount, int32_t currencyCode = 0, float factor = 1.0f) const;

    void SetUserLevel(int32_t level);
    int32_t GetUserLevel() const;

    // The program's service object, kept for the library's windows.
    void SetService(std::shared_ptr<Object> service);
    std::shared_ptr<Object> Service() const;

    // The name of the library's table of logged-in connections.
    QString ConnectionsTableName() const;

    // ---- library internals ----
    Engine& engine();

  private:
    friend class DbmsGlobal;
    std::unique_ptr<Engine> engine_;
};

}  // namespace odb
