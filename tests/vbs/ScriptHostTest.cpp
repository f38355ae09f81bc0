// The host's contract: AddCode, Run with arguments by reference, globals across calls, the Error
// object's number and line, the time limit, host objects' errors and the language setting.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <chrono>
#include <thread>

#include "ScriptTestHost.h"
#include "base/AppError.h"
#include "vbs/CompileError.h"

namespace {

using vbstest::TestHost;

// The error an action raises, with the host's Error object afterwards.
struct Failure {
    int number = 0;
    QString description;
    vbs::ScriptError error;
};

template <class F>
Failure failureOf(vbs::ScriptHost& host, F action) {
    Failure f;
    try {
        action();
        ADD_FAILURE() << "no error raised";
    } catch (const AppError& e) {
        f.number = e.number();
        f.description = e.description();
    }
    f.error = host.Error();
    return f;
}

TEST(ScriptHost, RunCallsFunctionsAndSubsCaseInsensitively) {
    TestHost t;
    t.host.AddCode(
        QStringLiteral("Function Twice(x)\r\n  Twice = x * 2\r\nEnd Function\r\n"
                       "Sub Hello()\r\n  out.Print \"ciao\"\r\nEnd Sub\r\n"
                       "Function NoResult()\r\nEnd Function"));
    VariantList args{Variant(int32_t(21))};
    EXPECT_EQ(42, t.host.Run(QStringLiteral("TWICE"), args).toLong());
    EXPECT_TRUE(t.host.Run(QStringLiteral("hello")).isEmpty());
    EXPECT_EQ(QStringList{QStringLiteral("ciao")}, t.out->lines);
    EXPECT_TRUE(t.host.Run(QStringLiteral("NoResult")).isEmpty());
    EXPECT_EQ(0, t.host.Error().Number);
}

TEST(ScriptHost, ArgumentsArePassedByReference) {
    TestHost t;
    t.host.AddCode(
        QStringLiteral("Function PrintLabel(ds, prn)\n"
                       "  ds = ds & \"!\"\n"
                       "  Set prn = Nothing\n"
                       "  PrintLabel = True\n"
                       "End Function\n"
                       "Function Keep(ByVal v)\n  v = 0\n  Keep = 1\nEnd Function"));
    VariantList args{Variant("dati"), Variant(ObjectRef(t.out))};
    EXPECT_TRUE(t.host.Run(QStringLiteral("PrintLabel"), args).toBool());
    EXPECT_EQ(QStringLiteral("dati!"), args[0].toText());
    EXPECT_TRUE(args[1].isNothing());

    VariantList byVal{Variant(int32_t(7))};
    t.host.Run(QStringLiteral("Keep"), byVal);
    EXPECT_EQ(7, byVal[0].toLong());
}

TEST(ScriptHost, ScriptLevelVariablesKeepTheirValuesBetweenRuns) {
    TestHost t;
    t.host.AddCode(QStringLiteral(
        "Dim count\ncount = 100\nFunction Next_()\n  count = count + 1\n  Next_ = count\nEnd Function"));
    EXPECT_EQ(101, t.host.Run(QStringLiteral("Next_")).toLong());
    EXPECT_EQ(102, t.host.Run(QStringLiteral("Next_")).toLong());
    // A second text sees the same variables and procedures.
    t.host.AddCode(QStringLiteral("out.Print count & \" \" & Next_()"));
    EXPECT_EQ(QStringList{QStringLiteral("102 103")}, t.out->lines);
    // A fresh host starts again.
    TestHost other;
    other.host.AddCode(QStringLiteral(
        "Dim count\ncount = 100\nFunction Next_()\n  count = count + 1\n  Next_ = count\nEnd Function"));
    EXPECT_EQ(101, other.host.Run(QStringLiteral("Next_")).toLong());
}

TEST(ScriptHost, SyntaxErrorOnLineFiveRaisesAtOnceAndAddsNothing) {
    TestHost t;
    const QString code = QStringLiteral(
        "' layout\r\nFunction PrintLabel(ds, prn)\r\n  out.Print \"x\"\r\n"
        "  PrintLabel = True\r\n  If True Then Then\r\nEnd Function\r\nout.Print \"top\"");
    const Failure f = failureOf(t.host, [&] { t.host.AddCode(code); });
    EXPECT_NE(0, f.error.Number);
    EXPECT_EQ(f.number, f.error.Number);
    EXPECT_EQ(5, f.error.Line);
    EXPECT_FALSE(f.error.Description.isEmpty());
    EXPECT_TRUE(t.out->lines.isEmpty());
    // Nothing of the text was defined.
    const Failure run = failureOf(t.host, [&] { t.host.Run(QStringLiteral("PrintLabel")); });
    EXPECT_EQ(vbs::kUnknownNameError, run.number);
}

TEST(ScriptHost, LinesEndWithCrLfCrOrLf) {
    struct Row {
        const char* code;
        int line;
    };
    const Row rows[] = {
        {"a = 1\r\nb = 2\r\nc = 1 / 0", 3},  {"a = 1\rb = 2\rc = 1 / 0", 3},
        {"a = 1\nb = 2\nc = 1 / 0", 3},      {"a = 1\r\n\r\n\rb = 1 / 0", 4},
        {"a = 1 + _\r\n 2\r\nb = 1 / 0", 3}, {"x = \"a\" : y = 1 / 0", 1},
    };
    for (const Row& r : rows) {
        TestHost t;
        const Failure f = failureOf(t.host, [&] { t.host.AddCode(QString::fromLatin1(r.code)); });
        EXPECT_EQ(11, f.error.Number) << r.code;
        EXPECT_EQ(r.line, f.error.Line) << r.code;
    }
}

TEST(ScriptHost, RuntimeErrorInNestedCallReportsTheInnerLine) {
    TestHost t;
    t.host.AddCode(
        QStringLiteral("Function Inner(v)\n"   // 1
                       "  Dim x\n"             // 2
                       "  x = v * 2\n"         // 3
                       "  Inner = CLng(x)\n"   // 4
                       "End Function\n"        // 5
                       "Function Outer(v)\n"   // 6
                       "  Outer = Inner(v)\n"  // 7
                       "End Function\n"));
    VariantList args{Variant("testo")};
    const Failure f = failureOf(t.host, [&] { t.host.Run(QStringLiteral("Outer"), args); });
    EXPECT_EQ(13, f.number);
    EXPECT_EQ(13, f.error.Number);
    EXPECT_EQ(3, f.error.Line);
    EXPECT_EQ(QStringLiteral("Tipo non corrispondente"), f.error.Description);
    // The next successful call clears the error.
    VariantList ok{Variant(int32_t(2))};
    EXPECT_EQ(4, t.host.Run(QStringLiteral("Outer"), ok).toLong());
    EXPECT_EQ(0, t.host.Error().Number);
    EXPECT_EQ(0, t.host.Error().Line);
}

TEST(ScriptHost, RunOfAnUnknownProcedureNamesItAndLeavesNumberZero) {
    TestHost t;
    t.host.AddCode(QStringLiteral("Function Other()\nEnd Function"));
    const Failure f = failureOf(t.host, [&] { t.host.Run(QStringLiteral("PrintLabel")); });
    EXPECT_NE(0, f.number);
    EXPECT_TRUE(f.description.contains(QStringLiteral("PrintLabel"))) << f.description.toStdString();
    EXPECT_EQ(0, f.error.Number);

    VariantList three{Variant(), Variant(), Variant()};
    const Failure count = failureOf(t.host, [&] { t.host.Run(QStringLiteral("Other"), three); });
    EXPECT_EQ(vbs::kBadParamCountError, count.number);
    EXPECT_EQ(0, count.error.Number);
}

TEST(ScriptHost, AnEndlessLoopStopsAtTheTimeout) {
    TestHost t;
    t.host.SetTimeout(150);
    t.host.AddCode(
        QStringLiteral("Function Spin()\n  Do\n    n = n + 1\n  Loop\nEnd Function\n"
                       "Function Recurse(n)\n  On Error Resume Next\n  Recurse = Recurse(n + 1)\n  Recurse = "
                       "Recurse(n + 1)\nEnd Function"));
    const Failure f = failureOf(t.host, [&] { t.host.Run(QStringLiteral("Spin")); });
    EXPECT_EQ(vbs::kTimeoutError, f.number);
    EXPECT_EQ(vbs::kTimeoutError, f.error.Number);
    EXPECT_GE(f.error.Line, 2);
    EXPECT_LE(f.error.Line, 4);
    // On Error Resume Next does not swallow the time limit.
    VariantList args{Variant(int32_t(0))};
    EXPECT_EQ(vbs::kTimeoutError,
              failureOf(t.host, [&] { t.host.Run(QStringLiteral("Recurse"), args); }).number);
    // Top-level code of AddCode has the same limit.
    EXPECT_EQ(vbs::kTimeoutError,
              failureOf(t.host, [&] { t.host.AddCode(QStringLiteral("While True\nWend")); }).number);
}

TEST(ScriptHost, ErrorMessagesCarryTheLineOnlyForScriptErrors) {
    TestHost t;
    const QString heading = QStringLiteral("Errore nel codice di stampa etichetta: ");
    const Failure syntax =
        failureOf(t.host, [&] { t.host.AddCode(QStringLiteral("a = 1\nb = 2\nc = 3\nd = 4\ne = (")); });
    EXPECT_EQ(heading + QStringLiteral("\r\r") + syntax.description + QStringLiteral("\r\rLinea VB: 5"),
              t.host.ErrorMessage(heading, syntax.description));
    const Failure unknown = failureOf(t.host, [&] { t.host.Run(QStringLiteral("PrintLabel")); });
    EXPECT_EQ(heading + QStringLiteral("\r\r") + unknown.description + QStringLiteral("\r"),
              t.host.ErrorMessage(heading, unknown.description));
}

TEST(ScriptHost, WaitingForTheUserDoesNotCountAgainstTheTimeout) {
    // The run time is driven: the script's own work takes none of it, however slow the machine.
    struct SlowReader : vbstest::ScriptedPrompt {
        int MsgBox(const QString& text, int style, const QString& title) override {
            vbstest::DrivenRunTime::advance(std::chrono::milliseconds(250));
            return ScriptedPrompt::MsgBox(text, style, title);
        }
    };
    const vbstest::DrivenRunTime time;
    TestHost t;
    SlowReader reader;
    t.host.SetPrompt(&reader);
    t.host.SetTimeout(100);
    // The loop after the question makes the engine look at its clock again.
    t.host.AddCode(
        QStringLiteral("Function Ask()\n  Ask = MsgBox(\"Continuare?\", vbYesNo)\n"
                       "  For i = 1 To 10000\n    n = n + 1\n  Next\nEnd Function"));
    EXPECT_EQ(1, t.host.Run(QStringLiteral("Ask")).toLong());
    EXPECT_EQ(0, t.host.Error().Number);
}

// A host object whose members take time: Work burns it as a slow engine call does, Count is a slow
// property, Value a slow property to set; ShowModal keeps the caller waiting for the user. Past a
// generous bound every member raises, so that a script the time limit misses fails instead of hanging.
class SlowObject : public Dispatch {
  public:
    explicit SlowObject(int waitMs = 250) : Dispatch(members()), waitMs_(waitMs) {}
    static constexpr int32_t kWatchdogError = 9999;

