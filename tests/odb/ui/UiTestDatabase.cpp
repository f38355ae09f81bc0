// The widget tests' database.
#include "UiTestDatabase.h"

#include "odb/DbmsGlobal.h"
#include "odb/Interfaces.h"
#include "odb/Schema.h"
#include "odb/Table.h"
#include "odb/Tables.h"

namespace uitest {

using namespace odb;

namespace {

class Articoli : public itfDefTable, public itfSetData {
  public:
    QString Name() const override { return QStringLiteral("Articoli"); }
    void DefineIdentity(TableIdentity& id) override {
        id.Version(1.0);
        id.Caption(QStringLiteral("Articoli di magazzino"));
    }
    void DefineStructure(FieldDefs& f, IndexDefs&, ReferenceDefs&) override {
        f.AddField(QStringLiteral("Codice"), ftText, 10, 0, {}, -100, -100, -100, true,
                   QStringLiteral("Codice articolo"), {}, 0);
        f.AddField(QStringLiteral("Descrizione"), ftText, 50, 0, {}, -100, -100, -100, true, {}, {}, 0);
        f.AddField(QStringLiteral("Note"), ftMemo, 0, 0, {}, -100, -100, -100, false, {}, {}, 0);
        f.AddField(QStringLiteral("Prezzo"), ftLong, 0, 0, {}, -100, -100, -100, true, {}, {}, 0);
        f.AddField(QStringLiteral("PrezzoListino"), ftLong, 0, 0, {}, -100, -100, -100, false, {}, {}, 0);
    }
    void DefineDefaultData(itfSetData*& setData) override { setData = this; }
};

class Definition : public itfDefDatabase {
  public:
    void Define(DatabaseDef& def) override { def.AddTable(std::make_shared<Articoli>()); }
};

}  // namespace

class UiTestDatabase::Notify : public itfNotifyEvent {
  public:
    void OnEvent(int32_t, void*, const QString&) override {}
    void OnInternalMessage(void*, const QString&) override {}
    void OnQueryMessage(void*, int32_t, const QString&, bool& cancel) override { cancel = false; }
    void OnReportRequest(DataSet&, int32_t, const QString&, const QString&) override {}
};

UiTestDatabase::UiTestDatabase(const QString& path) : notify_(std::make_unique<Notify>()) {
    conn_ = std::make_shared<Connection>();
    conn_->CreateDatabaseFile(path);
    conn_->OpenDatabaseFile(path);
    db_ = DbmsGlobal::CreateDatabase(std::make_shared<Definition>(), QStringLiteral("ZeltoLavrix"),
                                     notify_.get());
    db_->Open(conn_);
}

UiTestDatabase::~UiTestDatabase() = default;

void UiTestDatabase::addArticolo(const QString& codice, const QString& descrizione, const QString& note,
                                 int prezzo) {
    auto ds = articoli();
    ds->AddRow({Variant(QStringLiteral("Codice")), Variant(codice), Variant(QStringLiteral("Descrizione")),
                Variant(descrizione), Variant(QStringLiteral("Note")), Variant(note),
                Variant(QStringLiteral("Prezzo")), Variant(static_cast<int32_t>(prezzo))});
}

std::shared_ptr<DataSet> UiTestDatabase::articoli(const QString& order) {
    return db_->Tables().Item(QStringLiteral("Articoli")).OpenData({}, order);
}

}  // namespace uitest
