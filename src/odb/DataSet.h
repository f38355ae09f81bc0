// DataSet: the rows of one table (or of a reference) under a where-text and an order, with a current
// row. Reads and writes fields of the whole table chain by plain name, walks rows, opens references
// and related rows, and, inside row and field events, refuses changes, asks questions and takes
// named guards. Data sets are handed out as std::shared_ptr<DataSet>.
//
// Every top-level operation (a field write, a save, a deletion, a reference change, an added row)
// runs all its events in one write transaction: a refusal (RejectChange, Cancel to a question) or
// an error raised in an event rolls the whole operation back, restores the row values and frees the
// guards taken in it. The refusal text is shown once through the database's itfNotifyEvent sink.
// Top-level operations return false after a refusal and raise AppError after an error; nested
// ones (called from inside an event) pass the refusal or error up to the top-level operation.
#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "base/Object.h"
#include "base/Variant.h"
#include "odb/EventSource.h"
#include "odb/Interfaces.h"
#include "odb/RowIds.h"
#include "odb/Schema.h"
#include "odb/condition/ConditionSchema.h"

namespace odb {

class Connection;
class Database;
class Engine;
class Recordset;
class RowBuffer;
class SelectionSet;
class Table;
struct DataSetPrivate;
struct DataSetScope;
struct ProbeShape;
struct ReferenceDef;
struct SqlFragment;
// As the row store defines it: a full row, base-most table first.
using RowChain = std::vector<std::shared_ptr<RowBuffer>>;

// DataSet::Aggregate operations.
enum AggregateOp : int32_t { aggSum = 0, aggMin = 1, aggMax = 2, aggCount = 3 };

class DataSet : public std::enable_shared_from_this<DataSet> {
  public:
    ~DataSet();
    DataSet(const DataSet&) = delete;
    DataSet& operator=(const DataSet&) = delete;

    // ---- values of the current row (fields of the chain, or a reference name: its stored link) ----
    Variant ColValue(const QString& name) const;
    double ColNumber(const QString& name) const;   // Null reads 0
    bool ColValueBool(const QString& name) const;  // Null reads False
    bool ColIsNull(const QString& name) const;
    QString ColText(const QString& name) const;  // Null reads ""
    Variant ColDate(const QString& name) const;  // the value as a Date (Null stays Null)
    // The same for a name given as a constant text (a literal): resolved once per table, no string made.
    Variant ColValue(const char* name) const;
    double ColNumber(const char* name) const;
    bool ColValueBool(const char* name) const;
    bool ColIsNull(const char* name) const;
    QString ColText(const char* name) const;
    Variant ColDate(const char* name) const;
    // Through the field's format ("0000", "000"); Null gives "".
    QString FormattedColValue(const QString& name) const;
    bool ColExists(const QString& name) const;
    // File-link fields: the stored file name, as a full path under the document folder.
    QString ColFilePath(const QString& name) const;
    bool SetColFilePath(const QString& name, const QString& path);

    // Writes a field: OnBeforeUpdateField (ColValue still the old value), the write, OnUpdateField,
    // on every table of the chain. A lookup reference name sets the link (as SetReference by id).
    // False when a rule refused (the value stays as it was).
    bool SetColValue(const QString& name, const Variant& value);
    bool SetColValue(const char* name, const Variant& value);
    bool AddToCol(const QString& name, const Variant& amount);  // Null counts as 0
    bool SubtractFromCol(const QString& name, const Variant& amount);
    bool AddToCol(const char* name, const Variant& amount);
    bool SubtractFromCol(const char* name, const Variant& amount);
    // Lookup: points the reference at the target row named by its key-field value, or (no key
    // field) its first display value; an empty value clears it. Non-owned collection: adds the
    // target row (by the same naming, or its Bookmark) or, with `remove`, takes it out.
    bool SetReference(const QString& referenceName, const Variant& value, bool remove = false);

