// The interfaces through which the library calls the program back: the database definition, the
// table definitions, the row and field events, notifications and progress.
#pragma once

#include <QString>

#include <cstdint>

namespace odb {

class DataSet;
class DatabaseDef;
class FieldDefs;
class IndexDefs;
class ReferenceDefs;
class TableIdentity;
class itfSetData;

// Implemented by the program's database definition: registers its tables in order.
class itfDefDatabase {
  public:
    virtual ~itfDefDatabase() = default;
    virtual void Define(DatabaseDef& def) = 0;
};

// Implemented by every table class.
class itfDefTable {
  public:
    virtual ~itfDefTable() = default;
    // The table's name (the class bears the name of its table).
    virtual QString Name() const = 0;
    virtual void DefineIdentity(TableIdentity& identity) = 0;
    virtual void DefineStructure(FieldDefs& fields, IndexDefs& indexes, ReferenceDefs& references) = 0;
    // Hands back the object that receives the table's row events (the class itself).
    virtual void DefineDefaultData(itfSetData*& setData) = 0;
};

// Row and field events, in slot order. An event a table does not use returns at once.
// A rule refuses with DataSet::RejectChange and fails by throwing AppError; either unwinds the
// whole operation.
class itfSetData {
  public:
    virtual ~itfSetData() = default;
    virtual void OnUpdatedTableStruct(DataSet& ds, double curVersion, double oldVersion, bool created);
    virtual void OnNewRow(DataSet& ds);
    virtual void OnUpdateRow(DataSet& ds);
    virtual void OnDeleteRow(DataSet& ds);
    virtual void OnUpdateField(DataSet& ds, const QString& changedColumnName);
    virtual void OnBeforeUpdateField(DataSet& ds, const QString& columnName);
    virtual void OnUpdateReference(DataSet& ds, DataSet& referencedDS, const QString& referenceName,
                                   bool isDelete, bool inMemory);
    virtual void OnBeforeUpdateReference(DataSet& ds, DataSet& referencedDS, const QString& referenceName,
                                         bool isDelete, bool inMemory);
    virtual void OnSelectParent(DataSet& ds, DataSet& parentDS);
    virtual void OnSelect(DataSet& ds);
    virtual void OnSelectReference(DataSet& ds, DataSet& referenceDS, const QString& referenceName);
    virtual void OnNewReference(DataSet& ds, DataSet& referencedDS, const QString& referenceName);
    virtual void OnSetParent(DataSet& ds, const QString& parentTableName);
};

// Implemented by the program's main window: status events, messages, questions, report requests.
class itfNotifyEvent {
  public:
    virtual ~itfNotifyEvent() = default;
    virtual void OnEvent(int32_t action, void* source, const QString& detail) = 0;
    virtual void OnInternalMessage(void* source, const QString& detail) = 0;
    // `cancel` comes in True when Cancel should be the default; goes out True unless the answer is OK.
    virtual void OnQueryMessage(void* source, int32_t messageType, const QString& queryMessage,
                                bool& cancel) = 0;
    virtual void OnReportRequest(DataSet& source, int32_t func, const QString& title,
                                 const QString& details) = 0;
};

// Implemented by the program's progress window.
class itfProgress {
  public:
    virtual ~itfProgress() = default;
    virtual void OnStart(int32_t action, int32_t total) = 0;
    // False asks the library to stop.
    virtual bool OnProgress(int32_t action, int32_t total, int32_t count, DataSet* source,
                            DataSet* destination) = 0;
    virtual bool OnStopped() = 0;
    virtual void OnEnd(int32_t action, int32_t total) = 0;
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
