// The schema as code: table identity, field, index and reference definitions, handed to the
// program's table classes while the library opens a database.
#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "base/Variant.h"
#include "odb/Interfaces.h"

namespace odb {

class Table;
struct ReferenceDef;

// Type codes of FieldDefs::AddField.
enum FieldType : int32_t {
    ftText = 0,
    ftFileLink = 2,
    ftPictureFile = 3,
    ftImageFile = 5,
    ftMailLink = 6,
    ftCodeText = 7,
    ftMemo = 8,
    ftLong = 11,
    ftBoolean = 14,
    ftDecimal = 15,
    ftQuantity = 16,
    ftDate = 17,
    ftTime = 18,
    ftDateTime = 19,
    ftCurrency = 20,
};

// Types stored as text, and types stored as dates.
inline bool IsTextType(int32_t type) {
    switch (type) {
        case ftText:
        case ftFileLink:
        case ftPictureFile:
        case ftImageFile:
        case ftMailLink:
        case ftCodeText:
        case ftMemo:
            return true;
        default:
            return false;
    }
}

inline bool IsDateType(int32_t type) {
    return type == ftDate || type == ftTime || type == ftDateTime;
}

// How a derived table stands on its base table.
enum class BaseKind {
    // Each derived row has its own base row: created with it, deleted with it.
    Exclusive,
    // The derived row links an existing base row (several derived rows may share one);
    // deleting it never deletes the base row.
    SharedBase,
};

inline constexpr double kDefaultTableVersion = 1.0;

class TableIdentity {
  public:
    // Setters, as the table classes call them; a later call replaces an earlier one.
    void Version(double v) { version_ = v; }
    void Caption(const QString& c) { caption_ = c; }
    void BaseTable(const QString& t) { baseTable_ = t; }
    void Flags1(int32_t f) { flags_[0] = f; }
    void Flags2(int32_t f) { flags_[1] = f; }
    void Flags3(int32_t f) { flags_[2] = f; }
    void SetBaseKind(odb::BaseKind k) { baseKind_ = k; }

    double version() const { return version_.value_or(kDefaultTableVersion); }
    bool hasVersion() const { return version_.has_value(); }
    const QString& caption() const { return caption_; }
    const QString& baseTable() const { return baseTable_; }
    int32_t flags(int which) const { return flags_[which - 1]; }  // 1..3
    odb::BaseKind baseKind() const { return baseKind_; }

  private:
    std::optional<double> version_;
    QString caption_;
    QString baseTable_;
    int32_t flags_[3] = {0, 0, 0};
    odb::BaseKind baseKind_ = odb::BaseKind::Exclusive;
};

struct FieldDef {
    QString name;
    int32_t type = ftText;
    int32_t size = 0;
    int32_t arg4 = 0;
    QString format;
    int32_t flags1 = -100, flags2 = -100, flags3 = -100;
    bool shown = true;
    QString description;
    QString valueList;  // "code|label|code|label"
    int32_t arg12 = 0;
    QString table;  // the table that declares the field

    // Read back by the program.
    const QString& Name() const { return name; }
    int32_t TypeCode() const { return type; }
    int32_t Type() const { return type; }
    int32_t Size() const { return size; }
    const QString& Format(int32_t = 0) const { return format; }
    const QString& ValueList() const { return valueList; }
    bool Shown() const { return shown; }
    const QString& Description() const { return description; }
    // The value as a literal of a where-text ('text', #mm/dd/yyyy hh:nn:ss#, 12.5, True).
    QString ValueLiteral(const Variant& value) const;
    // A where-text comparing this field with `value` (`op` 0 equal, 1 different; Null: ISNULL).
    QString MakeCondition(const Variant& value, int32_t op = 0) const;

    // Not shown in the lists of fields.
    bool Hidden() const { return !shown; }

    // A column of a data set's view that is no stored field: a lookup shown by its target's display
    // value (`lookup`), or a computed column of the field list (`computed`: an "As" name or a path).
    const ReferenceDef* lookup = nullptr;
    bool computed = false;
    bool asName = false;  // a computed column named by "As": where-texts do not know the name

    // The name, the description and the caption (the name split into words: "Data Inserimento").
    QStringList GetTexts(int32_t flags = 0) const;
    QString Caption() const;
    // A search by text makes sense on it (not on Booleans, file and image links, "As" columns).
    bool Searchable() const;
    // Rows cannot be ordered by it (memos, file and image links).
    bool Unsortable() const;
    // Computed or numbered by the table's rules (first flag word 15), or written only by the program
    // itself (second flag word 1: a password, a total): never typed in a record window.
    bool ReadOnly() const { return flags1 == 15 || flags2 == 1; }
    // Written by the program only, in a form not meant to be read (a scrambled password).
    bool Secret() const { return flags2 == 1 && (type == ftText || type == ftCodeText); }
};

class FieldDefs {
  public:
    FieldDef& AddField(const QString& name, int32_t type, int32_t size, int32_t arg4, const QString& format,
                       int32_t flags1, int32_t flags2, int32_t flags3, bool shown, const QString& description,
                       const QString& valueList, int32_t arg12);
    const std::vector<std::shared_ptr<FieldDef>>& items() const { return items_; }

