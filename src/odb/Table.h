// Table: one table of an open database as its class defined it: identity, fields and references
// (its own and those of its base chain), its physical storage, and the data sets opened on it.
#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <vector>

#include "base/Variant.h"
#include "odb/ColumnNames.h"
#include "odb/Schema.h"

namespace odb {

class DataSet;
class Database;
class SelectionSet;
class Engine;
class Tables;

// A column of a table's own physical SQL table.
struct StoredColumn {
    enum Kind {
        Field,     // a declared field
        Lookup,    // a lookup reference: the referenced row's identity
        BaseLink,  // a shared-base row's link to its base row
        Owner,     // "Table.Reference" of the collection that owns the row
        OwnerOID,  // the owning row's identity
        Derived,   // the exclusive derived table that extends the row
    };
    Kind kind = Field;
    QString name;
    int32_t type = ftText;  // type code of the stored value
    const FieldDef* field = nullptr;
    const ReferenceDef* reference = nullptr;
};

inline const QString kOwnerColumn = QStringLiteral("_Owner");
inline const QString kOwnerOidColumn = QStringLiteral("_OwnerOID");
inline const QString kDerivedColumn = QStringLiteral("_Derived");
inline const QString kOidColumn = QStringLiteral("OID");

class Table {
  public:
    Table(Engine& engine, std::shared_ptr<itfDefTable> definition);

    const QString& Name() const { return name_; }
    // The caption set by the class, or the name when it set none.
    QString Caption(int32_t flags = 0) const;
    // The title shown over data views: the caption, else the name split into words.
    QString Title() const;
    // The field that identifies a row: "OID" (the row identity) for every table.
    QString KeyField(int32_t flags = 0) const;
    double Version() const { return identity_.version(); }
    const TableIdentity& Identity() const { return identity_; }
    int32_t Flags(int which) const { return identity_.flags(which); }

    // The table this one extends, or nullptr.
    Table* BaseTable() const { return base_; }
    QString BaseTableName() const { return identity_.baseTable(); }
    bool HasBaseTable() const { return base_ != nullptr; }
    BaseKind GetBaseKind() const { return identity_.baseKind(); }
    // The field that links a shared-base row to its base row ("OID_" + base table name); for an
    // exclusive derived table the row identity itself ("OID"), empty without a base.
    QString BaseLinkField() const;
    // The base link as a field definition (a whole number), for MakeCondition.
    const FieldDef* BaseLinkFieldDef() const;

    // Fields and references along the chain, base-most first; by name case-insensitively.
    std::vector<const FieldDef*> Fields() const;
    std::vector<const ReferenceDef*> References() const;
    const FieldDef* FieldByName(const QString& name) const;  // nullptr when unknown
    bool HasField(const QString& name) const;
    // The field by name; error odbErrUnknownField when the table has none.
    const FieldDef& Field(const QString& name) const;
    // A where-text comparing `field` with `value` (`op` 0 equal, 1 different; Null: ISNULL), the
    // row identity included; the further arguments are accepted as the program passes them.
    QString MakeCondition(const QString& field, const Variant& value, bool flag = false, int32_t op = 0,
                          const Variant& unused = Variant::missing(),
                          const QString& wildcard = QStringLiteral("%"), int32_t flags = 0) const;
    const ReferenceDef* FindReference(const QString& name) const;  // nullptr when unknown
    const ReferenceDef& Reference(const QString& name) const;      // error when unknown
    // The target table of a reference.
    Table& ReferenceTable(const QString& referenceName) const;
    // The own definitions (without the base chain).
    const std::vector<std::shared_ptr<FieldDef>>& OwnFields() const { return fields_.items(); }
    const std::vector<std::shared_ptr<ReferenceDef>>& OwnReferences() const { return references_.items(); }
    const std::vector<std::shared_ptr<IndexDef>>& OwnIndexes() const { return indexes_.items(); }
    const QString& BrowseColumns() const { return indexes_.browseColumns(); }

