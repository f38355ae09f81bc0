// The control panel's five fillers and the details of a job-order detail. Each list reads its rows in
// a few short statements (row values a page at a time) and is painted once; a reference in a line
// shows its display value, as the grid does.
#include <QLabel>
#include <QListWidget>

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

#include "base/AppError.h"
#include "base/DateUtil.h"
#include "base/Format.h"
#include "base/Variant.h"
#include "model/ModelState.h"
#include "odb/DataSet.h"
#include "odb/Database.h"
#include "odb/Schema.h"
#include "odb/Table.h"
#include "odb/Tables.h"
#include "platform/Clock.h"
#include "startup/SharedState.h"
#include "terminal/frmControlPanel.h"

namespace {

const QString kUndefinedWorker = QStringLiteral("<indefinito>");
// An open step has no closing time (the steps' table keeps the two together): asked for both, the
// few open steps are found through the closings' index, not by walking a year of steps.
const QString kNoClosing = QStringLiteral(" AND ISNULL(DataChiusura)");

odb::Table& table(const char* name) {
    return g_objDatabase->Tables().Item(name);
}

// Every row of a data set, the given columns of each.
std::vector<VariantList> allRows(odb::DataSet& ds, const QStringList& columns) {
    return ds.ReadRows(0, ds.RowCount(), columns);
}

// The text a value gives when joined to a line (VB's "&"): Null gives nothing.
QString text(const Variant& value) {
    return value.toText();
}

// The current row's column as the grid shows it: a lookup by its display value.
QString shown(odb::DataSet& ds, const QString& column) {
    if (ds.NoCurrentRow()) ds.ColValue(column);  // raises the library's error, as any read of no row
    const auto rows = ds.ReadRows(ds.AbsolutePosition(), 1, {column});
    return rows.empty() ? QString() : text(rows.front().front());
}

// Whether the half-day under way is the afternoon: past the default afternoon entry.
bool afternoon() {
    const int64_t now = std::llround(OleTimePart(Clock::now()) * 86400.0);
    return now > std::llround(OleTimePart(g_dtmOraPredefinitaEntrataPomeriggio) * 86400.0);
}

// Today's attendance rows by worker: the entry of the half-day under way and the late minutes.
struct Attendance {
    bool entered = false;
    double lateMinutes = 0;
};
std::unordered_map<int64_t, Attendance> todaysAttendance() {
    odb::Database& db = *g_objDatabase;
    auto rows =
        table("Ingressi")
            .OpenData(QStringLiteral("Data= ") + db.DateLiteral(Variant::fromDate(Clock::today()), false));
    const QString entry =
        afternoon() ? QStringLiteral("OraEntrataPomeriggio") : QStringLiteral("OraEntrataMattino");
    std::unordered_map<int64_t, Attendance> out;
    for (const VariantList& r :
         allRows(*rows, {QStringLiteral("Operaio.OID"), entry, QStringLiteral("MinutiRitardo")})) {
        if (r[0].isEmptyOrNull()) continue;
        Attendance& a = out[static_cast<int64_t>(r[0].toDouble())];
        a.entered = !r[1].isNull();
        a.lateMinutes = r[2].isEmptyOrNull() ? 0 : r[2].toDouble();
    }
    return out;
}

// Employed workers by name: their identity and name.
std::vector<VariantList> workers(const QString& extraWhere) {
    auto ds = table("Operai").OpenData(QStringLiteral("ISNULL(DataFineRapporto) And Nominativo <> '") +
                                           kUndefinedWorker + QStringLiteral("'") + extraWhere,
                                       QStringLiteral("Nominativo"));
    return allRows(*ds, {QStringLiteral("OID"), QStringLiteral("Nominativo")});
}

int64_t identity(const Variant& v) {
    return static_cast<int64_t>(v.toDouble());
}

}  // namespace

