// Resolver: name binding in the order VBScript looks names up: constants and variables of the
// procedure, script-level constants and variables, procedures, the language's own functions,
// built-ins, built-in constants; anything else is an implicit variable (or, under Option Explicit,
// an error when reached).
#include "vbs/Resolver.h"

#include "base/AppError.h"
#include "base/VariantOps.h"
#include "vbs/Builtins.h"
#include "vbs/CompileError.h"

namespace vbs {

namespace {

Intrinsic intrinsicOf(const QString& lowerName) {
    static const QHash<QString, Intrinsic> names = {
        {QStringLiteral("err"), Intrinsic::Err},
        {QStringLiteral("createobject"), Intrinsic::CreateObject},
        {QStringLiteral("getobject"), Intrinsic::GetObject},
        {QStringLiteral("eval"), Intrinsic::Eval},
        {QStringLiteral("execute"), Intrinsic::Execute},
        {QStringLiteral("executeglobal"), Intrinsic::ExecuteGlobal},
        {QStringLiteral("getref"), Intrinsic::GetRef},
        {QStringLiteral("ubound"), Intrinsic::UBound},
        {QStringLiteral("lbound"), Intrinsic::LBound},
    };
    return names.value(lowerName, Intrinsic::None);
}

}  // namespace

void Resolver::Resolve(Program& program, GlobalScope& scope) {
    Resolver r(program, scope);
    for (auto& proc : program.procedures) {
        const QString key = proc->name.toLower();
        if (r.newProcedures_.contains(key)) throw CompileError(1041, proc->line, proc->name);
        r.newProcedures_.insert(key, proc.get());
    }
    // Script-level constants first: procedures may use them whatever the order of the text.
    r.topLevel_ = true;
    r.foldConstants(program.topLevel->body);
    r.resolveProcedure(*program.topLevel, true);
    for (auto& proc : program.procedures)
        r.resolveProcedure(*proc, false);
    for (auto it = r.newConstants_.cbegin(); it != r.newConstants_.cend(); ++it)
        scope.constants.insert(it.key(), *it);
    for (auto it = r.newProcedures_.cbegin(); it != r.newProcedures_.cend(); ++it)
        scope.procedures.insert(it.key(), *it);
}

Procedure* Resolver::findProcedure(const QString& lowerName) const {
    if (Procedure* p = newProcedures_.value(lowerName, nullptr)) return p;
    return scope_.procedures.value(lowerName, nullptr);
}

void Resolver::resolveProcedure(Procedure& proc, bool topLevel) {
    proc_ = &proc;
    topLevel_ = topLevel;
    locals_.clear();
    localConstants_.clear();
    withSlots_.clear();
    proc.slotCount = 0;
    if (!topLevel) {
        if (proc.isFunction) locals_.insert(proc.name.toLower(), proc.slotCount++);
        for (const Param& p : proc.params) {
            const QString key = p.name.toLower();
            if (locals_.contains(key)) throw CompileError(1041, proc.line, p.name);
            locals_.insert(key, proc.slotCount++);
        }
        foldConstants(proc.body);
    }
    declareBlock(proc.body);
    resolveBlock(proc.body);
}

void Resolver::declareLocal(const QString& name, int line) {
    const QString key = name.toLower();
    if (topLevel_) {
        if (newConstants_.contains(key)) throw CompileError(1041, line, name);
        scope_.addVariable(key);
        return;
    }
    if (localConstants_.contains(key)) throw CompileError(1041, line, name);
    if (!locals_.contains(key)) locals_.insert(key, proc_->slotCount++);
}

// Dim and ReDim anywhere in the procedure declare for all of it, as in VBScript.
void Resolver::declareBlock(const Block& block) {
    for (const StmtPtr& sp : block) {
        Stmt& s = *sp;
        switch (s.kind) {
            case StmtKind::Dim:
                for (const DimItem& item : static_cast<DimStmt&>(s).items)
                    declareLocal(item.var->name, s.line);
                break;
            case StmtKind::ReDim:
                // ReDim declares only a name that is not a script-level variable already.
                for (const DimItem& item : static_cast<DimStmt&>(s).items)
                    if (topLevel_ || !scope_.varIndex.contains(item.var->name.toLower()))
                        declareLocal(item.var->name, s.line);
                break;
            case StmtKind::If: {
                auto& st = static_cast<IfStmt&>(s);
                for (const Block& b : st.blocks)
                    declareBlock(b);
                declareBlock(st.elseBlock);
                break;
            }
            case StmtKind::For:
                declareBlock(static_cast<ForStmt&>(s).body);
                break;
            case StmtKind::ForEach:
                declareBlock(static_cast<ForEachStmt&>(s).body);
                break;
            case StmtKind::Do:
                declareBlock(static_cast<DoStmt&>(s).body);
                break;
            case StmtKind::With:
                declareBlock(static_cast<WithStmt&>(s).body);
                break;
            case StmtKind::Select: {
                auto& st = static_cast<SelectStmt&>(s);
                for (const CaseClause& c : st.cases)
                    declareBlock(c.body);
                declareBlock(st.elseBlock);
                break;
            }
            default:
                break;
        }
    }
}

void Resolver::foldConstants(const Block& block) {
    for (const StmtPtr& sp : block) {
        Stmt& s = *sp;
        switch (s.kind) {
            case StmtKind::Const:
                for (auto& [name, expr] : static_cast<ConstStmt&>(s).items) {
                    const QString key = name.toLower();
                    auto& table = topLevel_ ? newConstants_ : localConstants_;
                    if (table.contains(key) || (!topLevel_ && locals_.contains(key)))
                        throw CompileError(1041, s.line, name);
                    table.insert(key, fold(expr.get()));
                }
                break;
            case StmtKind::If: {
                auto& st = static_cast<IfStmt&>(s);
                for (const Block& b : st.blocks)
                    foldConstants(b);
                foldConstants(st.elseBlock);
                break;
            }
            case StmtKind::For:
                foldConstants(static_cast<ForStmt&>(s).body);
                break;
            case StmtKind::ForEach:
                foldConstants(static_cast<ForEachStmt&>(s).body);
                break;
            case StmtKind::Do:
                foldConstants(static_cast<DoStmt&>(s).body);
                break;
            case StmtKind::With:
                foldConstants(static_cast<WithStmt&>(s).body);
                break;
            case StmtKind::Select: {
                auto& st = static_cast<SelectStmt&>(s);
                for (const CaseClause& c : st.cases)
                    foldConstants(c.body);
                foldConstants(st.elseBlock);
                break;
            }
            default:
                break;
        }
    }
}

// A constant's value: literals, other constants and operators on them.
Variant Resolver::fold(const Expr* e) {
    try {
        switch (e->kind) {
            case ExprKind::Literal:
                return static_cast<const LiteralExpr*>(e)->value;
            case ExprKind::Name: {
                const QString key = static_cast<const NameExpr*>(e)->name.toLower();
                if (localConstants_.contains(key)) return localConstants_.value(key);
                if (newConstants_.contains(key)) return newConstants_.value(key);
                if (scope_.constants.contains(key)) return scope_.constants.value(key);
                if (const Variant* c = FindBuiltinConstant(key)) return *c;
                break;
            }
            case ExprKind::Unary: {
                auto* u = static_cast<const UnaryExpr*>(e);
                const Variant v = fold(u->operand.get());
                return u->op == Op::Neg ? VbNeg(v) : VbNot(v);
            }
            case ExprKind::Binary: {
                auto* b = static_cast<const BinaryExpr*>(e);
                const Variant l = fold(b->left.get()), r = fold(b->right.get());
                switch (b->op) {
                    case Op::Add:
                        return VbAdd(l, r);
                    case Op::Sub:
                        return VbSub(l, r);
                    case Op::Mul:
                        return VbMul(l, r);
                    case Op::Div:
                        return VbDiv(l, r);
                    case Op::IntDiv:
                        return VbIntDiv(l, r);
                    case Op::Mod:
                        return VbMod(l, r);
                    case Op::Pow:
                        return VbPow(l, r);
                    case Op::Concat:
                        return VbConcat(l, r);
                    case Op::And:
                        return VbAnd(l, r);
                    case Op::Or:
                        return VbOr(l, r);
                    case Op::Xor:
                        return VbXor(l, r);
                    default:
                        break;
                }
                break;
            }
            default:
                break;
        }
    } catch (const CompileError&) {
        throw;
    } catch (const AppError&) {
        throw CompileError(1045, e->line);
    }
    throw CompileError(1045, e->line);
}

void Resolver::resolveBlock(Block& block) {
    for (StmtPtr& s : block)
        resolveStmt(*s);
}

void Resolver::resolveStmt(Stmt& s) {
    switch (s.kind) {
        case StmtKind::Assign: {
            auto& st = static_cast<AssignStmt&>(s);
            resolveExpr(st.target.get());
            resolveExpr(st.value.get());
            break;
        }
        case StmtKind::Call:
            resolveExpr(static_cast<CallStmt&>(s).call.get(), true);
            break;
        case StmtKind::If: {
            auto& st = static_cast<IfStmt&>(s);
            for (auto& c : st.conditions)
                resolveExpr(c.get());
            for (Block& b : st.blocks)
                resolveBlock(b);
            resolveBlock(st.elseBlock);
            break;
        }
        case StmtKind::For: {
            auto& st = static_cast<ForStmt&>(s);
            resolveName(*st.var, false);
            resolveExpr(st.from.get());
            resolveExpr(st.to.get());
            if (st.step) resolveExpr(st.step.get());
            resolveBlock(st.body);
            break;
        }
        case StmtKind::ForEach: {
            auto& st = static_cast<ForEachStmt&>(s);
            resolveName(*st.var, false);
            resolveExpr(st.collection.get());
            resolveBlock(st.body);
            break;
        }
        case StmtKind::Do: {
            auto& st = static_cast<DoStmt&>(s);
            if (st.condition) resolveExpr(st.condition.get());
            resolveBlock(st.body);
            break;
        }
        case StmtKind::Select: {
            auto& st = static_cast<SelectStmt&>(s);
            resolveExpr(st.subject.get());
            for (CaseClause& c : st.cases) {
                for (CaseItem& item : c.items) {
                    resolveExpr(item.first.get());
                    if (item.second) resolveExpr(item.second.get());
                }
                resolveBlock(c.body);
            }
            resolveBlock(st.elseBlock);
            break;
        }
        case StmtKind::Dim:
        case StmtKind::ReDim: {
            auto& st = static_cast<DimStmt&>(s);
            for (DimItem& item : st.items) {
                resolveName(*item.var, false);
                for (auto& b : item.bounds)
                    resolveExpr(b.get());
            }
            break;
        }
        case StmtKind::Erase:
            for (auto& v : static_cast<EraseStmt&>(s).vars)
                resolveName(*v, false);
            break;
        case StmtKind::With: {
            auto& st = static_cast<WithStmt&>(s);
            resolveExpr(st.object.get());
            st.slot = proc_->slotCount++;
            withSlots_.push_back(st.slot);
            resolveBlock(st.body);
            withSlots_.pop_back();
            break;
        }
        case StmtKind::Exit:
        case StmtKind::OnError:
        case StmtKind::Const:
            break;
    }
}

void Resolver::resolveExpr(Expr* e, bool callTarget) {
    switch (e->kind) {
        case ExprKind::Literal:
            break;
        case ExprKind::Name:
            resolveName(*static_cast<NameExpr*>(e), callTarget);
            break;
        case ExprKind::Call: {
            auto* c = static_cast<CallExpr*>(e);
            resolveExpr(c->target.get(), true);
            for (auto& a : c->args)
                if (a) resolveExpr(a.get());
            break;
        }
        case ExprKind::Member: {
            auto* m = static_cast<MemberExpr*>(e);
            if (m->object) {
                resolveExpr(m->object.get());
            } else {
                if (withSlots_.empty())
                    throw CompileError(1002, e->line, QStringLiteral("'.' fuori da un blocco With"));
                m->withSlot = withSlots_.back();
            }
            break;
        }
        case ExprKind::Unary:
            resolveExpr(static_cast<UnaryExpr*>(e)->operand.get());
            break;
        case ExprKind::Binary: {
            auto* b = static_cast<BinaryExpr*>(e);
            resolveExpr(b->left.get());
            resolveExpr(b->right.get());
            break;
        }
    }
}

void Resolver::resolveName(NameExpr& n, bool callTarget) {
    const QString key = n.name.toLower();
    if (!topLevel_) {
        if (callTarget && proc_->isFunction && key == proc_->name.toLower()) {
            n.resolved = NameKind::Proc;
            n.proc = proc_;
            return;
        }
        const auto c = localConstants_.constFind(key);
        if (c != localConstants_.constEnd()) {
            n.resolved = NameKind::Constant;
            n.constant = *c;
            return;
        }
        const auto l = locals_.constFind(key);
        if (l != locals_.constEnd()) {
            n.resolved = NameKind::Local;
            n.index = *l;
            n.declared = true;
            return;
        }
    }
    if (newConstants_.contains(key) || scope_.constants.contains(key)) {
        n.resolved = NameKind::Constant;
        n.constant = newConstants_.contains(key) ? newConstants_.value(key) : scope_.constants.value(key);
        return;
    }
    const auto g = scope_.varIndex.constFind(key);
    if (g != scope_.varIndex.constEnd()) {
        n.resolved = NameKind::Global;
        n.index = *g;
        n.declared = true;
        return;
    }
    if (Procedure* p = findProcedure(key)) {
        n.resolved = NameKind::Proc;
        n.proc = p;
        return;
    }
    const Intrinsic in = intrinsicOf(key);
    if (in != Intrinsic::None) {
        n.resolved = NameKind::Intrinsic;
        n.intrinsic = in;
        return;
    }
    if (const BuiltinDef* b = FindBuiltin(key)) {
        n.resolved = NameKind::Builtin;
        n.builtin = b;
        return;
    }
    if (const Variant* c = FindBuiltinConstant(key)) {
        n.resolved = NameKind::Constant;
        n.constant = *c;
        return;
    }
    if (program_.optionExplicit) {
        n.resolved = NameKind::Undefined;
        return;
    }
    // An implicit variable: script-level at the top, local in a procedure.
    if (topLevel_) {
        n.resolved = NameKind::Global;
        n.index = scope_.addVariable(key);
    } else {
        n.resolved = NameKind::Local;
        n.index = proc_->slotCount++;
        locals_.insert(key, n.index);
    }
}

}  // namespace vbs