    // ---- relations, as the related-rows menus count them (1-based, own table only) ----
    const ReferenceDefs& OwnReferenceDefs() const { return references_; }
    const ReferenceDef& Reference(int32_t position) const;
    // Lookups of other tables that lead to this table's rows.
    int32_t IncomingCount() const;
    const ReferenceDef& IncomingReference(int32_t position) const;
    // Tables whose collections hold this table's rows (owned or gathered), in registration order.
    int32_t ContainerCount() const;
    Table& Container(int32_t position) const;
    bool HideAsReferrer() const;
    bool HideAsContainer() const;
    // Its rows may be opened at the user's access level (the logins only by administrators).
    bool OpenAllowed() const;

    // A sub-select of the where-text language over this table's rows: "SELECT column FROM table"
    // and, when given, " WHERE " and `where`.
    QString SelectText(const QString& column, const QString& where = {}) const;
    // The column that identifies this table's rows in such a sub-select ("OID").
    QString KeyColumn(const QString& unused = {}, int32_t flags = 0) const;
    // Predefined selections (kind Selection) or complex filters (kind Filter) of this table.
    std::shared_ptr<SelectionSet> NewSelectionSet(int32_t kind = 0);

    // ---- what the layout editors and print runs ask (TableListing.cpp) ----
    // The field of that name (the chain's), or nullptr.
    const FieldDef* FindField(const QString& name) const { return FieldByName(name); }
    // The reference of that name; error when the table has none.
    const ReferenceDef& ReferenceByName(const QString& name) const { return Reference(name); }
    // The table a reference of this table leads to, or nullptr when there is no such reference.
    Table* TableForReference(const QString& referenceName) const;
    // The library's own tables (the logins).
    bool IsInternal() const;
    // Tables of the program's own settings (layouts), whose class gives a first flag word of 15 or more.
    bool IsHidden() const;
    // Offered in the lists of tables: neither hidden nor internal, and open to the user's level.
    bool IsListed() const;

    // Rows of this table under a where-text and an order text; `selFields` limits the columns
    // shown (all when empty).
    std::shared_ptr<DataSet> OpenData(const QString& where = {}, const QString& order = {},
                                      const QString& selFields = {});
    // The database's tables.
    odb::Tables& GetTables() const;
    Database& GetDatabase() const;

    // ---- library internals ----
    itfDefTable& definition() const { return *definition_; }
    itfSetData* events() const { return events_; }
    // The chain from the base-most table to this one.
    std::vector<const Table*> chain() const;
    // The owned collections that lead to this table (owner link columns).
    bool isOwnedTarget() const { return ownedTarget_; }
    Engine& engine() const { return engine_; }
    // The columns of the own physical table (after OID), and a column's position (-1: none).
    const std::vector<StoredColumn>& columns() const { return columns_; }
    // A column's position by any spelling of its name (-1: none).
    int columnIndex(const QString& name) const;
    // The same for a name given as a constant text; the result stays valid until the next call.
    const ColumnNames::Constant& column(const char* name) const;
    // The owner columns (-1 where the table has none), asked at every save of an owned row.
    int ownerColumn() const { return ownerColumn_; }
    int ownerOidColumn() const { return ownerOidColumn_; }
    // Tables that extend this one exclusively / through a shared base.
    const std::vector<Table*>& derivedTables() const { return derived_; }
    // The SQL name of the table, quoted.
    QString sqlName() const;
    // Statement texts built once per table.
    enum SqlKind { Select, Insert, InsertWithOid, SqlKindCount };
    QString& cachedSql(SqlKind kind) const { return sql_[kind]; }

  private:
    friend class Engine;
    friend class SchemaBuilder;
    // The physical columns, as the layout made them.
    void setColumns(std::vector<StoredColumn> columns);
    Engine& engine_;
    std::shared_ptr<itfDefTable> definition_;
    QString name_;
    TableIdentity identity_;
    FieldDefs fields_;
    IndexDefs indexes_;
    ReferenceDefs references_;
    itfSetData* events_ = nullptr;
    Table* base_ = nullptr;
    bool ownedTarget_ = false;
    std::shared_ptr<FieldDef> baseLinkDef_;
    std::vector<StoredColumn> columns_;
    ColumnNames names_;
    int ownerColumn_ = -1;
    int ownerOidColumn_ = -1;
    std::vector<Table*> derived_;
    mutable QString sql_[SqlKindCount];
};

// Quotes an SQL identifier.
QString SqlQuote(const QString& name);

}  // namespace odb