  private:
    void busy() {
        if (std::chrono::steady_clock::now() - created_ > std::chrono::seconds(30))
            throw AppError(kWatchdogError, QStringLiteral("SlowObject"), QStringLiteral("ancora in corso"));
        std::this_thread::sleep_for(std::chrono::milliseconds(3));
    }
    static const DispatchClass& members() {
        static const DispatchClassOf<SlowObject> cls = [] {
            DispatchClassOf<SlowObject> c(QStringLiteral("SlowObject"));
            c.method(QStringLiteral("Work"), {}, [](SlowObject& o, DispatchArgs&) { o.busy(); })
                .get(QStringLiteral("Count"), {},
                     [](SlowObject& o, DispatchArgs&) {
                         o.busy();
                         return Variant(int32_t(3));
                     })
                .let(QStringLiteral("Value"), {Param(QStringLiteral("v"))},
                     [](SlowObject& o, DispatchArgs&) { o.busy(); })
                .method(QStringLiteral("ShowModal"), {}, [](SlowObject& o, DispatchArgs&) {
                    o.busy();
                    const vbs::UserWait waiting;
                    std::this_thread::sleep_for(std::chrono::milliseconds(o.waitMs_));
                    vbstest::DrivenRunTime::advance(std::chrono::milliseconds(o.waitMs_));
                });
            return c;
        }();
        return cls;
    }
    const std::chrono::steady_clock::time_point created_ = std::chrono::steady_clock::now();
    int waitMs_;
};

TEST(ScriptHost, TimeInHostMembersCountsAgainstTheTimeout) {
    const struct {
        const char* loop;
    } rows[] = {
        {"Do\n  slow.Work\nLoop"}, {"Do\n  n = n + slow.Count\nLoop"}, {"Do\n  slow.Value = 1\nLoop"}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.loop);
        TestHost t;
        t.host.AddObject(QStringLiteral("slow"), Variant(ObjectRef(std::make_shared<SlowObject>())));
        t.host.SetTimeout(300);
        const Failure f = failureOf(t.host, [&] { t.host.AddCode(QString::fromLatin1(r.loop)); });
        EXPECT_EQ(vbs::kTimeoutError, f.number) << f.description.toStdString();
        EXPECT_EQ(2, f.error.Line);
    }
}

