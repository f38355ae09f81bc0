// Random-program fuzzer for the script engine: generated programs and mutations of the script cases
// run under the sanitizers; any crash, hang, leak or non-script exception fails it.
// vbs_fuzz --seconds N [--seeds DIR] [--seed S]   fuzz for N seconds
// vbs_fuzz --run FILE                               run one script and print its output and error
// vbs_fuzz --show N                                 print N generated programs with their errors
#include <QCoreApplication>
#include <QDirIterator>
#include <QFile>
#include <QStringList>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <random>
#include <thread>

#include "base/AppError.h"
#include "base/Dispatch.h"
#include "vbs/ScriptHost.h"

#if defined(__has_include)
#if __has_include(<sanitizer/common_interface_defs.h>)
#include <sanitizer/common_interface_defs.h>
#define ZL_HAVE_SANITIZER 1
#endif
#endif

namespace {

// out.Print and a small host object with an indexed property, a method with optional arguments
// and a member that fails, so that generated programs reach the binding too.
class FuzzObject : public Dispatch {
  public:
    FuzzObject() : Dispatch(members()) {}
    QStringList lines;
    QHash<QString, Variant> vars;

  private:
    static const DispatchClass& members() {
        static const DispatchClassOf<FuzzObject> cls = [] {
            DispatchClassOf<FuzzObject> c(QStringLiteral("FuzzObject"));
            c.method(QStringLiteral("Print"), {OptParam(QStringLiteral("v"))},
                     [](FuzzObject& o, DispatchArgs& a) {
                         if (o.lines.size() < 1000)
                             o.lines << (a[0].isArray() || a[0].isObject() || a[0].isMissing()
                                             ? QString()
                                             : a[0].toText());
                     })
                .method(
                    QStringLiteral("Box"),
                    {Param(QStringLiteral("y"), VarType::Single), Param(QStringLiteral("x"), VarType::Single),
                     OptParam(QStringLiteral("fill"), VarType::Boolean, Variant(false))},
                    [](FuzzObject&, DispatchArgs& a) { return a.single(0) + a.single(1); })
                .method(QStringLiteral("Fail"),
                        {OptParam(QStringLiteral("n"), VarType::Long, Variant(int32_t(5)))},
                        [](FuzzObject&, DispatchArgs& a) {
                            throw AppError(a.lng(0), QStringLiteral("FuzzObject"), QStringLiteral("fallito"));
                        })
                .get(QStringLiteral("Vars"), {Param(QStringLiteral("k"), VarType::String)},
                     [](FuzzObject& o, DispatchArgs& a) { return o.vars.value(a.string(0).toLower()); })
                .let(QStringLiteral("Vars"),
                     {Param(QStringLiteral("k"), VarType::String), Param(QStringLiteral("v"))},
                     [](FuzzObject& o, DispatchArgs& a) {
                         if (o.vars.size() < 1000 && !a[1].isObject())
                             o.vars.insert(a.string(0).toLower(), a[1]);
                     })
                .get(QStringLiteral("Self"), {},
                     [](FuzzObject& o, DispatchArgs&) { return Variant(ObjectRef(o.shared())); });
            return c;
        }();
        return cls;
    }

  public:
    std::weak_ptr<FuzzObject> self;
    std::shared_ptr<FuzzObject> shared() { return self.lock(); }
};

std::shared_ptr<FuzzObject> makeObject() {
    auto o = std::make_shared<FuzzObject>();
    o->self = o;
    return o;
}

struct Outcome {
    int number = 0;
    int line = 0;
    QString description;
    QStringList lines;
};

Outcome runScript(const QString& text, int timeoutMs, std::mt19937* rng) {
    Outcome r;
    vbs::ScriptHost host;
    auto out = makeObject();
    host.SetTimeout(timeoutMs);
    host.AddObject(QStringLiteral("out"), Variant(ObjectRef(out)));
    try {
        host.AddCode(text);
        if (rng) {
            static const char* const names[] = {"f0", "f1", "s0", "s1", "Main", "PrintLabel"};
            for (int i = 0; i < 3; ++i) {
                VariantList args;
                const int n = (*rng)() % 3;
                for (int k = 0; k < n; ++k)
                    args.push_back(Variant(int32_t((*rng)() % 7)));
                try {
                    host.Run(QString::fromLatin1(names[(*rng)() % 6]), args);
                } catch (const AppError&) {
                }
            }
        }
    } catch (const AppError& e) {
        r.number = e.number();
        r.line = host.Error().Line;
        r.description = e.description();
    }
    r.lines = out->lines;
    // An array stored in Vars may hold out.Self: a cycle of references, as in any counted object
    // model. Break it so the leak check sees only the engine's own leaks.
    out->vars.clear();
    return r;
}

// A generator of syntactically plausible programs.
class Generator {
  public:
    explicit Generator(std::mt19937& rng) : rng_(rng) {}