    // ---- rows ----
    // Starts a new row (OnNewRow on the chain, base-most first; through a collection also the
    // owner's OnNewReference), applies the pairs and stores it as SaveRow does. `pairs` is the
    // zero-based list name0, value0, name1, value1, ...: field or reference names (texts) and their
    // values; a pair naming the base link of a shared-base table is applied first, the others in
    // the order given. Returns false when a rule refused.
    bool AddRow(const VariantList& pairs);
    // Starts a new row (OnNewRow) that SaveRow stores and CancelRow drops.
    bool NewRow();
    // A new row with no OnNewRow (its values are set and stored by the caller).
    void AddEmptyRow();
    // True when the last SaveRow stored a new row.
    bool RowWasAdded() const;
    void CancelRow();
    // Stores the current row (OnUpdateRow, the owner's reference events, then the owners changed by
    // them). A save of a row already being saved higher up is a no-op. False when refused.
    bool SaveRow();
    // Deletes the current row (OnDeleteRow, owned children, the owner's reference events). A row of
    // the library's logins is deleted only with `loginRows` True, and never this run's own login.
    bool DeleteRow(bool loginRows = false);
    // Sums the owner's totals of a collection again from its rows: the owner's reference events
    // once for the whole collection (as before and after a change of all its rows), then its save.
    bool RebuildReference(const QString& referenceName);
    // Deletes every row of the data set; a collection raises the owner's events once.
    bool DeleteRows(itfProgress* progress = nullptr);

    bool RowFirst();
    bool RowNext();
    bool RowPrevious();
    bool RowLast();
    // Back onto the last row when the data set stands past its end.
    bool StepToLastRow();
    bool RowInvalid() const;  // before the first or past the last row
    // True when the current row cannot be read (deleted meanwhile, or no row).
    bool RowUnavailable() const;
    bool RowBeforeFirst() const;
    bool DataEmpty() const;
    bool NoCurrentRow() const;  // no row to read (empty, or off the ends)
    int32_t RowCount() const;
    // Moves to the first row meeting `condition` (from the row after the current one when
    // `fromNext`); False, and no current row, when none does.
    bool FindRow(const QString& condition, bool fromNext = false);
    // The current row's identity ("OID"); flags are accepted as the program passes them.
    Variant Bookmark(int32_t flags = 0) const;
    bool GotoBookmark(const Variant& bookmark);
    bool FindBookmark(const Variant& bookmark, int32_t flags = 0);

    bool IsNewRow() const;
    // True for a stored row whose reference links were changed and not yet stored.
    bool IsChangedRow(int32_t which = 0, int32_t flags = 0) const;
    // True after a user edit of the row (not by a rule, not while the library fills rows).
    bool RowStateFlag(int32_t which = 0, int32_t flags = 0) const;
    // A mark kept with the row until it is stored.
    void SetRowFlag(bool value);
    bool RowFlag() const;
    void EnableEdit(bool enable = true);
    bool EditEnabled() const;
    // A data set shown for reading only (the print runs ask nothing about it).
    bool ReadOnly() const { return !EditEnabled(); }
    // Stored rows without an owner that collide with the current new row on a unique index.
    std::shared_ptr<DataSet> EquivalentRows(const QString& where = {}, int32_t flags1 = 0,
                                            int32_t flags2 = 0);

