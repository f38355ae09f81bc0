// A script host for tests: an "out" object collecting printed lines, a fixed clock and a prompt
// that records what it shows and gives scripted answers.
#pragma once

#include <QStringList>

#include <chrono>
#include <memory>

#include "base/Dispatch.h"
#include "vbs/ScriptHost.h"
#include "vbs/ScriptServices.h"

namespace vbstest {

// A list of lines as one text, for readable test failures.
inline std::string Lines(const QStringList& lines) {
    return lines.join(u'\n').toStdString();
}

// out.Print value: one line per call; Null prints as "<Null>", Empty as "<Empty>".
// out.Field(value[, hasDefault]): an object like a data-set field ("Campo") whose default member
// gives the value; with hasDefault False it has no default member.
// out.Busy ms: takes that long, as a slow engine call does; half a minute after the object was made it
// raises instead, so that a script the time limit misses fails rather than hangs.
class Output : public Dispatch {
  public:
    Output();
    QStringList lines;

  private:
    const std::chrono::steady_clock::time_point created_ = std::chrono::steady_clock::now();
    static const DispatchClass& members();
};

// 15/03/2024 10:30:45 unless a test sets another moment.
class FixedClock : public vbs::ScriptClock {
  public:
    double Now() override { return now; }
    double now;
    FixedClock();
};

class ScriptedPrompt : public vbs::ScriptPrompt {
  public:
    int MsgBox(const QString& text, int style, const QString& title) override;
    bool InputBox(const QString& prompt, const QString& title, const QString& defaultValue,
                  QString& value) override;

    QStringList shown;     // "MsgBox|text|style|title", "InputBox|prompt|title|default"
    int msgBoxAnswer = 1;  // vbOK
    QString inputAnswer = QStringLiteral("risposta");
    bool inputCancelled = false;
};

// The time of the scripts' run clocks, driven by the test for its lifetime: it stands still unless
// advanced, so that the time limit and the question whether to stop rest on no machine's speed.
class DrivenRunTime {
  public:
    DrivenRunTime() {
        at() = {};
        vbs::RunClock::setTimeSource([] { return at(); });
    }
    ~DrivenRunTime() { vbs::RunClock::setTimeSource(nullptr); }
    DrivenRunTime(const DrivenRunTime&) = delete;
    DrivenRunTime& operator=(const DrivenRunTime&) = delete;
    static void advance(std::chrono::milliseconds by) { at() += by; }

  private:
    static vbs::RunClock::Clock::time_point& at() {
        static vbs::RunClock::Clock::time_point time;
        return time;
    }
};

struct TestHost {
    TestHost();
    vbs::ScriptHost host;
    std::shared_ptr<Output> out;
    FixedClock clock;
    ScriptedPrompt prompt;
};

}  // namespace vbstest