    QString program() {
        QString s;
        if (chance(10)) s += QStringLiteral("Option Explicit\n");
        if (chance(50)) s += QStringLiteral("On Error Resume Next\n");
        s += QStringLiteral("Dim v0, v1, v2, a0(3)\n");
        const int procs = pick(4);
        for (int i = 0; i < procs; ++i)
            s += procedure(i);
        const int n = 1 + pick(8);
        for (int i = 0; i < n; ++i)
            s += statement(0);
        return s;
    }

  private:
    int pick(int n) { return static_cast<int>(rng_() % static_cast<unsigned>(n)); }
    bool chance(int percent) { return pick(100) < percent; }

    QString name() {
        static const char* const names[] = {"v0", "v1", "v2", "i",  "j",   "s",  "a0",
                                            "x",  "f0", "f1", "s0", "Err", "out"};
        return QString::fromLatin1(names[pick(13)]);
    }

    QString literal() {
        switch (pick(10)) {
            case 0:
                return QString::number(pick(100000) - 50000);
            case 1:
                return QStringLiteral("%1.%2").arg(pick(1000)).arg(pick(100));
            case 2:
                return QStringLiteral("\"t%1\"\"x\"").arg(pick(10));
            case 3:
                return QStringLiteral("Null");
            case 4:
                return QStringLiteral("Empty");
            case 5:
                return chance(50) ? QStringLiteral("True") : QStringLiteral("False");
            case 6:
                return QStringLiteral("&H%1").arg(pick(0x7FFFFFFF), 0, 16);
            case 7:
                return QStringLiteral("#%1/%2/20%3#").arg(1 + pick(12)).arg(1 + pick(28)).arg(10 + pick(80));
            case 8:
                return QStringLiteral("Nothing");
            default:
                return QString::number(pick(10));
        }
    }

    QString expr(int depth) {
        if (depth > 4 || chance(30)) return chance(50) ? literal() : name();
        static const char* const ops[] = {
            "+",  "-", "*",  "/",     "\\",   " Mod ", "^",     "&",     "=",
            "<>", "<", ">=", " And ", " Or ", " Xor ", " Eqv ", " Imp ", " Is "};
        switch (pick(9)) {
            case 0:
                return QStringLiteral("(%1)").arg(expr(depth + 1));
            case 1:
                return QStringLiteral("-%1").arg(expr(depth + 1));
            case 2:
                return QStringLiteral("Not %1").arg(expr(depth + 1));
            case 3: {
                static const char* const fns[] = {"Len",   "CStr",     "CLng", "Abs",   "UBound",
                                                  "Array", "IsNull",   "Mid",  "Left",  "Round",
                                                  "CDbl",  "TypeName", "Int",  "Split", "Join"};
                return QStringLiteral("%1(%2)").arg(QString::fromLatin1(fns[pick(15)]), expr(depth + 1));
            }
            case 4:
                return QStringLiteral("a0(%1)").arg(expr(depth + 1));
            case 5:
                return QStringLiteral("f%1(%2, %3)").arg(pick(2)).arg(expr(depth + 1), expr(depth + 1));
            case 6:
                return QStringLiteral("out.Vars(%1)").arg(expr(depth + 1));
            case 7:
                return QStringLiteral("out.Box(%1, %2)").arg(expr(depth + 1), expr(depth + 1));
            default:
                return expr(depth + 1) + QString::fromLatin1(ops[pick(18)]) + expr(depth + 1);
        }
    }

    QString block(int depth) {
        QString s;
        const int n = 1 + pick(4);
        for (int i = 0; i < n; ++i)
            s += statement(depth + 1);
        return s;
    }

