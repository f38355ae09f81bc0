// ScriptHost: a VBScript-compatible script host. Load code with AddCode, call its procedures with
// Run; script-level variables live from AddCode on and keep their values between calls.
#pragma once

#include <QString>

#include <memory>
#include <vector>

#include "base/Variant.h"
#include "vbs/ScriptError.h"

namespace vbs {

class ScriptClock;
class ScriptPrompt;
class Interpreter;
struct GlobalScope;
struct Program;

class ScriptHost {
  public:
    ScriptHost();
    ~ScriptHost();
    ScriptHost(const ScriptHost&) = delete;
    ScriptHost& operator=(const ScriptHost&) = delete;

    // Only "vbscript" (any letter case); anything else raises error 5.
    QString Language() const { return language_; }
    void SetLanguage(const QString& language);

    // Milliseconds each AddCode and each Run may take (10000 when never set); 0 or less: no limit.
    // The time counts the script's statements and the members of host objects it calls, not the
    // waits for the user (MsgBox, InputBox, a member holding a UserWait). Once its own time and one
    // second for each such wait, however long, pass the limit, a run asks through the prompt whether
    // to stop before its next box and after the next member that waits; Yes stops it with the time-out
    // error, No lets it go on for another limit.
    int Timeout() const { return timeout_; }
    void SetTimeout(int milliseconds) { timeout_ = milliseconds; }

    // Bytes the texts and arrays of the script may hold at once (256 MB when never set); past it
    // the statement that asks for more raises error 7. 0 or less: no limit.
    int64_t MemoryLimit() const;
    void SetMemoryLimit(int64_t bytes);

    // Where Now, Date, Time, MsgBox and InputBox go. Without them those built-ins raise an error.
    void SetClock(ScriptClock* clock);
    void SetPrompt(ScriptPrompt* prompt);

    // A named object that scripts see as a script-level variable; add it before the code that uses it.
    void AddObject(const QString& name, const Variant& object);

    // Parses the whole text (a syntax error raises at once and adds nothing), defines its procedures
    // and runs its top-level statements. Errors raise AppError and fill Error().
    void AddCode(const QString& code);

    // Calls a Function or Sub by name (any letter case) with positional arguments passed by reference.
    // Returns Empty for a Sub or an unassigned result. An unknown name or a wrong argument count raises
    // an error naming the procedure and leaves Error().Number at 0.
    Variant Run(const QString& name, VariantList& args);
    Variant Run(const QString& name);

    // The last error of AddCode or Run; Number 0 when none.
    const ScriptError& Error() const { return error_; }

    // The message the callers show for a failed script: heading, CR CR, the error's text, CR, and
    // when Error().Number is not 0, CR "Linea VB: " and the line.
    QString ErrorMessage(const QString& heading, const QString& errorText) const;

  private:
    template <class F>
    void guarded(F body);

    QString language_ = QStringLiteral("VBScript");
    int timeout_ = 10000;
    ScriptError error_;
    std::unique_ptr<GlobalScope> scope_;
    std::unique_ptr<Interpreter> interp_;
    std::vector<std::unique_ptr<Program>> programs_;
    ScriptClock* clock_ = nullptr;
    ScriptPrompt* prompt_ = nullptr;
    int running_ = 0;  // nested AddCode/Run from a host object's member
};

}  // namespace vbs
