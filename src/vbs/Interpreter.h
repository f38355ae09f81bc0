// Interpreter: runs resolved syntax trees. Variables are frame or global slots; by-reference
// arguments are pointers to the caller's variables.
#pragma once

#include <memory>

#include "base/AppError.h"
#include "vbs/Ast.h"
#include "vbs/Builtins.h"
#include "vbs/ErrObject.h"
#include "vbs/GlobalScope.h"
#include "vbs/MemoryMeter.h"
#include "vbs/RunClock.h"

namespace vbs {

class Interpreter {
  public:
    explicit Interpreter(GlobalScope& scope);

    void setContext(const BuiltinContext& ctx) {
        ctx_ = ctx;
        ctx_.memory = &memory_;
    }
    // What a run may hold, in bytes (texts and arrays); 0 or less: no limit.
    void setMemoryLimit(int64_t bytes) { memory_.setLimit(bytes); }
    int64_t memoryLimit() const { return memory_.limit(); }
    // No deadline when limitMs <= 0.
    void startClock(int limitMs);
    RunClock& clock() { return clock_; }

    // Errors leave as AppError (or ScriptAbort); errorLine() tells the line of the failing statement.
    void runTopLevel(Procedure& top);
    Variant call(Procedure& proc, VariantList& args);
    int errorLine() const { return errorLine_; }
    // A nested call from a host member failed: the member decides what happens next, and an error it
    // raises belongs to the line that called it.
    void forgetErrorLine() { errorLine_ = 0; }

  private:
    struct Frame {
        Variant** vars = nullptr;
        bool resumeNext = false;
    };
    enum class Flow { Normal, ExitDo, ExitFor, ExitProc };

    Variant invoke(Procedure& proc, Variant* const* args, size_t argc);
    Flow execBlock(const Block& block, Frame& f);
    Flow execStmt(const Stmt& s, Frame& f);
    void execAssign(const AssignStmt& s, Frame& f);
    void execCall(const Expr* e, Frame& f);
    Flow execFor(const ForStmt& s, Frame& f);
    Flow execForEach(const ForEachStmt& s, Frame& f);
    Flow execDo(const DoStmt& s, Frame& f);
    Flow execSelect(const SelectStmt& s, Frame& f);
    void execDim(const DimStmt& s, Frame& f);

    const Variant& eval(const Expr* e, Frame& f, Variant& tmp);
    Variant value(const Expr* e, Frame& f);
    bool truth(const Expr* e, Frame& f);
    bool truthAt(const Expr* e, Frame& f, int line);
    const Variant& evalName(const NameExpr& n, Frame& f, Variant& tmp);
    const Variant& evalCall(const CallExpr& c, Frame& f, Variant& tmp, CallKind kind);
    Variant evalBinary(const BinaryExpr& b, Frame& f);
    Variant applyBinary(Op op, const Variant& l, const Variant& r);
    const Variant* direct(const Expr* e, Frame& f);
    Variant callProcedure(Procedure& proc, const std::vector<ExprPtr>& args, Frame& f);
    Variant callBuiltin(const BuiltinDef& def, const std::vector<ExprPtr>& args, Frame& f);
    Variant callIntrinsic(const NameExpr& n, const std::vector<ExprPtr>* args, Frame& f);
    Variant callMember(const MemberExpr& m, const std::vector<ExprPtr>* args, CallKind kind, Frame& f,
                       Variant* assigned = nullptr);
    Variant index(const Variant& target, const std::vector<ExprPtr>& args, Frame& f, const QString& name,
                  bool declared);
    ObjectRef objectOf(const Expr* e, Frame& f);
    void evalArgs(const std::vector<ExprPtr>& args, Frame& f, VariantList& out);
    void writeBack(const std::vector<ExprPtr>& args, Frame& f, VariantList& values);
    Variant* variable(const NameExpr& n, Frame& f);
    std::vector<int32_t> indexes(const std::vector<ExprPtr>& args, Frame& f);
    Variant makeArray(const std::vector<ExprPtr>& bounds, Frame& f);
    Variant assignable(Variant v, bool isSet);

    // Argument lists are borrowed from a pool so that calls do not allocate.
    class ArgList {
      public:
        explicit ArgList(Interpreter& in);
        ~ArgList();
        ArgList(const ArgList&) = delete;
        ArgList& operator=(const ArgList&) = delete;
        VariantList& operator*() { return list_; }
        VariantList* operator->() { return &list_; }

      private:
        Interpreter& in_;
        VariantList list_;
    };

    void tick() {
        if (++ticks_ >= 2048) checkClock();
    }
    void checkClock();
    struct MemberWatch {
        unsigned waits;
        bool overdue;
    };
    MemberWatch watchMember() const;
    void memberReturned(const MemberWatch& before);
    void askToStop();
    void noteStackFloor();
    // Every value the run holds: script-level variables, the frames of the calls under way and the
    // arrays For Each walks.
    void measureHeld(MemoryMeter::Tally& tally) const;
    // A value about to be copied into a variable: an array is a value of its own, and so is its copy.
    void chargeCopy(const Variant& v) {
        if (v.isArray()) memory_.charge(v);
    }

    GlobalScope& scope_;
    MemoryMeter memory_;
    std::vector<std::pair<const Variant*, size_t>> heldFrames_;  // the frames' slots
    std::vector<const Variant*> heldCopies_;                     // arrays For Each walks
    BuiltinContext ctx_;
    std::vector<VariantList> argPool_;
    const BuiltinDef* msgBox_ = nullptr;  // time spent waiting for the user does not count
    const BuiltinDef* inputBox_ = nullptr;
    std::shared_ptr<ErrObject> err_;
    int errorLine_ = 0;
    int depth_ = 0;
    unsigned ticks_ = 0;
    const char* stackFloor_ = nullptr;  // calls below this address raise 28 (out of stack space)
    RunClock clock_;
};

}  // namespace vbs
