// Resolver: decides once, after parsing, where every name of a text lives, so that the interpreter
// reaches variables by slot and calls procedures and built-ins without looking names up.
#pragma once

#include <QHash>
#include <QString>

#include <vector>

#include "vbs/Ast.h"
#include "vbs/GlobalScope.h"

namespace vbs {

class Resolver {
  public:
    // Resolves every name of the program and then adds its constants and procedures to the scope.
    // Raises CompileError (a name defined twice, a constant that is not constant...).
    static void Resolve(Program& program, GlobalScope& scope);

  private:
    Resolver(Program& program, GlobalScope& scope) : program_(program), scope_(scope) {}

    void resolveProcedure(Procedure& proc, bool topLevel);
    void declareBlock(const Block& block);
    void declareLocal(const QString& name, int line);
    void foldConstants(const Block& block);
    Variant fold(const Expr* e);
    void resolveBlock(Block& block);
    void resolveStmt(Stmt& s);
    void resolveExpr(Expr* e, bool callTarget = false);
    void resolveName(NameExpr& n, bool callTarget);
    Procedure* findProcedure(const QString& lowerName) const;

    Program& program_;
    GlobalScope& scope_;
    QHash<QString, Procedure*> newProcedures_;
    QHash<QString, Variant> newConstants_;

    // The procedure being resolved.
    Procedure* proc_ = nullptr;
    bool topLevel_ = false;
    QHash<QString, int> locals_;
    QHash<QString, Variant> localConstants_;
    std::vector<int> withSlots_;
};

}  // namespace vbs