    // ---- references and related rows ----
    // The rows of a reference of the current row: a lookup's one row, a collection's rows; under a
    // where-text; opened as a derived table of the target when `asTable` is given.
    std::shared_ptr<DataSet> GetReference(const QString& referenceName, const QString& where = {},
                                          const QString& asTable = {});
    // The rows of a reference as they are listed or offered for choice: raises OnSelectReference
    // first, so that the rules set their order or filter, or refuse (then nullptr). A lookup offers
    // every row of its target; `baseRow` offers the base rows for a new shared-base child of a
    // collection (the event names "reference.BaseTable").
    std::shared_ptr<DataSet> SelectReference(const QString& referenceName, bool baseRow = false);
    bool ReferenceEmpty(const QString& referenceName) const;
    // True when the reference holds a row meeting `where` (any row when empty), the row `except`
    // (a Bookmark) left out when given: one short probe of the file, no row list read.
    bool ReferenceHasRows(const QString& referenceName, const QString& where = {},
                          const Variant& except = Variant::missing());
    // The same for several where-texts asked together, in one probe: for each, whether the
    // reference holds a row meeting it (the row `except` left out when given).
    std::vector<bool> ReferenceHasRowsEach(const QString& referenceName, const QStringList& wheres,
                                           const Variant& except = Variant::missing());
    // The stored link of a lookup (the target's Bookmark), Null when empty.
    Variant ReferenceKey(const QString& referenceName, int32_t flags = 0) const;
    const ReferenceDef& GetReferenceDef(const QString& referenceName) const;
    const ReferenceDef* FindReferenceDef(const QString& referenceName) const;  // nullptr when unknown
    // The reference the data set was opened through (GetReference), nullptr otherwise.
    const ReferenceDef* SourceReferenceDef() const;
    // Where-texts in this data set's table: rows whose reference links (or, `equal` False, does not
    // link) the row `key`; the current row (`mode` 0) or the row `bookmark`, or every row but that
    // one (`exclude` 1); the rows of this data set.
    QString ReferenceCondition(const QString& referenceName, bool equal, const Variant& key,
                               int32_t flags = 0) const;
    QString RowCondition(int32_t mode = 0, const Variant& bookmark = Variant::missing(),
                         int32_t exclude = 0) const;
    QString RowsCondition(int32_t flags = 0, const Variant& unused = Variant::missing()) const;
    // A where-text comparing `column` with `value` exactly ("*", "%", "?" and quotes in a text are
    // part of it): `op` 0 equal, 1 different; Null gives ISNULL.
    QString MakeCondition(const QString& column, int32_t flags, const Variant& value, int32_t op = 0,
                          const Variant& unused = Variant::missing(),
                          const QString& wildcard = QStringLiteral("%"), int32_t flags2 = 0) const;

    // `value` as a literal of the field `column` for a where-text; Empty and Null give Null, which
    // no row equals (a chooser left without a choice selects nothing).
    QString ValueLiteral(const QString& column, int32_t flags, const Variant& value) const;
    // Every column of the view, 1-based: the field list's "*" (or no list) is the table's default
    // columns (its browse columns, else its shown fields), then the further fields, lookups, paths
    // and computed columns the list names. Lookups and computed columns come as definitions of
    // their own (FieldDef::lookup, FieldDef::computed).
    int32_t FieldCount() const;
    const FieldDef* Field(int32_t position) const;
    // A field of the table's chain, or a column of the view, by name.
    const FieldDef* Field(const QString& name) const;
    // The names of the view's columns, in order.
    QStringList ColumnNames() const;

    QString SelWhere() const;
    void SetSelWhere(const QString& where);  // re-reads the rows
    QString SelFields() const;
    // A field list: "*" and further expressions with "As" names, read by ColValue like fields.
    void SetSelFields(const QString& fields);
    QString SortOrder() const;
    void SetSortOrder(const QString& order);  // re-reads the rows
    void SortBy(const QString& field, bool descending = false);
    void SortOnField(const QString& field, bool descending = false) { SortBy(field, descending); }
    QString Filter() const;
    void SetFilter(const QString& filter);  // a further where-text over SelWhere
    // Reads the rows again (other computers' changes included), keeping the current row if it exists.
    void Requery();
    void RefreshRows() { Requery(); }
    // Reads which rows belong again, as they are in the file now, so that rows other computers
    // added, changed out of the view or deleted meanwhile are seen; related rows (OpenRelated) are
    // looked up again from their row. The current row stays current while it still belongs
    // (`keepRow`), otherwise the data set stands on its first row. A pending new row is kept.
    void SyncRows(bool keepRow = true);
    // The where-text kept aside while a complex filter works through SelWhere.
    QString SavedSelWhere() const;
    void SetSavedSelWhere(const QString& where);
    // Options the program keeps with the data set ("UseSelWhereForFilter"); "" when not set.
    QString GetOption(const QString& name) const;
    void SetOption(const QString& name, const QString& value);

