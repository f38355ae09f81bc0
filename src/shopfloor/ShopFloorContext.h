// ShopFloorContext: what a shop-floor command works with, given by its caller: the database and
// its connection, the clock, the worker acting, the working hours, and where the command's
// messages and the progress of a long write go. Commands read no globals and show no window.
#pragma once

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

namespace odb {
class Connection;
class Database;
class Table;
}  // namespace odb

class ShopFloorProgress;

// The normal working hours, as times of day (OLE dates with no day part); 0 is "not set".
struct WorkingHours {
    double morningEntry = 0;
    double morningExit = 0;
    double afternoonEntry = 0;
    double afternoonExit = 0;
};

// A message of a command to the worker, in the order the command says it.
struct ShopFloorMessage {
    enum class Icon { Warning, Error, Information };
    Icon icon = Icon::Warning;
    QString text;
    bool operator==(const ShopFloorMessage&) const = default;
};

struct ShopFloorContext {
    // Held, so that a database let go while a command waits for its answer is never reached freed.
    std::shared_ptr<odb::Database> database;
    std::shared_ptr<odb::Connection> connection;
    std::function<double()> now;  // the current date and time, as an OLE date
    QString worker;               // the card code of the worker acting
    WorkingHours hours;
    // Said as it happens, so that it comes between the library's own messages where it belongs.
    std::function<void(const ShopFloorMessage&)> tell;
    ShopFloorProgress* progress = nullptr;  // none: a group close shows no progress

    // The open database, the program's clock and the working hours read at start-up, for
    // `worker`; nothing is told. Raises the library's error when no database is open.
    static ShopFloorContext Current(const QString& worker);

    odb::Table& table(const char* name) const;
    void say(ShopFloorMessage::Icon icon, const QString& text) const;
};
