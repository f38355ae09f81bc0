// Selection sets: conditions checked against the table's columns, written as one where-text, and
// saved in the library's table of selections.
#include "odb/SelectionSet.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "base/DateUtil.h"
#include "odb/Connection.h"
#include "odb/Database.h"
#include "odb/Engine.h"
#include "odb/FieldValueText.h"
#include "odb/LibraryError.h"
#include "odb/Schema.h"
#include "odb/SqlStatement.h"
#include "odb/Table.h"
#include "odb/ViewColumns.h"
#include "odb/WhereLiteral.h"

namespace odb {

namespace {

const QString kSelectionsTable = QStringLiteral("_odbSelections");

// A date without its time compared with a field that keeps times covers the whole day.
bool WholeDay(const FieldDef& f, const Variant& v) {
    return f.type == ftDateTime && v.type() == VarType::Date && OleTimePart(v.dateValue()) == 0;
}

QString Literal(const FieldDef& f, const Variant& v) {
    if (v.isEmptyOrNull()) return QStringLiteral("Null");
    if (IsTextType(f.type)) return WhereLiteral::text(v.toText());
    if (IsDateType(f.type)) {
        const double d = v.toDate();
        return WhereLiteral::date(d, OleTimePart(d) != 0 || f.type == ftTime);
    }
    if (f.type == ftBoolean) return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    if (f.type == ftCurrency) return WhereLiteral::value(Variant(v.toCurrency()));
    return WhereLiteral::value(Variant(v.toDouble()));
}

QString NextDay(const Variant& v) {
    return WhereLiteral::date(v.toDate() + 1, false);
}

QJsonValue Encode(const Variant& v) {
    QJsonObject o;
    o.insert(QStringLiteral("t"), static_cast<int>(v.type()));
    switch (v.type()) {
        case VarType::Boolean:
            o.insert(QStringLiteral("v"), v.boolValue());
            break;
        case VarType::Byte:
        case VarType::Integer:
        case VarType::Long:
            o.insert(QStringLiteral("v"), static_cast<qint64>(v.intValue()));
            break;
        case VarType::Currency:
            o.insert(QStringLiteral("v"), QString::number(v.currencyValue().raw()));
            break;
        case VarType::Single:
        case VarType::Double:
        case VarType::Date:
            o.insert(QStringLiteral("v"), v.type() == VarType::Date ? v.dateValue() : v.doubleValue());
            break;
        case VarType::String:
            o.insert(QStringLiteral("v"), v.stringValue());
            break;
        default:
            return QJsonValue();  // Empty, Null, missing
    }
    return o;
}

Variant Decode(const QJsonValue& j) {
    if (!j.isObject()) return Variant::null();
    const QJsonObject o = j.toObject();
    const QJsonValue v = o.value(QStringLiteral("v"));
    switch (static_cast<VarType>(o.value(QStringLiteral("t")).toInt())) {
        case VarType::Boolean:
            return Variant(v.toBool());
        case VarType::Byte:
        case VarType::Integer:
        case VarType::Long:
            return Variant(static_cast<int64_t>(v.toInteger()));
        case VarType::Currency:
            return Variant(Currency::fromRaw(v.toString().toLongLong()));
        case VarType::Date:
            return Variant::fromDate(v.toDouble());
        case VarType::Single:
        case VarType::Double:
            return Variant(v.toDouble());
        case VarType::String:
            return Variant(v.toString());
        default:
            return Variant::null();
    }
}

bool SelectionsStored(Connection& c) {
    auto st = c.statement(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type='table' AND name=?"));
    st.bind(1, kSelectionsTable);
    st.step();
    const bool found = st.int64(0) > 0;
    st.reset();
    return found;
}

// Runs `body` in one write transaction on the file, the table of selections created when missing.
template <class F>
void WriteSelections(Connection& c, F&& body) {
    const int token = c.beginWrite();
    try {
        c.exec(QStringLiteral(
                   "CREATE TABLE IF NOT EXISTS \"%1\" (Kind INTEGER NOT NULL, TableName TEXT NOT NULL "
                   "COLLATE NOCASE, Name TEXT NOT NULL COLLATE NOCASE, Conditions TEXT, "
                   "PRIMARY KEY (Kind, TableName, Name))")
                   .arg(kSelectionsTable));
        body();
    } catch (...) {
        c.endWrite(token, false);
        throw;
    }
    c.endWrite(token, true);
}

}  // namespace

SelectionSet::SelectionSet(odb::Table& table, int32_t kind)
    : table_(table), database_(table.GetDatabase().weak_from_this().lock()), kind_(kind) {}

std::shared_ptr<const FieldDef> SelectionSet::Column(const QString& field) const {
    if (const FieldDef* f = table_.FieldByName(field)) return ViewColumnDef(table_, f->name);
    const ReferenceDef* r = table_.FindReference(field);
    if (r && !r->collection) return ViewColumnDef(table_, r->name);
    return nullptr;
}

QString SelectionSet::OperatorText(int32_t op) {
    static const char* const texts[] = {
        "uguale a", "diverso da", "minore di",    "minore o uguale a", "maggiore di", "maggiore o uguale a",
        "contiene", "inizia con", "compreso tra", "è vuoto",           "non è vuoto"};
    if (op < 0 || op >= opCount) return {};
    return QString::fromUtf8(texts[op]);
}

int SelectionSet::ValueCount(int32_t op) {
    if (op == opBetween) return 2;
    if (op == opEmpty || op == opNotEmpty) return 0;
    return 1;
}

SelectionSet::Condition SelectionSet::checked(const Condition& given) const {
    auto def = Column(given.field);
    if (!def)
        LibraryError::Raise(odbErrUnknownField, LibraryError::Text(odbErrUnknownField) +
                                                    QStringLiteral(": ") + table_.Name() + QLatin1Char('.') +
                                                    given.field);
    if (given.op < 0 || given.op >= opCount) LibraryError::Raise(odbErrBadCondition);
    Condition c = given;
    c.field = def->name;
    auto typed = [&](const Variant& v) -> Variant {
        if (v.isMissing() || v.isEmptyOrNull()) return Variant::null();
        if (c.op == opContains || c.op == opStartsWith) return Variant(v.toText());
        if (!v.isString()) return v;
        Variant out;
        QString problem;
        // A text is read as the column shows its values (a label, an Italian date or number).
        if (!ParseFieldText(*def, v.stringValue(), out, &problem))
            LibraryError::Raise(odbErrBadValue, problem);
        return out;
    };
    c.value = ValueCount(c.op) >= 1 ? typed(given.value) : Variant::null();
    c.value2 = ValueCount(c.op) >= 2 ? typed(given.value2) : Variant::null();
    if (c.op == opBetween && (c.value.isNull() || c.value2.isNull()))
        LibraryError::Raise(
            odbErrBadValue,
            QStringLiteral("Indicare i due valori dell'intervallo per il campo '%1'.").arg(def->Caption()));
    return c;
}

void SelectionSet::AddCondition(const QString& field, const Variant& value, int32_t op,
                                const Variant& value2) {
    conditions_.push_back(checked({field, op, value, value2}));
}

void SelectionSet::SetConditions(const std::vector<Condition>& conditions) {
    std::vector<Condition> next;
    for (const Condition& c : conditions)
        next.push_back(checked(c));
    conditions_ = std::move(next);
}

bool SelectionSet::UsesField(const QString& field) const {
    for (const Condition& c : conditions_)
        if (c.field.compare(field.normalized(QString::NormalizationForm_C), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

void SelectionSet::RemoveField(const QString& field) {
    const QString n = field.normalized(QString::NormalizationForm_C);
    std::erase_if(conditions_,
                  [&](const Condition& c) { return c.field.compare(n, Qt::CaseInsensitive) == 0; });
}

QString SelectionSet::conditionText(const Condition& c) const {
    auto def = Column(c.field);
    if (!def) return {};
    const FieldDef& f = *def;
    const QString& n = f.name;
    const QString empty = IsTextType(f.type) ? QStringLiteral("(%1 IS NULL OR %1 = '')").arg(n)
                                             : QStringLiteral("%1 IS NULL").arg(n);
    int32_t op = c.op;
    if ((op == opEqual || op == opNotEqual) && c.value.isNull()) op = op == opEqual ? opEmpty : opNotEmpty;
    const QString v = Literal(f, c.value);
    switch (op) {
        case opEqual:
            if (WholeDay(f, c.value))
                return QStringLiteral("(%1 >= %2 AND %1 < %3)").arg(n, v, NextDay(c.value));
            return n + QStringLiteral(" = ") + v;
        case opNotEqual:
            if (WholeDay(f, c.value))
                return QStringLiteral("(%1 < %2 OR %1 >= %3 OR %1 IS NULL)").arg(n, v, NextDay(c.value));
            return QStringLiteral("(%1 <> %2 OR %1 IS NULL)").arg(n, v);
        case opLess:
            return n + QStringLiteral(" < ") + v;
        case opLessEqual:
            if (WholeDay(f, c.value)) return n + QStringLiteral(" < ") + NextDay(c.value);
            return n + QStringLiteral(" <= ") + v;
        case opGreater:
            if (WholeDay(f, c.value)) return n + QStringLiteral(" >= ") + NextDay(c.value);
            return n + QStringLiteral(" > ") + v;
        case opGreaterEqual:
            return n + QStringLiteral(" >= ") + v;
        case opContains:
            return n + QStringLiteral(" Like ") +
                   WhereLiteral::text(QLatin1Char('*') + LikeLiteral(c.value.toText()) + QLatin1Char('*'));
        case opStartsWith:
            return n + QStringLiteral(" Like ") +
                   WhereLiteral::text(LikeLiteral(c.value.toText()) + QLatin1Char('*'));
        case opBetween: {
            const QString upper = WholeDay(f, c.value2)
                                      ? QStringLiteral("%1 < %2").arg(n, NextDay(c.value2))
                                      : QStringLiteral("%1 <= %2").arg(n, Literal(f, c.value2));
            return QStringLiteral("(%1 >= %2 AND %3)").arg(n, v, upper);
        }
        case opEmpty:
            return empty;
        case opNotEmpty:
            return QStringLiteral("NOT ") + empty;
        default:
            return {};
    }
}

QString SelectionSet::WhereText(int32_t, int32_t) const {
    QStringList parts;
    for (const Condition& c : conditions_) {
        const QString t = conditionText(c);
        if (!t.isEmpty()) parts << t;
    }
    return parts.join(QStringLiteral(" AND "));
}

QString SelectionSet::store() const {
    QJsonArray list;
    for (const Condition& c : conditions_) {
        QJsonObject o;
        o.insert(QStringLiteral("field"), c.field);
        o.insert(QStringLiteral("op"), c.op);
        o.insert(QStringLiteral("value"), Encode(c.value));
        o.insert(QStringLiteral("value2"), Encode(c.value2));
        list.append(o);
    }
    return QString::fromUtf8(QJsonDocument(list).toJson(QJsonDocument::Compact));
}

void SelectionSet::restore(const QString& stored) {
    std::vector<Condition> out;
    for (const QJsonValue& j : QJsonDocument::fromJson(stored.toUtf8()).array()) {
        const QJsonObject o = j.toObject();
        Condition c{o.value(QStringLiteral("field")).toString(), o.value(QStringLiteral("op")).toInt(),
                    Decode(o.value(QStringLiteral("value"))), Decode(o.value(QStringLiteral("value2")))};
        // A condition on a column the table no longer has is left out, so the rest still applies.
        if (Column(c.field) && c.op >= 0 && c.op < opCount) out.push_back(c);
    }
    conditions_ = std::move(out);
}

bool SelectionSet::Load(const QString& name, int32_t) {
    Connection& c = table_.engine().conn();
    if (name.trimmed().isEmpty() || !SelectionsStored(c)) return false;
    auto st =
        c.statement(QStringLiteral("SELECT Name, Conditions FROM \"%1\" WHERE Kind=? AND TableName=? AND "
                                   "Name=?")
                        .arg(kSelectionsTable));
    st.bind(1, int64_t{kind_});
    st.bind(2, table_.Name());
    st.bind(3, name);
    if (!st.step()) {
        st.reset();
        return false;
    }
    const QString stored = st.text(0);
    const QString conditions = st.text(1);
    st.reset();
    restore(conditions);
    name_ = stored;
    return true;
}

void SelectionSet::Save(const QString& name, int32_t, int32_t) {
    const QString n = name.trimmed().isEmpty() ? name_ : name.trimmed();
    if (n.isEmpty())
        LibraryError::Raise(odbErrBadValue,
                            QStringLiteral("Indicare il nome con cui salvare le condizioni."));
    Connection& c = table_.engine().conn();
    const QString text = store();
    WriteSelections(c, [&] {
        c.statement(QStringLiteral("DELETE FROM \"%1\" WHERE Kind=? AND TableName=? AND Name=?")
                        .arg(kSelectionsTable))
            .bind(1, int64_t{kind_})
            .bind(2, table_.Name())
            .bind(3, n)
            .run();
        c.statement(
             QStringLiteral("INSERT INTO \"%1\" (Kind, TableName, Name, Conditions) VALUES (?, ?, ?, ?)")
                 .arg(kSelectionsTable))
            .bind(1, int64_t{kind_})
            .bind(2, table_.Name())
            .bind(3, n)
            .bind(4, text)
            .run();
    });
    name_ = n;
}

bool SelectionSet::Rename(const QString& name, int32_t mode) {
    if (mode != 0) {
        name_ = name.trimmed();
        return true;
    }
    return Load(name);
}

bool SelectionSet::Delete(const QString& name, int32_t) {
    Connection& c = table_.engine().conn();
    if (name.trimmed().isEmpty() || !SelectionsStored(c)) return false;
    int64_t deleted = 0;
    WriteSelections(c, [&] {
        deleted = c.statement(QStringLiteral("DELETE FROM \"%1\" WHERE Kind=? AND TableName=? AND Name=?")
                                  .arg(kSelectionsTable))
                      .bind(1, int64_t{kind_})
                      .bind(2, table_.Name())
                      .bind(3, name.trimmed())
                      .run();
    });
    return deleted > 0;
}

QString SelectionSet::SavedNames(int32_t) const {
    Connection& c = table_.engine().conn();
    if (!SelectionsStored(c)) return {};
    auto st = c.statement(QStringLiteral("SELECT Name FROM \"%1\" WHERE Kind=? AND TableName=? ORDER BY Name "
                                         "COLLATE NOCASE")
                              .arg(kSelectionsTable));
    st.bind(1, int64_t{kind_});
    st.bind(2, table_.Name());
    QStringList names;
    while (st.step())
        names << st.text(0);
    st.reset();
    return names.join(QLatin1Char('|'));
}

}  // namespace odb
