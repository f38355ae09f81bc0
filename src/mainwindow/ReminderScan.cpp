// The reminder engine's database work.
#include "mainwindow/ReminderScan.h"

#include <QSet>

#include <algorithm>
#include <cmath>
#include <functional>

#include "base/DateUtil.h"
#include "mainwindow/ReminderText.h"
#include "model/GetDBTable.h"
#include "model/ModelState.h"
#include "model/RemindedOrigins.h"
#include "odb/Connection.h"
#include "odb/DataSet.h"
#include "odb/Database.h"
#include "odb/Table.h"

namespace {

const QString kRules = QStringLiteral("ImpostazioniPromemoria");
const QString kReminders = QStringLiteral("Promemoria");

QString literal(double date) {
    return g_objDatabase->DateLiteral(Variant::fromDate(date), true, true);
}

// Adds the reminder unless the origin has one by now. Checked and added under one write lock, held
// for this reminder only: another computer scanning the same rows either made it already or waits
// for this one, and its saves wait no longer than one reminder's.
void addOnce(odb::DataSet& reminders, const QString& table, const QString& field, int64_t id,
             const VariantList& pairs) {
    odb::Connection& connection = *g_objConnection;
    connection.BeginTrans();
    try {
        if (RemindedOrigins(connection, table, field, {id}).isEmpty()) reminders.AddRow(pairs);
        connection.CommitTrans();
    } catch (...) {
        connection.RollbackTrans();
        throw;
    }
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
    // The rules are read in one transaction, so the file is locked once rather than at every read;
    // it ends before the first new reminder, whose text may show a message. What the rules before
    // a failing one did is kept, as it would be one write at a time.
    odb::Connection& connection = *g_objConnection;
    connection.BeginTrans();
    bool open = true;
    const std::function<void()> end = [&] {
        if (!open) return;
        open = false;
        connection.CommitTrans();
    };
    try {
        const bool added = scanRules(now, end);
        end();
        return added;
    } catch (...) {
        end();
        throw;
    }
}

bool ReminderScan::scanRules(double now, const std::function<void()>& beforeNew) {
    auto rules = GetDBTable(kRules).OpenData();
    // Every rule read at once; a rule's row is visited only to store its last check.
    const std::vector<VariantList> ruleRows = rules->ReadRows(
        0, rules->RowCount(),
        {QStringLiteral("NomeTabella"), QStringLiteral("NomeCampoData"), QStringLiteral("GiorniDiPreavviso"),
         QStringLiteral("OreDiPreavviso"), QStringLiteral("MinutiDiPreavviso"),
         QStringLiteral("MessaggioDiNotifica"), QStringLiteral("DataUltimoControllo")});
    auto number = [](const Variant& v) {
        return v.isEmptyOrNull() ? int64_t{0} : std::llround(v.toDouble());
    };
    std::shared_ptr<odb::DataSet> reminders;  // opened for the first new reminder
    bool added = false;
    for (size_t r = 0; r < ruleRows.size(); ++r) {
        const VariantList& rule = ruleRows[r];
        const QString table = rule[0].toText();
        const QString field = rule[1].toText();
        // Whole minutes in 64 bits: a 30-day notice is 43,200.
        const int64_t notice = number(rule[2]) * 1440 + number(rule[3]) * 60 + number(rule[4]);
        const QString templateText = rule[5].toText();
        const double upper = AddMinutes(now, notice);
        const double start = ScanStart(rule[6], notice, now);

        auto source = GetDBTable(table).OpenData(literal(upper) + QStringLiteral(" >= ") + field +
                                                     QStringLiteral(" AND ") + field +
                                                     QStringLiteral(" >= ") + literal(start),
                                                 field);
        const std::vector<VariantList> rows =
            source->ReadRows(0, source->RowCount(), {QStringLiteral("OID"), field});
        std::vector<int64_t> ids;
        ids.reserve(rows.size());
        for (const VariantList& row : rows)
            ids.push_back(static_cast<int64_t>(row[0].toDouble()));
        const QSet<int64_t> reminded = RemindedOrigins(*g_objConnection, table, field, ids);
        for (size_t i = 0; i < rows.size(); ++i) {
            if (reminded.contains(ids[i])) continue;
            beforeNew();
            source->MoveToPosition(static_cast<int32_t>(i));
            // Expanded with the file free: the text may show a message.
            const QString text = ExpandReminderText(*source, templateText);
            if (!reminders) reminders = GetDBTable(kReminders).OpenData(QStringLiteral("OID = 0"));
            addOnce(*reminders, table, field, ids[i],
                    {QStringLiteral("TestoPromemoria"), text, QStringLiteral("NomeTabellaOrigine"), table,
                     QStringLiteral("NomeCampoDataOrigine"), field, QStringLiteral("IDElementoOrigine"),
                     QString::number(ids[i]), QStringLiteral("DataProssimaNotifica"), Variant::fromDate(now),
                     QStringLiteral("DataRiferimento"), rows[i][1]});
            added = true;
        }
        // The next scan starts at the last row handled, never past this moment: a row added later
        // with an earlier date in the window is still found.
        double next = start;
        if (!rows.empty()) next = std::min(rows.back()[1].toDate(), now);
        const Variant& stored = rule[6];
        if (stored.isEmptyOrNull() ||
            std::llround(stored.toDate() * 86400.0) != std::llround(next * 86400.0)) {
            rules->MoveToPosition(static_cast<int32_t>(r));
            rules->SetColValue(QStringLiteral("DataUltimoControllo"), Variant::fromDate(next));
            rules->SaveRow();
        }
    }
    return added;
}

std::vector<ReminderScan::Due> ReminderScan::DueReminders(double now) {
    // Read in the order of the date's index, which then serves the condition; listed in the
    // reminders' own order.
    auto due = GetDBTable(kReminders)
                   .OpenData(QStringLiteral("Chiuso = False AND DataProssimaNotifica <= ") + literal(now),
                             QStringLiteral("DataProssimaNotifica"));
    std::vector<VariantList> rows = due->ReadRows(
        0, due->RowCount(),
        {QStringLiteral("OID"), QStringLiteral("DataProssimaNotifica"), QStringLiteral("TestoPromemoria")});
    std::sort(rows.begin(), rows.end(),
              [](const VariantList& a, const VariantList& b) { return a[0].toDouble() < b[0].toDouble(); });
    std::vector<Due> list;
    for (const VariantList& row : rows) {
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
