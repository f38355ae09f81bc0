// DbmsGlobal: the library's global entry points: creating and attaching databases, the library's
// error and event texts, the computer name and Null-aware value comparison.
#pragma once

#include <QString>

#include <cstdint>
#include <memory>

#include "base/AppError.h"
#include "base/Variant.h"
#include "odb/Interfaces.h"

namespace odb {

class Connection;
class Database;

// The library's own error codes; raised as AppError with number vbObjectError + code.
enum OdbError : int32_t {
    odbErrFileMissing = 101,       // the database file does not exist
    odbErrNotDatabase = 102,       // the file is not a database
    odbErrCannotOpen = 103,        // the file cannot be opened or created
    odbErrBusy = 104,              // another computer holds the file's write lock past the timeout
    odbErrUnknownTable = 105,      // a table name the database does not have
    odbErrDuplicateTable = 106,    // a definition registers a table twice
    odbErrDuplicateField = 107,    // a field or reference name used twice along a table chain
    odbErrUnknownField = 108,      // a field or reference the table does not have
    odbErrOpenStopped = 109,       // the progress sink stopped the opening
    odbErrNotOpen = 110,           // the connection or database is not open
    odbErrRefused = 111,           // a rule refused the change (RejectChange); description = the rule's text
    odbErrCancelled = 112,         // a question answered Cancel refused the change silently
    odbErrNoCurrentRow = 113,      // the data set stands on no row
    odbErrUnknownReference = 114,  // a reference the table does not have
    odbErrBadCondition = 115,      // a where-text or order text that cannot be understood
    odbErrSql = 116,               // the storage engine reported an error
    odbErrBadValue = 117,          // a value that does not fit the field's type
    odbErrTransaction = 118,       // CommitTrans/RollbackTrans without BeginTrans
    odbErrBadDefinition = 119,     // an inconsistent definition (bad base table, bad index column...)
    odbErrReadOnly = 120,          // a write on a data set not enabled for editing
    odbErrDuplicateKey = 121,      // a row with the same values of a unique index exists
    odbErrRowChanged = 122,        // another computer changed the row under edits not yet saved
    odbErrRowDeleted = 123,        // another computer deleted the row
    odbErrGeneral = 124,           // the library's general failure text
    odbErrForeignFile = 125,       // a database file another program made
    odbErrReadOnlyDatabase = 126,  // the file or its folder cannot be written
    odbErrDiskFull = 127,          // no room left for the file
    odbErrFileAccess = 128,        // the file cannot be read or written (disk or network)
};

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
    static QString ErrorText(int32_t code);
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

    // Raises the library error `code` (description: its text, or `detail` when given).
    [[noreturn]] static void Raise(int32_t code, const QString& detail = {});
    static bool IsLibraryError(const AppError& e, int32_t code);
};

// Event codes reported through itfNotifyEvent::OnEvent and itfProgress.
enum OdbEvent : int32_t {
    odbEvtOpenDatabase = 1,
    odbEvtCreateTable = 2,
    odbEvtUpgradeTable = 3,
    odbEvtDefaultData = 4,
    odbEvtImportRows = 5,
    odbEvtDeleteRows = 6,
    odbEvtExportHtml = 7,
    odbEvtRequery = 8,
    odbEvtExportRows = 9,
};

}  // namespace odb
