// The label engine as layout scripts see it: the template and a job-order label run through the script
// host against the real engine on a recording printer; VB's conversions and errors at the script's line;
// the time limit over the engine's calls and the boxes a script shows.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDialog>
#include <QFile>
#include <QImage>
#include <QWidget>

#include <chrono>

#include "LabelFixture.h"
#include "LabelScripts.h"
#include "base/AppError.h"
#include "labels/HostedControls.h"
#include "odb/ui/ModalDialog.h"
#include "platform/PainterSurface.h"
#include "startup/AppScriptServices.h"
#include "vbs/CompileError.h"
#include "vbs/FakeEngines.h"
#include "vbs/ScriptHost.h"
#include "vbs/ScriptTestHost.h"

namespace {

using vbstest::FakeDataSet;

std::shared_ptr<FakeDataSet> jobOrders() {
    auto ds = std::make_shared<FakeDataSet>();
    ds->rows = {
        {{QStringLiteral("Codice"), Variant("A-100")},
         {QStringLiteral("Numero"), Variant(int32_t(17))},
         {QStringLiteral("Descrizione"), Variant("Flangia forata\r\nacciaio")}},
        {{QStringLiteral("Codice"), Variant("B-200")},
         {QStringLiteral("Numero"), Variant(int32_t(18))},
         {QStringLiteral("Descrizione"), Variant("Albero")}},
    };
    return ds;
}

class LabelScriptTest : public LabelTest {
  protected:
    void SetUp() override {
        LabelTest::SetUp();
        printer = addPrinter(QSizeF(210, 297));
        engine = std::make_shared<clsLabelPrint>();
    }
    // PrintLabel(ds, prn) as the print run calls it.
    bool printLabel(vbs::ScriptHost& host, const std::shared_ptr<FakeDataSet>& ds) {
        VariantList args{Variant(ObjectRef(ds)), Variant(ObjectRef(engine))};
        return host.Run(QStringLiteral("PrintLabel"), args).toBool();
    }
    std::shared_ptr<RecordingSurface> printer;
    std::shared_ptr<clsLabelPrint> engine;
};

TEST_F(LabelScriptTest, TheTemplateAndAJobOrderLabelDrawTheirPrimitives) {
    QImage logo(70, 70, QImage::Format_RGB32);
    logo.fill(Qt::darkGreen);
    ASSERT_TRUE(logo.save(path(QStringLiteral("program/logo.png"))));
    engine->SetParameter(Variant("Etichette"), 36, 70, 10, 5, 2);
    printer->log.clear();

    vbs::ScriptHost templ;
    templ.SetLanguage(QStringLiteral("vbscript"));
    templ.AddCode(labelscripts::Template());
    templ.SetTimeout(30000);
    auto ds = jobOrders();
    EXPECT_TRUE(printLabel(templ, ds));
    EXPECT_EQ(QStringList{QStringLiteral("font MS San Serif 13 bold")}, printer->log);
    engine->NextLabel();

    vbs::ScriptHost host;
    host.AddCode(labelscripts::JobOrderLabel());
    printer->log.clear();
    for (ds->current = 0; ds->current < 2; ++ds->current) {
        EXPECT_TRUE(printLabel(host, ds));
        engine->NextLabel();
    }
    // The barcode's fills are counted, everything else is compared.
    QStringList drawn;
    int fills = 0;
    for (const QString& line : printer->log)
        if (line.startsWith(QLatin1String("fill ")))
            ++fills;
        else
            drawn << line;
    const QStringList expected = {
        // Second position of the first row: x 75, y 10.
        QStringLiteral("box 75 10 145 10 0 fs=1 fc=0"),
        QStringLiteral("box 75 46 145 46 0 fs=1 fc=0"),
        QStringLiteral("box 75 10 75 46 0 fs=1 fc=0"),
        QStringLiteral("box 145 10 145 46 0 fs=1 fc=0"),
        QStringLiteral("font Arial 12 bold"),
        QStringLiteral("print 78 12 A-100"),
        QStringLiteral("font Arial 8"),
        QStringLiteral("print 78 18 Flangia forata"),  // 28 mm: within the 40 of the wrap
        QStringLiteral("print 78 22 acciaio"),
        QStringLiteral("print 117 12 N. 17"),
        QStringLiteral("circle 93 14 1.5 255 fs=0 fc=255"),
        QStringLiteral("turned 139 29 up 0 LOTTO 17"),
        QStringLiteral("box 78 28 135 28 0 fs=1 fc=0"),
        QStringLiteral("picture 129 12 7 7 from 0 0 70 70"),
        // Next row, first column: x 5, y 46.
        QStringLiteral("box 5 46 75 46 0 fs=1 fc=0"),
        QStringLiteral("box 5 82 75 82 0 fs=1 fc=0"),
        QStringLiteral("box 5 46 5 82 0 fs=1 fc=0"),
        QStringLiteral("box 75 46 75 82 0 fs=1 fc=0"),
        QStringLiteral("font Arial 12 bold"),
        QStringLiteral("print 8 48 B-200"),
        QStringLiteral("font Arial 8"),
        QStringLiteral("print 8 54 Albero"),
        QStringLiteral("print 47 48 N. 18"),
        QStringLiteral("circle 23 50 1.5 255 fs=1 fc=255"),
        QStringLiteral("turned 69 65 up 0 LOTTO 18"),
        QStringLiteral("box 8 64 65 64 0 fs=1 fc=0"),
        QStringLiteral("picture 59 48 7 7 from 0 0 70 70"),
    };
    EXPECT_EQ(expected.join(u'\n').toStdString(), drawn.join(u'\n').toStdString());
    EXPECT_EQ(2 * (6 * 5 + 7), fills);  // start, C, 1, 7 (or 8), check and stop
    EXPECT_EQ(1, engine->Vars().count());
    EXPECT_EQ(3, engine->PageLabelCount());
}

TEST_F(LabelScriptTest, ArgumentsConvertAsVbDeclaresThem) {
    engine->SetParameter(Variant("Etichette"), 36, 70);
    vbs::ScriptHost host;
    host.AddCode(QStringLiteral(
        "Function PrintLabel(ds, prn)\n"      // 1
        "  prn.SetFont 10.5\n"                // 2: Integer, halves to even: 10
        "  prn.SetFont \"11,5\"\n"            // 3: 12
        "  prn.Strs(\"Nome\") = \"Rossi\"\n"  // 4
        "  prn.TxtOut \"1,5\", 2, prn.STRS(\"nome\") & prn.Nums(\"x\") & TypeName(prn.Vars(\"x\"))\n"
        "  prn.CopyCount = 2.5\n"                // 6: 2
        "  prn.IgnoreLabel = 1\n"                // 7
        "  If prn.Preview Then Exit Function\n"  // 8
        "  prn.TxtOut 0, 0, Null\n"              // 9
        "  PrintLabel = True\n"
        "End Function\n"));
    EXPECT_THROW(printLabel(host, jobOrders()), AppError);
    EXPECT_EQ(94, host.Error().Number);
    EXPECT_EQ(9, host.Error().Line);
    const QStringList expected = {QStringLiteral("font Arial 10"), QStringLiteral("font Arial 12"),
                                  QStringLiteral("print 2 1.5 Rossi0Empty")};
    EXPECT_EQ(expected.join(u'\n').toStdString(), printer->log.join(u'\n').toStdString());
    EXPECT_EQ(2, engine->CopyCount());
    EXPECT_TRUE(engine->IgnoreLabel());
    EXPECT_EQ(QStringLiteral("clsLabelPrint"), engine->className());
}

// A hosted control that records what is set and called on it.
class SettingRecorder : public Object {
  public:
    QStringList calls;
    QString className() const override { return QStringLiteral("SettingRecorder"); }
    Variant invoke(const QString& name, CallKind kind, VariantList& args) override {
        calls << (kind == CallKind::PropertyLet ? QStringLiteral("let ") : QString()) + name + u' ' +
                     (args.empty() ? QString() : args[0].toText());
        return Variant();
    }
};

// Every instruction the code assistant inserts after "prn." and "ds.", with its placeholders given
// values, on the real engine; the viewer is shown and activated, so that it prints by itself.
TEST_F(LabelScriptTest, TheCodeAssistantSnippetsRun) {
    QImage logo(20, 20, QImage::Format_RGB32);
    logo.fill(Qt::blue);
    const QString logoFile = path(QStringLiteral("program/logo.png"));
    ASSERT_TRUE(logo.save(logoFile));
    auto recorder = std::make_shared<SettingRecorder>();
    HostedControls::Register(QStringLiteral("Viewer.Document"), [&](QWidget* parent) {
        return HostedControl{new QWidget(parent), recorder};
    });
    auto previous = odb::SetModalRunner([](QDialog& d) {
        d.show();
        for (int i = 0; i < 3 && d.isVisible(); ++i)
            QCoreApplication::processEvents();
        return d.result();
    });
    engine->SetParameter(Variant("Etichette"), 36, 70);
    printer->log.clear();
    vbs::ScriptHost host;
    host.AddCode(
        QStringLiteral("Function PrintLabel(ds, prn)\n"
                       "  Dim nY, nX, nWrapLen, bMantainOriginalWrap, nEndX, bDownToUp, bBaseToLastChar, "
                       "nDimY, nDimX, bFill\n"
                       "  Dim nRadius, nToY, nToX, sFile, bStretch, sCode, sClassProgrID\n"
                       "  nY = 1 : nX = 2 : nWrapLen = 30 : bMantainOriginalWrap = False : nEndX = 50\n"
                       "  bDownToUp = True : bBaseToLastChar = False : nDimY = 5 : nDimX = 6 : bFill = True\n"
                       "  nRadius = 3 : nToY = 7 : nToX = 8 : sFile = \"") +
        logoFile +
        QStringLiteral(
            "\" : bStretch = False : sCode = \"ABC\"\n"
            "  sClassProgrID = \"Viewer.Document\"\n"
            "  prn.TxtOut nY, nX, \"testo\", nWrapLen, bMantainOriginalWrap\n"
            "  prn.TxtOutR nY, nEndX, \"testo\"\n"
            "  prn.TxtOutV nY, nX, \"testo\", bDownToUp, bBaseToLastChar\n"
            "  prn.BoxOut nY, nX, nDimY, nDimX, bFill\n"
            "  prn.CircleOut nY, nX, nRadius, bFill\n"
            "  prn.LineOut nY, nX, nToY, nToX\n"
            "  prn.ImageOut sFile, nY, nX, nDimY, nDimX, bStretch\n"
            "  prn.Barcode128bOut nY, nX, 10, 0.25, sCode\n"
            "  prn.SetFont 12, True, False, \"Arial\", False\n"
            "  prn.Color = &HFF\n"
            "  prn.PrintObject sClassProgrID, \"file=\" & sFile, \"PrintMethod\"\n"
            "  prn.PrintObject \"Shell.Explorer\", \"navigate \" & sFile, \"ExecWB 6, 1\"\n"
            "  ds.RowFirst\n"
            "  ds.RowNext\n"
            "  If Not ds.RowInvalid And Not ds.DataEmpty Then prn.TxtOut 0, 0, ds.ColValue(\"Codice\") & "
            "\" di \" & ds.RowCount(True)\n"
            "  ds.RowLast\n"
            "  ds.RowPrevious\n"
            "  PrintLabel = True\n"
            "End Function\n"));
    auto ds = jobOrders();
    EXPECT_TRUE(printLabel(host, ds));
    odb::SetModalRunner(previous);
    HostedControls::Unregister(QStringLiteral("Viewer.Document"));
    EXPECT_EQ(0, host.Error().Number);
    // What was drawn, kind by kind; the barcode's bars counted.
    QStringList kinds;
    int fills = 0;
    for (const QString& line : printer->log) {
        const QString kind = line.section(u' ', 0, 0);
        if (kind == QLatin1String("fill"))
            ++fills;
        else
            kinds << (kind == QLatin1String("print") ? line : kind);
    }
    EXPECT_EQ("print 2 1 testo|print 40 1 testo|turned|box|circle|line|picture|font|print 0 0 B-200 di 2",
              kinds.join(u'|').toStdString());
    EXPECT_EQ(5 * 6 + 7, fills);  // bars and spaces of start, A, B, C, check and stop
    EXPECT_EQ((QStringList{QStringLiteral("let file ") + logoFile, QStringLiteral("PrintMethod ")}),
              recorder->calls);
    // The document viewer has no PDF printer here to print on: it says so and goes on.
    ASSERT_EQ(1u, prompt->shown().size());
    EXPECT_EQ(QStringLiteral("Stampa fallita, l'errore è: Errore della stampante\r\rMetodo: ExecWB 6, 1"),
              prompt->last().text);
    EXPECT_EQ(0, ds->current);
}

TEST_F(LabelScriptTest, AFailedObjectSettingReportsTheCallingLineAndCanBeCaught) {
    engine->SetParameter(Variant("Etichette"), 36, 70);
    vbs::ScriptHost host;
    host.AddCode(QStringLiteral(
        "Function PrintLabel(ds, prn)\n"                           // 1
        "  prn.TxtOut 0, 0, \"prima\"\n"                           // 2
        "  prn.PrintObject \"Viewer\", \"nessunaimpostazione\"\n"  // 3: nothing called, the viewer closes
        "  prn.PrintObject \"Viewer\", \"file=x\"\n"               // 4: no such class: nothing to set
        "  PrintLabel = True\n"
        "End Function\n"
        "Function Guarded(ds, prn)\n"
        "  On Error Resume Next\n"
        "  prn.PrintObject \"Viewer\", \"file=x\"\n"
        "  Guarded = Err.Number - vbObjectError & \" \" & Err.Source & \": \" & Err.Description\n"
        "End Function\n"));
    int viewers = 0;
    auto previous = odb::SetModalRunner([&](QDialog&) { return ++viewers, 0; });
    auto ds = jobOrders();
    EXPECT_THROW(printLabel(host, ds), AppError);
    EXPECT_EQ(kAppErrorNumber, host.Error().Number);
    EXPECT_EQ(4, host.Error().Line);
    EXPECT_EQ(1, viewers);
    VariantList args{Variant(ObjectRef(ds)), Variant(ObjectRef(engine))};
    EXPECT_EQ(
        QStringLiteral("32755 Zelto Lavrix: [clsLabelPrint], Err.: 32755\rImpostazione del file fallita "
                       "mediante il medoto/proprietà:\rfile=x\r\rError: Variabile oggetto o variabile del "
                       "blocco With non impostata"),
        host.Run(QStringLiteral("Guarded"), args).toText());
    odb::SetModalRunner(previous);
    EXPECT_EQ(1, viewers);
}

// Raises once half a minute has passed since it was made: a loop the time limit misses fails with it
// instead of hanging the test.
class Watchdog : public Dispatch {
  public:
    Watchdog() : Dispatch(members()) {}
    static constexpr int32_t kError = 9999;