TEST(ScriptHost, WaitingForTheUserInAHostMemberDoesNotCount) {
    // A member that keeps the caller waiting, as a modal viewer does, and one that returns at once.
    TestHost t;
    t.host.AddObject(QStringLiteral("viewer"), Variant(ObjectRef(std::make_shared<SlowObject>())));
    t.host.AddObject(QStringLiteral("quick"), Variant(ObjectRef(t.out)));
    t.host.SetTimeout(100);
    t.host.AddCode(QStringLiteral(
        "Sub Show()\n  viewer.ShowModal\n  For i = 1 To 10000\n    n = n + 1\n  Next\nEnd Sub\n"
        "Sub Forever()\n  Do\n    x = quick.Field(1)\n  Loop\nEnd Sub"));
    {
        // On a driven run time, so that only the wait could pass the limit, not a slow machine.
        const vbstest::DrivenRunTime time;
        t.host.Run(QStringLiteral("Show"));
    }
    EXPECT_EQ(0, t.host.Error().Number);
    EXPECT_TRUE(t.prompt.shown.isEmpty());
    // A loop that only calls members still ends at the time limit, on the machine's own clock.
    EXPECT_EQ(vbs::kTimeoutError, failureOf(t.host, [&] { t.host.Run(QStringLiteral("Forever")); }).number);
}