    QString statement(int depth) {
        if (depth > 3) return QStringLiteral("%1 = %2\n").arg(name(), expr(0));
        switch (pick(21)) {
            case 0:
                return QStringLiteral("If %1 Then\n%2ElseIf %3 Then\n%4Else\n%5End If\n")
                    .arg(expr(0), block(depth), expr(0), block(depth), block(depth));
            case 1:
                return QStringLiteral("If %1 Then %2 = %3 Else out.Print %4\n")
                    .arg(expr(0), name(), expr(0), expr(0));
            case 2:
                return QStringLiteral("For i = %1 To %2 Step %3\n%4Next\n")
                    .arg(pick(5))
                    .arg(pick(10))
                    .arg(1 + pick(3))
                    .arg(block(depth));
            case 3:
                return QStringLiteral("For Each x In %1\n%2Next\n")
                    .arg(chance(50) ? QStringLiteral("a0") : expr(0), block(depth));
            case 4:
                return QStringLiteral("j = 0\nDo While j < %1\nj = j + 1\n%2Loop\n")
                    .arg(pick(6))
                    .arg(block(depth));
            case 5:
                return QStringLiteral("Do\n%1Loop Until %2\n")
                    .arg(block(depth), chance(80) ? QStringLiteral("True") : expr(0));
            case 6:
                return QStringLiteral(
                           "Select Case %1\nCase 1, 2\n%2Case 3 To 9\n%3Case Is > %4\n%5Case Else\n%6End "
                           "Select\n")
                    .arg(expr(0), block(depth), block(depth), literal(), block(depth), block(depth));
            case 7:
                return QStringLiteral("On Error Resume Next\n");
            case 8:
                return QStringLiteral("On Error GoTo 0\n");
            case 9:
                return QStringLiteral("ReDim %1a0(%2)\n")
                    .arg(chance(50) ? QStringLiteral("Preserve ") : QString())
                    .arg(pick(6));
            case 10:
                return QStringLiteral("out.Print %1\n").arg(expr(0));
            case 11:
                return QStringLiteral("With out\n.Print %1\n.Vars(\"k\") = %2\nEnd With\n")
                    .arg(expr(0), expr(0));
            case 12:
                return QStringLiteral("Err.Raise %1\n").arg(pick(2000));
            case 13:
                return QStringLiteral("s0 %1, %2\n").arg(name(), expr(0));
            case 14:
                return QStringLiteral("Call f1(%1, v1)\n").arg(expr(0));
            case 15:
                return QStringLiteral("Set %1 = %2\n")
                    .arg(name(), chance(50) ? QStringLiteral("out") : expr(0));
            case 16:
                return QStringLiteral("a0(%1) = %2\n").arg(pick(5)).arg(expr(0));
            case 17:
                return QStringLiteral("out.Box %1, , %2 : out.Fail %3\n").arg(expr(0), expr(0), literal());
            case 18:
                return QStringLiteral("Erase a0\n");
            case 19: {  // long operator chains and deep nesting near the parser's limits
                QString e = QStringLiteral("1");
                const int n = pick(chance(10) ? 1200 : 300);
                for (int k = 0; k < n; ++k)
                    e += chance(50) ? QStringLiteral(" & v0") : QStringLiteral(" + 1");
                const int parens = pick(160);
                return QStringLiteral("v2 = %1 %2 %3\n").arg(QString(parens, u'('), e, QString(parens, u')'));
            }
            default:
                return QStringLiteral("%1 = %2\n").arg(name(), expr(0));
        }
    }

    QString procedure(int i) {
        const bool fn = i % 2 == 0;  // f0, s0, f1, s1: each defined once
        const QString nm = fn ? QStringLiteral("f%1").arg(i / 2) : QStringLiteral("s%1").arg(i / 2);
        QString head = QStringLiteral("%1 %2(%3p, q)\n")
                           .arg(fn ? QStringLiteral("Function") : QStringLiteral("Sub"), nm,
                                chance(50) ? QStringLiteral("ByVal ") : QString());
        QString body = QStringLiteral("Dim t\n") + block(1);
        if (fn) body += QStringLiteral("%1 = p & q\n").arg(nm);
        if (chance(20)) body += fn ? QStringLiteral("Exit Function\n") : QStringLiteral("Exit Sub\n");
        return head + body + (fn ? QStringLiteral("End Function\n") : QStringLiteral("End Sub\n"));
    }