void frmControlPanel::FillOpenDetailsList() {
    QStringList lines;
    try {
        auto details = table("DettagliCommesse")
                           .OpenData(QStringLiteral("InLavorazione"), QStringLiteral("DataInizio "));
        const auto rows = allRows(*details, {QStringLiteral("NumeroCommessa"), QStringLiteral("DataInizio")});
        // The open steps of every detail in one read, grouped by the detail's number.
        auto steps = table("PassaggiDettaglioCommesse").OpenData(QStringLiteral("Chiuso=False") + kNoClosing);
        std::unordered_map<QString, QStringList> stepLines;
        for (const VariantList& s :
             allRows(*steps, {QStringLiteral("NumeroCommessa"), QStringLiteral("DataInizio"),
                              QStringLiteral("Operaio"), QStringLiteral("Sospeso")})) {
            QString line =
                QStringLiteral("    ->  Apertura: ") + text(s[1]) + QStringLiteral(" - ") + text(s[2]);
            if (!s[3].isEmptyOrNull() && s[3].toBool()) line += QStringLiteral(" - SOSPESA");
            stepLines[text(s[0])].prepend(line);
        }
        // Newest detail on top, each header above its steps, the steps newest first.
        for (auto r = rows.rbegin(); r != rows.rend(); ++r) {
            lines << QStringLiteral("N° ") + text((*r)[0]) + QStringLiteral(" - INSERIMENTO: ") +
                         text((*r)[1]);
            if (auto s = stepLines.find(text((*r)[0])); s != stepLines.end()) lines << s->second;
        }
    } catch (const std::exception&) {
        showLines(lstOpenSubLavrix(), lines);
        showReadError(lstOpenSubLavrix());
        return;
    }
    showLines(lstOpenSubLavrix(), lines);
}

void frmControlPanel::FillClosedStepsList() {
    QListWidget* list = lstCloseSubLavrix();
    const int visible = std::max<int>(g_intNumCommVisible, 0);
    try {
        odb::Database& db = *g_objDatabase;
        odb::Table& steps = table("PassaggiDettaglioCommesse");
        const QString closed = QStringLiteral("Chiuso=True");
        const QString order = QStringLiteral("DataChiusura");
        // The steps' table orders every opening by the start of work; bounded on both sides, the
        // closings are found through their own index rather than by walking every step.
        const QString bounded = QStringLiteral(" AND DataChiusura <= #12/31/9999 23:59:59#");
        std::shared_ptr<odb::DataSet> found;
        if (m_dtmLastClosing > 0) {
            found = steps.OpenData(closed + QStringLiteral(" AND DataChiusura >  ") +
                                       db.DateLiteral(Variant::fromDate(m_dtmLastClosing), true) + bounded,
                                   order);
        } else {
            // Only the newest lines stay: the closings of the last day, week, month, year, or all of
            // them, whichever first holds enough.
            const double now = Clock::now();
            for (const double days : {1.0, 7.0, 31.0, 366.0, 0.0}) {
                const QString where = days > 0
                                          ? closed + QStringLiteral(" AND DataChiusura >= ") +
                                                db.DateLiteral(Variant::fromDate(now - days), true) + bounded
                                          : closed;
                found = steps.OpenData(where, order);
                if (found->RowCount() >= visible) break;
            }
        }
        // The closings go by their own time.
        found->SortOnField(order);
        const int count = found->RowCount();
        const int first = std::max(0, count - visible);
        const auto rows = found->ReadRows(
            first, count - first,
            {QStringLiteral("NumeroCommessa"), QStringLiteral("DataChiusura"), QStringLiteral("Operaio")});
        list->setUpdatesEnabled(false);
        dropReadErrors(list);
        for (const VariantList& r : rows) {
            auto* item =
                new QListWidgetItem(QStringLiteral("N° ") + text(r[0]) + QStringLiteral(" - Chiusura: ") +
                                    text(r[1]) + QStringLiteral(" - ") + text(r[2]));
            item->setCheckState(Qt::Unchecked);
            list->insertItem(0, item);
        }
        while (list->count() > visible)
            delete list->takeItem(list->count() - 1);
        list->setUpdatesEnabled(true);
        if (!rows.empty() && !rows.back()[1].isEmptyOrNull()) m_dtmLastClosing = rows.back()[1].toDate();
    } catch (const std::exception&) {
        list->setUpdatesEnabled(true);
        showReadError(list);
    }
}

void frmControlPanel::FillAbsencesList() {
    QStringList lines;
    try {
        const auto staff = workers({});
        const auto today = todaysAttendance();
        for (const VariantList& w : staff) {
            const auto a = today.find(identity(w[0]));
            if (a == today.end() || !a->second.entered) {
                if (lines.isEmpty()) lines << QStringLiteral("ASSENZE:");
                lines << QStringLiteral("    -> ") + text(w[1]);
            }
        }
        bool header = true;
        for (const VariantList& w : staff) {
            const auto a = today.find(identity(w[0]));
            if (a == today.end() || a->second.lateMinutes <= g_intMinRitardoAmmessi) continue;
            if (header) lines << QStringLiteral("RITARDI:");
            header = false;
            lines << QStringLiteral("    -> ") + text(w[1]) + QStringLiteral(" - Minuti di Ritardo: ") +
                         text(Variant(a->second.lateMinutes));
        }
    } catch (const std::exception&) {
        showLines(lstWorkerAbsent(), lines);
        showReadError(lstWorkerAbsent());
        return;
    }
    showLines(lstWorkerAbsent(), lines);
}

