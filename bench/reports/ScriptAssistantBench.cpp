// One keystroke (a letter, then its Backspace) in a 5,000-line report script, in the report layout
// editor with its code assistant connected (trigger checks, the data set at the caret, the line
// label), against the same keystrokes in a bare QPlainTextEdit of the same font and line mode showing
// the same text. The caret stands near the top, inside PrintReportMask: the data set's name there
// depends on a function head 2,500 lines further down.
// Then the field and reference lists of DettagliAttrezzature (and of its base table DettagliCommesse),
// built and shown as "Campi >>" does, and shown alone.
//
// Run with --benchmark_repetitions=5 --benchmark_enable_random_interleaving=true and compare the medians.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QKeyEvent>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "QuietPrompt.h"
#include "model/DB.h"
#include "model/ModelState.h"
#include "odb/Connection.h"
#include "odb/Database.h"
#include "odb/DbmsGlobal.h"
#include "platform/ProgramFolder.h"
#include "platform/Prompt.h"
#include "platform/ScriptBox.h"
#include "platform/SettingsStore.h"
#include "reports/frmCustomReportSetting.h"

namespace {

// Mask, rows and data functions: 2,500 lines of drawing in the mask, 2,480 in the rows.
QString LongScript() {
    QString s;
    s += QStringLiteral("Function PrintReportMask(ds, prn, bTotal)\r\n");
    for (int i = 0; i < 2500; ++i)
        s += QStringLiteral(
                 "  prn.TxtOut %1, 10, ds.ColValue(\"Descrizione\") & \" \" & prn.Nums(\"T%2\")\r\n")
                 .arg(i % 280)
                 .arg(i);
    s += QStringLiteral("  PrintReportMask = True\r\nEnd Function\r\n");
    s += QStringLiteral("Function PrintReportRow(dsRow, prn, nRow)\r\n");
    for (int i = 0; i < 2480; ++i)
        s += QStringLiteral("  prn.Nums(\"T%1\") = prn.Nums(\"T%1\") + dsRow.ColValue(\"Quantità\")\r\n")
                 .arg(i);
    s += QStringLiteral("  PrintReportRow = True\r\nEnd Function\r\n");
    s += QStringLiteral("Function PrintDataInit(dsRow, prn)\r\n  PrintDataInit = True\r\nEnd Function\r\n");
    return s;
}

struct Editors {
    QTemporaryDir dir;
    std::shared_ptr<odb::Connection> connection;
    std::shared_ptr<odb::Database> database;
    QWidget owner;
    frmCustomReportSetting* report = nullptr;
    QPlainTextEdit* bare = nullptr;

    Editors() {
        SetSettingsFolder(QDir(dir.path()).filePath(QStringLiteral("settings")));
        SetProgramFolder(dir.path());
        const QString file = QDir(dir.path()).filePath(QStringLiteral("ZeltoLavrix.mdb"));
        connection = std::make_shared<odb::Connection>();
        connection->CreateDatabaseFile(file);
        connection->OpenDatabaseFile(file);
        database = odb::DbmsGlobal::CreateDatabase(std::make_shared<DB>(), "Zelto Lavrix", nullptr);
        database->Open(connection);
        g_objConnection = connection;
        g_objDatabase = database;

        report = frmCustomReportSetting::EditSetting(&owner, database, connection,
                                                     QStringLiteral("DettagliAttrezzature"));
        report->resize(1000, 700);
        settle();
        closePopups();
        report->SetScriptText(LongScript());
        placeCaret(report->findChild<QPlainTextEdit*>(QStringLiteral("txtVBScript")));

        // The same box without the editor: the script box's font and line mode.
        bare = new QPlainTextEdit;
        bare->setFont(report->findChild<QPlainTextEdit*>(QStringLiteral("txtVBScript"))->font());
        bare->setLineWrapMode(QPlainTextEdit::NoWrap);
        bare->resize(960, 400);
        bare->setPlainText(LongScript().replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
        bare->show();
        placeCaret(bare);
        QApplication::processEvents();
    }
    ~Editors() {
        delete bare;
        delete report;
        g_objDatabase.reset();
        g_objConnection.reset();
        database.reset();
        connection->CloseConnection();
    }
    // Line 10 of the mask, after its blanks.
    static void placeCaret(QPlainTextEdit* box) {
        QTextCursor c(box->document()->findBlockByNumber(10));
        c.movePosition(QTextCursor::NextCharacter, QTextCursor::MoveAnchor, 2);
        box->setTextCursor(c);
        box->setFocus();
    }
    // Until the assistant's timer has run its action.
    void settle() {
        QApplication::processEvents();
        auto* timer = report->findChild<QTimer*>(QStringLiteral("tmFunc"));
        while (timer->isActive())
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    static void closePopups() {
        while (QWidget* popup = QApplication::activePopupWidget())
            popup->close();
    }
};

Editors* g_editors = nullptr;

void keystroke(QWidget* box, int key, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(box, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(box, &release);
}

void typeAndErase(benchmark::State& state, QWidget* box) {
    for (auto _ : state) {
        keystroke(box, Qt::Key_X, QStringLiteral("x"));
        keystroke(box, Qt::Key_Backspace, QString());
        // The window's own events of the keystroke (the line label's layout, repaints).
        QApplication::processEvents();
    }
    state.SetItemsProcessed(state.iterations() * 2);
}

void BM_KeystrokeInReportEditor(benchmark::State& state) {
    typeAndErase(state, g_editors->report->findChild<QPlainTextEdit*>(QStringLiteral("txtVBScript")));
    if (g_editors->report->CurrentDataSetName() != QLatin1String("ds")) state.SkipWithError("caret moved");
}
BENCHMARK(BM_KeystrokeInReportEditor)->Unit(benchmark::kMicrosecond);

void BM_KeystrokeInBareTextEdit(benchmark::State& state) {
    typeAndErase(state, g_editors->bare);
}
BENCHMARK(BM_KeystrokeInBareTextEdit)->Unit(benchmark::kMicrosecond);

// "Campi >>": the lists of the caret's table built on the timer, then shown.
void BM_FieldMenusOfDettagliAttrezzature(benchmark::State& state) {
    auto* field = g_editors->report->findChild<QPushButton*>(QStringLiteral("cmdField"));
    auto* fields = g_editors->report->findChild<QMenu*>(QStringLiteral("mnuFields"));
    for (auto _ : state) {
        field->click();
        g_editors->settle();
        if (!fields->isVisible()) state.SkipWithError("no menu");
        Editors::closePopups();
    }
    state.counters["entries"] = static_cast<double>(fields->actions().size());
}
BENCHMARK(BM_FieldMenusOfDettagliAttrezzature)->Unit(benchmark::kMicrosecond);

// The same menu shown and closed without building it: what the building adds is the difference.
void BM_FieldMenuShownOnly(benchmark::State& state) {
    auto* fields = g_editors->report->findChild<QMenu*>(QStringLiteral("mnuFields"));
    for (auto _ : state) {
        fields->popup(QPoint(100, 100));
        QApplication::processEvents();
        Editors::closePopups();
    }
}
BENCHMARK(BM_FieldMenuShownOnly)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    Prompt::setInstance(std::make_shared<QuietPrompt>());
    Editors editors;
    g_editors = &editors;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_editors = nullptr;
    return 0;
}
