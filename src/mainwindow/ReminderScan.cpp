// The reminder engine's database work.
#include "mainwindow/ReminderScan.h"

#include <QSet>

#include <algorithm>
#include <cmath>

#include "base/DateUtil.h"
#include "mainwindow/ReminderText.h"
#include "model/GetDBTable.h"
#include "model/ModelState.h"
#include "odb/DataSet.h"
#include "odb/Database.h"
#include "odb/Table.h"

namespace {

const QString kRules = QStringLiteral("ImpostazioniPromemoria");
const QString kReminders = QStringLiteral("Promemoria");
// Source rows checked against the reminders in one query.
constexpr int kCheckBatch = 500;

QString literal(double date) {
    return g_objDatabase->DateLiteral(Variant::fromDate(date), true, true);
}

// The identities among `ids` that already have a reminder of this table and field.
QSet<QString> remindedIds(const QString& table, const QString& field, const QStringList& ids) {
    QSet<QString> found;
    odb::Table& reminders = GetDBTable(kReminders);
    const QString origin = QStringLiteral("NomeTabellaOrigine = ") + g_objDatabase->TextLiteral(table) +
                           QStringLiteral(" AND NomeCampoDataOrigine = ") +
                           g_objDatabase->TextLiteral(field) + QStringLiteral(" AND IDElementoOrigine IN (");
    for (qsizetype from = 0; from < ids.size(); from += kCheckBatch) {
        QStringList literals;
        for (const QString& id : ids.mid(from, kCheckBatch))
            literals << g_objDatabase->TextLiteral(id);
        auto rows = reminders.OpenData(origin + literals.join(QLatin1Char(',')) + QLatin1Char(')'));
        for (const VariantList& row :
             rows->ReadRows(0, rows->RowCount(), {QStringLiteral("IDElementoOrigine")}))
            found.insert(row[0].toText());
    }
    return found;
}

}  // namespace

std::shared_ptr<odb::DataSet> ReminderScan::OpenReminders(const std::vector<Variant>& bookmarks) {
    QStringList ids{QStringLiteral("0")};
    for (const Variant& b : bookmarks)
        if (!b.isEmptyOrNull()) ids << QString::number(static_cast<int64_t>(b.toDouble()));
    return GetDBTable(kReminders)
        .OpenData(QStringLiteral("OID IN (") + ids.join(QLatin1Char(',')) + QLatin1Char(')'));
}

double AddMinutes(double oleDate, int64_t minutes) {
    const double v = oleDate + static_cast<double>(minutes) / 1440.0;
    // Whole seconds, as the dates are stored.
    return std::round(v * 86400.0) / 86400.0;
}

double ReminderScan::ScanStart(const Variant& lastCheck, int64_t noticeMinutes, double now) {
    if (lastCheck.isEmptyOrNull()) return AddMinutes(now, -noticeMinutes);
    // A check older than a day (or than the notice, when longer) starts that far back only.
    const int64_t lookBack = noticeMinutes >= 1440 ? noticeMinutes : 1440;
    return std::max(lastCheck.toDate(), AddMinutes(now, -lookBack));
}

bool ReminderScan::PurgeClosedReminders(double now) {
    auto rules = GetDBTable(kRules).OpenData();
    const Variant longest = rules->Aggregate(QStringLiteral("GiorniDiPreavviso"), odb::aggMax);
    const double days = (longest.isEmptyOrNull() ? 0.0 : longest.toDouble()) + 15.0;
    const double cutoff = AddMinutes(now, -static_cast<int64_t>(std::llround(days * 1440.0)));
    auto old =
        GetDBTable(kReminders).OpenData(QStringLiteral("Chiuso AND DataRiferimento <= ") + literal(cutoff));
    if (old->DataEmpty()) return false;
    old->DeleteRows();
    return true;
}