    std::mt19937& rng_;
};

QString mutate(const QString& seed, std::mt19937& rng) {
    QString s = seed;
    static const char* const bits[] = {
        "(",     ")",     ",",     "\"",       "'",         ":",       " _\n",  "\n",
        "If ",   "End ",  "Then ", "Next",     "Loop",      ".",       "&H",    "#",
        "=",     " Mod ", "Dim ",  "ReDim a(", "Function ", "Sub ",    "With ", "Select Case ",
        "Case ", "-",     "^",     "Call ",    "Set ",      "Nothing", "Null"};
    const int edits = 1 + static_cast<int>(rng() % 4);
    for (int e = 0; e < edits && !s.isEmpty(); ++e) {
        const int at = static_cast<int>(rng() % static_cast<unsigned>(s.size()));
        switch (rng() % 4) {
            case 0:
                s.remove(at, 1 + static_cast<int>(rng() % 8));
                break;
            case 1:
                s.insert(at, QString::fromLatin1(bits[rng() % (sizeof bits / sizeof *bits)]));
                break;
            case 2:
                s.insert(at, s.mid(static_cast<int>(rng() % static_cast<unsigned>(s.size())),
                                   1 + static_cast<int>(rng() % 20)));
                break;
            default:
                s[at] = QChar(static_cast<ushort>(32 + rng() % 95));
                break;
        }
    }
    return s;
}

std::atomic<const QString*> g_current{nullptr};

void dumpCurrent() {
    if (const QString* p = g_current.load())
        fprintf(stderr, "---- program ----\n%s\n---- end ----\n", p->toUtf8().constData());
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    int seconds = qEnvironmentVariableIntValue("ZL_VBS_FUZZ_SECONDS");
    QString seedsDir, runFile;
    int show = 0;
    unsigned seed = static_cast<unsigned>(std::random_device()());
    for (int i = 1; i + 1 < argc; i += 2) {
        const QString a = QString::fromLocal8Bit(argv[i]), v = QString::fromLocal8Bit(argv[i + 1]);
        if (a == QLatin1String("--seconds") && seconds == 0)
            seconds = v.toInt();
        else if (a == QLatin1String("--seeds"))
            seedsDir = v;
        else if (a == QLatin1String("--seed"))
            seed = v.toUInt();
        else if (a == QLatin1String("--run"))
            runFile = v;
        else if (a == QLatin1String("--show"))
            show = v.toInt();
    }
    // Sized for CI as the other slow checks are, unless a time was given.
    if (qgetenv("ZL_SLOW_TESTS") == "ci" && qEnvironmentVariableIntValue("ZL_VBS_FUZZ_SECONDS") == 0)
        seconds = std::min(seconds, 30);
    if (!runFile.isEmpty()) {
        QFile f(runFile);
        if (!f.open(QIODevice::ReadOnly)) return 2;
        const Outcome r = runScript(QString::fromUtf8(f.readAll()), 10000, nullptr);
        for (const QString& l : r.lines)
            printf("%s\n", l.toUtf8().constData());
        if (r.number)
            printf("!ERROR %d LINE %d (%s)\n", r.number, r.line, r.description.toUtf8().constData());
        return 0;
    }
    if (show > 0) {
        std::mt19937 rng(seed);
        Generator gen(rng);
        for (int i = 0; i < show; ++i) {
            const QString text = gen.program();
            const Outcome r = runScript(text, 100, nullptr);
            printf("---- %d: error %d line %d %s\n%s\n", i, r.number, r.line,
                   r.description.toUtf8().constData(), text.toUtf8().constData());
        }
        return 0;
    }
#ifdef ZL_HAVE_SANITIZER
    __sanitizer_set_death_callback(dumpCurrent);
#endif
    QStringList seeds;
    if (!seedsDir.isEmpty()) {
        QDirIterator it(seedsDir, {QStringLiteral("*.vbs")}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile f(it.next());
            if (f.open(QIODevice::ReadOnly)) seeds << QString::fromUtf8(f.readAll());
        }
    }
    printf("vbs_fuzz: seed %u, %d s, %lld seed scripts\n", seed, seconds,
           static_cast<long long>(seeds.size()));
    fflush(stdout);
    std::mt19937 rng(seed);
    Generator gen(rng);
    std::atomic<long> started{0};
    std::atomic<bool> done{false};
    // Watchdog: one program may not run for more than 20 s (its time limit is 100 ms).
    std::thread watchdog([&] {
        long last = -1;
        int still = 0;
        while (!done) {
            std::this_thread::sleep_for(std::chrono::seconds(1));
            const long now = started.load();
            still = now == last ? still + 1 : 0;
            last = now;
            if (still >= 20) {
                fprintf(stderr, "vbs_fuzz: a program hangs\n");
                dumpCurrent();
                std::abort();
            }
        }
    });
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    long runs = 0, clean = 0, syntax = 0, timeouts = 0;
    int status = 0;
    while (std::chrono::steady_clock::now() < end) {
        const QString text =
            (!seeds.isEmpty() && rng() % 2) ? mutate(seeds[rng() % seeds.size()], rng) : gen.program();
        g_current = &text;
        ++started;
        try {
            const Outcome r = runScript(text, 100, &rng);
            if (r.number == 0)
                ++clean;
            else if (r.number >= 1000 && r.number < 1100)
                ++syntax;
            else if (r.number == -2147467260)
                ++timeouts;
        } catch (const std::exception& e) {
            fprintf(stderr, "vbs_fuzz: escaped exception %s\n", e.what());
            dumpCurrent();
            status = 1;
            break;
        } catch (...) {
            fprintf(stderr, "vbs_fuzz: escaped unknown exception\n");
            dumpCurrent();
            status = 1;
            break;
        }
        g_current = nullptr;
        ++runs;
    }
    done = true;
    watchdog.join();
    printf(
        "vbs_fuzz: %ld programs: %ld ran to the end, %ld syntax errors, %ld time limits, the rest run-time "
        "errors\n",
        runs, clean, syntax, timeouts);
    return status;
}
