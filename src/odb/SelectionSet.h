// SelectionSet: conditions on a table's columns joined by AND: the complex filters and the
// predefined selections of a view. Saved by name in the database file, so that every computer
// sees them, per table and kind ("Tutti" of one table is not "Tutti" of another).
#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <vector>

#include "base/Variant.h"

namespace odb {

class Database;
struct FieldDef;
class Table;

class SelectionSet {
  public:
    enum Kind : int32_t { Selection = 0, Filter = 1 };
    // The comparisons a condition makes; the second value only for opBetween.
    enum Operator : int32_t {
        opEqual = 0,
        opNotEqual,
        opLess,
        opLessEqual,
        opGreater,
        opGreaterEqual,
        opContains,
        opStartsWith,
        opBetween,
        opEmpty,
        opNotEmpty,
        opCount
    };
    struct Condition {
        QString field;
        int32_t op = opEqual;
        Variant value;
        Variant value2;
    };

    SelectionSet(odb::Table& table, int32_t kind);

    // The name of the set in hand ("" until it is loaded, saved or renamed).
    const QString& Name() const { return name_; }
    odb::Table& Table() const { return table_; }
    int32_t Kind() const { return kind_; }

    // Makes the saved set `name` the one in hand; False (nothing changes) when there is none.
    bool Load(const QString& name, int32_t flags = -1);
    // Saves the conditions in hand as `name` (the name in hand when empty), replacing a saved set of
    // that name; the set in hand takes the name.
    void Save(const QString& name = {}, int32_t flags1 = -1, int32_t flags2 = -1);
    // `mode` -1: the set in hand takes the name (nothing is saved). 0: the saved set `name` becomes
    // the one in hand, False when there is none.
    bool Rename(const QString& name, int32_t mode);
    // Deletes the saved set `name`; False when there was none. The set in hand stays as it is.
    bool Delete(const QString& name, int32_t flags = -1);
    // The names of the saved sets of this table and kind, in alphabetical order, joined by "|".
    QString SavedNames(int32_t flags = 0) const;

    // The conditions as one where-text ("" when there are none); every value a literal.
    QString WhereText(int32_t flags1 = -1, int32_t flags2 = -1) const;
    QString FilterText(int32_t flags1 = 0, int32_t flags2 = -1) const { return WhereText(flags1, flags2); }
    bool UsesField(const QString& field) const;
    void RemoveField(const QString& field);
    // Adds a condition on the column `field`. A text value is read as the column's type (a label
    // of its value list, an Italian date or number, "Sì"/"No") and compared exactly as it stands:
    // "*", "%", "?" and quotes are part of it. Error odbErrBadValue when it does not read as the
    // type, odbErrUnknownField for a column the table does not have.
    void AddCondition(const QString& field, const Variant& value, int32_t op = opEqual,
                      const Variant& value2 = Variant::missing());

    const std::vector<Condition>& Conditions() const { return conditions_; }
    // Replaces the conditions (each checked as AddCondition checks it).
    void SetConditions(const std::vector<Condition>& conditions);
    void Clear() { conditions_.clear(); }

    // The column a condition may name: a field of the table's chain or a lookup (by its display
    // value); nullptr for any other name.
    std::shared_ptr<const FieldDef> Column(const QString& field) const;
    // The operator as the filter dialog shows it ("uguale a", "compreso tra", ...), and how many
    // values it takes (0, 1 or 2).
    static QString OperatorText(int32_t op);
    static int ValueCount(int32_t op);

  private:
    Condition checked(const Condition& c) const;
    QString conditionText(const Condition& c) const;
    QString store() const;
    void restore(const QString& stored);

    odb::Table& table_;
    // Kept alive as a data set keeps it: a set held after its database was let go fails cleanly.
    std::shared_ptr<const Database> database_;
    int32_t kind_;
    QString name_;
    std::vector<Condition> conditions_;
};

}  // namespace odb
