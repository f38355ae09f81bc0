// DbmsGlobal: the library's global entry points: creating and attaching databases, the library's
// error and event texts, the computer name and Null-aware value comparison. The error codes and
// their raising are LibraryError's.
#pragma once

#include <QString>

#include <cstdint>
#include <memory>

#include "base/Variant.h"
#include "odb/Interfaces.h"
#include "odb/LibraryError.h"

namespace odb {

class Connection;
class Database;

class DbmsGlobal {
  public:
    // A new database object for a definition; Database::Open then builds or upgrades it.
    static std::shared_ptr<Database> CreateDatabase(std::shared_ptr<itfDefDatabase> definition,
                                                    const QString& applicationName, itfNotifyEvent* notify);
    // A database over an open connection, read from what the file holds (no definition, no events).
    static std::shared_ptr<Database> AttachDatabase(std::shared_ptr<Connection> connection,
                                                    itfNotifyEvent* notify,
                                                    const QString& applicationName = {});

    // The Italian text of a library error code (odbErrGeneral: the general failure text).
    static QString ErrorText(int32_t code) { return LibraryError::Text(code); }
    // The Italian text of a library event code (the actions reported through itfNotifyEvent::OnEvent
    // and itfProgress).
    static QString EventText(int32_t action, int32_t flags = 0);
    static QString ComputerName();
    // Null-aware equality: two Nulls are equal, Null never equals a value.
    static bool ValuesEqual(const Variant& a, const Variant& b);
    // 0 when two bookmarks name the same row, otherwise -1 or 1.
    static int32_t CompareBookmarks(const Variant& a, const Variant& b);
    // The folder where file-link fields keep their files, per application.
    static void SetDocumentFolder(const QString& applicationName, const QString& folder);
    static QString DocumentFolder(const QString& applicationName);
};

}  // namespace odb
