// A database file of the program's definition filled with rows, and reads of the file outside the
// library, for the repair tests.
#pragma once

#include <QString>

// Creates the database at `path` with `rows` service types, then deletes every third one so that
// the file holds free pages.
void FillDatabase(const QString& path, int rows);
// The first column of the first row of `sql`, read with a connection of its own (read-write, so
// that a hot journal left by a killed process is rolled back first); "<error>" when it fails.
QString Query(const QString& path, const QString& sql);
// Every service type with its row identity, as one text.
QString Snapshot(const QString& path);
