// The reminder engine's database work.
#include "mainwindow/ReminderScan.h"

#include <QSet>

#include <algorithm>
#include <cmath>
#include <exception>
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

// What the scan's reads found: the new reminders in the rules' order, and the rules whose next
// scan start moves.
struct ScanFound {
    struct Reminder {
        QString table, field;
        int64_t id;
        VariantList pairs;
    };
    std::shared_ptr<odb::DataSet> rules;
    std::vector<Reminder> reminders;
    std::vector<std::pair<int32_t, double>> nextChecks;  // rule position, its next start
};

// Reads every rule's window and expands the text of each origin with no reminder yet.
// `beforeMessage` runs before a text whose expansion shows a message.
void readRules(double now, ScanFound& found, const std::function<void()>& beforeMessage) {
    found.rules = GetDBTable(kRules).OpenData();
    odb::DataSet& rules = *found.rules;
    // Every rule read at once; a rule's row is visited only to store its last check.
    const std::vector<VariantList> ruleRows = rules.ReadRows(
        0, rules.RowCount(),
        {QStringLiteral("NomeTabella"), QStringLiteral("NomeCampoData"), QStringLiteral("GiorniDiPreavviso"),
         QStringLiteral("OreDiPreavviso"), QStringLiteral("MinutiDiPreavviso"),
         QStringLiteral("MessaggioDiNotifica"), QStringLiteral("DataUltimoControllo")});
    auto number = [](const Variant& v) {
        return v.isEmptyOrNull() ? int64_t{0} : std::llround(v.toDouble());
    };
    // An origin an earlier rule found gets that rule's reminder, as if added already; the names
    // compared without case, as the look-up compares them.
    QHash<QString, QSet<int64_t>> pending;
    for (size_t r = 0; r < ruleRows.size(); ++r) {
        const VariantList& rule = ruleRows[r];
        const QString table = rule[0].toText();
        const QString field = rule[1].toText();
        // Whole minutes in 64 bits: a 30-day notice is 43,200.
        const int64_t notice = number(rule[2]) * 1440 + number(rule[3]) * 60 + number(rule[4]);
        const QString templateText = rule[5].toText();
        const bool showsMessage = ReminderTemplateShowsMessage(templateText);
        const double upper = AddMinutes(now, notice);
        const double start = ReminderScan::ScanStart(rule[6], notice, now);

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
        QSet<int64_t>& earlier = pending[table.toLower() + QLatin1Char('/') + field.toLower()];
        for (size_t i = 0; i < rows.size(); ++i) {
            if (reminded.contains(ids[i]) || earlier.contains(ids[i])) continue;
            earlier.insert(ids[i]);
            // A message is shown with the file free for other computers.
            if (showsMessage) beforeMessage();
            source->MoveToPosition(static_cast<int32_t>(i));
            const QString text = ExpandReminderText(*source, templateText);
            found.reminders.push_back(
                {table,
                 field,
                 ids[i],
                 {QStringLiteral("TestoPromemoria"), text, QStringLiteral("NomeTabellaOrigine"), table,
                  QStringLiteral("NomeCampoDataOrigine"), field, QStringLiteral("IDElementoOrigine"),
                  QString::number(ids[i]), QStringLiteral("DataProssimaNotifica"), Variant::fromDate(now),
                  QStringLiteral("DataRiferimento"), rows[i][1]}});
        }
        // The next scan starts at the last row handled, never past this moment: a row added later
        // with an earlier date in the window is still found.
        double next = start;
        if (!rows.empty()) next = std::min(rows.back()[1].toDate(), now);
        const Variant& stored = rule[6];
        if (stored.isEmptyOrNull() || std::llround(stored.toDate() * 86400.0) != std::llround(next * 86400.0))
            found.nextChecks.emplace_back(static_cast<int32_t>(r), next);
    }
}

// Adds each reminder found unless its origin has one by now, and stores the rules' next starts,
// all inside the caller's write transaction: another computer scanning the same rows waits for
// them or finds them. True when reminders were added.
bool writeFound(ScanFound& found) {
    bool added = false;
    std::shared_ptr<odb::DataSet> reminders;
    const std::vector<ScanFound::Reminder>& all = found.reminders;
    // One look-up for each run of reminders of the same table and field.
    for (size_t first = 0, end = 0; first < all.size(); first = end) {
        std::vector<int64_t> ids;
        for (end = first;
             end < all.size() && all[end].table == all[first].table && all[end].field == all[first].field;
             ++end)
            ids.push_back(all[end].id);
        const QSet<int64_t> reminded =
            RemindedOrigins(*g_objConnection, all[first].table, all[first].field, ids);
        for (size_t i = first; i < end; ++i) {
            if (reminded.contains(all[i].id)) continue;
            if (!reminders) reminders = GetDBTable(kReminders).OpenData(QStringLiteral("OID = 0"));
            reminders->AddRow(all[i].pairs);
            added = true;
        }
    }
    for (const auto& [position, next] : found.nextChecks) {
        found.rules->MoveToPosition(position);
        found.rules->SetColValue(QStringLiteral("DataUltimoControllo"), Variant::fromDate(next));
        found.rules->SaveRow();
    }
    return added;
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
    // One write transaction reads, checks and adds: the file is locked once, and written once
    // however many reminders. A text that shows a message lets the file go first; the reminders
    // are then checked again and added under the lock taken anew.
    odb::Connection& connection = *g_objConnection;
    connection.BeginTrans();
    bool locked = true;
    const std::function<void()> release = [&] {
        if (!locked) return;
        locked = false;
        connection.CommitTrans();
    };
    ScanFound found;
    // What the rules before a failing one found is still written.
    std::exception_ptr failure;
    try {
        readRules(now, found, release);
    } catch (...) {
        failure = std::current_exception();
    }
    bool added = false;
    try {
        if (!locked) connection.BeginTrans();
        locked = true;
        added = writeFound(found);
        locked = false;
        connection.CommitTrans();
    } catch (...) {
        if (locked) connection.RollbackTrans();
        if (failure) std::rethrow_exception(failure);
        throw;
    }
    if (failure) std::rethrow_exception(failure);
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
