// The report run fixture: rows, layouts, the tracing prompt and the summaries.
#include "ReportRunFixture.h"

#include <QRegularExpression>

#include "odb/DataSet.h"
#include "platform/PrinterRegistry.h"
#include "reports/frmCustomReportPreview.h"
#include "reports/modCustomReport.h"
#include "startup/frmMessage.h"

MsgResult TracePrompt::msgBox(const QString& text, int style, const QString& title, QWidget* owner) {
    if (title != QLatin1String("trace")) return RecordingPrompt::msgBox(text, style, title, owner);
    trace << text;
    const QString shown = frmMessage::isLoaded() ? frmMessage::instance().messageText() : QString();
    if (!shown.isEmpty() && (progress.isEmpty() || progress.last() != shown)) progress << shown;
    if (onTrace) onTrace(text);
    return MsgResult::OK;
}

void ReportRunTest::SetUp() {
    LabelRunTest::SetUp();
    previousPrompt = Prompt::setInstance(trace);
    auto customers = rows(QStringLiteral("Clienti"));
    for (int i = 6; i <= 40; ++i)
        ASSERT_TRUE(customers->AddRow({"Codice", QStringLiteral("C%1").arg(i, 3, 10, QLatin1Char('0')),
                                       "Descrizione", QStringLiteral("Cliente %1").arg(i)}));
    auto orders = rows(QStringLiteral("CommesseCliente"));
    for (int i = 1; i <= 3; ++i) {
        ASSERT_TRUE(orders->AddRow({"Note", QStringLiteral("Ordine %1").arg(i)}));
        auto details = orders->GetReference(QStringLiteral("Attrezzature"));
        for (int d = 1; d <= 2; ++d)
            ASSERT_TRUE(details->AddRow({"Quantità", 10 * i + d}));
    }
    auto parts = rows(QStringLiteral("MagazzinoPartCommerciale"));
    for (int i = 1; i <= 2; ++i)
        ASSERT_TRUE(parts->AddRow(
            {"Codice", QStringLiteral("P%1").arg(i), "Descrizione", QStringLiteral("Vite %1").arg(i)}));
}

void ReportRunTest::TearDown() {
    SetReportScriptTimeout(0);
    frmCustomReportPreview::ReleaseDefault();
    Prompt::setInstance(previousPrompt);
    LabelRunTest::TearDown();
}

QString TraceScript(bool notes) {
    QString code = QStringLiteral(
        "Function PrintReportRow(dsRow, prn, nRow)\r\n"
        "  MsgBox \"R\" & nRow, 0, \"trace\"\r\n"
        "  prn.TxtOut 0, 5, \"Riga \" & nRow\r\n"
        "  PrintReportRow = True\r\n"
        "End Function\r\n"
        "Function PrintReportMask(ds, prn, bTotal)\r\n"
        "  Dim t\r\n"
        "  If bTotal Then\r\n"
        "    t = \"T\"\r\n"
        "  Else\r\n"
        "    t = \"F\"\r\n"
        "  End If\r\n"
        "  MsgBox \"M\" & prn.ReportModuleCount & t, 0, \"trace\"\r\n"
        "  prn.TxtOut 5, 5, \"Maschera \" & prn.ReportModuleCount & t\r\n"
        "  PrintReportMask = True\r\n"
        "End Function\r\n");
    if (notes)
        code += QStringLiteral(
            "Function PrintNoteRow(sNoteRow, ds, prn, nRow)\r\n"
            "  MsgBox \"N\" & nRow & \":\" & sNoteRow, 0, \"trace\"\r\n"
            "  PrintNoteRow = True\r\n"
            "End Function\r\n");
    return code;
}

void ReportRunTest::storeReports(const std::vector<ReportLayoutRow>& layouts) {
    auto ds = rows(QStringLiteral("TabProspettiStampa"));
    for (ds->RowFirst(); !ds->RowInvalid();)
        ASSERT_TRUE(ds->DeleteRow());
    for (const ReportLayoutRow& l : layouts)
        // clang-format off
        ASSERT_TRUE(ds->AddRow({
            "NomeTabellaOrigine", l.table, "NomeReference", l.reference, "NomeProspetto", l.name,
            "NomeGruppo", l.group, "NomeStampante", l.printer, "RichiediSelezioneStampante", l.askPrinter,
            "NumeroColonne", int32_t(l.columns), "AltezzaModulo", l.height, "LarghezzaModulo", l.width,
            "MargineSuperiore", l.top, "MargineSinistro", l.left, "MargineSuperioreRighe", l.rowsTop,
            "MargineInferioreRighe", l.rowsBottom, "AltezzaRigheDettaglio", l.rowsDim,
            "IstruzioniStampa", l.script.isEmpty() ? TraceScript() : l.script}));
    // clang-format on
}

QString ReportRunTest::traceSummary() const {
    static const QRegularExpression row(QStringLiteral("^R(\\d+)$"));
    QStringList out;
    int first = 0, last = 0;
    auto flush = [&] {
        if (first)
            out << (first == last ? QStringLiteral("R%1").arg(first)
                                  : QStringLiteral("R%1-%2").arg(first).arg(last));
        first = 0;
    };
    for (const QString& t : trace->trace) {
        const auto m = row.match(t);
        if (m.hasMatch() && first && m.captured(1).toInt() == last + 1) {
            last = m.captured(1).toInt();
            continue;
        }
        flush();
        if (m.hasMatch()) {
            first = last = m.captured(1).toInt();
            continue;
        }
        out << t;
    }
    flush();
    return out.join(u' ');
}

QString ReportRunTest::shownSummary() const {
    QStringList out;
    for (const auto& s : trace->shown()) {
        switch (s.kind) {
            case RecordingPrompt::Kind::MsgBox:
                out << QStringLiteral("msg%1:%2").arg(s.icon()).arg(s.text);
                break;
            case RecordingPrompt::Kind::Printer:
                out << QStringLiteral("printer[%1]:%2").arg(s.title, s.text);
                break;
            case RecordingPrompt::Kind::Beep:
                out << QStringLiteral("beep");
                break;
            default:
                out << QStringLiteral("other");
        }
    }
    return out.join(QStringLiteral(" / "));
}

std::shared_ptr<odb::DataSet> ReportRunTest::table(const QString& name) {
    auto ds = rows(name, {}, name == QLatin1String("Clienti") ? QStringLiteral("Codice") : QString());
    ds->RowFirst();
    return ds;
}
