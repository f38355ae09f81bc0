// The test schema: recording table classes and the shop schema with running totals.
#include "TestSchema.h"

#include "base/VariantOps.h"
#include "odb/Table.h"

namespace odbtest {

using namespace odb;

void TestTable::note(const QString& text) {
    if (log_) log_->append(name_ + QLatin1Char('.') + text);
}

void TestTable::DefineIdentity(TableIdentity& id) {
    if (version) id.Version(*version);
    if (!caption.isEmpty()) id.Caption(caption);
    if (!base.isEmpty()) {
        id.BaseTable(base);
        id.SetBaseKind(kind);
    }
    id.Flags1(1);
}

void TestTable::DefineStructure(FieldDefs& f, IndexDefs& i, ReferenceDefs& r) {
    if (structure) structure(f, i, r);
}

void TestTable::OnUpdatedTableStruct(DataSet& ds, double cur, double old, bool created) {
    if (log_) note(QStringLiteral("OnUpdatedTableStruct(%1,%2,%3)").arg(cur).arg(old).arg(created ? 1 : 0));
    if (onStruct) onStruct(ds, cur, old, created);
}

void TestTable::OnNewRow(DataSet& ds) {
    if (log_) note(QStringLiteral("OnNewRow"));
    if (onNewRow) onNewRow(ds);
}

void TestTable::OnUpdateRow(DataSet& ds) {
    if (log_) note(QStringLiteral("OnUpdateRow"));
    if (onUpdateRow) onUpdateRow(ds);
}

void TestTable::OnDeleteRow(DataSet& ds) {
    if (log_) note(QStringLiteral("OnDeleteRow"));
    if (onDeleteRow) onDeleteRow(ds);
}

void TestTable::OnUpdateField(DataSet& ds, const QString& column) {
    if (log_) note(QStringLiteral("OnUpdateField(%1)").arg(column));
    if (onUpdateField) onUpdateField(ds, column);
}

void TestTable::OnBeforeUpdateField(DataSet& ds, const QString& column) {
    if (log_) note(QStringLiteral("OnBeforeUpdateField(%1)").arg(column));
    if (onBeforeUpdateField) onBeforeUpdateField(ds, column);
}

void TestTable::OnUpdateReference(DataSet& ds, DataSet& ref, const QString& name, bool isDelete, bool) {
    if (log_)
        note(QStringLiteral("OnUpdateReference(%1,%2,%3)")
                 .arg(name)
                 .arg(isDelete ? 1 : 0)
                 .arg(ref.NoCurrentRow() ? QStringLiteral("-") : ref.GetTable().Name()));
    if (onUpdateReference) onUpdateReference(ds, ref, name, isDelete);
}

void TestTable::OnBeforeUpdateReference(DataSet& ds, DataSet& ref, const QString& name, bool isDelete, bool) {
    if (log_)
        note(QStringLiteral("OnBeforeUpdateReference(%1,%2,%3)")
                 .arg(name)
                 .arg(isDelete ? 1 : 0)
                 .arg(ref.NoCurrentRow() ? QStringLiteral("-") : ref.GetTable().Name()));
    if (onBeforeUpdateReference) onBeforeUpdateReference(ds, ref, name, isDelete);
}

void TestTable::OnNewReference(DataSet& ds, DataSet& ref, const QString& name) {
    if (log_) note(QStringLiteral("OnNewReference(%1)").arg(name));
    if (onNewReference) onNewReference(ds, ref, name);
}

void TestTable::OnSelectReference(DataSet& ds, DataSet& ref, const QString& name) {
    if (log_) note(QStringLiteral("OnSelectReference(%1)").arg(name));
    if (onSelectReference) onSelectReference(ds, ref, name);
}

void TestTable::OnSelect(DataSet& ds) {
    // Not logged: every opening raises it.
    if (onSelect) onSelect(ds);
}

void TestDefinition::Define(DatabaseDef& def) {
    for (const auto& t : tables)
        def.AddTable(t);
}

std::shared_ptr<TestTable> TestDefinition::add(const QString& name) {
    auto t = std::make_shared<TestTable>(name, record ? &log : nullptr);
    tables.push_back(t);
    return t;
}

std::shared_ptr<TestTable> TestDefinition::table(const QString& name) const {
    for (const auto& t : tables)
        if (t->Name() == name) return t;
    return nullptr;
}

void Text(FieldDefs& f, const QString& name, int size) {
    f.AddField(name, ftText, size, 0, {}, -100, -100, -100, true, {}, {}, 0);
}
void Long(FieldDefs& f, const QString& name, const QString& format) {
    f.AddField(name, ftLong, format.size(), 0, format, -100, -100, -100, true, {}, {}, 0);
}
void Money(FieldDefs& f, const QString& name) {
    f.AddField(name, ftCurrency, 0, 0, {}, 15, -100, -100, true, {}, {}, 0);
}
void Flag(FieldDefs& f, const QString& name) {
    f.AddField(name, ftBoolean, 0, 0, {}, -100, -100, -100, true, {}, {}, 0);
}
void When(FieldDefs& f, const QString& name) {
    f.AddField(name, ftDateTime, 0, 0, {}, -100, -100, -100, true, {}, {}, 0);
}
void Lookup(ReferenceDefs& r, const QString& name, const QString& target, const QString& key,
            const QString& display) {
    r.AddReference(name, target, false, false, key, display, -100, -100, -100, {}, -2, -1, 0);
}
void Collection(ReferenceDefs& r, const QString& name, const QString& target, bool owned) {
    r.AddReference(name, target, true, owned, {}, {}, 1, -100, -100, {}, -2, -1, 0);
}

namespace {

// Takes a child's contribution out of (sign -1) or into (sign 1) its owner's totals.
void Book(DataSet& owner, DataSet& child, const QString& ownerMinutes, const QString& childMinutes,
          const QString& ownerCost, const QString& childCost, int sign) {
    if (child.NoCurrentRow()) return;
    const double minutes = child.ColNumber(childMinutes);
    const Variant cost = child.ColValue(childCost);
    if (sign > 0) {
        owner.AddToCol(ownerMinutes, minutes);
        owner.AddToCol(ownerCost, cost);
    } else {
        owner.SubtractFromCol(ownerMinutes, minutes);
        owner.SubtractFromCol(ownerCost, cost);
    }
}

}  // namespace

void BuildShopSchema(TestDefinition& def) {
    auto clienti = def.add(QStringLiteral("Clienti"));
    clienti->structure = [](FieldDefs& f, IndexDefs& i, ReferenceDefs&) {
        Text(f, QStringLiteral("Codice"), 16);
        Text(f, QStringLiteral("Descrizione"));
        i.AddIndex(QStringLiteral("Descrizione"), true);
    };
    clienti->onStruct = [](DataSet& ds, double, double, bool created) {
        if (created) ds.AddRow({"Codice", "", "Descrizione", "<indefinito>"});
    };

    auto operai = def.add(QStringLiteral("Operai"));
    operai->structure = [](FieldDefs& f, IndexDefs& i, ReferenceDefs&) {
        f.AddField(QStringLiteral("Codice"), ftCodeText, 8, 0, {}, 1, -100, -100, true, {}, {}, 0);
        Text(f, QStringLiteral("Nominativo"));
        Money(f, QStringLiteral("CostoOrario"));
        i.AddIndex(QStringLiteral("Codice"), true);
    };
    operai->onStruct = [](DataSet& ds, double, double, bool created) {
        if (created) ds.AddRow({"Codice", "0", "Nominativo", "<indefinito>", "CostoOrario", 0});
    };

    auto commesse = def.add(QStringLiteral("Commesse"));
    commesse->version = 1.2;
    commesse->structure = [](FieldDefs& f, IndexDefs& i, ReferenceDefs& r) {
        Long(f, QStringLiteral("Progressivo"), QStringLiteral("0000"));
        Long(f, QStringLiteral("TempoTotale"));
        Money(f, QStringLiteral("CostoTotale"));
        Lookup(r, QStringLiteral("Cliente"), QStringLiteral("Clienti"), QStringLiteral("Codice"),
               QStringLiteral("Descrizione"));
        Collection(r, QStringLiteral("Dettagli"), QStringLiteral("DettagliSpeciali"), true);
        Collection(r, QStringLiteral("Fabbisogni"), QStringLiteral("Necessita"), true);
        Collection(r, QStringLiteral("Generici"), QStringLiteral("Dettagli"), true);
        i.AddIndex(QStringLiteral("Progressivo"), true);
    };
    commesse->onNewRow = [](DataSet& ds) {
        ds.SetColValue(QStringLiteral("TempoTotale"), 0);
        ds.SetColValue(QStringLiteral("CostoTotale"), Currency());
        const Variant max = ds.OpenTable()->Aggregate(QStringLiteral("Progressivo"), 2);
        ds.SetColValue(QStringLiteral("Progressivo"), max.toDouble() + 1);
    };
    commesse->onBeforeUpdateReference = [](DataSet& ds, DataSet& ref, const QString& name, bool) {
        if (name == QStringLiteral("Dettagli"))
            Book(ds, ref, QStringLiteral("TempoTotale"), QStringLiteral("TempoImpiegato"),
                 QStringLiteral("CostoTotale"), QStringLiteral("Costo"), -1);
    };
    commesse->onUpdateReference = [](DataSet& ds, DataSet& ref, const QString& name, bool) {
        if (name == QStringLiteral("Dettagli"))
            Book(ds, ref, QStringLiteral("TempoTotale"), QStringLiteral("TempoImpiegato"),
                 QStringLiteral("CostoTotale"), QStringLiteral("Costo"), 1);
    };

    auto dettagli = def.add(QStringLiteral("Dettagli"));
    dettagli->structure = [](FieldDefs& f, IndexDefs&, ReferenceDefs& r) {
        f.AddField(QStringLiteral("NumeroCommessa"), ftCodeText, 32, 0, {}, 15, -100, -100, true, {}, {}, 0);
        Flag(f, QStringLiteral("Chiuso"));
        Long(f, QStringLiteral("TempoImpiegato"));
        Money(f, QStringLiteral("Costo"));
        Collection(r, QStringLiteral("Passaggi"), QStringLiteral("Passaggi"), true);
    };
    dettagli->onNewRow = [](DataSet& ds) {
        ds.SetColValue(QStringLiteral("Chiuso"), false);
        ds.SetColValue(QStringLiteral("TempoImpiegato"), 0);
        ds.SetColValue(QStringLiteral("Costo"), Currency());
    };
    dettagli->onBeforeUpdateReference = [](DataSet& ds, DataSet& ref, const QString& name, bool) {
        if (name == QStringLiteral("Passaggi"))
            Book(ds, ref, QStringLiteral("TempoImpiegato"), QStringLiteral("Minuti"), QStringLiteral("Costo"),
                 QStringLiteral("Costo"), -1);
    };
    dettagli->onUpdateReference = [](DataSet& ds, DataSet& ref, const QString& name, bool) {
        if (name == QStringLiteral("Passaggi"))
            Book(ds, ref, QStringLiteral("TempoImpiegato"), QStringLiteral("Minuti"), QStringLiteral("Costo"),
                 QStringLiteral("Costo"), 1);
    };

    auto speciali = def.add(QStringLiteral("DettagliSpeciali"));
    speciali->base = QStringLiteral("Dettagli");
    speciali->structure = [](FieldDefs& f, IndexDefs& i, ReferenceDefs&) {
        Long(f, QStringLiteral("SottoProgressivo"), QStringLiteral("000"));
        f.AddField(QStringLiteral("Quantità"), ftQuantity, 0, 0, {}, -100, -100, -100, true, {}, {}, 0);
        i.AddIndex(QStringLiteral("SottoProgressivo"), true, QStringLiteral("DettSpeciali")).AddParentLink();
    };
    speciali->onNewRow = [](DataSet& ds) {
        ds.SetColValue(QStringLiteral("Quantità"), 1);
        if (ds.EventSource().SkipNumbering()) return;
        auto parent = ds.ParentRow();
        if (parent->NoCurrentRow()) return;
        const Variant max = parent->GetReference(QStringLiteral("Dettagli"))
                                ->Aggregate(QStringLiteral("SottoProgressivo"), 2);
        ds.SetColValue(QStringLiteral("SottoProgressivo"), max.toDouble() + 1);
    };

    auto passaggi = def.add(QStringLiteral("Passaggi"));
    passaggi->structure = [](FieldDefs& f, IndexDefs& i, ReferenceDefs& r) {
        When(f, QStringLiteral("DataInizio"));
        Long(f, QStringLiteral("Minuti"));
        Money(f, QStringLiteral("Costo"));
        Lookup(r, QStringLiteral("Operaio"), QStringLiteral("Operai"), QStringLiteral("Codice"),
               QStringLiteral("Nominativo"));
        i.AddIndex(QStringLiteral("DataInizio"), false);
    };
    passaggi->onNewRow = [](DataSet& ds) {
        ds.SetColValue(QStringLiteral("Minuti"), 0);
        ds.SetColValue(QStringLiteral("Costo"), Currency());
    };
    passaggi->onUpdateField = [](DataSet& ds, const QString& column) {
        if (column != QStringLiteral("Minuti")) return;
        auto op = ds.GetReference(QStringLiteral("Operaio"));
        const double rate = op->DataEmpty() ? 0 : op->ColNumber(QStringLiteral("CostoOrario"));
        ds.SetColValue(QStringLiteral("Costo"),
                       Currency::fromDouble(ds.ColNumber(QStringLiteral("Minuti")) * (rate / 60)));
    };

    auto magazzino = def.add(QStringLiteral("Magazzino"));
    magazzino->structure = [](FieldDefs& f, IndexDefs& i, ReferenceDefs&) {
        Text(f, QStringLiteral("Codice"), 32);
        Text(f, QStringLiteral("Descrizione"));
        Long(f, QStringLiteral("Giacenza"));
        i.AddIndex(QStringLiteral("Codice"), true);
    };
    magazzino->onNewRow = [](DataSet& ds) { ds.SetColValue(QStringLiteral("Giacenza"), 0); };

    auto necessita = def.add(QStringLiteral("Necessita"));
    necessita->version.reset();
    necessita->base = QStringLiteral("Magazzino");
    necessita->kind = BaseKind::SharedBase;
    necessita->structure = [](FieldDefs& f, IndexDefs&, ReferenceDefs&) {
        Long(f, QStringLiteral("QuantitàNecessaria"));
    };

    auto gruppi = def.add(QStringLiteral("Gruppi"));
    gruppi->structure = [](FieldDefs& f, IndexDefs&, ReferenceDefs& r) {
        Text(f, QStringLiteral("Nome"));
        Collection(r, QStringLiteral("Passaggi"), QStringLiteral("Passaggi"), false);
    };
}

}  // namespace odbtest