// A prompt that answers the script's boxes with `answer` (input boxes with "risposta"), after `readMs`
// of reading (and `userMs` more of a driven run time), and the question whether to stop with the next
// of `stopAnswers` (vbYes when they run out). It keeps only the last box shown: a loop shows many.
struct AnsweringPrompt : vbs::ScriptPrompt {
    static inline const QString kQuestion =
        QStringLiteral("Tempo massimo di esecuzione dello script superato.\rInterrompere lo script?");
    int answer = 7;  // vbNo
    int readMs = 0;
    int userMs = 0;
    QList<int> stopAnswers;
    int questions = 0;
    int boxes = 0;
    QString last;
    const std::chrono::steady_clock::time_point created = std::chrono::steady_clock::now();

    int MsgBox(const QString& text, int style, const QString& title) override {
        last = QStringLiteral("MsgBox|%1|%2|%3").arg(text).arg(style).arg(title);
        if (text != kQuestion) return box();
        ++questions;
        return stopAnswers.isEmpty() ? 6 : stopAnswers.takeFirst();
    }
    bool InputBox(const QString& prompt, const QString& title, const QString&, QString& value) override {
        last = QStringLiteral("InputBox|%1|%2").arg(prompt, title);
        box();
        value = QStringLiteral("risposta");
        return true;
    }
    int box() {
        // A script that is never asked fails here instead of hanging the test; one on a driven run time,
        // which stands still, after a thousand boxes.
        if (std::chrono::steady_clock::now() - created > std::chrono::seconds(30) ||
            (userMs > 0 && boxes >= 1000))
            throw AppError(SlowObject::kWatchdogError, QStringLiteral("prompt"),
                           QStringLiteral("mai fermato"));
        ++boxes;
        std::this_thread::sleep_for(std::chrono::milliseconds(readMs));
        if (userMs > 0) vbstest::DrivenRunTime::advance(std::chrono::milliseconds(userMs));
        return answer;
    }
};

