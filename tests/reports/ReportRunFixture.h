// The report run on the program's database: 40 customers, three customer orders with two tooling
// details each, two purchased parts, the PDF printers of the label run and a recording printer; the
// layout scripts write their trace through the prompt (title "trace"), which records it with the
// progress text shown at that moment.
#pragma once

#include <QStringList>

#include <functional>
#include <memory>

#include "LabelRunFixture.h"

class QDialog;

// A report layout row, with the values most runs use.
struct ReportLayoutRow {
    QString table = QStringLiteral("Clienti");
    QString reference = {};
    QString name = QStringLiteral("Elenco");
    QString group = {};
    QString printer = QStringLiteral("PDF-A4");
    bool askPrinter = false;
    int columns = 1;
    double height = 0, width = 0, top = 0, left = 0;
    double rowsTop = 40, rowsBottom = 240, rowsDim = 6;
    QString script = {};  // the trace script when empty
};

// The prompt of the report tests: trace messages go to `trace` (and the progress text then shown to
// `progress`, when it changed), everything else is recorded as RecordingPrompt does.
class TracePrompt : public RecordingPrompt {
  public:
    QStringList trace;
    QStringList progress;
    std::function<void(const QString&)> onTrace;
    MsgResult msgBox(const QString& text, int style, const QString& title, QWidget* owner) override;
};

// The layout script that traces every call: "R<n>" per row, "N<n>:<text>" per note line when `notes`,
// "M<module count><T|F>" per mask; each row and mask draws a line of text too.
QString TraceScript(bool notes = false);

class ReportRunTest : public LabelRunTest {
  protected:
    void SetUp() override;
    void TearDown() override;

    void storeReports(const std::vector<ReportLayoutRow>& layouts);
    // The trace with runs of rows folded ("R1-33").
    QString traceSummary() const;
    // What else the prompt showed: "msg<icon>:text", "printer[title]:names", "beep".
    QString shownSummary() const;
    std::shared_ptr<odb::DataSet> table(const QString& name);

    std::shared_ptr<TracePrompt> trace = std::make_shared<TracePrompt>();
    std::shared_ptr<Prompt> previousPrompt;
};