void frmControlPanel::FillIdleWorkersList() {
    QStringList lines;
    try {
        const auto staff = workers(QStringLiteral(" AND NOT Impiegato"));
        const auto today = todaysAttendance();
        // Who has an open step under way, in one read.
        auto active = table("PassaggiDettaglioCommesse")
                          .OpenData(QStringLiteral("NOT Chiuso AND NOT Sospeso") + kNoClosing);
        std::unordered_set<int64_t> busy;
        for (const VariantList& s : allRows(*active, {QStringLiteral("Operaio.OID")}))
            if (!s[0].isEmptyOrNull()) busy.insert(identity(s[0]));
        for (const VariantList& w : staff) {
            const auto a = today.find(identity(w[0]));
            if (a != today.end() && a->second.entered && !busy.count(identity(w[0]))) lines << text(w[1]);
        }
    } catch (const std::exception&) {
        showLines(lstWorkerPresentActiveless(), lines);
        showReadError(lstWorkerPresentActiveless());
        return;
    }
    showLines(lstWorkerPresentActiveless(), lines);
}

void frmControlPanel::FillClosedOrdersList() {
    QStringList lines;
    try {
        auto orders =
            table("CommesseCliente")
                .OpenData(QStringLiteral("CommessaChiusa AND not Spedito"), QStringLiteral("DataChiusura "));
        const odb::FieldDef* number = orders->Field(QStringLiteral("Progressivo"));
        for (const VariantList& r :
             allRows(*orders, {QStringLiteral("Cliente"), QStringLiteral("Progressivo"),
                               QStringLiteral("DataChiusura")})) {
            const QString progressive = number && !number->format.isEmpty() && !r[1].isEmptyOrNull()
                                            ? VbFormat(r[1], number->format)
                                            : text(r[1]);
            lines.prepend(text(r[0]) + QStringLiteral(" - N°Prog: ") + progressive + QStringLiteral(" - ") +
                          text(r[2]));
        }
    } catch (const std::exception&) {
        showLines(lstCloseLavrix(), lines);
        showReadError(lstCloseLavrix());
        return;
    }
    showLines(lstCloseLavrix(), lines);
}

void frmControlPanel::ShowItemDetails(QString number) {
    try {
        if (number.startsWith(QLatin1Char('4'))) number = number.left(6);
        odb::Database& db = *g_objDatabase;
        auto detail =
            table("DettagliCommesse").OpenData(QStringLiteral("Numerocommessa=") + db.TextLiteral(number));
        if (detail->DataEmpty()) return;
        // The customer of a customer job order, by the four digits of its number.
        auto customer = [&](const QString& detailText) {
            bool digits = false;
            const int progressive = number.mid(2, 4).toInt(&digits);
            if (!digits) RaiseVbError(13);
            auto orders = table("CommesseCliente")
                              .OpenData(QStringLiteral("Progressivo= ") + QString::number(progressive));
            orders->RowFirst();
            return shown(*orders, QStringLiteral("Cliente")) + QStringLiteral(" / ") + detailText;
        };
        QString d;
        switch (number.isEmpty() ? 0 : number.front().unicode()) {
            case '1': {
                auto row = detail->OpenRelatedEx(QStringLiteral("DettagliAttrezzature"));
                d = customer(QStringLiteral("N° ") + text(row->ColValue(QStringLiteral("Quantità"))) +
                             QStringLiteral(" - ") + shown(*row, QStringLiteral("Particolare")));
                break;
            }
            case '2': {
                auto row = detail->OpenRelatedEx(QStringLiteral("DettagliVenditaMacchinari"));
                d = customer(QStringLiteral("N° ") + text(row->ColValue(QStringLiteral("Quantità"))) +
                             QStringLiteral(" - ") + shown(*row, QStringLiteral("Macchinario")));
                break;
            }
            case '3': {
                auto row = detail->OpenRelatedEx(QStringLiteral("DettagliProduzione"));
                d = QStringLiteral("N° ") + text(row->ColValue(QStringLiteral("Quantità"))) +
                    QStringLiteral(" - ") + shown(*row, QStringLiteral("Particolare"));
                break;
            }
            case '4': {
                auto row = detail->OpenRelatedEx(QStringLiteral("CommesseAssistenza"));
                d = shown(*row, QStringLiteral("TipoAssistenza")) + QStringLiteral(" - ") +
                    shown(*row, QStringLiteral("Cliente"));
                break;
            }
            default:
                break;
        }
        lblTitle()->setText(QStringLiteral("DETTAGLI: ") + d);
    } catch (const std::exception&) {
        lblTitle()->setText(QStringLiteral("DETTAGLI: nessuna imformazione disponibile"));
    }
}