TEST(ScriptHost, AScriptThatKeepsAskingIsAskedWhetherToStop) {
    const struct {
        const char* what;
        const char* code;
        int readMs;
        QList<int> stopAnswers;
        int questions;
    } rows[] = {
        {"boxes answered at once",
         "Dim r, n\nSub Ask()\n  Do\n    r = MsgBox(\"Ancora?\", vbYesNo)\n"
         "    n = n + 1\n  Loop\nEnd Sub",
         0,
         {6},
         1},
        {"input boxes",
         "Dim r, n\nSub Ask()\n  Do\n    r = InputBox(\"Quante?\")\n    n = n + 1\n  Loop\nEnd Sub",
         0,
         {6},
         1},
        {"a slow reader who goes on once",
         "Dim r, n\nSub Ask()\n  Do\n    r = MsgBox(\"Ancora?\", vbYesNo)\n"
         "    n = n + 1\n  Loop\nEnd Sub",
         20,
         {7, 6},
         2},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        TestHost t;
        AnsweringPrompt prompt;
        prompt.readMs = r.readMs;
        prompt.stopAnswers = r.stopAnswers;
        t.host.SetPrompt(&prompt);
        t.host.SetTimeout(300);
        t.host.AddCode(QString::fromLatin1(r.code));
        const Failure f = failureOf(t.host, [&] { t.host.Run(QStringLiteral("Ask")); });
        // Yes stops the script as the time limit does, at the line of the box it was about to show.
        EXPECT_EQ(vbs::kTimeoutError, f.number) << f.description.toStdString();
        EXPECT_EQ(4, f.error.Line);
        EXPECT_EQ(r.questions, prompt.questions);
        EXPECT_EQ(QStringLiteral("MsgBox|%1|36|").arg(AnsweringPrompt::kQuestion).toStdString(),
                  prompt.last.toStdString());
        // The script's own boxes kept their answers, and each was shown once the question allowed it.
        t.host.AddCode(QStringLiteral("out.Print r & \" \" & n"));
        const QString answer = QString::fromLatin1(r.code).contains(QLatin1String("InputBox"))
                                   ? QStringLiteral("risposta")
                                   : QStringLiteral("7");
        EXPECT_EQ((answer + u' ' + QString::number(prompt.boxes)).toStdString(),
                  vbstest::Lines(t.out->lines));
    }
}

// The user's own time over the boxes is not the run's: a script that shows a few boxes is never asked
// whether to stop, however long its user takes over them, while one that keeps showing them is asked
// once it has shown as many as its limit has seconds, and again as many boxes after the user goes on.
TEST(ScriptHost, TheQuestionWhetherToStopCountsTheBoxesNotTheUsersTime) {
    const vbstest::DrivenRunTime time;
    TestHost t;
    AnsweringPrompt prompt;
    prompt.userMs = 20000;  // twice the limit over every box
    prompt.stopAnswers = {7, 6};
    t.host.SetPrompt(&prompt);
    t.host.SetTimeout(10000);
    t.host.AddCode(QStringLiteral(
        "Dim a, b, n\nSub Two()\n  a = InputBox(\"Quante?\")\n  b = InputBox(\"Quali?\")\n"
        "End Sub\nSub Ask()\n  Do\n    a = MsgBox(\"Ancora?\", vbYesNo)\n    n = n + 1\n  Loop\n"
        "End Sub"));
    t.host.Run(QStringLiteral("Two"));
    EXPECT_EQ(0, t.host.Error().Number);
    EXPECT_EQ(0, prompt.questions);
    EXPECT_EQ(2, prompt.boxes);

    prompt.boxes = 0;
    const Failure f = failureOf(t.host, [&] { t.host.Run(QStringLiteral("Ask")); });
    EXPECT_EQ(vbs::kTimeoutError, f.number) << f.description.toStdString();
    EXPECT_EQ(8, f.error.Line);
    EXPECT_EQ(2, prompt.questions);
    EXPECT_EQ(20, prompt.boxes);
}

TEST(ScriptHost, AHostMemberThatKeepsTheUserWaitingIsFollowedByTheQuestion) {
    TestHost t;
    AnsweringPrompt prompt;
    t.host.SetPrompt(&prompt);
    t.host.AddObject(QStringLiteral("viewer"), Variant(ObjectRef(std::make_shared<SlowObject>(40))));
    t.host.SetTimeout(300);
    const Failure f =
        failureOf(t.host, [&] { t.host.AddCode(QStringLiteral("Do\n  viewer.ShowModal\nLoop")); });
    EXPECT_EQ(vbs::kTimeoutError, f.number) << f.description.toStdString();
    EXPECT_EQ(2, f.error.Line);
    EXPECT_EQ(1, prompt.questions);
}

