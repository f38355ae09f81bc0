// The shop-floor terminal against the bare library calls doing the same reads and writes, each of
// its writes one durable transaction:
// - a scan to a committed step: the action window in use, worker known, opens a step on a detail
//   (or closes it), the confirmation answered at once; on a detail with 10 and with 1,000 closed
//   steps;
// - a card code typed (keyboard emulation) to a committed attendance row, through the command
//   panel, its card window and its messages.
// Run: bench_terminal_actions --benchmark_repetitions=5 --benchmark_enable_random_interleaving=true
//      --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include "QuietPrompt.h"
#include "base/DateUtil.h"
#include "model/DB.h"
#include "model/ModelState.h"
#include "model/ParseCardCode.h"
#include "odb/Connection.h"
#include "odb/DataSet.h"
#include "odb/Database.h"
#include "odb/DbmsGlobal.h"
#include "odb/Table.h"
#include "odb/Tables.h"
#include "odb/ui/ModalDialog.h"
#include "platform/Clock.h"
#include "platform/ItalianLocale.h"
#include "platform/ProgramFolder.h"
#include "platform/Prompt.h"
#include "platform/SettingsStore.h"
#include "startup/SharedState.h"
#include "terminal/carddevices/frmMagneticDev.h"
#include "terminal/carddevices/modMagneticDev.h"
#include "terminal/frmActionLavrixManager.h"
#include "terminal/frmCommandPanel.h"
#include "terminal/frmRequestConfirmation.h"

namespace {

constexpr int kWorkers = 2400;  // each attendance iteration registers a worker of his day

class SilentNotify : public odb::itfNotifyEvent {
  public:
    void OnEvent(int32_t, void*, const QString&) override {}
    void OnInternalMessage(void*, const QString&) override { ++refusals; }
    void OnQueryMessage(void*, int32_t, const QString&, bool& cancel) override { cancel = false; }
    void OnReportRequest(odb::DataSet&, int32_t, const QString&, const QString&) override {}
    int refusals = 0;
};

// Message boxes answered at once; the texts are counted.
class CountingPrompt : public QuietPrompt {
  public:
    MsgResult msgBox(const QString&, int, const QString&, QWidget*) override {
        ++boxes;
        return MsgResult::OK;
    }
    int boxes = 0;
};

struct Shop {
    QTemporaryDir dir;  // under the system's temporary folder, never the working one
    SilentNotify notify;
    std::shared_ptr<CountingPrompt> prompt = std::make_shared<CountingPrompt>();
    QString card;  // typed at the next card window
    int nextWorker = 0;
    QWidget owner;

    Shop() {
        const QString file = dir.filePath(QStringLiteral("ZeltoLavrix.mdb"));
        g_objConnection = std::make_shared<odb::Connection>();
        g_objConnection->CreateDatabaseFile(file);
        g_objConnection->OpenDatabaseFile(file);
        g_objDatabase = odb::DbmsGlobal::CreateDatabase(std::make_shared<DB>(), "Zelto Lavrix", &notify);
        g_objDatabase->Open(g_objConnection);
        Prompt::setInstance(prompt);
        odb::SetModalRunner([this](QDialog& d) { return answer(d); });
        runningClock();
        g_dtmOraPredefinitaEntrataMattino = DefaultOraEntrataMattino();
        g_dtmOraPredefinitaUscitaMattino = DefaultOraUscitaMattino();
        g_dtmOraPredefinitaEntrataPomeriggio = DefaultOraEntrataPomeriggio();
        g_dtmOraPredefinitaUscitaPomeriggio = DefaultOraUscitaPomeriggio();
        g_intMagneticDevType = kDevTypeKeyboard;
        g_strCurrentUser = QStringLiteral("Operatore");

        g_objConnection->BeginTrans();
        auto workers = table("Operai").OpenData(QStringLiteral("False"));
        for (int i = 0; i <= kWorkers; ++i)
            workers->AddRow({"Codice", code(i), "Nominativo", QStringLiteral("Operaio %1").arg(i)});
        for (int closed : {10, 1000}) {
            const QString number = QStringLiteral("D%1").arg(closed);
            table("DettagliAttrezzature").OpenData()->AddRow({"NumeroCommessa", number, "Quantità", 1});
            auto steps = detail(number)->GetReference(QStringLiteral("Passaggi"));
            for (int i = 0; i < closed; ++i)
                steps->AddRow({"Operaio", code(kWorkers), "Chiuso", true});
        }
        g_objConnection->CommitTrans();
    }
    ~Shop() {
        odb::SetModalRunner({});
        g_objDatabase.reset();
        g_objConnection->CloseConnection();
        g_objConnection.reset();
    }
    // Every reading a second later: steps of one worker on one detail never start at the same time.
    static void runningClock() {
        static QDateTime t(QDate(2026, 3, 2), QTime(8, 0));
        Clock::setSource([] { return t = t.addSecs(1); });
    }
    static QString code(int i) { return QStringLiteral("%1").arg(i, 4, 10, QLatin1Char('0')); }
    // The card of the next worker to come in; once all of them have, the next day begins.
    QString nextCard() {
        const int n = nextWorker++;
        Clock::setFixed(QDateTime(QDate(2026, 3, 2).addDays(n / kWorkers), QTime(8, 0)));
        return QStringLiteral("OP") + code(n % kWorkers + 1);
    }
    static odb::Table& table(const char* name) {
        return g_objDatabase->Tables().Item(QString::fromUtf8(name));
    }
    static std::shared_ptr<odb::DataSet> detail(const QString& number) {
        return table("DettagliCommesse")
            .OpenData(QStringLiteral("NumeroCommessa=") + g_objDatabase->TextLiteral(number));
    }