    // ---- the view as grids and windows read it ----
    // The current row's position (0-based; -1 when there is none) and a move to a position.
    int32_t AbsolutePosition() const;
    bool MoveToPosition(int32_t position);
    // The bookmark of the row at `position` (no read); Null when there is none.
    Variant BookmarkAt(int32_t position) const;
    // The values of `columns` (names of the view's columns, "OID" included) for the rows at
    // positions first .. first+count-1, read in one short statement: lookups by their display
    // value, computed columns computed. A row deleted meanwhile comes back with Null values. The
    // current row does not move.
    std::vector<VariantList> ReadRows(int32_t first, int32_t count, const QStringList& columns);
    // The record set's face of the data set: its Bookmark, Filter and Fields.
    odb::Recordset Recordset();
    // True while a grid follows the data set to its current row: the grid's selection is the
    // caller's and stays as it is.
    bool SelectionHeld() const;
    void SetSelectionHeld(bool held);
    // Rows may be deleted through the panels: the data set is editable and the user's access level
    // is above "Interrogazione" (0) and "Solo Commesse" (-1).
    bool DeleteAllowed() const;
    // The data set stands on no row it can read: a bookmark set through the record set that names
    // no row of the view, the current row deleted, or no current row.
    bool RowPositionLost() const;
    // The identity of the current row as text (its OID), for a reference kept in a text field.
    QString RowIdentity(bool flag = true) const;
    // A data set on the same rows, order and columns, with a current row of its own (no re-read).
    std::shared_ptr<DataSet> CloneData(int32_t flags = 0);
    std::shared_ptr<DataSet> CloneDataSet() { return CloneData(); }
    // Predefined selections and complex filters of the data set's table.
    std::shared_ptr<SelectionSet> NewSelectionSet();
    std::shared_ptr<SelectionSet> NewFilterSet();

    // The data set a panel (row chooser, grid) shows for this one: itself.
    std::shared_ptr<DataSet> PanelSource() { return shared_from_this(); }
    // The row that owns the current row through a collection (an empty data set when none).
    std::shared_ptr<DataSet> ParentRow();
    // Rows of `tableName` that refer to the current row (lookups or collections), under `where`.
    std::shared_ptr<DataSet> OpenRelated(const QString& tableName, const QString& where = {});
    // The rows of the table's incoming reference `relation` (Table::IncomingReference) that lead
    // to the current row; a number past the table's own count goes on along its base tables.
    std::shared_ptr<DataSet> OpenRelated(int32_t relation);
    // The rows of the table's container `relation` (Table::Container) that hold the current row;
    // a number past the table's own count goes on along its base tables.
    std::shared_ptr<DataSet> OpenRelatedEx(int32_t relation);
    // The current row's full derived row (its 1:1 extension) in `tableName`, or in the table that
    // extends it when empty.
    std::shared_ptr<DataSet> OpenRelatedEx(const QString& tableName = {});
    // Rows of another table (this data set's own table when empty), all or under `where`.
    std::shared_ptr<DataSet> OpenTable(const QString& tableName = {}, const QString& where = {},
                                       const QString& order = {});
    // The current row's row in a table of its chain (the base row when empty).
    std::shared_ptr<DataSet> GetRelatedData(const QString& tableName = {});
    // Makes this data set work on the operation of `related` (both see the same row buffers).
    void AttachData(const std::shared_ptr<DataSet>& related);
    // The base row's identity (of a derived row), for the base link of a shared-base row.
    Variant BaseKey() const;

    Table& GetTable() const;
    Database& GetDatabase() const;
    std::shared_ptr<Connection> GetConnection() const;

    // ---- guards, questions and messages (inside events) ----
    // Takes the named guard on the current stored row: True when it was free.
    bool LockGuard(const QString& name);
    bool IsGuardLocked(const QString& name) const;
    void UnlockGuard(const QString& name);
    // Refuses the pending change with `text` (shown once when the operation has unwound).
    [[noreturn]] void RejectChange(const QString& text, int32_t flags = 0);
    // A question to the itfNotifyEvent sink (kind 0, 1, 2). `readAnswer` True: returns True for OK
    // and refuses nothing. False: a Cancel to kind 0 or 2 silently refuses the pending change;
    // kind 1 only informs. `defaultCancel`: Cancel is the proposed answer.
    bool AskQuestion(int32_t kind, const QString& text, bool defaultCancel = true, bool readAnswer = false);
    void ShowMessage(const QString& text);
    // Asks the record window to put the cursor on `field`.
    void FocusField(const QString& field);
    const QString& FocusedField() const;
    // True while the library fills rows itself (import, rebuild, opening).
    bool IsSilent() const;
    const odb::EventSource& EventSource() const;

