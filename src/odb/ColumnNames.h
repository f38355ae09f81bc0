// ColumnNames: the positions of a table's columns by name, found without hashing a name. A name
// given as a constant text (a literal in a rule) is resolved once and kept by the text's address,
// its content checked at each use; names given as strings are compared with the spellings met so
// far, the defined names first. Spellings differ from the defined name in letter case or Unicode
// form only.
#pragma once

#include <QByteArray>
#include <QString>

#include <array>
#include <unordered_map>
#include <utility>
#include <vector>

namespace odb {

class ColumnNames {
  public:
    // A constant name as resolved: its column (-1: not a column of the table) and the name as a string.
    struct Constant {
        QByteArray text;
        QString name;
        int column = -1;
    };

    // The defined names, in column order; forgets every spelling met.
    void reset(std::vector<QString> names);
    int find(const QString& name) const;
    const Constant& find(const char* name) const;

  private:
    int resolve(const QString& name) const;

    std::vector<QString> defined_;
    mutable std::vector<std::pair<QString, int>> spellings_;
    mutable std::unordered_map<const char*, Constant> constants_;
    // The constants met last, by address: most rules use a handful of names over and over.
    struct Recent {
        const char* address = nullptr;
        const Constant* constant = nullptr;
    };
    static constexpr size_t kRecent = 32;
    mutable std::array<Recent, kRecent> recent_{};
};

}  // namespace odb