    int answer(QDialog& d) {
        if (auto* c = qobject_cast<frmRequestConfirmation*>(&d)) {
            c->cmdContinued()->click();
        } else if (auto* m = qobject_cast<frmMagneticDev*>(&d)) {
            d.show();
            QCoreApplication::processEvents();
            m->txtKeyCode()->setText(card);
            QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
            QCoreApplication::sendEvent(m->txtKeyCode(), &enter);
        } else {
            d.reject();
        }
        return d.result();
    }
};

Shop* shop = nullptr;

// ---- a scan to a committed step ----

const QString kWorker = QStringLiteral("0000");

// The reads the window makes of a detail before it writes: state, summary, card prefix, worker.
std::shared_ptr<odb::DataSet> readDetail(const QString& number) {
    auto d = Shop::detail(number);
    benchmark::DoNotOptimize(d->ReferenceEmpty(QStringLiteral("Passaggi")));
    benchmark::DoNotOptimize(d->GetReference(QStringLiteral("Tipo"))->ColNumber(QStringLiteral("Tipologia")));
    benchmark::DoNotOptimize(
        d->OpenRelatedEx(QStringLiteral("DettagliAttrezzature"))->ColValue(QStringLiteral("Quantità")));
    benchmark::DoNotOptimize(Shop::table("TipiCommessa")
                                 .OpenData(QStringLiteral("Tipologia=9"))
                                 ->ColText(QStringLiteral("PrefissoNumero")));
    benchmark::DoNotOptimize(Shop::table("Operai")
                                 .OpenData(QStringLiteral("Codice=") + g_objDatabase->TextLiteral(kWorker))
                                 ->DataEmpty());
    return d;
}

// The same reads and writes as bare library calls, in one durable transaction.
void bareOpen(const QString& number) {
    odb::Connection& c = *g_objConnection;
    c.BeginTrans();
    auto open = readDetail(number)->GetReference(QStringLiteral("Passaggi"), QStringLiteral("Not Chiuso"));
    open->NewRow();
    open->SetColValue(QStringLiteral("DataInizio"), Variant::fromDate(Clock::now()));
    open->SetReference(QStringLiteral("Operaio"), kWorker);
    open->SaveRow();
    c.CommitTrans();
}

void bareClose(const QString& number) {
    odb::Connection& c = *g_objConnection;
    c.BeginTrans();
    auto open = readDetail(number)->GetReference(QStringLiteral("Passaggi"), QStringLiteral("Not Chiuso"));
    auto mine = Shop::table("Operai")
                    .OpenData(QStringLiteral("Codice=") + g_objDatabase->TextLiteral(kWorker))
                    ->OpenRelated(QStringLiteral("PassaggiDettaglioCommesse"), QStringLiteral("NOT Chiuso"));
    mine->SetFilter(mine->MakeCondition(QStringLiteral("NumeroCommessa"), 0, number, 1));
    open->FindRow(QStringLiteral("Operaio.Codice = '0000' AND Not Chiuso"));
    open->SetColValue(QStringLiteral("Chiuso"), true);
    open->SaveRow();
    c.CommitTrans();
}

// Args: the closed steps of the detail; the action (0 open, 1 close). What the action needs before
// and leaves behind is done and undone off the clock.
void BM_ScanToStep_Window(benchmark::State& state) {
    const QString number = QStringLiteral("D%1").arg(state.range(0));
    const int action = static_cast<int>(state.range(1));
    Shop::runningClock();
    const int boxes = shop->prompt->boxes;
    frmActionLavrixManager* w = frmActionLavrixManager::Get();
    for (auto _ : state) {
        state.PauseTiming();
        if (action == 1) bareOpen(number);
        w->ExecuteFunction(&shop->owner, action);
        w->m_strOperatorCode = kWorker;  // known from an earlier scan of this use
        state.ResumeTiming();
        w->txtFind_Commessa()->setText(number + QLatin1Char('\r'));
        state.PauseTiming();
        if (action == 0) bareClose(number);
        state.ResumeTiming();
    }
    if (shop->prompt->boxes != boxes || shop->notify.refusals)
        state.SkipWithError("the window said something");
}

void BM_ScanToStep_Bare(benchmark::State& state) {
    const QString number = QStringLiteral("D%1").arg(state.range(0));
    const int action = static_cast<int>(state.range(1));
    Shop::runningClock();
    for (auto _ : state) {
        state.PauseTiming();
        if (action == 1) bareOpen(number);
        state.ResumeTiming();
        if (action == 0)
            bareOpen(number);
        else
            bareClose(number);
        state.PauseTiming();
        if (action == 0) bareClose(number);
        state.ResumeTiming();
    }
    if (shop->notify.refusals) state.SkipWithError("refused");
}

BENCHMARK(BM_ScanToStep_Window)
    ->ArgsProduct({{10, 1000}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(40);
BENCHMARK(BM_ScanToStep_Bare)
    ->ArgsProduct({{10, 1000}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(40);

// ---- a card code to a committed attendance row ----

void BM_CardToAttendance_Panel(benchmark::State& state) {
    frmCommandPanel* panel = frmCommandPanel::ShowOver(&shop->owner);
    const int boxes = shop->prompt->boxes;
    int iterations = 0;
    for (auto _ : state) {
        shop->card = shop->nextCard();
        panel->Button(5)->click();
        ++iterations;
    }
    // One message a registration: "Operazione registrata.".
    if (shop->prompt->boxes - boxes != iterations || shop->notify.refusals)
        state.SkipWithError("not registered");
}

void BM_CardToAttendance_Bare(benchmark::State& state) {
    odb::Connection& c = *g_objConnection;
    for (auto _ : state) {
        const QString card = shop->nextCard();
        const double now = Clock::now();
        const QString code = ParseCardCode(card,
                                           Shop::table("TipiCommessa")
                                               .OpenData(QStringLiteral("Tipologia=9"))
                                               ->ColText(QStringLiteral("PrefissoNumero")),
                                           false);
        c.BeginTrans();
        auto worker =
            Shop::table("Operai").OpenData(QStringLiteral("Codice=") + g_objDatabase->TextLiteral(code));
        benchmark::DoNotOptimize(worker->ColValueBool(QStringLiteral("AbilitaStraordinari")));
        auto day = Shop::table("Ingressi")
                       .OpenData(QStringLiteral("Data=") +
                                 g_objDatabase->DateLiteral(Variant::fromDate(OleDatePart(now)), false) +
                                 QStringLiteral(" AND Operaio.OID=") + worker->RowIdentity());
        day->NewRow();
        day->SetColValue(QStringLiteral("Data"), Variant::fromDate(OleDatePart(now)));
        day->SetReference(QStringLiteral("Operaio"), code);
        day->SetColValue(QStringLiteral("OraEntrataMattino"), Variant::fromDate(OleTimePart(now)));
        day->SaveRow();
        c.CommitTrans();
    }
    if (shop->notify.refusals) state.SkipWithError("refused");
}

BENCHMARK(BM_CardToAttendance_Panel)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(200);
BENCHMARK(BM_CardToAttendance_Bare)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(200);

}  // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    InstallItalianLocale(app);
    // The offscreen platform's notes on every window raised would bury the results.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type != QtWarningMsg) fprintf(stderr, "%s\n", qPrintable(text));
    });
    QTemporaryDir settings;  // the benchmark's own settings and program folder, never the user's
    SetSettingsFolder(settings.path());
    SetProgramFolder(settings.path());
    benchmark::Initialize(&argc, argv);
    Shop s;
    shop = &s;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    shop = nullptr;
    return 0;
}