TEST(ScriptHost, VeryDeepExpressionsAreRefusedNotOverflowed) {
    const auto chain = [](int terms, const QString& op) {
        QString code = QStringLiteral("x = 1");
        for (int i = 1; i < terms; ++i)
            code += op + QStringLiteral("1");
        return code + QStringLiteral("\nout.Print x");
    };
    TestHost t;
    t.host.AddCode(chain(500, QStringLiteral(" + ")));
    EXPECT_EQ(QStringList{QStringLiteral("500")}, t.out->lines);
    EXPECT_EQ(1053,
              failureOf(t.host, [&] { t.host.AddCode(chain(5000, QStringLiteral(" & "))); }).error.Number);
    EXPECT_EQ(1053, failureOf(t.host, [&] {
                        t.host.AddCode(QStringLiteral("x = ") + QString(400, u'(') + QStringLiteral("1") +
                                       QString(400, u')'));
                    }).error.Number);
    QString members = QStringLiteral("x = out");
    for (int i = 0; i < 3000; ++i)
        members += QStringLiteral(".a");
    EXPECT_EQ(1053, failureOf(t.host, [&] { t.host.AddCode(members); }).error.Number);
    QString blocks;
    for (int i = 0; i < 400; ++i)
        blocks += QStringLiteral("If True Then\n");
    EXPECT_EQ(1053, failureOf(t.host, [&] { t.host.AddCode(blocks); }).error.Number);
}

TEST(ScriptHost, ErrorSourcesAndDescriptions) {
    TestHost t;
    const Failure syntax = failureOf(t.host, [&] { t.host.AddCode(QStringLiteral("x = ")); });
    EXPECT_EQ(1023, syntax.error.Number);
    EXPECT_EQ(QStringLiteral("Errore di compilazione dello script"), syntax.error.Source);
    EXPECT_EQ(1, syntax.error.Line);

    const Failure runtime = failureOf(t.host, [&] { t.host.AddCode(QStringLiteral("\nx = 1 / 0")); });
    EXPECT_EQ(QStringLiteral("Errore di run-time dello script"), runtime.error.Source);
    EXPECT_EQ(QStringLiteral("Divisione per zero"), runtime.error.Description);

    const Failure raised = failureOf(t.host, [&] {
        t.host.AddCode(QStringLiteral("Err.Raise vbObjectError + 32755, \"Zelto\", \"Testo mio\""));
    });
    EXPECT_EQ(kAppErrorNumber, raised.error.Number);
    EXPECT_EQ(QStringLiteral("Zelto"), raised.error.Source);
    EXPECT_EQ(QStringLiteral("Testo mio"), raised.error.Description);
}

TEST(ScriptHost, ClockAndPromptReachTheBuiltins) {
    TestHost t;
    t.prompt.msgBoxAnswer = 6;  // vbYes
    t.host.AddCode(
        QStringLiteral("out.Print Year(Now) & \"-\" & Month(Date) & \" \" & Hour(Time)\n"
                       "out.Print MsgBox(\"Sicuro?\", vbYesNo + vbQuestion, \"Titolo\")\n"
                       "out.Print InputBox(\"Quanti?\", \"Domanda\", \"3\")"));
    EXPECT_EQ((QStringList{QStringLiteral("2024-3 10"), QStringLiteral("6"), QStringLiteral("risposta")}),
              t.out->lines);
    EXPECT_EQ((QStringList{QStringLiteral("MsgBox|Sicuro?|36|Titolo"),
                           QStringLiteral("InputBox|Quanti?|Domanda|3")}),
              t.prompt.shown);
    t.prompt.inputCancelled = true;
    t.host.AddCode(
        QStringLiteral("out.Print TypeName(InputBox(\"Ancora?\")) & \"[\" & InputBox(\"Ancora?\") & \"]\""));
    EXPECT_EQ(QStringLiteral("String[]"), t.out->lines.last());
    // A host with no prompt gives the script an error rather than an invented answer.
    vbs::ScriptHost bare;
    EXPECT_EQ(5, failureOf(bare, [&] { bare.AddCode(QStringLiteral("x = MsgBox(\"x\")")); }).number);
    EXPECT_EQ(5, failureOf(bare, [&] { bare.AddCode(QStringLiteral("x = InputBox(\"x\")")); }).number);
}

