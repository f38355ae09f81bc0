// A small real SQLite database (customers, workers, job orders with details and their two
// extensions, work steps, attendance, order lines, report layouts) and a resolver onto it:
// columns by name, references by their target's display field, and correlated sub-selects for
// paths through containers, extensions and references.
#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

#include <sqlite3.h>

#include <stdexcept>
#include <vector>

#include "odb/Schema.h"
#include "odb/condition/ConditionFunctions.h"
#include "odb/condition/ConditionSchema.h"
#include "odb/condition/ConditionSql.h"

class ConditionTestSchema : public odb::ConditionSchema {
  public:
    ConditionTestSchema() {
        tables_ = {
            {"Clienti", {}, {}, {{"Descrizione", odb::ftText}}, {}},
            {"Operai",
             {},
             {},
             {{"Codice", odb::ftCodeText},
              {"Nominativo", odb::ftText},
              {"DataFineRapporto", odb::ftDate},
              {"Impiegato", odb::ftBoolean}},
             {}},
            {"CommesseCliente",
             {},
             {},
             {{"Progressivo", odb::ftLong},
              {"CommessaChiusa", odb::ftBoolean},
              {"Spedito", odb::ftBoolean},
              {"StatoNotifica", odb::ftLong},
              {"DataChiusura", odb::ftDateTime},
              {"DataInserimento", odb::ftDateTime},
              {"Importo", odb::ftCurrency}},
             {{"Cliente", "Clienti", "Descrizione"}}},
            {"DettagliCommesse",
             {},
             "CommesseCliente",
             {{"NumeroCommessa", odb::ftCodeText}, {"Chiuso", odb::ftBoolean}},
             {}},
            {"ParticolariAttrezzature",
             {},
             {},
             {{"Descrizione", odb::ftText}, {"PrezzoListino", odb::ftCurrency}},
             {}},
            {"MagazzinoMacchinari", {}, {}, {{"Codice", odb::ftText}}, {}},
            {"DettagliAttrezzature",
             "DettagliCommesse",
             {},
             {},
             {{"Particolare", "ParticolariAttrezzature", "Descrizione"}}},
            {"DettagliVenditaMacchinari",
             "DettagliCommesse",
             {},
             {},
             {{"Macchinario", "MagazzinoMacchinari", "Codice"}}},
            {"PassaggiDettaglioCommesse",
             {},
             "DettagliCommesse",
             {{"Chiuso", odb::ftBoolean}, {"Sospeso", odb::ftBoolean}, {"DataInizio", odb::ftDateTime}},
             {{"Operaio", "Operai", "Nominativo"}}},
            {"Ingressi", {}, {}, {{"Data", odb::ftDate}}, {{"Operaio", "Operai", "Nominativo"}}},
            {"OrdinePartCommerciale",
             {},
             {},
             {{"QuantitàOrdine", odb::ftQuantity},
              {"QuantitàCaricata", odb::ftQuantity},
              {"PrezzoUnitario", odb::ftCurrency}},
             {}},
            {"TabProspettiStampa",
             {},
             {},
             {{"NomeTabellaOrigine", odb::ftText},
              {"NomeReference", odb::ftText},
              {"NomeProspetto", odb::ftText}},
             {}},
        };

        if (sqlite3_open(":memory:", &db_) != SQLITE_OK) throw std::runtime_error("sqlite3_open");
        odb::RegisterConditionFunctions(db_);
        for (const Table& t : tables_) {
            QStringList columns{QStringLiteral("oid INTEGER PRIMARY KEY")};
            if (!t.owner.isEmpty()) columns << QStringLiteral("Owner INTEGER");
            for (const auto& [name, type] : t.fields) {
                const bool whole = type == odb::ftLong || type == odb::ftBoolean || type == odb::ftCurrency;
                const bool real = type == odb::ftQuantity || type == odb::ftDecimal || type == odb::ftDate ||
                                  type == odb::ftDateTime;
                columns << Quoted(name) + (whole ? " INTEGER" : real ? " REAL" : " TEXT");
            }
            for (const Reference& r : t.references)
                columns << Quoted(r.name) + " INTEGER";
            exec(QStringLiteral("CREATE TABLE %1 (%2)")
                     .arg(Quoted(t.name), columns.join(", "))
                     .toUtf8()
                     .constData());
        }

        // Dates are OLE days: 45352 = 1 March 2024, 45366 = 15 March 2024, 45367 = 16 March 2024.
        exec(R"(
            INSERT INTO Clienti VALUES (1, 'Rossi Srl'), (2, 'Bianchi & C.'), (3, 'l''asse'), (4, 'Élite');
            INSERT INTO Operai VALUES (1, '', '<indefinito>', NULL, 0), (2, 'A01', 'Mario Rossi', NULL, 0),
                (3, 'A02', 'Luca Bianchi', 45443, 0), (4, 'b03', 'Àngela Verdi', NULL, 1),
                (5, 'C04', ''' OR 1=1 --', NULL, 0);
            INSERT INTO CommesseCliente VALUES
                (1, 1, 1, 1, 3, 45361.416666666664, 45296, 125000, 1),
                (2, 2, 1, 0, 2, 45371.354166666664, 45352, 1000000, 2),
                (3, 3, 0, 0, 1, NULL, 45366.583333333336, NULL, 1),
                (4, 4, 1, 0, 2, 45291.99930555555, 45261, 0, 3);
            INSERT INTO DettagliCommesse VALUES (10, 1, '1-0001/001', 1), (11, 1, '1-0001/002', 1),
                (12, 2, '1-0002/001', 1), (13, 3, '1-0003/001', 0), (14, 4, '1-0004/001', 1), (15, 4, '1-0004/002', 1);
            INSERT INTO ParticolariAttrezzature VALUES (1, 'Stampo A', 100000), (2, 'Punzone', 25000);
            INSERT INTO MagazzinoMacchinari VALUES (1, 'PRESSA-1'), (2, 'TORNIO-2');
            INSERT INTO DettagliAttrezzature VALUES (10, 1), (13, 2);
            INSERT INTO DettagliVenditaMacchinari VALUES (11, 1), (12, 2), (14, 1);
            INSERT INTO PassaggiDettaglioCommesse VALUES (20, 10, 1, 0, 45352.333333333336, 2),
                (21, 13, 0, 1, 45367.375, 2), (22, 13, 0, 0, 45367.416666666664, 3), (23, 13, NULL, 0, NULL, 4);
            INSERT INTO Ingressi VALUES (30, 45366, 2), (31, 45366, 3), (32, 45367, 2);
            INSERT INTO OrdinePartCommerciale VALUES (40, 10, 4, 25000), (41, 5, 5, 10000), (42, 0, 0, 30000);
            INSERT INTO TabProspettiStampa VALUES (50, 'CommesseCliente', '', 'Elenco'),
                (51, 'CommesseCliente', 'Attrezzature', 'Dettagli'), (52, 'DettagliCommesse', '', 'Costi'),
                (53, 'Ingressi', '', 'Accessi');
        )");
    }

    ~ConditionTestSchema() override { sqlite3_close(db_); }

    std::optional<odb::ConditionField> ResolveField(const QString& tableName, const QString& alias,
                                                    const QStringList& path,
                                                    odb::ConditionAliases& aliases) const override {
        const Table* t = table(tableName);
        if (!t || path.isEmpty()) return std::nullopt;
        const QString& name = path[0];
        const QStringList rest = path.mid(1);
        const QString self = alias + QStringLiteral(".oid");
        if (rest.isEmpty()) {
            if (Same(name, "OID")) return odb::ConditionField{self, odb::ftLong};
            if (Same(name, "Owner") && !t->owner.isEmpty())
                return odb::ConditionField{alias + ".Owner", odb::ftLong};
            for (const auto& [field, type] : t->fields) {
                if (Same(field, name)) return odb::ConditionField{alias + "." + Quoted(field), type};
            }
            for (const Reference& r : t->references) {
                if (Same(r.name, name))
                    return hop(r.target, alias + "." + Quoted(r.name), {r.display}, aliases);
            }
        } else {
            if (Same(name, t->name)) return ResolveField(t->name, alias, rest, aliases);
            for (const Reference& r : t->references) {
                if (Same(r.name, name) || Same(r.target, name))
                    return hop(r.target, alias + "." + Quoted(r.name), rest, aliases);
            }
            if (Same(name, t->owner)) return hop(t->owner, alias + ".Owner", rest, aliases);
            for (const Table& ext : tables_) {
                if (Same(ext.name, name) && Same(ext.base, t->name))
                    return hop(ext.name, self, rest, aliases);
            }
        }
        // A derived table reads the rest through its base row.
        if (!t->base.isEmpty()) return hop(t->base, self, path, aliases);
        return std::nullopt;
    }

    std::optional<QString> ResolveTable(const QString& name) const override {
        const Table* t = table(name);
        if (!t) return std::nullopt;
        return Quoted(t->name);
    }

    // The row identities of `table` that `where` selects, in order of identity.
    std::vector<int64_t> Select(const QString& tableName, const QString& where) {
        odb::ConditionSql translator(*this, tableName, QStringLiteral("t"));
        const odb::SqlFragment condition = translator.Where(where);
        QString sql = QStringLiteral("SELECT t.oid FROM %1 AS t").arg(Quoted(tableName));
        if (!condition.sql.isEmpty()) sql += QStringLiteral(" WHERE ") + condition.sql;
        sql += QStringLiteral(" ORDER BY t.oid");
        std::vector<int64_t> ids;
        for (const QVariant& v : Column(sql, condition.values))
            ids.push_back(v.toLongLong());
        return ids;
    }

    sqlite3* handle() const { return db_; }

    // The first column of every row of `sql` bound with `values`, as QVariant.
    std::vector<QVariant> Column(const QString& sql, const std::vector<odb::SqlValue>& values = {}) {
        sqlite3_stmt* stmt = nullptr;
        const QByteArray utf8 = sql.toUtf8();
        if (sqlite3_prepare_v2(db_, utf8.constData(), -1, &stmt, nullptr) != SQLITE_OK)
            throw std::runtime_error(std::string(sqlite3_errmsg(db_)) + " in " + utf8.toStdString());
        odb::BindConditionValues(stmt, values);
        std::vector<QVariant> out;
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            switch (sqlite3_column_type(stmt, 0)) {
                case SQLITE_NULL:
                    out.emplace_back();
                    break;
                case SQLITE_INTEGER:
                    out.emplace_back(static_cast<qlonglong>(sqlite3_column_int64(stmt, 0)));
                    break;
                case SQLITE_FLOAT:
                    out.emplace_back(sqlite3_column_double(stmt, 0));
                    break;
                default:
                    out.emplace_back(
                        QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0))));
            }
        }
        sqlite3_finalize(stmt);
        return out;
    }

  private:
    struct Reference {
        QString name, target, display;
    };
    struct Table {
        QString name;
        QString base;   // the table this one extends, sharing the row identity
        QString owner;  // the container, linked through the column "Owner"
        std::vector<std::pair<QString, int32_t>> fields;
        std::vector<Reference> references;
    };

    static bool Same(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }
    static QString Quoted(const QString& name) { return QLatin1Char('"') + name + QLatin1Char('"'); }

    const Table* table(const QString& name) const {
        for (const Table& t : tables_) {
            if (Same(t.name, name)) return &t;
        }
        return nullptr;
    }

    std::optional<odb::ConditionField> hop(const QString& target, const QString& link,
                                           const QStringList& rest, odb::ConditionAliases& aliases) const {
        const QString alias = aliases.Next();
        const std::optional<odb::ConditionField> inner = ResolveField(target, alias, rest, aliases);
        if (!inner) return std::nullopt;
        return odb::ConditionField{QStringLiteral("(SELECT %1 FROM %2 AS %3 WHERE %3.oid = %4)")
                                       .arg(inner->sql, Quoted(table(target)->name), alias, link),
                                   inner->type};
    }

    void exec(const char* sql) {
        char* error = nullptr;
        if (sqlite3_exec(db_, sql, nullptr, nullptr, &error) != SQLITE_OK) {
            const std::string message = error ? error : "sqlite3_exec";
            sqlite3_free(error);
            throw std::runtime_error(message);
        }
    }

    std::vector<Table> tables_;
    sqlite3* db_ = nullptr;
};
