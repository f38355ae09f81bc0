// LibraryError: the library's error codes, their Italian texts and raising them. Every file of the
// library includes it; it needs nothing of the library itself.
#pragma once

#include <QString>

#include <cstdint>

#include "base/AppError.h"

namespace odb {

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
    odbErrUnresolvedReference = 129,  // an imported row's reference finds no row; description names it
};

class LibraryError {
  public:
    // The Italian text of a library error code (odbErrGeneral: the general failure text).
    static QString Text(int32_t code);
    // Raises the library error `code` (description: its text, or `detail` when given).
    [[noreturn]] static void Raise(int32_t code, const QString& detail = {});
    // True when `e` is the library error `code`.
    static bool Is(const AppError& e, int32_t code);
};

}  // namespace odb
