// A small test schema for the object-database library: table classes assembled from lambdas that
// record every event they receive, and a definition that registers them in order.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "odb/DataSet.h"
#include "odb/Interfaces.h"
#include "odb/Schema.h"

namespace odbtest {

using odb::DataSet;

// A table class whose identity, structure and events come from its members.
class TestTable : public odb::itfDefTable, public odb::itfSetData {
  public:
    TestTable(QString name, QStringList* log) : name_(std::move(name)), log_(log) {}

    QString Name() const override { return name_; }
    void DefineIdentity(odb::TableIdentity& id) override;
    void DefineStructure(odb::FieldDefs& f, odb::IndexDefs& i, odb::ReferenceDefs& r) override;
    void DefineDefaultData(odb::itfSetData*& setData) override { setData = this; }

    void OnUpdatedTableStruct(DataSet& ds, double cur, double old, bool created) override;
    void OnNewRow(DataSet& ds) override;
    void OnUpdateRow(DataSet& ds) override;
    void OnDeleteRow(DataSet& ds) override;
    void OnUpdateField(DataSet& ds, const QString& column) override;
    void OnBeforeUpdateField(DataSet& ds, const QString& column) override;
    void OnUpdateReference(DataSet& ds, DataSet& ref, const QString& name, bool isDelete,
                           bool inMemory) override;
    void OnBeforeUpdateReference(DataSet& ds, DataSet& ref, const QString& name, bool isDelete,
                                 bool inMemory) override;
    void OnNewReference(DataSet& ds, DataSet& ref, const QString& name) override;
    void OnSelectReference(DataSet& ds, DataSet& ref, const QString& name) override;
    void OnSelect(DataSet& ds) override;

    // Identity
    std::optional<double> version = 1.0;
    QString caption, base;
    odb::BaseKind kind = odb::BaseKind::Exclusive;
    // Structure and events
    std::function<void(odb::FieldDefs&, odb::IndexDefs&, odb::ReferenceDefs&)> structure;
    std::function<void(DataSet&, double, double, bool)> onStruct;
    std::function<void(DataSet&)> onNewRow, onUpdateRow, onDeleteRow, onSelect;
    std::function<void(DataSet&, const QString&)> onUpdateField, onBeforeUpdateField;
    std::function<void(DataSet&, DataSet&, const QString&, bool)> onUpdateReference, onBeforeUpdateReference;
    std::function<void(DataSet&, DataSet&, const QString&)> onNewReference, onSelectReference;

  private:
    void note(const QString& text);
    QString name_;
    QStringList* log_;
};

class TestDefinition : public odb::itfDefDatabase {
  public:
    void Define(odb::DatabaseDef& def) override;
    std::shared_ptr<TestTable> add(const QString& name);
    std::shared_ptr<TestTable> table(const QString& name) const;
    std::vector<std::shared_ptr<TestTable>> tables;
    QStringList log;
    bool record = true;  // tables added from now on log their events
};

// Records what the library tells the program; answers questions as told.
class TestNotify : public odb::itfNotifyEvent {
  public:
    void OnEvent(int32_t, void*, const QString& detail) override { events << detail; }
    void OnInternalMessage(void*, const QString& detail) override { messages << detail; }
    void OnQueryMessage(void*, int32_t type, const QString& text, bool& cancel) override {
        questions << QStringLiteral("%1:%2").arg(type).arg(text);
        cancel = answerCancel;
    }
    void OnReportRequest(DataSet&, int32_t, const QString&, const QString&) override {}
    QStringList events, messages, questions;
    bool answerCancel = false;
};

// Field helpers for structures.
void Text(odb::FieldDefs& f, const QString& name, int size = 64);
void Long(odb::FieldDefs& f, const QString& name, const QString& format = {});
void Money(odb::FieldDefs& f, const QString& name);
void Flag(odb::FieldDefs& f, const QString& name);
void When(odb::FieldDefs& f, const QString& name);
void Lookup(odb::ReferenceDefs& r, const QString& name, const QString& target, const QString& key,
            const QString& display);
void Collection(odb::ReferenceDefs& r, const QString& name, const QString& target, bool owned);

// Builds the shop schema used across the tests: Clienti and Operai (lookups with default rows),
// Commesse (header) owning DettagliSpeciali (an exclusive detail kind over Dettagli) which own
// Passaggi (steps) and Necessita (a shared-base extension of Magazzino), Gruppi gathering Passaggi.
// Totals: steps' Minuti and Costo climb into the detail, details' into the header.
void BuildShopSchema(TestDefinition& def);

}  // namespace odbtest
