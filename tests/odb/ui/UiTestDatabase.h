// A one-table database for the widget tests: "Articoli" with two shown text fields, a hidden memo,
// a shown whole number and a hidden one whose name begins with the shown one's.
#pragma once

#include <QString>

#include <memory>

#include "odb/Connection.h"
#include "odb/DataSet.h"
#include "odb/Database.h"

namespace uitest {

class UiTestDatabase {
  public:
    // Creates and opens the database file at `path`.
    explicit UiTestDatabase(const QString& path);
    ~UiTestDatabase();
    // Adds a row to "Articoli".
    void addArticolo(const QString& codice, const QString& descrizione, const QString& note, int prezzo);
    // All rows of "Articoli", in the order given.
    std::shared_ptr<odb::DataSet> articoli(const QString& order = {});

  private:
    class Notify;
    std::unique_ptr<Notify> notify_;
    std::shared_ptr<odb::Connection> conn_;
    std::shared_ptr<odb::Database> db_;
};

}  // namespace uitest
