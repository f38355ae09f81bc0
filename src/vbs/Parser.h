// Parser: builds the syntax tree of one script text. Names stay unresolved; see Resolver.
#pragma once

#include <QString>

#include <vector>

#include "vbs/Ast.h"
#include "vbs/Token.h"

namespace vbs {

class Parser {
  public:
    // Raises CompileError with the line of the fault.
    static std::unique_ptr<Program> Parse(const QString& text);

  private:
    explicit Parser(std::vector<Token> tokens) : toks_(std::move(tokens)) {}

    const Token& peek(int ahead = 0) const;
    const Token& next();
    bool at(Tok k) const { return peek().kind == k; }
    bool atKw(Kw k, int ahead = 0) const {
        return peek(ahead).kind == Tok::Identifier && peek(ahead).kw == k;
    }
    bool acceptKw(Kw k);
    bool accept(Tok k);
    void expectKw(Kw k, int errorNumber);
    void expect(Tok k, int errorNumber);
    QString expectName();
    bool atSeparator() const;
    bool atStatementEnd() const;  // separator or, inside a one-line If, Else
    void endStatement();
    void skipSeparators();
    [[noreturn]] void fail(int number, const QString& detail = {}) const;

    void parseProgram(Program& program);
    std::unique_ptr<Procedure> parseProcedure(bool isFunction);
    Block parseBlock();
    bool atBlockEnd() const;
    StmtPtr parseStatement();
    StmtPtr parseIf(int line);
    StmtPtr parseFor(int line);
    StmtPtr parseDo(int line);
    StmtPtr parseWhile(int line);
    StmtPtr parseSelect(int line);
    StmtPtr parseWith(int line);
    StmtPtr parseDim(StmtKind kind, int line);
    StmtPtr parseConst(int line);
    StmtPtr parseExit(int line);
    StmtPtr parseOnError(int line);
    StmtPtr parseAssignOrCall(int line, bool isSet);
    void parseEndOf(Kw what, int errorNumber);

    ExprPtr parseExpr();
    ExprPtr parseBinary(int level);
    ExprPtr parseUnary();
    ExprPtr parsePower();
    ExprPtr parsePrimary();
    ExprPtr parsePostfix(ExprPtr e, size_t* lastParen);
    std::vector<ExprPtr> parseArgs(Tok close);  // after "(": up to and including close
    std::vector<ExprPtr> parseStatementArgs();  // arguments without parentheses
    std::unique_ptr<NameExpr> parseVarName();

    std::vector<Token> toks_;
    size_t pos_ = 0;
    int depth_ = 0;
    int singleLineIf_ = 0;  // inside a one-line If: Else ends a statement
    bool inProcedure_ = false;
    bool inFunction_ = false;
    int loopDo_ = 0, loopFor_ = 0;
};

}  // namespace vbs
