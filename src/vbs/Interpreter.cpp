// Interpreter: statements, expressions with fast paths for the common subtypes (the general
// cases go to VariantOps), procedure frames, On Error Resume Next and the time limit.
#include "vbs/Interpreter.h"

#include <pthread.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <new>

#include "base/VArray.h"
#include "base/VariantOps.h"
#include "vbs/CompileError.h"
#include "vbs/ScriptServices.h"

namespace vbs {

namespace {

constexpr int kMaxDepth = 1000;                     // nested procedure calls, and the stack is watched too
constexpr qsizetype kMaxString = 64 * 1024 * 1024;  // characters of one text
constexpr int64_t kMaxElements = 16 * 1024 * 1024;  // elements of one array

[[noreturn]] void raise(int32_t number, const QString& name = {}) {
    QString text = ScriptErrorText(number);
    if (!name.isEmpty()) text += QStringLiteral(": '%1'").arg(name);
    throw AppError(number, QString(), text);
}

bool isWhole(VarType t) {
    return t == VarType::Integer || t == VarType::Long;
}
bool isPlainNumber(VarType t) {
    return t == VarType::Integer || t == VarType::Long || t == VarType::Double;
}
double plainDouble(const Variant& v) {
    return v.type() == VarType::Double ? v.doubleValue() : static_cast<double>(v.intValue());
}

// Whole-number results: Integer while both sides are Integer and it fits, then Long, then Double.
Variant wholeResult(int64_t r, bool bothInteger) {
    if (bothInteger && r >= -32768 && r <= 32767) return Variant(static_cast<int16_t>(r));
    return Variant(r);  // Long when it fits, Double otherwise
}

Variant add(const Variant& a, const Variant& b) {
    const VarType ta = a.type(), tb = b.type();
    if (isWhole(ta) && isWhole(tb))
        return wholeResult(a.intValue() + b.intValue(), ta == VarType::Integer && tb == VarType::Integer);
    if (isPlainNumber(ta) && isPlainNumber(tb)) {
        const double r = plainDouble(a) + plainDouble(b);
        if (!std::isfinite(r)) RaiseVbError(6);
        return Variant(r);
    }
    return VbAdd(a, b);
}

Variant subtract(const Variant& a, const Variant& b) {
    const VarType ta = a.type(), tb = b.type();
    if (isWhole(ta) && isWhole(tb))
        return wholeResult(a.intValue() - b.intValue(), ta == VarType::Integer && tb == VarType::Integer);
    if (isPlainNumber(ta) && isPlainNumber(tb)) {
        const double r = plainDouble(a) - plainDouble(b);
        if (!std::isfinite(r)) RaiseVbError(6);
        return Variant(r);
    }
    return VbSub(a, b);
}

Variant multiply(const Variant& a, const Variant& b) {
    const VarType ta = a.type(), tb = b.type();
    if (isWhole(ta) && isWhole(tb))  // |r| < 2^62: no int64 overflow
        return wholeResult(a.intValue() * b.intValue(), ta == VarType::Integer && tb == VarType::Integer);
    if (isPlainNumber(ta) && isPlainNumber(tb)) {
        const double r = plainDouble(a) * plainDouble(b);
        if (!std::isfinite(r)) RaiseVbError(6);
        return Variant(r);
    }
    return VbMul(a, b);
}

// "/" gives a Double for whole numbers, as VBScript's division does.
Variant divide(const Variant& a, const Variant& b) {
    const VarType ta = a.type(), tb = b.type();
    const auto plain = [](VarType t) {
        return isPlainNumber(t) || t == VarType::Byte || t == VarType::Boolean || t == VarType::Empty;
    };
    if (plain(ta) && plain(tb)) {
        const double x = a.toDouble(), y = b.toDouble();
        if (y == 0) RaiseVbError(x == 0 ? 6 : 11);
        const double r = x / y;
        if (!std::isfinite(r)) RaiseVbError(6);
        return Variant(r);
    }
    return VbDiv(a, b);
}

Variant concat(const Variant& a, const Variant& b) {
    if (a.isString() && b.isString()) {
        if (a.stringValue().size() + b.stringValue().size() > kMaxString) raise(14);
        return Variant(a.stringValue() + b.stringValue());
    }
    Variant r = VbConcat(a, b);
    if (r.isString() && r.stringValue().size() > kMaxString) raise(14);
    return r;
}

// -1, 0, 1, or 2 for Null.
int compare(const Variant& a, const Variant& b) {
    const VarType ta = a.type(), tb = b.type();
    if (isWhole(ta) && isWhole(tb)) {
        const int64_t x = a.intValue(), y = b.intValue();
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    if (isPlainNumber(ta) && isPlainNumber(tb)) {
        const double x = plainDouble(a), y = plainDouble(b);
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    if (ta == VarType::String && tb == VarType::String) {
        const int c = QString::compare(a.stringValue(), b.stringValue(), Qt::CaseSensitive);
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    const std::optional<int> c = VbCompare(a, b);
    return c ? *c : 2;
}

Variant comparison(Op op, const Variant& a, const Variant& b) {
    const int c = compare(a, b);
    if (c == 2) return Variant::null();
    switch (op) {
        case Op::Eq:
            return Variant(c == 0);
        case Op::Ne:
            return Variant(c != 0);
        case Op::Lt:
            return Variant(c < 0);
        case Op::Le:
            return Variant(c <= 0);
        case Op::Gt:
            return Variant(c > 0);
        default:
            return Variant(c >= 0);
    }
}

bool truthOf(const Variant& v) {
    switch (v.type()) {
        case VarType::Boolean:
            return v.boolValue();
        case VarType::Null:
            return false;  // If Null takes the Else branch
        case VarType::Integer:
        case VarType::Long:
            return v.intValue() != 0;
        case VarType::Double:
            return v.doubleValue() != 0;
        default:
            return v.toBool();
    }
}

}  // namespace

Interpreter::ArgList::ArgList(Interpreter& in) : in_(in) {
    if (!in_.argPool_.empty()) {
        list_ = std::move(in_.argPool_.back());
        in_.argPool_.pop_back();
    }
}

Interpreter::ArgList::~ArgList() {
    list_.clear();
    if (in_.argPool_.size() < 64) in_.argPool_.push_back(std::move(list_));
}

Interpreter::Interpreter(GlobalScope& scope)
    : scope_(scope),
      memory_([this](MemoryMeter::Tally& tally) { measureHeld(tally); }),
      msgBox_(FindBuiltin(QStringLiteral("MsgBox"))),
      inputBox_(FindBuiltin(QStringLiteral("InputBox"))),
      err_(std::make_shared<ErrObject>()) {
    ctx_.memory = &memory_;
}

void Interpreter::measureHeld(MemoryMeter::Tally& tally) const {
    for (const Variant& v : scope_.values)
        tally.add(v);
    for (const auto& [frame, count] : heldFrames_)
        for (size_t i = 0; i < count; ++i)
            tally.add(frame[i]);
    for (const Variant* v : heldCopies_)
        tally.add(*v);
}

void Interpreter::startClock(int limitMs) {
    clock_.start(limitMs);
    ticks_ = 0;
}

void Interpreter::checkClock() {
    ticks_ = 0;
    clock_.check();
}

// A member's time is the script's own and one call may take long: the clock is read after each.
// A member that kept the user waiting when the run had already gone past its limit is followed by
// the question whether to stop, as the script's own boxes are preceded by it.
Interpreter::MemberWatch Interpreter::watchMember() const {
    return {clock_.waits(), clock_.overdue()};
}

void Interpreter::memberReturned(const MemberWatch& before) {
    if (before.overdue && clock_.waits() != before.waits && clock_.overdue()) askToStop();
    checkClock();
}

// A run whose own time and waits (a second each) have gone past its limit asks before it keeps the
// user busy again: a script that shows boxes for ever is stopped this way, as by its time limit.
void Interpreter::askToStop() {
    if (!ctx_.prompt) return;
    constexpr int kYesNoQuestion = 4 + 32;
    constexpr int kYes = 6;
    int answer;
    {
        const RunClock::Wait waiting(&clock_);
        answer = ctx_.prompt->MsgBox(
            QStringLiteral("Tempo massimo di esecuzione dello script superato.\rInterrompere lo script?"),
            kYesNoQuestion, QString());
    }
    if (answer == kYes) throw ScriptAbort();
    clock_.goOn();
}

// Deep recursion stops with error 28 while a good part of the thread's stack is still free, whatever
// the size of the frames (sanitizer builds have far larger ones).
// The thread's stack is asked for once: on the main thread the answer comes from reading the process's
// memory map, far too slow for every call of a script.
void Interpreter::noteStackFloor() {
    struct Stack {
        const char* low = nullptr;
        size_t size = 0;
        Stack() {
            pthread_attr_t attr;
            if (pthread_getattr_np(pthread_self(), &attr) != 0) return;
            void* base = nullptr;
            if (pthread_attr_getstack(&attr, &base, &size) != 0 || !base) size = 0;
            low = static_cast<const char*>(base);
            pthread_attr_destroy(&attr);
        }
    };
    thread_local const Stack stack;
    stackFloor_ = nullptr;
    if (!stack.low || stack.size == 0) return;
    const size_t reserve = std::max<size_t>(256 * 1024, stack.size / 4);
    const char* here = static_cast<const char*>(__builtin_frame_address(0));
    const char* floor = stack.low + reserve;
    stackFloor_ = here > floor ? floor : nullptr;
}

void Interpreter::runTopLevel(Procedure& top) {
    if (depth_ == 0) {
        errorLine_ = 0;
        noteStackFloor();
    }
    invoke(top, nullptr, 0);
}

Variant Interpreter::call(Procedure& proc, VariantList& args) {
    if (depth_ == 0) {
        errorLine_ = 0;
        noteStackFloor();
    }
    std::vector<Variant*> refs(args.size());
    for (size_t i = 0; i < args.size(); ++i)
        refs[i] = &args[i];
    return invoke(proc, refs.data(), refs.size());
}

// A call: the frame's slots are the result, the parameters (pointing at the caller's variables
// when by reference), the locals and the hidden With slots.
Variant Interpreter::invoke(Procedure& proc, Variant* const* args, size_t argc) {
    if (argc != proc.params.size()) raise(450, proc.name);
    if (depth_ >= kMaxDepth) raise(28);
    if (stackFloor_ && static_cast<const char*>(__builtin_frame_address(0)) < stackFloor_) raise(28);
    tick();
    const size_t n = static_cast<size_t>(proc.slotCount);
    std::vector<Variant> storage(n);
    std::vector<Variant*> vars(n);
    for (size_t i = 0; i < n; ++i)
        vars[i] = &storage[i];
    const size_t base = proc.isFunction ? 1 : 0;
    for (size_t i = 0; i < argc; ++i) {
        if (proc.params[i].byVal || !args[i]) {
            if (args[i]) chargeCopy(*args[i]);
            storage[base + i] = args[i] ? *args[i] : Variant::missing();
        } else {
            vars[base + i] = args[i];
        }
    }
    Frame f;
    f.vars = vars.data();
    ++depth_;
    heldFrames_.emplace_back(storage.data(), n);
    struct DepthRestore {
        Interpreter& in;
        ~DepthRestore() {
            --in.depth_;
            in.heldFrames_.pop_back();
        }
    } restore{*this};
    execBlock(proc.body, f);
    if (!proc.isFunction) return Variant();
    return std::move(storage[0]);
}

Interpreter::Flow Interpreter::execBlock(const Block& block, Frame& f) {
    for (const StmtPtr& sp : block) {
        const Stmt& s = *sp;
        Flow flow;
        try {
            flow = execStmt(s, f);
        } catch (const AppError& e) {
            if (errorLine_ == 0) errorLine_ = s.line;
            if (!f.resumeNext) throw;
            err_->set(e);
            errorLine_ = 0;
            continue;
        } catch (const std::bad_alloc&) {
            if (errorLine_ == 0) errorLine_ = s.line;
            if (!f.resumeNext) throw AppError(7, QString(), ScriptErrorText(7));
            err_->set(AppError(7, QString(), ScriptErrorText(7)));
            errorLine_ = 0;
            continue;
        } catch (const ScriptAbort&) {
            if (errorLine_ == 0) errorLine_ = s.line;
            throw;
        }
        if (flow != Flow::Normal) return flow;
    }
    return Flow::Normal;
}

Interpreter::Flow Interpreter::execStmt(const Stmt& s, Frame& f) {
    switch (s.kind) {
        case StmtKind::Assign:
            execAssign(static_cast<const AssignStmt&>(s), f);
            return Flow::Normal;
        case StmtKind::Call:
            execCall(static_cast<const CallStmt&>(s).call.get(), f);
            return Flow::Normal;
        case StmtKind::If: {
            const auto& st = static_cast<const IfStmt&>(s);
            for (size_t i = 0; i < st.conditions.size(); ++i)
                if (i == 0 ? truth(st.conditions[0].get(), f)
                           : truthAt(st.conditions[i].get(), f, st.conditions[i]->line))
                    return execBlock(st.blocks[i], f);
            return execBlock(st.elseBlock, f);
        }
        case StmtKind::For:
            return execFor(static_cast<const ForStmt&>(s), f);
        case StmtKind::ForEach:
            return execForEach(static_cast<const ForEachStmt&>(s), f);
        case StmtKind::Do:
            return execDo(static_cast<const DoStmt&>(s), f);
        case StmtKind::Select:
            return execSelect(static_cast<const SelectStmt&>(s), f);
        case StmtKind::Exit:
            switch (static_cast<const ExitStmt&>(s).what) {
                case ExitKind::Do:
                    return Flow::ExitDo;
                case ExitKind::For:
                    return Flow::ExitFor;
                default:
                    return Flow::ExitProc;
            }
        case StmtKind::Dim:
        case StmtKind::ReDim:
            execDim(static_cast<const DimStmt&>(s), f);
            return Flow::Normal;
        case StmtKind::Erase:
            for (const auto& v : static_cast<const EraseStmt&>(s).vars) {
                Variant* var = variable(*v, f);
                if (!var->isArray()) raise(13, v->name);
                var->arrayValue()->erase();
            }
            return Flow::Normal;
        case StmtKind::OnError:
            f.resumeNext = static_cast<const OnErrorStmt&>(s).resumeNext;
            err_->clear();
            return Flow::Normal;
        case StmtKind::With: {
            const auto& st = static_cast<const WithStmt&>(s);
            *f.vars[st.slot] = value(st.object.get(), f);
            struct Release {
                Variant* v;
                ~Release() { *v = Variant(); }
            } release{f.vars[st.slot]};
            return execBlock(st.body, f);
        }
        case StmtKind::Const:
            return Flow::Normal;
    }
    return Flow::Normal;
}

// The variable a name stands for, for writing.
Variant* Interpreter::variable(const NameExpr& n, Frame& f) {
    switch (n.resolved) {
        case NameKind::Local:
            return f.vars[n.index];
        case NameKind::Global:
            return &scope_.values[n.index];
        case NameKind::Undefined:
            raise(500, n.name);
        default:
            raise(501, n.name);
    }
}

// What an assignment stores: Set wants an object; Let takes an object's default value.
Variant Interpreter::assignable(Variant v, bool isSet) {
    if (isSet) {
        if (!v.isObject()) raise(424);
        return v;
    }
    if (v.isObject()) {
        if (!v.objectValue()) raise(91);
        VariantList none;
        return v.objectValue()->invokeDefault(CallKind::PropertyGet, none);
    }
    if (v.isMissing()) raise(448);
    return v;
}

void Interpreter::execAssign(const AssignStmt& s, Frame& f) {
    const Expr* t = s.target.get();
    switch (t->kind) {
        case ExprKind::Name: {
            Variant* var = variable(*static_cast<const NameExpr*>(t), f);
            Variant tmp;
            const Variant& v = eval(s.value.get(), f, tmp);
            if (s.isSet || v.isObject() || v.isMissing()) {
                *var = assignable(&v == &tmp ? std::move(tmp) : v, s.isSet);
            } else if (&v == &tmp) {
                *var = std::move(tmp);
            } else if (&v != var) {
                chargeCopy(v);
                *var = v;
            }
            return;
        }
        case ExprKind::Member: {
            Variant v = value(s.value.get(), f);
            callMember(*static_cast<const MemberExpr*>(t), nullptr,
                       s.isSet ? CallKind::PropertySet : CallKind::PropertyLet, f, &v);
            return;
        }
        case ExprKind::Call: {
            const auto* c = static_cast<const CallExpr*>(t);
            const Expr* target = c->target.get();
            if (target->kind == ExprKind::Member) {
                Variant v = value(s.value.get(), f);
                callMember(*static_cast<const MemberExpr*>(target), &c->args,
                           s.isSet ? CallKind::PropertySet : CallKind::PropertyLet, f, &v);
                return;
            }
            if (target->kind == ExprKind::Name) {
                const auto* n = static_cast<const NameExpr*>(target);
                if (n->resolved == NameKind::Local || n->resolved == NameKind::Global) {
                    Variant* var = variable(*n, f);
                    if (var->isArray()) {
                        std::vector<int32_t> idx = indexes(c->args, f);
                        Variant v = assignable(value(s.value.get(), f), s.isSet);
                        chargeCopy(v);
                        if (!var->isArray())
                            raise(13, n->name);  // the value's evaluation may have changed it
                        var->arrayValue()->at(idx) = std::move(v);
                        return;
                    }
                    if (var->isObject()) {
                        ObjectRef obj = var->objectValue();
                        if (!obj) raise(91);
                        ArgList args(*this);
                        evalArgs(c->args, f, *args);
                        args->push_back(value(s.value.get(), f));
                        obj->invokeDefault(s.isSet ? CallKind::PropertySet : CallKind::PropertyLet, *args);
                        return;
                    }
                    raise(13, n->name);
                }
                variable(*n, f);  // raises 500 or 501
            }
            raise(501);
        }
        default:
            raise(501);
    }
}

void Interpreter::execCall(const Expr* e, Frame& f) {
    Variant tmp;
    if (e->kind == ExprKind::Call) {
        evalCall(*static_cast<const CallExpr*>(e), f, tmp, CallKind::Method);
        return;
    }
    if (e->kind == ExprKind::Member) {
        callMember(*static_cast<const MemberExpr*>(e), nullptr, CallKind::Method, f);
        return;
    }
    eval(e, f, tmp);
}

Interpreter::Flow Interpreter::execFor(const ForStmt& s, Frame& f) {
    Variant* var = variable(*s.var, f);
    Variant start = value(s.from.get(), f);
    const Variant end = value(s.to.get(), f);
    const Variant step = s.step ? value(s.step.get(), f) : Variant(int16_t(1));
    if (start.isNull() || end.isNull() || step.isNull()) raise(94);
    const double endD = end.toDouble();
    const double stepD = step.toDouble();
    if (start.isString() || start.isEmpty()) start = Variant(start.toDouble());
    *var = std::move(start);
    for (;;) {
        tick();
        const Variant& cur = *var;
        const double c = isPlainNumber(cur.type()) ? plainDouble(cur) : cur.toDouble();
        if (stepD >= 0 ? c > endD : c < endD) break;
        const Flow flow = execBlock(s.body, f);
        if (flow == Flow::ExitFor) break;
        if (flow == Flow::ExitProc || flow == Flow::ExitDo) return flow;
        *var = add(*var, step);
    }
    return Flow::Normal;
}

Interpreter::Flow Interpreter::execForEach(const ForEachStmt& s, Frame& f) {
    Variant* var = variable(*s.var, f);
    Variant t;
    const Variant& walked = eval(s.collection.get(), f, t);
    if (!walked.isArray()) raise(451);
    chargeCopy(walked);
    const Variant coll = walked;  // a copy: the loop walks the array as it was
    heldCopies_.push_back(&coll);
    struct Release {
        std::vector<const Variant*>& held;
        ~Release() { held.pop_back(); }
    } release{heldCopies_};
    for (const Variant& item : coll.arrayValue()->data()) {
        tick();
        *var = item;
        const Flow flow = execBlock(s.body, f);
        if (flow == Flow::ExitFor) break;
        if (flow == Flow::ExitProc || flow == Flow::ExitDo) return flow;
    }
    return Flow::Normal;
}

Interpreter::Flow Interpreter::execDo(const DoStmt& s, Frame& f) {
    for (;;) {
        tick();
        if (s.test == LoopTest::PreWhile && !truth(s.condition.get(), f)) break;
        if (s.test == LoopTest::PreUntil && truth(s.condition.get(), f)) break;
        const Flow flow = execBlock(s.body, f);
        if (flow == Flow::ExitDo) break;
        if (flow == Flow::ExitProc || flow == Flow::ExitFor) return flow;
        if (s.test == LoopTest::PostWhile && !truthAt(s.condition.get(), f, s.condition->line)) break;
        if (s.test == LoopTest::PostUntil && truthAt(s.condition.get(), f, s.condition->line)) break;
    }
    return Flow::Normal;
}

Interpreter::Flow Interpreter::execSelect(const SelectStmt& s, Frame& f) {
    const Variant subject = value(s.subject.get(), f);
    for (const CaseClause& clause : s.cases) {
        for (const CaseItem& item : clause.items) {
            Variant t1;
            const Variant* ap;
            try {
                ap = &eval(item.first.get(), f, t1);
            } catch (const AppError&) {
                if (errorLine_ == 0) errorLine_ = item.first->line;
                throw;
            }
            const Variant& a = *ap;
            bool match = false;
            switch (item.kind) {
                case CaseItem::Value:
                    match = compare(subject, a) == 0;
                    break;
                case CaseItem::Compare:
                    match = truthOf(comparison(item.op, subject, a));
                    break;
                case CaseItem::Range: {
                    Variant t2;
                    const Variant& b = eval(item.second.get(), f, t2);
                    const int lo = compare(subject, a), hi = compare(subject, b);
                    match = lo != 2 && hi != 2 && lo >= 0 && hi <= 0;
                    break;
                }
            }
            if (match) return execBlock(clause.body, f);
        }
    }
    return execBlock(s.elseBlock, f);
}

Variant Interpreter::makeArray(const std::vector<ExprPtr>& bounds, Frame& f) {
    std::vector<VArray::Bound> b;
    int64_t total = 1;
    for (const ExprPtr& e : bounds) {
        const int32_t upper = value(e.get(), f).toLong();
        if (upper < -1) raise(9);
        total *= static_cast<int64_t>(upper) + 1;
        if (total > kMaxElements) raise(7);
        b.push_back({0, upper + 1});
    }
    memory_.charge(total * static_cast<int64_t>(sizeof(Variant)));
    return Variant(VArray(std::move(b)));
}

void Interpreter::execDim(const DimStmt& s, Frame& f) {
    for (const DimItem& item : s.items) {
        if (!item.isArray) continue;
        Variant* var = variable(*item.var, f);
        if (s.kind == StmtKind::Dim) {
            *var = item.bounds.empty() ? Variant(VArray()) : makeArray(item.bounds, f);
            continue;
        }
        if (var->isArray() && s.preserve) {
            Variant shape = makeArray(item.bounds, f);
            var->arrayValue()->redim(shape.arrayValue()->bounds(), true);
        } else {
            *var = makeArray(item.bounds, f);
        }
    }
}

bool Interpreter::truth(const Expr* e, Frame& f) {
    Variant tmp;
    return truthOf(eval(e, f, tmp));
}

// A condition on a line of its own (ElseIf, Loop While): its errors belong to that line.
bool Interpreter::truthAt(const Expr* e, Frame& f, int line) {
    try {
        return truth(e, f);
    } catch (const AppError&) {
        if (errorLine_ == 0) errorLine_ = line;
        throw;
    }
}

Variant Interpreter::value(const Expr* e, Frame& f) {
    Variant tmp;
    const Variant& r = eval(e, f, tmp);
    if (&r == &tmp) return tmp;
    return r;
}

const Variant& Interpreter::eval(const Expr* e, Frame& f, Variant& tmp) {
    switch (e->kind) {
        case ExprKind::Literal:
            return static_cast<const LiteralExpr*>(e)->value;
        case ExprKind::Name:
            return evalName(*static_cast<const NameExpr*>(e), f, tmp);
        case ExprKind::Call:
            return evalCall(*static_cast<const CallExpr*>(e), f, tmp, CallKind::PropertyGet);
        case ExprKind::Member:
            tmp = callMember(*static_cast<const MemberExpr*>(e), nullptr, CallKind::PropertyGet, f);
            return tmp;
        case ExprKind::Unary: {
            const auto* u = static_cast<const UnaryExpr*>(e);
            Variant t;
            const Variant& v = eval(u->operand.get(), f, t);
            if (u->op == Op::Not) {
                if (v.type() == VarType::Boolean)
                    tmp = Variant(!v.boolValue());
                else
                    tmp = VbNot(v);
            } else {
                switch (v.type()) {
                    case VarType::Integer:
                        tmp = wholeResult(-v.intValue(), true);
                        break;
                    case VarType::Long:
                        tmp = Variant(-v.intValue());
                        break;
                    case VarType::Double:
                        tmp = Variant(-v.doubleValue());
                        break;
                    default:
                        tmp = VbNeg(v);
                }
            }
            return tmp;
        }
        case ExprKind::Binary:
            tmp = evalBinary(*static_cast<const BinaryExpr*>(e), f);
            return tmp;
    }
    return tmp;
}

// A value that needs no evaluation: a literal, a constant or a variable.
const Variant* Interpreter::direct(const Expr* e, Frame& f) {
    if (e->kind == ExprKind::Literal) return &static_cast<const LiteralExpr*>(e)->value;
    if (e->kind != ExprKind::Name) return nullptr;
    const auto* n = static_cast<const NameExpr*>(e);
    switch (n->resolved) {
        case NameKind::Local:
            return f.vars[n->index];
        case NameKind::Global:
            return &scope_.values[n->index];
        case NameKind::Constant:
            return &n->constant;
        default:
            return nullptr;
    }
}

Variant Interpreter::evalBinary(const BinaryExpr& b, Frame& f) {
    const Variant* l = direct(b.left.get(), f);
    const Variant* r = direct(b.right.get(), f);
    if (l && r) return applyBinary(b.op, *l, *r);
    Variant t1, t2;
    if (!l) l = &eval(b.left.get(), f, t1);
    if (!r) r = &eval(b.right.get(), f, t2);
    return applyBinary(b.op, *l, *r);
}

Variant Interpreter::applyBinary(Op op, const Variant& l, const Variant& r) {
    switch (op) {
        case Op::Add:
            return add(l, r);
        case Op::Sub:
            return subtract(l, r);
        case Op::Mul:
            return multiply(l, r);
        case Op::Div:
            return divide(l, r);
        case Op::IntDiv:
            return VbIntDiv(l, r);
        case Op::Mod:
            if (isWhole(l.type()) && isWhole(r.type())) {
                if (r.intValue() == 0) RaiseVbError(11);
                return wholeResult(l.intValue() % r.intValue(),
                                   l.type() == VarType::Integer && r.type() == VarType::Integer);
            }
            return VbMod(l, r);
        case Op::Pow:
            return VbPow(l, r);
        case Op::Concat: {
            if (l.isString() && r.isString())
                memory_.charge(2 * (static_cast<int64_t>(l.stringValue().size()) + r.stringValue().size()));
            Variant joined = concat(l, r);
            if (!l.isString() || !r.isString()) memory_.charge(joined);
            return joined;
        }
        case Op::Eq:
        case Op::Ne:
        case Op::Lt:
        case Op::Le:
        case Op::Gt:
        case Op::Ge:
            return comparison(op, l, r);
        case Op::Is: {
            if (!l.isObject() || !r.isObject()) raise(424);
            return Variant(l.objectValue() == r.objectValue());
        }
        case Op::And:
            if (l.type() == VarType::Boolean && r.type() == VarType::Boolean)
                return Variant(l.boolValue() && r.boolValue());
            return VbAnd(l, r);
        case Op::Or:
            if (l.type() == VarType::Boolean && r.type() == VarType::Boolean)
                return Variant(l.boolValue() || r.boolValue());
            return VbOr(l, r);
        case Op::Xor:
            return VbXor(l, r);
        case Op::Eqv:
            return VbEqv(l, r);
        case Op::Imp:
            return VbImp(l, r);
        default:
            break;
    }
    raise(51);
}

const Variant& Interpreter::evalName(const NameExpr& n, Frame& f, Variant& tmp) {
    switch (n.resolved) {
        case NameKind::Local:
            return *f.vars[n.index];
        case NameKind::Global:
            return scope_.values[n.index];
        case NameKind::Constant:
            return n.constant;
        case NameKind::Proc: {
            static const std::vector<ExprPtr> none;
            tmp = callProcedure(*n.proc, none, f);
            return tmp;
        }
        case NameKind::Builtin: {
            static const std::vector<ExprPtr> none;
            tmp = callBuiltin(*n.builtin, none, f);
            return tmp;
        }
        case NameKind::Intrinsic:
            tmp = callIntrinsic(n, nullptr, f);
            return tmp;
        case NameKind::Undefined:
            raise(500, n.name);
        case NameKind::Unresolved:
            break;
    }
    raise(51);
}

const Variant& Interpreter::evalCall(const CallExpr& c, Frame& f, Variant& tmp, CallKind kind) {
    const Expr* target = c.target.get();
    if (target->kind == ExprKind::Name) {
        const auto& n = *static_cast<const NameExpr*>(target);
        switch (n.resolved) {
            case NameKind::Proc:
                tmp = callProcedure(*n.proc, c.args, f);
                return tmp;
            case NameKind::Builtin:
                tmp = callBuiltin(*n.builtin, c.args, f);
                return tmp;
            case NameKind::Intrinsic:
                tmp = callIntrinsic(n, &c.args, f);
                return tmp;
            case NameKind::Local:
            case NameKind::Global: {
                const Variant& v = n.resolved == NameKind::Local ? *f.vars[n.index] : scope_.values[n.index];
                if (c.args.empty() && !v.isObject()) {
                    if (kind == CallKind::Method && !v.isArray() && !n.declared) raise(35, n.name);
                    return v;
                }
                if (v.isObject() && kind == CallKind::Method && c.args.empty()) {
                    ObjectRef obj = v.objectValue();
                    if (!obj) raise(91);
                    VariantList none;
                    tmp = obj->invokeDefault(CallKind::Method, none);
                    return tmp;
                }
                tmp = index(v, c.args, f, n.name, n.declared);
                return tmp;
            }
            case NameKind::Constant:
                if (c.args.empty()) return n.constant;
                raise(13, n.name);
            case NameKind::Undefined:
                raise(500, n.name);
            case NameKind::Unresolved:
                raise(51);
        }
    }
    if (target->kind == ExprKind::Member) {
        tmp = callMember(*static_cast<const MemberExpr*>(target), &c.args, kind, f);
        return tmp;
    }
    Variant t;
    const Variant& v = eval(target, f, t);
    if (c.args.empty()) {
        if (&v == &t) {
            tmp = std::move(t);
            return tmp;
        }
        return v;
    }
    tmp = index(v, c.args, f, QString(), true);
    return tmp;
}

std::vector<int32_t> Interpreter::indexes(const std::vector<ExprPtr>& args, Frame& f) {
    std::vector<int32_t> idx;
    idx.reserve(args.size());
    for (const ExprPtr& a : args) {
        if (!a) raise(9);
        Variant t;
        const Variant& v = eval(a.get(), f, t);
        idx.push_back(v.type() == VarType::Integer || v.type() == VarType::Long
                          ? static_cast<int32_t>(v.intValue())
                          : v.toLong());
    }
    return idx;
}

// target(args) where target is a value: an array element, or an object's default member.
Variant Interpreter::index(const Variant& target, const std::vector<ExprPtr>& args, Frame& f,
                           const QString& name, bool declared) {
    if (target.isArray()) {
        if (args.size() == 1 && args[0]) {
            Variant t;
            const Variant& v = eval(args[0].get(), f, t);
            const int32_t i = isWhole(v.type()) ? static_cast<int32_t>(v.intValue()) : v.toLong();
            // The index's evaluation may have replaced the array: read it again.
            if (!target.isArray()) raise(13);
            const Variant& element = target.arrayValue()->at1(i);
            chargeCopy(element);
            return element;
        }
        const std::vector<int32_t> idx = indexes(args, f);
        if (!target.isArray()) raise(13);
        const Variant& element = target.arrayValue()->at(idx);
        chargeCopy(element);
        return element;
    }
    if (target.isObject()) {
        ObjectRef obj = target.objectValue();
        if (!obj) raise(91);
        ArgList values(*this);
        evalArgs(args, f, *values);
        const MemberWatch watch = watchMember();
        Variant r = obj->invokeDefault(CallKind::PropertyGet, *values);
        memberReturned(watch);
        writeBack(args, f, *values);
        return r;
    }
    raise(declared ? 13 : 35, name);
}

void Interpreter::evalArgs(const std::vector<ExprPtr>& args, Frame& f, VariantList& out) {
    out.reserve(out.size() + args.size());
    for (const ExprPtr& a : args) {
        if (!a) {
            out.push_back(Variant::missing());
            continue;
        }
        if (const Variant* d = direct(a.get(), f)) {
            out.push_back(*d);
            continue;
        }
        Variant tmp;
        const Variant& v = eval(a.get(), f, tmp);
        if (&v == &tmp)
            out.push_back(std::move(tmp));
        else
            out.push_back(v);
    }
}

// Host members take their arguments by reference: what they leave in a plain variable goes back to it.
void Interpreter::writeBack(const std::vector<ExprPtr>& args, Frame& f, VariantList& values) {
    for (size_t i = 0; i < args.size() && i < values.size(); ++i) {
        const Expr* a = args[i].get();
        if (!a || a->paren || a->kind != ExprKind::Name) continue;
        const auto* n = static_cast<const NameExpr*>(a);
        if (n->resolved == NameKind::Local)
            *f.vars[n->index] = std::move(values[i]);
        else if (n->resolved == NameKind::Global)
            scope_.values[n->index] = std::move(values[i]);
    }
}

ObjectRef Interpreter::objectOf(const Expr* e, Frame& f) {
    Variant t;
    const Variant& v = eval(e, f, t);
    if (!v.isObject()) raise(424);
    if (!v.objectValue()) raise(91);
    return v.objectValue();
}

Variant Interpreter::callMember(const MemberExpr& m, const std::vector<ExprPtr>* args, CallKind kind,
                                Frame& f, Variant* assigned) {
    ObjectRef obj;
    if (m.object) {
        obj = objectOf(m.object.get(), f);
    } else {
        const Variant& w = *f.vars[m.withSlot];
        if (!w.isObject()) raise(424);
        if (!w.objectValue()) raise(91);
        obj = w.objectValue();
    }
    ArgList values(*this);
    if (args) evalArgs(*args, f, *values);
    const MemberWatch watch = watchMember();
    if (assigned) {
        values->push_back(std::move(*assigned));
        obj->invoke(m.name, kind, *values);
        memberReturned(watch);
        return Variant();
    }
    Variant r = obj->invoke(m.name, kind, *values);
    memberReturned(watch);
    if (args) writeBack(*args, f, *values);
    memory_.charge(r);
    return r;
}

Variant Interpreter::callProcedure(Procedure& proc, const std::vector<ExprPtr>& args, Frame& f) {
    const size_t argc = args.size();
    if (argc != proc.params.size()) raise(450, proc.name);
    Variant temps[8];
    std::vector<Variant> moreTemps;
    Variant* tempBase = temps;
    if (argc > 8) {
        moreTemps.resize(argc);
        tempBase = moreTemps.data();
    }
    Variant* refsInline[8];
    std::vector<Variant*> moreRefs;
    Variant** refs = refsInline;
    if (argc > 8) {
        moreRefs.resize(argc);
        refs = moreRefs.data();
    }
    // Array elements go by reference too: the callee works on a copy that is written back into the
    // element afterwards, so that a callee resizing the array cannot leave a dangling reference.
    struct ElementRef {
        Variant* array;
        std::vector<int32_t> index;
        size_t arg;
    };
    std::vector<ElementRef> elements;
    for (size_t i = 0; i < argc; ++i) {
        const Expr* a = args[i].get();
        if (!a) {
            tempBase[i] = Variant::missing();
            refs[i] = &tempBase[i];
            continue;
        }
        if (!a->paren && !proc.params[i].byVal) {
            if (a->kind == ExprKind::Name) {
                const auto* n = static_cast<const NameExpr*>(a);
                if (n->resolved == NameKind::Local) {
                    refs[i] = f.vars[n->index];
                    continue;
                }
                if (n->resolved == NameKind::Global) {
                    refs[i] = &scope_.values[n->index];
                    continue;
                }
            } else if (a->kind == ExprKind::Call) {
                const auto* c = static_cast<const CallExpr*>(a);
                const Expr* t = c->target.get();
                if (t->kind == ExprKind::Name && !c->args.empty()) {
                    const auto* n = static_cast<const NameExpr*>(t);
                    Variant* var = n->resolved == NameKind::Local    ? f.vars[n->index]
                                   : n->resolved == NameKind::Global ? &scope_.values[n->index]
                                                                     : nullptr;
                    if (var && var->isArray()) {
                        std::vector<int32_t> idx = indexes(c->args, f);
                        if (!var->isArray()) raise(13, n->name);
                        tempBase[i] = var->arrayValue()->at(idx);
                        refs[i] = &tempBase[i];
                        elements.push_back({var, std::move(idx), i});
                        continue;
                    }
                }
            }
        }
        tempBase[i] = value(a, f);
        refs[i] = &tempBase[i];
    }
    Variant result = invoke(proc, refs, argc);
    for (ElementRef& e : elements) {
        // The element may be gone: the callee may have erased or shrunk the array.
        if (!e.array->isArray()) continue;
        try {
            e.array->arrayValue()->at(e.index) = std::move(tempBase[e.arg]);
        } catch (const AppError&) {
        }
    }
    return result;
}

Variant Interpreter::callBuiltin(const BuiltinDef& def, const std::vector<ExprPtr>& args, Frame& f) {
    const int argc = static_cast<int>(args.size());
    if (argc < def.minArgs || (def.maxArgs >= 0 && argc > def.maxArgs))
        raise(450, QString::fromLatin1(def.name));
    ArgList values(*this);
    evalArgs(args, f, *values);
    if (&def == msgBox_ || &def == inputBox_) {
        if (clock_.overdue()) askToStop();
        const RunClock::Wait waiting(&clock_);
        return def.fn(ctx_, *values);
    }
    Variant r = def.fn(ctx_, *values);
    if (r.isString() && r.stringValue().size() > kMaxString) raise(14);
    memory_.charge(r);
    return r;
}

Variant Interpreter::callIntrinsic(const NameExpr& n, const std::vector<ExprPtr>* args, Frame& f) {
    const size_t argc = args ? args->size() : 0;
    switch (n.intrinsic) {
        case Intrinsic::Err:
            if (argc != 0) raise(450, n.name);
            return Variant(ObjectRef(err_));
        case Intrinsic::CreateObject:
        case Intrinsic::GetObject:
            // Scripts reach only the objects handed to them.
            raise(429, args && argc > 0 && (*args)[0] ? value((*args)[0].get(), f).toText() : QString());
        case Intrinsic::Eval:
        case Intrinsic::Execute:
        case Intrinsic::ExecuteGlobal:
        case Intrinsic::GetRef:
            throw AppError(kNotSupportedError, QString(), QStringLiteral("%1 non è supportato").arg(n.name));
        case Intrinsic::UBound:
        case Intrinsic::LBound: {
            if (argc < 1 || argc > 2 || !(*args)[0]) raise(450, n.name);
            Variant t;
            const Variant& a = eval((*args)[0].get(), f, t);
            if (!a.isArray()) raise(13, n.name);
            int dim = 1;
            if (argc == 2 && (*args)[1]) dim = value((*args)[1].get(), f).toLong();
            return Variant(n.intrinsic == Intrinsic::UBound ? a.arrayValue()->ubound(dim)
                                                            : a.arrayValue()->lbound(dim));
        }
        case Intrinsic::None:
            break;
    }
    raise(51);
}

}  // namespace vbs
