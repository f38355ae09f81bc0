// ImportArchiveData: copies the rows of the current table from another database file of this
// program (an archive, ".odb" or ".mdb") into the open database, inside one transaction, after the
// user confirmed. References travel by the referenced row's key and are resolved in the open
// database; rows it already holds (same unique values) are left out.
#pragma once

#include <QString>

#include <memory>

class QWidget;
namespace odb {
class DataSet;
}

// True when rows were copied and committed; False when nothing was imported (no such table or no
// rows in the archive, the user declined) or the copy failed, which leaves the database as it was.
bool ImportArchiveData(const QString& archiveFile, const std::shared_ptr<odb::DataSet>& dataSet,
                       QWidget* owner);