TEST(ScriptHost, NestedRunFromAHostMemberKeepsTheOuterCall) {
    // A member that calls back into the script, as an engine asking the script for its mask would.
    class Reentrant : public Dispatch {
      public:
        explicit Reentrant(vbs::ScriptHost& h) : Dispatch(members()), host(h) {}
        vbs::ScriptHost& host;
        static const DispatchClass& members() {
            static const DispatchClassOf<Reentrant> cls = [] {
                DispatchClassOf<Reentrant> c(QStringLiteral("Reentrant"));
                c.method(QStringLiteral("RunMask"), {},
                         [](Reentrant& r, DispatchArgs&) { return r.host.Run(QStringLiteral("Mask")); });
                return c;
            }();
            return cls;
        }
    };
    TestHost t;
    t.host.AddObject(QStringLiteral("prn"), Variant(ObjectRef(std::make_shared<Reentrant>(t.host))));
    t.host.AddCode(
        QStringLiteral("Function Mask()\n  Mask = \"mask\"\nEnd Function\n"
                       "Function Row()\n  Row = prn.RunMask() & \"+row\"\n  x = 1 / 0\nEnd Function"));
    const Failure f = failureOf(t.host, [&] { t.host.Run(QStringLiteral("Row")); });
    EXPECT_EQ(11, f.error.Number);
    EXPECT_EQ(6, f.error.Line);
}

}  // namespace

namespace {

long peakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

// What a run holds, texts and arrays, is counted against the host's own limit: past it, error 7.
// Each case would take gigabytes without it (at the default limit; the others at 32 MB, to be quick).
TEST(ScriptHost, WhatARunHoldsIsBoundedByItsMemoryLimit) {
    struct Case {
        const char* what;
        int64_t limit;  // 0: the default
        const char* code;
        int line;
    };
    constexpr int64_t kSmall = 32 * 1024 * 1024;
    const Case cases[] = {
        {"texts kept in an array", 0, "Dim a(200)\nFor i = 0 To 200\n  a(i) = Space(6000000)\nNext", 3},
        {"texts grown by joining", kSmall,
         "Dim a(200)\nFor i = 0 To 200\n  a(i) = Space(375000) & Space(375000)\nNext", 3},
        {"an array too large", 0, "x = 1\nReDim a(9999999)", 2},
        {"copies of an array", kSmall, "Dim big(99999), c(40)\nFor i = 0 To 40\n  c(i) = big\nNext", 3},
        {"copies passed down a recursion", kSmall,
         "Sub R(ByVal a, n)\n  If n > 0 Then R a, n - 1\nEnd Sub\nDim big(99999)\nR big, 40", 2},
        {"a text split into many parts", kSmall, "s = String(2000000, \",\")\na = Split(s, \",\")", 2},
        {"a text repeated by Replace", kSmall,
         "k1 = Space(6000000)\nk2 = Space(6000000)\ns = String(2000, \"x\")\n"
         "t = Replace(s, \"x\", Space(3000))",
         4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TestHost t;
        t.host.SetTimeout(0);
        if (c.limit) t.host.SetMemoryLimit(c.limit);
        const Failure f = failureOf(t.host, [&] { t.host.AddCode(QString::fromLatin1(c.code)); });
        EXPECT_EQ(f.number, 7);
        EXPECT_EQ(f.description, QStringLiteral("Memoria esaurita"));
        EXPECT_EQ(f.error.Line, c.line);
    }
    EXPECT_LT(peakMegabytes(), 700);

    // What is let go no longer counts, and On Error Resume Next goes on after a refusal.
    TestHost t;
    t.host.SetMemoryLimit(kSmall);
    t.host.AddCode(
        QStringLiteral("For i = 1 To 100\n  s = Space(750000)\nNext\n"
                       "Dim a(10)\nFor i = 0 To 10\n  a(i) = Space(750000)\nNext\nErase a\nReDim a(15)\n"
                       "For i = 0 To 15\n  a(i) = Space(750000)\nNext\n"
                       "On Error Resume Next\nb = Space(7500000)\nout.Print Err.Number\nout.Print Len(b)\n"
                       "a = Empty\nb = Space(7500000)\nout.Print Len(b)"));
    EXPECT_EQ(t.out->lines, QStringList({"7", "0", "7500000"}));
}

}  // namespace