bool ReminderScan::ScanRules(double now) {
    auto rules = GetDBTable(kRules).OpenData();
    std::shared_ptr<odb::DataSet> reminders;  // opened for the first new reminder
    bool added = false;
    for (rules->RowFirst(); !rules->RowInvalid(); rules->RowNext()) {
        const QString table = rules->ColText(QStringLiteral("NomeTabella"));
        const QString field = rules->ColText(QStringLiteral("NomeCampoData"));
        // Whole minutes in 64 bits: a 30-day notice is 43,200.
        const int64_t notice = std::llround(rules->ColNumber(QStringLiteral("GiorniDiPreavviso"))) * 1440 +
                               std::llround(rules->ColNumber(QStringLiteral("OreDiPreavviso"))) * 60 +
                               std::llround(rules->ColNumber(QStringLiteral("MinutiDiPreavviso")));
        const QString templateText = rules->ColText(QStringLiteral("MessaggioDiNotifica"));
        const double upper = AddMinutes(now, notice);
        const double start = ScanStart(rules->ColValue(QStringLiteral("DataUltimoControllo")), notice, now);

        auto source = GetDBTable(table).OpenData(literal(upper) + QStringLiteral(" >= ") + field +
                                                     QStringLiteral(" AND ") + field +
                                                     QStringLiteral(" >= ") + literal(start),
                                                 field);
        const std::vector<VariantList> rows =
            source->ReadRows(0, source->RowCount(), {QStringLiteral("OID"), field});
        QStringList ids;
        for (const VariantList& row : rows)
            ids << QString::number(static_cast<int64_t>(row[0].toDouble()));
        const QSet<QString> reminded = remindedIds(table, field, ids);
        for (size_t i = 0; i < rows.size(); ++i) {
            if (reminded.contains(ids[static_cast<qsizetype>(i)])) continue;
            source->MoveToPosition(static_cast<int32_t>(i));
            const QString text = ExpandReminderText(*source, templateText);
            if (!reminders) reminders = GetDBTable(kReminders).OpenData(QStringLiteral("OID = 0"));
            reminders->AddRow({QStringLiteral("TestoPromemoria"), text, QStringLiteral("NomeTabellaOrigine"),
                               table, QStringLiteral("NomeCampoDataOrigine"), field,
                               QStringLiteral("IDElementoOrigine"), ids[static_cast<qsizetype>(i)],
                               QStringLiteral("DataProssimaNotifica"), Variant::fromDate(now),
                               QStringLiteral("DataRiferimento"), rows[i][1]});
            added = true;
        }
        // The next scan starts at the last row handled, never past this moment: a row added later
        // with an earlier date in the window is still found.
        double next = start;
        if (!rows.empty()) next = std::min(rows.back()[1].toDate(), now);
        const Variant stored = rules->ColValue(QStringLiteral("DataUltimoControllo"));
        if (stored.isEmptyOrNull() ||
            std::llround(stored.toDate() * 86400.0) != std::llround(next * 86400.0)) {
            rules->SetColValue(QStringLiteral("DataUltimoControllo"), Variant::fromDate(next));
            rules->SaveRow();
        }
    }
    return added;
}

std::vector<ReminderScan::Due> ReminderScan::DueReminders(double now) {
    auto due = GetDBTable(kReminders)
                   .OpenData(QStringLiteral("Chiuso = False AND DataProssimaNotifica <= ") + literal(now));
    std::vector<Due> list;
    for (const VariantList& row :
         due->ReadRows(0, due->RowCount(),
                       {QStringLiteral("OID"), QStringLiteral("DataProssimaNotifica"),
                        QStringLiteral("TestoPromemoria")})) {
        const Variant when = row[1];
        list.push_back({row[0], (when.isEmptyOrNull() ? QString() : FormatVbDate(when.toDate())) +
                                    QStringLiteral(" - ") + row[2].toText()});
    }
    return list;
}

std::vector<Variant> ReminderScan::Postpone(const std::vector<Variant>& bookmarks, int minutes, double now) {
    std::vector<Variant> missing;
    auto reminders = OpenReminders(bookmarks);
    for (const Variant& b : bookmarks) {
        if (!reminders->FindBookmark(b)) {
            missing.push_back(b);
            continue;
        }
        reminders->SetColValue(QStringLiteral("DataProssimaNotifica"),
                               Variant::fromDate(AddMinutes(now, minutes)));
        reminders->SaveRow();
    }
    return missing;
}

void ReminderScan::Close(const std::vector<Variant>& bookmarks) {
    auto reminders = OpenReminders(bookmarks);
    for (const Variant& b : bookmarks) {
        if (!reminders->FindBookmark(b)) continue;
        reminders->SetColValue(QStringLiteral("Chiuso"), true);
        reminders->SaveRow();
    }
}
