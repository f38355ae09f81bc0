// ScriptHost: loading, calling, the time limit and the Error object.
#include "vbs/ScriptHost.h"

#include "vbs/CompileError.h"
#include "vbs/ErrObject.h"
#include "vbs/GlobalScope.h"
#include "vbs/Interpreter.h"
#include "vbs/Parser.h"
#include "vbs/Resolver.h"
#include "vbs/ScriptServices.h"

namespace vbs {

namespace {

const char* const kHostSource = "ScriptHost";

}  // namespace

ScriptHost::ScriptHost()
    : scope_(std::make_unique<GlobalScope>()), interp_(std::make_unique<Interpreter>(*scope_)) {}

ScriptHost::~ScriptHost() = default;

void ScriptHost::SetLanguage(const QString& language) {
    if (language.compare(QLatin1String("vbscript"), Qt::CaseInsensitive) != 0)
        throw AppError(5, QString::fromLatin1(kHostSource),
                       QStringLiteral("Linguaggio non supportato: %1").arg(language));
    language_ = language;
}

int64_t ScriptHost::MemoryLimit() const {
    return interp_->memoryLimit();
}

void ScriptHost::SetMemoryLimit(int64_t bytes) {
    interp_->setMemoryLimit(bytes);
}

void ScriptHost::SetClock(ScriptClock* clock) {
    clock_ = clock;
    interp_->setContext({clock_, prompt_});
}

void ScriptHost::SetPrompt(ScriptPrompt* prompt) {
    prompt_ = prompt;
    interp_->setContext({clock_, prompt_});
}

void ScriptHost::AddObject(const QString& name, const Variant& object) {
    scope_->values[scope_->addVariable(name.toLower())] = object;
}

// Runs script work under the time limit and turns its failures into Error and an AppError.
template <class F>
void ScriptHost::guarded(F body) {
    const bool outermost = running_ == 0;
    if (outermost) {
        error_.Clear();
        interp_->startClock(timeout_);
    }
    ++running_;
    struct Leave {
        int& n;
        ~Leave() { --n; }
    } leave{running_};
    // Members of host objects find the clock of the script that calls them here.
    const RunClock::Running running(interp_->clock());
    try {
        body();
    } catch (const CompileError& e) {
        error_ = {e.number(), e.description(), e.source(), e.line()};
        throw;
    } catch (const AppError& e) {
        const QString source = e.source().isEmpty() ? QString::fromLatin1(kRuntimeSource) : e.source();
        error_ = {e.number(), e.description(), source, interp_->errorLine()};
        if (!outermost) interp_->forgetErrorLine();
        throw AppError(e.number(), source, e.description(), e.helpFile(), e.helpContext());
    } catch (const ScriptAbort&) {
        if (!outermost) throw;
        error_ = {kTimeoutError, ScriptErrorText(kTimeoutError), QString::fromLatin1(kRuntimeSource),
                  interp_->errorLine()};
        throw AppError(error_.Number, error_.Source, error_.Description);
    }
}

void ScriptHost::AddCode(const QString& code) {
    guarded([&] {
        std::unique_ptr<Program> program = Parser::Parse(code);
        Resolver::Resolve(*program, *scope_);
        programs_.push_back(std::move(program));
        interp_->runTopLevel(*programs_.back()->topLevel);
    });
}

Variant ScriptHost::Run(const QString& name, VariantList& args) {
    Procedure* proc = scope_->procedures.value(name.toLower(), nullptr);
    if (!proc) {
        if (running_ == 0) error_.Clear();
        throw AppError(kUnknownNameError, QString::fromLatin1(kHostSource),
                       QStringLiteral("%1: '%2'").arg(ScriptErrorText(kUnknownNameError), name));
    }
    if (args.size() != proc->params.size()) {
        if (running_ == 0) error_.Clear();
        throw AppError(kBadParamCountError, QString::fromLatin1(kHostSource),
                       QStringLiteral("%1: '%2'").arg(ScriptErrorText(kBadParamCountError), name));
    }
    Variant result;
    guarded([&] { result = interp_->call(*proc, args); });
    return result;
}

QString ScriptHost::ErrorMessage(const QString& heading, const QString& errorText) const {
    const QChar cr(u'\r');
    QString text = heading + cr + cr + errorText + cr;
    if (error_.Number != 0) text += cr + QStringLiteral("Linea VB: ") + QString::number(error_.Line);
    return text;
}

Variant ScriptHost::Run(const QString& name) {
    VariantList none;
    return Run(name, none);
}

}  // namespace vbs