  private:
    std::vector<std::shared_ptr<FieldDef>> items_;
};

struct IndexColumn {
    enum Kind { Field, Column, ParentLink };
    Kind kind = Field;
    QString name;  // empty for the parent link
};

class IndexDef {
  public:
    IndexDef(const QString& field, bool unique, const QString& name);
    IndexDef& AddField(const QString& name);
    // A further named column: a field or a reference, meaning its stored link.
    IndexDef& AddColumn(const QString& name);
    // The link to the row's owning row (stays empty on a table that no collection owns).
    IndexDef& AddParentLink();
    // Only the rows meeting `condition` (a where-text on the table's own fields, with no literals)
    // enter the index: a query that asks the same condition reads those rows alone.
    IndexDef& Where(const QString& condition);

    bool unique() const { return unique_; }
    const QString& name() const { return name_; }
    const std::vector<IndexColumn>& columns() const { return columns_; }
    const QString& condition() const { return condition_; }

  private:
    bool unique_;
    QString name_;
    QString condition_;
    std::vector<IndexColumn> columns_;
};

class IndexDefs {
  public:
    IndexDef& AddIndex(const QString& field, bool unique, const QString& name = {});
    void SetBrowseColumns(const QString& list);
    const std::vector<std::shared_ptr<IndexDef>>& items() const { return items_; }
    const QString& browseColumns() const { return browse_; }

  private:
    std::vector<std::shared_ptr<IndexDef>> items_;
    QString browse_;
};

struct ReferenceDef {
    QString name;
    QString targetTable;
    bool collection = false;
    bool owned = false;
    QString keyField;
    QString displayFields;  // comma-separated
    int32_t flags1 = -100, flags2 = -100, flags3 = -100;
    QString description;
    int32_t kind = -2;
    int32_t arg12 = -1;
    int32_t arg13 = 0;
    QString table;  // the table that declares the reference

    QStringList displayFieldList() const;

    // Read back by the program.
    const QString& Name() const { return name; }
    const QString& RefTableName() const { return targetTable; }
    bool ManyRows() const { return collection; }
    bool IsOwned() const { return owned; }
    const QString& KeyFieldName() const { return keyField; }
    // A where-text: for a lookup, rows of the declaring table that link the row `key` (a Bookmark);
    // for a collection, rows of the target that belong to the row `key` of the declaring table.
    QString KeyCondition(const Variant& key, const QString& = {}, const QString& = {}) const;

    // The declaring table and the target table (set when the database opens).
    Table& OwnerTable() const { return *ownerTable_; }
    Table& RefTable() const { return *refTable_; }
    // The name, the description and the caption (the description, else the name split into words).
    QStringList GetTexts(int32_t flags = 0) const;
    // A collection, whose owner's totals can be summed again from its rows (RebuildReference).
    bool IsRebuildable() const { return collection; }
    // Left out of the lists of related rows (second or third flag word 15; none in use).
    bool Hidden() const { return flags2 == 15 || flags3 == 15; }
    // Its rows may be opened (the target table may be opened).
    bool OpenAllowed() const;
    // Chosen by the table's rules only (first flag word 15): never picked in a record window.
    bool ReadOnly() const { return flags1 == 15; }
    // For an owned collection, the where-text on the target's rows that belong to the owner rows
    // `ownerSelect` selects (a Table::SelectText over the owner's key). Error for other references.
    QString ChildWhere(const QString& ownerSelect) const;

    // "Table.Reference", unique in the database; also the key of the reference among others.
    QString FullName() const { return table + QLatin1Char('.') + name; }
    QString KeyText() const { return FullName(); }
    // Its rows can be printed as rows of their own (a collection), and as the details of the owning
    // row (an owned collection).
    bool RowSource() const { return collection; }
    bool IsDetailSource() const { return collection && owned; }

    // ---- library internals ----
    Table* ownerTable_ = nullptr;
    Table* refTable_ = nullptr;
};

class ReferenceDefs {
  public:
    ReferenceDef& AddReference(const QString& name, const QString& targetTable, bool collection, bool owned,
                               const QString& keyField, const QString& displayFields, int32_t flags1,
                               int32_t flags2, int32_t flags3, const QString& description, int32_t kind,
                               int32_t arg12, int32_t arg13);
    const std::vector<std::shared_ptr<ReferenceDef>>& items() const { return items_; }
    int32_t Count() const { return static_cast<int32_t>(items_.size()); }
    // By 1-based position or by name (case-insensitive); error when there is none.
    const ReferenceDef& Item(int32_t position) const;
    const ReferenceDef& Item(const QString& name) const;

  private:
    std::vector<std::shared_ptr<ReferenceDef>> items_;
};

// The database definition: the tables in registration order.
class DatabaseDef {
  public:
    void AddTable(std::shared_ptr<itfDefTable> table);
    const std::vector<std::shared_ptr<itfDefTable>>& tables() const { return tables_; }

  private:
    std::vector<std::shared_ptr<itfDefTable>> tables_;
};

// A name as words: "DataInserimento" gives "Data Inserimento", "IDElemento" "ID Elemento".
QString NameWords(const QString& name);

}  // namespace odb