    // ---- aggregates, import, export ----
    // Sum (0), minimum (1), maximum (2) or count (3) of a field or an arithmetic expression of
    // fields over the rows; 0 over no rows.
    Variant Aggregate(const QString& expression, int32_t op = aggSum, int32_t flags1 = 0, int32_t flags2 = 0);
    // Copies this data set's rows into `destination` (its table's events run, SkipNumbering True);
    // rows whose unique values the destination already holds are left out. Returns the rows copied,
    // or -1 when a rule refused or the progress sink stopped the copy: nothing is copied then.
    // References travel by the referenced row's key; one that finds no row, here or in this data
    // set's own database, raises odbErrUnresolvedReference naming the row (nothing is copied).
    int32_t ImportRows(DataSet& destination, itfProgress* progress = nullptr);
    // Writes the rows as an HTML table (values escaped) to `file`; `fields` limits the columns.
    void ExportHtml(int32_t mode, const QString& file, itfProgress* progress = nullptr,
                    const QString& fields = {});
    // Writes the rows of the view, with their base rows and the rows their lookups name, into a
    // new archive file of this library at `file` (the whole schema, those rows only), which
    // DbmsGlobal::AttachDatabase and ImportRows read back. False when `progress` stopped it; an
    // error is raised. Either way, a failed or stopped export leaves no file behind (a file that
    // was there stays as it was).
    bool ExportArchive(const QString& file, itfProgress* progress = nullptr);
    void CloseData();
    // The data set as a late-bound object, for scripts (members by name).
    ObjectRef AsObject();

  private:
    friend class Recordset;
    friend class Table;
    friend struct DataSetPrivate;
    using Scope = DataSetScope;
    DataSet(Engine& engine, Table& table);
    // A new data set, in one allocation with its count: rules make one for many a check.
    static std::shared_ptr<DataSet> make(Engine& engine, Table& table);
    Engine& engine() const;
    void open(const QString& where, const QString& order, const QString& fields);
    // `readRows` false: the view is set (OnSelect included) but its rows are read only on demand.
    void open(const QString& where, const QString& order, const QString& fields, Scope scope,
              bool readRows = true);
    // The full row the data set stands on (base-most first); empty when none.
    const RowChain& row() const;
    // A data set standing on one stored row (owner, target, base row), or on no row.
    static std::shared_ptr<DataSet> onRow(Engine& engine, const Table& table, int64_t oid);
    static std::shared_ptr<DataSet> onFullRow(Engine& engine, const Table& table, int64_t oid);
    static std::shared_ptr<DataSet> emptyOn(Engine& engine, const Table& table);
    // A data set holding a copy of the stored values of this data set's current row.
    std::shared_ptr<DataSet> storedCopy();
    QString rowKey() const;
    size_t identityIndex(const RowChain& chain) const;
    bool collidesOnUniqueIndex();
    QString importedRowName(DataSet& destination);
    static bool uniqueIndexMatch(const Table& t, const RowBuffer& b, const IndexDef& idx, bool withParentLink,
                                 QStringList& conds, std::vector<Variant>& vals);

