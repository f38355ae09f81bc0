// Ast: the syntax tree of a script. The parser builds it; the resolver fills in where every name
// lives (frame slot, global slot, procedure, built-in), so the interpreter never looks names up.
#pragma once

#include <QString>

#include <algorithm>
#include <memory>
#include <vector>

#include "base/Variant.h"

namespace vbs {

struct BuiltinDef;
struct Procedure;

enum class ExprKind : uint8_t { Literal, Name, Call, Member, Unary, Binary };

// clang-format off
enum class Op : uint8_t {
    Neg, Not,  // unary
    Add, Sub, Mul, Div, IntDiv, Mod, Pow, Concat,
    Eq, Ne, Lt, Le, Gt, Ge, Is,
    And, Or, Xor, Eqv, Imp,
};
// clang-format on

// Language-level functions the interpreter answers itself.
enum class Intrinsic : uint8_t {
    None,
    Err,
    CreateObject,
    GetObject,
    Eval,
    Execute,
    ExecuteGlobal,
    GetRef,
    UBound,
    LBound
};

enum class NameKind : uint8_t {
    Unresolved,
    Local,     // slot of the current frame
    Global,    // slot of the script's globals
    Constant,  // folded value
    Proc,      // a script Function or Sub
    Builtin,
    Intrinsic,
    Undefined,  // Option Explicit and never declared: error 500 when reached
};

struct Expr {
    explicit Expr(ExprKind k, int ln) : kind(k), line(ln) {}
    virtual ~Expr() = default;
    ExprKind kind;
    bool paren = false;  // written between parentheses: passed by value
    int line;
    int height = 1;  // of the tree below: evaluation recurses this deep
};
using ExprPtr = std::unique_ptr<Expr>;

struct LiteralExpr : Expr {
    LiteralExpr(Variant v, int ln) : Expr(ExprKind::Literal, ln), value(std::move(v)) {}
    Variant value;
};

struct NameExpr : Expr {
    NameExpr(QString n, int ln) : Expr(ExprKind::Name, ln), name(std::move(n)) {}
    QString name;
    NameKind resolved = NameKind::Unresolved;
    int index = -1;  // Local / Global slot
    Procedure* proc = nullptr;
    const BuiltinDef* builtin = nullptr;
    Intrinsic intrinsic = Intrinsic::None;
    Variant constant;
    bool declared = false;  // a Dim'd, Const or parameter name (not an implicit variable)
};

// target(args): a procedure or built-in call, an array element, or a member call.
struct CallExpr : Expr {
    CallExpr(ExprPtr t, int ln) : Expr(ExprKind::Call, ln), target(std::move(t)) {}
    ExprPtr target;
    std::vector<ExprPtr> args;  // nullptr: omitted argument
};

// object.name; a null object means the innermost With block's object.
struct MemberExpr : Expr {
    MemberExpr(ExprPtr o, QString n, int ln)
        : Expr(ExprKind::Member, ln), object(std::move(o)), name(std::move(n)) {
        if (object) height = object->height + 1;
    }
    ExprPtr object;
    QString name;
    int withSlot = -1;  // frame slot of the With object when object is null
};

struct UnaryExpr : Expr {
    UnaryExpr(Op o, ExprPtr e, int ln) : Expr(ExprKind::Unary, ln), op(o), operand(std::move(e)) {
        height = operand->height + 1;
    }
    Op op;
    ExprPtr operand;
};

struct BinaryExpr : Expr {
    BinaryExpr(Op o, ExprPtr l, ExprPtr r, int ln)
        : Expr(ExprKind::Binary, ln), op(o), left(std::move(l)), right(std::move(r)) {
        height = std::max(left->height, right->height) + 1;
    }
    Op op;
    ExprPtr left, right;
};

enum class StmtKind : uint8_t {
    Assign,
    Call,
    If,
    For,
    ForEach,
    Do,
    Select,
    Exit,
    Dim,
    ReDim,
    Erase,
    OnError,
    With,
    Const,
};

struct Stmt {
    Stmt(StmtKind k, int ln) : kind(k), line(ln) {}
    virtual ~Stmt() = default;
    StmtKind kind;
    int line;
};
using StmtPtr = std::unique_ptr<Stmt>;
using Block = std::vector<StmtPtr>;

struct AssignStmt : Stmt {
    AssignStmt(int ln) : Stmt(StmtKind::Assign, ln) {}
    ExprPtr target;  // Name, Call (element or indexed property) or Member
    ExprPtr value;
    bool isSet = false;
};

struct CallStmt : Stmt {
    CallStmt(int ln) : Stmt(StmtKind::Call, ln) {}
    ExprPtr call;
};

struct IfStmt : Stmt {
    IfStmt(int ln) : Stmt(StmtKind::If, ln) {}
    std::vector<ExprPtr> conditions;
    std::vector<Block> blocks;  // one per condition
    Block elseBlock;
};

struct ForStmt : Stmt {
    ForStmt(int ln) : Stmt(StmtKind::For, ln) {}
    std::unique_ptr<NameExpr> var;
    ExprPtr from, to, step;  // step may be null
    Block body;
};

struct ForEachStmt : Stmt {
    ForEachStmt(int ln) : Stmt(StmtKind::ForEach, ln) {}
    std::unique_ptr<NameExpr> var;
    ExprPtr collection;
    Block body;
};

enum class LoopTest : uint8_t { None, PreWhile, PreUntil, PostWhile, PostUntil };

struct DoStmt : Stmt {
    DoStmt(int ln) : Stmt(StmtKind::Do, ln) {}
    LoopTest test = LoopTest::None;
    ExprPtr condition;
    Block body;
};

struct CaseItem {
    enum Kind : uint8_t { Value, Range, Compare } kind = Value;
    Op op = Op::Eq;  // Case Is <op> value
    ExprPtr first, second;
};

struct CaseClause {
    std::vector<CaseItem> items;
    Block body;
};

struct SelectStmt : Stmt {
    SelectStmt(int ln) : Stmt(StmtKind::Select, ln) {}
    ExprPtr subject;
    std::vector<CaseClause> cases;
    bool hasElse = false;
    Block elseBlock;
};

enum class ExitKind : uint8_t { Do, For, Function, Sub };

struct ExitStmt : Stmt {
    ExitStmt(ExitKind k, int ln) : Stmt(StmtKind::Exit, ln), what(k) {}
    ExitKind what;
};

struct DimItem {
    std::unique_ptr<NameExpr> var;
    bool isArray = false;
    std::vector<ExprPtr> bounds;  // upper bounds; empty for "Dim a()"
};

// Dim and ReDim share the shape.
struct DimStmt : Stmt {
    DimStmt(StmtKind k, int ln) : Stmt(k, ln) {}
    std::vector<DimItem> items;
    bool preserve = false;
};

struct EraseStmt : Stmt {
    EraseStmt(int ln) : Stmt(StmtKind::Erase, ln) {}
    std::vector<std::unique_ptr<NameExpr>> vars;
};

struct OnErrorStmt : Stmt {
    OnErrorStmt(bool r, int ln) : Stmt(StmtKind::OnError, ln), resumeNext(r) {}
    bool resumeNext;
};

struct WithStmt : Stmt {
    WithStmt(int ln) : Stmt(StmtKind::With, ln) {}
    ExprPtr object;
    int slot = -1;
    Block body;
};

struct ConstStmt : Stmt {
    ConstStmt(int ln) : Stmt(StmtKind::Const, ln) {}
    std::vector<std::pair<QString, ExprPtr>> items;
};

struct Param {
    QString name;
    bool byVal = false;
};

struct Procedure {
    QString name;  // empty for a text's top-level code
    bool isFunction = false;
    int line = 0;
    std::vector<Param> params;
    Block body;
    int slotCount = 0;  // frame slots: the result (functions), parameters, locals, hidden
};

// One AddCode text.
struct Program {
    std::vector<std::unique_ptr<Procedure>> procedures;
    std::unique_ptr<Procedure> topLevel;
    bool optionExplicit = false;
};

}  // namespace vbs