  private:
    static const DispatchClass& members() {
        static const DispatchClassOf<Watchdog> cls = [] {
            DispatchClassOf<Watchdog> c(QStringLiteral("Watchdog"));
            c.method(QStringLiteral("Check"), {}, [](Watchdog& w, DispatchArgs&) {
                if (std::chrono::steady_clock::now() - w.made_ > std::chrono::seconds(30))
                    throw AppError(kError, QStringLiteral("Watchdog"), QStringLiteral("ancora in corso"));
            });
            return c;
        }();
        return cls;
    }
    const std::chrono::steady_clock::time_point made_ = std::chrono::steady_clock::now();
};

// The engine's drawing is the script's own time: a script that only draws, for ever, ends at its time
// limit with the time-out error and its line, as the print run reports it.
TEST_F(LabelScriptTest, ALoopOfEngineCallsEndsAtTheTimeLimit) {
    auto preview = PainterSurface::onImage(QSizeF(100, 100));
    engine->SetParameter(Variant(ObjectRef(preview)), 36, 70);
    vbs::ScriptHost host;
    AppScriptServices::Attach(host);
    host.AddObject(QStringLiteral("watchdog"), Variant(ObjectRef(std::make_shared<Watchdog>())));
    host.AddCode(
        QStringLiteral("Function PrintLabel(ds, prn)\n"
                       "  Do\n"
                       "    prn.TxtOut 1, 1, String(2000, \"W\"), 60\n"
                       "    watchdog.Check\n"
                       "  Loop\n"
                       "End Function\n"));
    host.SetTimeout(1000);
    try {
        printLabel(host, jobOrders());
        ADD_FAILURE() << "the loop ended by itself";
    } catch (const AppError& e) {
        EXPECT_EQ(vbs::kTimeoutError, e.number()) << e.description().toStdString();
        EXPECT_EQ(
            "Errore nel codice di stampa etichetta: \r\rTempo massimo di esecuzione dello script "
            "superato\r\rLinea VB: 3",
            host.ErrorMessage(QStringLiteral("Errore nel codice di stampa etichetta: "), e.description())
                .toStdString());
    }
}

// A script that keeps showing boxes is asked, through the program's prompt, whether to stop once it
// has run longer than its limit; the question's default answer stops it as the time limit does.
TEST_F(LabelScriptTest, AScriptThatKeepsShowingBoxesIsAskedWhetherToStop) {
    engine->SetParameter(Variant("Etichette"), 36, 70);
    vbs::ScriptHost host;
    AppScriptServices::Attach(host);
    host.AddObject(QStringLiteral("watchdog"), Variant(ObjectRef(std::make_shared<Watchdog>())));
    host.AddCode(
        QStringLiteral("Function PrintLabel(ds, prn)\n"
                       "  Do\n"
                       "    MsgBox \"Etichetta pronta\"\n"
                       "    watchdog.Check\n"
                       "  Loop\n"
                       "End Function\n"));
    host.SetTimeout(1000);
    const QString question =
        QStringLiteral("Tempo massimo di esecuzione dello script superato.\rInterrompere lo script?");
    try {
        printLabel(host, jobOrders());
        ADD_FAILURE() << "the loop ended by itself";
    } catch (const AppError& e) {
        EXPECT_EQ(vbs::kTimeoutError, e.number()) << e.description().toStdString();
        EXPECT_EQ(3, host.Error().Line);
    }
    EXPECT_EQ(1, prompt->texts().count(question));
    EXPECT_EQ(question.toStdString(), prompt->last().text.toStdString());
    EXPECT_EQ(MsgBoxStyle::vbYesNo | MsgBoxStyle::vbQuestion, prompt->last().style);
}

// The time the user spends on the engine's own windows, a viewer of PrintObject or the notice of a
// missing picture, is not the script's: the label is drawn after it, within the time limit.
TEST_F(LabelScriptTest, TheUserReadingTheEnginesWindowsIsNotTheScriptsTime) {
    // On a driven run time, so that only the user's time could pass the limit, not a slow machine.
    const vbstest::DrivenRunTime time;
    // The prompt that reads slowly, and the viewer that stays open as long.
    class SlowReader : public RecordingPrompt {
      public:
        MsgResult msgBox(const QString& text, int style, const QString& title, QWidget* owner) override {
            vbstest::DrivenRunTime::advance(std::chrono::milliseconds(1500));
            return RecordingPrompt::msgBox(text, style, title, owner);
        }
    };
    auto reader = std::make_shared<SlowReader>();
    const std::shared_ptr<Prompt> previousPrompt = Prompt::setInstance(reader);
    HostedControls::Register(QStringLiteral("Viewer.Document"), [](QWidget* parent) {
        return HostedControl{new QWidget(parent), std::make_shared<SettingRecorder>()};
    });
    auto previousRunner = odb::SetModalRunner([](QDialog&) {
        vbstest::DrivenRunTime::advance(std::chrono::milliseconds(1500));
        return 0;
    });
    const char* const calls[] = {"prn.PrintObject \"Viewer.Document\", \"file=x\"",
                                 "prn.ImageOut \"manca.png\", 0, 0"};
    for (const char* call : calls) {
        SCOPED_TRACE(call);
        engine->SetParameter(Variant("Etichette"), 36, 70);
        printer->log.clear();
        vbs::ScriptHost host;
        AppScriptServices::Attach(host);
        host.AddCode(QStringLiteral("Function PrintLabel(ds, prn)\n  ") + QString::fromLatin1(call) +
                     QStringLiteral("\n  prn.TxtOut 0, 0, \"fatto\"\n  PrintLabel = True\nEnd Function\n"));
        host.SetTimeout(1000);
        try {
            EXPECT_TRUE(printLabel(host, jobOrders()));
        } catch (const AppError& e) {
            ADD_FAILURE() << e.description().toStdString();
        }
        EXPECT_EQ(QStringList{QStringLiteral("print 0 0 fatto")}, printer->log);
    }
    odb::SetModalRunner(previousRunner);
    HostedControls::Unregister(QStringLiteral("Viewer.Document"));
    Prompt::setInstance(previousPrompt);
    // Only the notice was a message: no question whether to stop.
    EXPECT_EQ("Impossibile accedere al file dell'immagine:\rmanca.png",
              reader->texts().join(u'|').toStdString());
}

// Choosing where the PDF printer saves, and answering its replace and retry questions, is the user's
// time: a user who takes far longer than the limit over each, inside whichever member ends the
// document, gets the document saved, no time-out and no question whether to stop.
TEST_F(LabelScriptTest, TheUserChoosingWhereThePdfGoesIsNotTheScriptsTime) {
    const vbstest::DrivenRunTime time;
    class SlowUser : public RecordingPrompt {
      public:
        MsgResult msgBox(const QString& text, int style, const QString& title, QWidget* owner) override {
            vbstest::DrivenRunTime::advance(std::chrono::minutes(1));
            return RecordingPrompt::msgBox(text, style, title, owner);
        }
        QString saveFileName(const QString& title, const QString& dir, const QString& filter,
                             QWidget* owner) override {
            vbstest::DrivenRunTime::advance(std::chrono::minutes(1));
            return RecordingPrompt::saveFileName(title, dir, filter, owner);
        }
    };
    auto user = std::make_shared<SlowUser>();
    const std::shared_ptr<Prompt> previousPrompt = Prompt::setInstance(user);
    QWidget window;
    window.show();
    QFile there(path(QStringLiteral("esiste.pdf")));
    ASSERT_TRUE(there.open(QIODevice::WriteOnly));
    there.close();
    for (const QString& member : {QStringLiteral("EndLabels"), QStringLiteral("ForceEndDocument")}) {
        SCOPED_TRACE(member.toStdString());
        user->clear();
        user->answerPath(path(QStringLiteral("esiste.pdf")));
        user->answer(MsgResult::No);
        user->answerPath(path(QStringLiteral("manca/etichette.pdf")));
        user->answerPath(path(member + QStringLiteral(".pdf")));
        engine->SetParameter(Variant("Stampa su PDF"), 36, 70);
        vbs::ScriptHost host;
        AppScriptServices::Attach(host);
        host.AddCode(QStringLiteral("Function PrintLabel(ds, prn)\n  prn.TxtOut 1, 1, \"A-100\"\n  prn.") +
                     member + QStringLiteral("\n  PrintLabel = True\nEnd Function\n"));
        host.SetTimeout(10000);
        try {
            EXPECT_TRUE(printLabel(host, jobOrders()));
        } catch (const AppError& e) {
            ADD_FAILURE() << e.description().toStdString();
        }
        EXPECT_TRUE(QFile::exists(path(member + QStringLiteral(".pdf"))));
        EXPECT_EQ(5u, user->shown().size()) << user->texts().join(u'|').toStdString();
    }
    Prompt::setInstance(previousPrompt);
}

}  // namespace