    struct Located;
    Located locate(const QString& name) const;
    Located locate(const char* name) const;
    Located locateOrRaise(const QString& name) const;
    Located locateOrRaise(const char* name) const;
    [[noreturn]] void raiseUnknownField(const QString& name) const;
    // False for the names that only strings resolve (the row identity, computed columns).
    bool plainName(const char* name) const;
    bool setColumn(const Located& l, const Variant& value);
    // The current row, or the error saying why there is none.
    const RowChain& requireRow() const;
    // True when the data set stands on a stored row that another computer deleted.
    bool onGoneRow() const;
    // Outside operations: a gone row refuses the call with its message (then true).
    bool refusedAsGone();
    // At the start of a top-level write, save or deletion: the row as the file holds it now, or a
    // refusal saying that another computer deleted it or changed it under edits not yet saved.
    void currentOrRefuse(bool editsMatter = true);
    void requireEditable() const;
    void saveState();
    void eraseId(size_t index);
    void load();
    void loadKeepingRow();
    // Where a row stands in the view and the rows around it, asked of the file by the order's
    // values rather than by reading every row before it.
    RowIds::Locator rowLocator() const;
    void replaceViewSetting(QString& setting, const QString& value, const std::function<void()>& reload);
    // A where-text or an order translated to SQL (kept by the engine).
    SqlFragment translate(bool order, const QString& text) const;
    std::shared_ptr<const SqlFragment> translated(bool order, const QString& text) const;
    std::shared_ptr<const SqlFragment> translatedByKey(bool order, const QString& text) const;
    // The scope's condition (the owner's rows, the rows named) and its binds.
    void scopeCondition(QStringList& conds, std::vector<SqlValue>& binds) const;
    // The owner's collection as owned rows name it ("Table.Reference").
    QString ownerLink() const;
    // The where-text, the filter and `extraWhere`, translated, with their values.
    void viewConditions(const QString& extraWhere, QStringList& conds, std::vector<SqlValue>& binds) const;
    // `except`: a row identity left out (bound), 0 for none.
    QString selectSql(const QString& extraWhere, std::vector<SqlValue>& values, bool withOrder,
                      const QString& selectList = {}, int64_t except = 0) const;
    // The data set of a reference of the current row, its rows read or not.
    std::shared_ptr<DataSet> referenceSet(const QString& referenceName, const QString& where,
                                          const QString& asTable, bool readRows);
    // Whether the view holds a row other than `except` (0 for none): under each of `conditions`
    // in one probe, or (none given) under the view alone; asked of the file.
    std::vector<bool> anyRows(const QStringList& conditions, int64_t except);
    // The probe's statement for this view, built once per shape.
    const ProbeShape& probeShape(const QStringList& conditions, bool except) const;
    // False when the rows are those of a collection whose owner is not stored yet (there are none).
    bool ownerStored() const;
    std::vector<const Table*> rowTables() const;
    template <class F>
    void raise(F&& f);
    void startNewRow();
    void applyPair(const QString& name, const Variant& value);
    void writeField(RowBuffer& b, int column, const QString& name, const Variant& value);
    void setLookup(RowBuffer& b, int column, const ReferenceDef& ref, int64_t target);
    void setBaseLink(const Variant& value);
    int64_t findTarget(const ReferenceDef& ref, const Variant& value);
    void saveCurrent();
    // On an owner's data set: the event it hears about a change of its collection `reference`
    // (`row`: the row changed, or an empty data set): before the change, or after it, when the
    // owner is then stored, so that its totals follow.
    void ownerEvent(bool after, DataSet& row, const QString& reference, bool remove);
    // True when an owner's data set has no row or its row is being deleted: it hears no events.
    bool ownerGone();
    // True when the row of `chain` is being saved higher up (a nested save of it is a no-op).
    bool beingSaved(const RowChain& chain) const;
    void deleteCurrent(bool ownerEvents);
    // Refuses a deletion of a login row without `loginRows`, and of this run's own login.
    void refuseLoginDeletion(bool loginRows);
    struct OwnerLink;
    std::vector<OwnerLink> owners();
    // The owners of non-owned collections that gather the stored row `b`.
    std::vector<OwnerLink> linkOwners(const RowBuffer& b);
    std::shared_ptr<DataSet> targetSet(const ReferenceDef& ref, int64_t oid);
    const Table& physicalTable() const;

    struct Computed;
    const Computed* computed(const QString& name) const;
    void parseFields();
    void prefetch() const;
    // The current row moved (navigation): the position is no longer lost; listeners hear it.
    void moved();
    // The view's columns for the field list they were built for.
    void buildView() const;

    // Everything the data set keeps: in DataSetPrivate.h, out of the program's sight.
    std::unique_ptr<DataSetPrivate> d_;
};

}  // namespace odb
