// Parser: recursive descent over the tokens, VBScript's statement forms and operator precedence.
#include "vbs/Parser.h"

#include "vbs/CompileError.h"
#include "vbs/Lexer.h"

namespace vbs {

namespace {

constexpr int kMaxDepth = 150;    // nesting of expressions and blocks
constexpr int kMaxHeight = 1000;  // of one expression tree, long operator chains included

ExprPtr checked(ExprPtr e) {
    if (e->height > kMaxHeight) throw CompileError(1053, e->line);
    return e;
}

struct DepthGuard {
    int& depth;
    explicit DepthGuard(int& d, int line) : depth(d) {
        if (++depth > kMaxDepth) {
            --depth;
            throw CompileError(1053, line);
        }
    }
    ~DepthGuard() { --depth; }
};

}  // namespace

std::unique_ptr<Program> Parser::Parse(const QString& text) {
    Parser p(Lexer::Tokenize(text));
    auto program = std::make_unique<Program>();
    p.parseProgram(*program);
    return program;
}

const Token& Parser::peek(int ahead) const {
    const size_t i = std::min(pos_ + ahead, toks_.size() - 1);
    return toks_[i];
}

const Token& Parser::next() {
    const Token& t = toks_[pos_];
    if (pos_ + 1 < toks_.size()) ++pos_;
    return t;
}

bool Parser::accept(Tok k) {
    if (!at(k)) return false;
    next();
    return true;
}

bool Parser::acceptKw(Kw k) {
    if (!atKw(k)) return false;
    next();
    return true;
}

void Parser::expect(Tok k, int errorNumber) {
    if (!accept(k)) fail(errorNumber);
}

void Parser::expectKw(Kw k, int errorNumber) {
    if (!acceptKw(k)) fail(errorNumber);
}

void Parser::fail(int number, const QString& detail) const {
    throw CompileError(number, peek().line, detail);
}

// Names: identifiers that are not keywords, or the few keywords VBScript lets through as names.
QString Parser::expectName() {
    const Token& t = peek();
    if (t.kind != Tok::Identifier) fail(1010);
    switch (t.kw) {
        case Kw::None:
        case Kw::Error:
        case Kw::Explicit:
        case Kw::Step:
        case Kw::Preserve:
        case Kw::Get:
        case Kw::Property:
        case Kw::Resume:
        case Kw::Default:
            break;
        default:
            fail(1010);
    }
    return next().text;
}

bool Parser::atSeparator() const {
    return at(Tok::Newline) || at(Tok::Colon) || at(Tok::End);
}

bool Parser::atStatementEnd() const {
    return atSeparator() || (singleLineIf_ > 0 && atKw(Kw::Else));
}

void Parser::endStatement() {
    if (!atStatementEnd()) fail(1025);
}

void Parser::skipSeparators() {
    while (at(Tok::Newline) || at(Tok::Colon))
        next();
}

void Parser::parseProgram(Program& program) {
    auto top = std::make_unique<Procedure>();
    skipSeparators();
    while (!at(Tok::End)) {
        const int line = peek().line;
        if (atKw(Kw::Option)) {
            next();
            expectKw(Kw::Explicit, 1002);
            program.optionExplicit = true;
        } else if (atKw(Kw::Class)) {
            fail(1002, QStringLiteral("Class non è supportato"));
        } else {
            size_t save = pos_;
            bool visibility = acceptKw(Kw::Public) || acceptKw(Kw::Private);
            if (visibility) acceptKw(Kw::Default);
            if (atKw(Kw::Function) || atKw(Kw::Sub)) {
                const bool isFunction = next().kw == Kw::Function;
                auto proc = parseProcedure(isFunction);
                proc->line = line;
                program.procedures.push_back(std::move(proc));
            } else if (atKw(Kw::Property)) {
                fail(1002, QStringLiteral("Property è ammesso solo in una Class, non supportata"));
            } else if (visibility && !atKw(Kw::Const)) {
                // "Public x, y" declares script-level variables.
                pos_ = save;
                next();
                top->body.push_back(parseDim(StmtKind::Dim, line));
            } else {
                top->body.push_back(parseStatement());
            }
        }
        endStatement();
        skipSeparators();
    }
    program.topLevel = std::move(top);
}

std::unique_ptr<Procedure> Parser::parseProcedure(bool isFunction) {
    auto proc = std::make_unique<Procedure>();
    proc->isFunction = isFunction;
    proc->name = expectName();
    if (accept(Tok::LParen)) {
        if (!at(Tok::RParen)) {
            do {
                Param p;
                if (acceptKw(Kw::ByVal))
                    p.byVal = true;
                else
                    acceptKw(Kw::ByRef);
                p.name = expectName();
                if (accept(Tok::LParen)) expect(Tok::RParen, 1006);
                for (const Param& other : proc->params)
                    if (other.name.compare(p.name, Qt::CaseInsensitive) == 0) fail(1041, p.name);
                proc->params.push_back(std::move(p));
            } while (accept(Tok::Comma));
        }
        expect(Tok::RParen, 1006);
    }
    if (!atSeparator()) fail(1025);
    inProcedure_ = true;
    inFunction_ = isFunction;
    loopDo_ = loopFor_ = 0;
    proc->body = parseBlock();
    inProcedure_ = false;
    expectKw(Kw::End, isFunction ? 1015 : 1016);
    expectKw(isFunction ? Kw::Function : Kw::Sub, isFunction ? 1015 : 1016);
    return proc;
}

bool Parser::atBlockEnd() const {
    if (at(Tok::End)) return true;
    const Token& t = peek();
    if (t.kind != Tok::Identifier) return false;
    switch (t.kw) {
        case Kw::End:
        case Kw::Else:
        case Kw::ElseIf:
        case Kw::Loop:
        case Kw::Next:
        case Kw::Wend:
        case Kw::Case:
            return true;
        default:
            return false;
    }
}

Block Parser::parseBlock() {
    DepthGuard guard(depth_, peek().line);
    Block block;
    skipSeparators();
    while (!atBlockEnd()) {
        if (atKw(Kw::Function) || atKw(Kw::Sub) || atKw(Kw::Class) || atKw(Kw::Option)) fail(1024);
        block.push_back(parseStatement());
        endStatement();
        skipSeparators();
    }
    return block;
}

StmtPtr Parser::parseStatement() {
    const int line = peek().line;
    const Token& t = peek();
    if (t.kind == Tok::Dot) return parseAssignOrCall(line, false);
    if (t.kind != Tok::Identifier) fail(1024);
    switch (t.kw) {
        case Kw::Dim:
            next();
            return parseDim(StmtKind::Dim, line);
        case Kw::Public:
        case Kw::Private:
            if (inProcedure_) fail(1024);
            next();
            if (atKw(Kw::Const)) {
                next();
                return parseConst(line);
            }
            return parseDim(StmtKind::Dim, line);
        case Kw::ReDim:
            next();
            return parseDim(StmtKind::ReDim, line);
        case Kw::Const:
            next();
            return parseConst(line);
        case Kw::Erase: {
            next();
            auto s = std::make_unique<EraseStmt>(line);
            do
                s->vars.push_back(parseVarName());
            while (accept(Tok::Comma));
            return s;
        }
        case Kw::If:
            next();
            return parseIf(line);
        case Kw::For:
            next();
            return parseFor(line);
        case Kw::Do:
            next();
            return parseDo(line);
        case Kw::While:
            next();
            return parseWhile(line);
        case Kw::Select:
            next();
            return parseSelect(line);
        case Kw::With:
            next();
            return parseWith(line);
        case Kw::Exit:
            next();
            return parseExit(line);
        case Kw::On:
            next();
            return parseOnError(line);
        case Kw::Set:
            next();
            return parseAssignOrCall(line, true);
        case Kw::Let:
            next();
            return parseAssignOrCall(line, false);
        case Kw::Call: {
            next();
            auto s = std::make_unique<CallStmt>(line);
            size_t lastParen = 0;
            ExprPtr target;
            if (at(Tok::Dot)) {
                next();
                target = std::make_unique<MemberExpr>(
                    nullptr,
                    [&] {
                        if (!at(Tok::Identifier)) fail(1010);
                        return next().text;
                    }(),
                    line);
            } else {
                target = std::make_unique<NameExpr>(expectName(), line);
            }
            s->call = parsePostfix(std::move(target), &lastParen);
            return s;
        }
        case Kw::Stop: {
            next();  // a breakpoint for a debugger: nothing here
            auto s = std::make_unique<IfStmt>(line);
            return s;
        }
        case Kw::Class:
            fail(1002, QStringLiteral("Class non è supportato"));
        case Kw::None:
        case Kw::Error:
        case Kw::Explicit:
        case Kw::Step:
        case Kw::Preserve:
        case Kw::Get:
        case Kw::Property:
        case Kw::Resume:
        case Kw::Default:
            return parseAssignOrCall(line, false);
        default:
            fail(1024);
    }
}

void Parser::parseEndOf(Kw what, int errorNumber) {
    expectKw(Kw::End, errorNumber);
    expectKw(what, errorNumber);
}

StmtPtr Parser::parseIf(int line) {
    auto s = std::make_unique<IfStmt>(line);
    s->conditions.push_back(parseExpr());
    expectKw(Kw::Then, 1017);
    if (at(Tok::Newline) || at(Tok::Colon)) {
        s->blocks.push_back(parseBlock());
        for (;;) {
            if (atKw(Kw::ElseIf)) {
                next();
                s->conditions.push_back(parseExpr());
                expectKw(Kw::Then, 1017);
                s->blocks.push_back(parseBlock());
            } else if (atKw(Kw::Else)) {
                next();
                s->elseBlock = parseBlock();  // "Else If ..." opens an If of its own inside the Else
                parseEndOf(Kw::If, 1014);
                break;
            } else {
                parseEndOf(Kw::If, 1014);
                break;
            }
        }
        return s;
    }
    // One-line If: statements separated by ":" up to the line end, with an optional Else part.
    DepthGuard guard(depth_, line);
    ++singleLineIf_;
    auto parseLine = [&](Block& block) {
        for (;;) {
            block.push_back(parseStatement());
            if (accept(Tok::Colon)) {
                if (at(Tok::Newline) || at(Tok::End) || atKw(Kw::Else)) break;
                continue;
            }
            break;
        }
    };
    s->blocks.emplace_back();
    parseLine(s->blocks.back());
    if (acceptKw(Kw::Else)) {
        --singleLineIf_;
        parseLine(s->elseBlock);
        ++singleLineIf_;
    }
    --singleLineIf_;
    if (acceptKw(Kw::End)) expectKw(Kw::If, 1012);  // tolerated: "If a Then b End If"
    if (singleLineIf_ == 0 && !(at(Tok::Newline) || at(Tok::End) || at(Tok::Colon))) fail(1025);
    return s;
}

std::unique_ptr<NameExpr> Parser::parseVarName() {
    const int line = peek().line;
    return std::make_unique<NameExpr>(expectName(), line);
}

StmtPtr Parser::parseFor(int line) {
    ++loopFor_;
    StmtPtr result;
    if (acceptKw(Kw::Each)) {
        auto s = std::make_unique<ForEachStmt>(line);
        s->var = parseVarName();
        expectKw(Kw::In, 1046);
        s->collection = parseExpr();
        s->body = parseBlock();
        expectKw(Kw::Next, 1020);
        if (at(Tok::Identifier) && peek().kw == Kw::None) next();
        result = std::move(s);
    } else {
        auto s = std::make_unique<ForStmt>(line);
        s->var = parseVarName();
        expect(Tok::Eq, 1011);
        s->from = parseExpr();
        expectKw(Kw::To, 1013);
        s->to = parseExpr();
        if (acceptKw(Kw::Step)) s->step = parseExpr();
        s->body = parseBlock();
        expectKw(Kw::Next, 1020);
        if (at(Tok::Identifier) && peek().kw == Kw::None) next();
        result = std::move(s);
    }
    --loopFor_;
    return result;
}

StmtPtr Parser::parseDo(int line) {
    auto s = std::make_unique<DoStmt>(line);
    if (acceptKw(Kw::While)) {
        s->test = LoopTest::PreWhile;
        s->condition = parseExpr();
    } else if (acceptKw(Kw::Until)) {
        s->test = LoopTest::PreUntil;
        s->condition = parseExpr();
    }
    ++loopDo_;
    s->body = parseBlock();
    --loopDo_;
    expectKw(Kw::Loop, 1019);
    if (s->test == LoopTest::None) {
        if (acceptKw(Kw::While)) {
            s->test = LoopTest::PostWhile;
            s->condition = parseExpr();
        } else if (acceptKw(Kw::Until)) {
            s->test = LoopTest::PostUntil;
            s->condition = parseExpr();
        }
    }
    return s;
}

StmtPtr Parser::parseWhile(int line) {
    auto s = std::make_unique<DoStmt>(line);
    s->test = LoopTest::PreWhile;
    s->condition = parseExpr();
    // While/Wend cannot be left with Exit Do: the loop counter stays as it is.
    const int saveDo = loopDo_;
    loopDo_ = 0;
    s->body = parseBlock();
    loopDo_ = saveDo;
    expectKw(Kw::Wend, 1018);
    return s;
}

StmtPtr Parser::parseSelect(int line) {
    expectKw(Kw::Case, 1021);
    auto s = std::make_unique<SelectStmt>(line);
    s->subject = parseExpr();
    if (!atSeparator()) fail(1025);
    skipSeparators();
    while (acceptKw(Kw::Case)) {
        if (acceptKw(Kw::Else)) {
            s->hasElse = true;
            s->elseBlock = parseBlock();
            break;
        }
        CaseClause clause;
        do {
            CaseItem item;
            if (acceptKw(Kw::Is)) {
                item.kind = CaseItem::Compare;
                switch (next().kind) {
                    case Tok::Eq:
                        item.op = Op::Eq;
                        break;
                    case Tok::Ne:
                        item.op = Op::Ne;
                        break;
                    case Tok::Lt:
                        item.op = Op::Lt;
                        break;
                    case Tok::Le:
                        item.op = Op::Le;
                        break;
                    case Tok::Gt:
                        item.op = Op::Gt;
                        break;
                    case Tok::Ge:
                        item.op = Op::Ge;
                        break;
                    default:
                        fail(1002);
                }
                item.first = parseExpr();
            } else {
                item.first = parseExpr();
                if (acceptKw(Kw::To)) {
                    item.kind = CaseItem::Range;
                    item.second = parseExpr();
                }
            }
            clause.items.push_back(std::move(item));
        } while (accept(Tok::Comma));
        clause.body = parseBlock();
        s->cases.push_back(std::move(clause));
    }
    parseEndOf(Kw::Select, 1022);
    return s;
}

StmtPtr Parser::parseWith(int line) {
    auto s = std::make_unique<WithStmt>(line);
    s->object = parseExpr();
    s->body = parseBlock();
    parseEndOf(Kw::With, 1029);
    return s;
}

StmtPtr Parser::parseDim(StmtKind kind, int line) {
    auto s = std::make_unique<DimStmt>(kind, line);
    if (kind == StmtKind::ReDim && acceptKw(Kw::Preserve)) s->preserve = true;
    do {
        DimItem item;
        item.var = parseVarName();
        if (accept(Tok::LParen)) {
            item.isArray = true;
            if (!at(Tok::RParen)) {
                do
                    item.bounds.push_back(parseExpr());
                while (accept(Tok::Comma));
            }
            expect(Tok::RParen, 1006);
            if (item.bounds.size() > 60) fail(1002);
        }
        if (kind == StmtKind::ReDim && item.bounds.empty()) fail(1005);
        s->items.push_back(std::move(item));
    } while (accept(Tok::Comma));
    return s;
}

StmtPtr Parser::parseConst(int line) {
    auto s = std::make_unique<ConstStmt>(line);
    do {
        QString name = expectName();
        expect(Tok::Eq, 1011);
        s->items.emplace_back(std::move(name), parseExpr());
    } while (accept(Tok::Comma));
    return s;
}

StmtPtr Parser::parseExit(int line) {
    const Token& t = next();
    switch (t.kw) {
        case Kw::Do:
            if (loopDo_ == 0) fail(1039);
            return std::make_unique<ExitStmt>(ExitKind::Do, line);
        case Kw::For:
            if (loopFor_ == 0) fail(1039);
            return std::make_unique<ExitStmt>(ExitKind::For, line);
        case Kw::Function:
            if (!inProcedure_ || !inFunction_) fail(1039);
            return std::make_unique<ExitStmt>(ExitKind::Function, line);
        case Kw::Sub:
            if (!inProcedure_ || inFunction_) fail(1039);
            return std::make_unique<ExitStmt>(ExitKind::Sub, line);
        default:
            throw CompileError(1039, line);
    }
}

StmtPtr Parser::parseOnError(int line) {
    expectKw(Kw::Error, 1002);
    if (acceptKw(Kw::Resume)) {
        expectKw(Kw::Next, 1002);
        return std::make_unique<OnErrorStmt>(true, line);
    }
    expectKw(Kw::GoTo, 1002);
    if (!at(Tok::Number) || peek().value.toDouble() != 0) fail(1002, QStringLiteral("solo On Error GoTo 0"));
    next();
    return std::make_unique<OnErrorStmt>(false, line);
}

StmtPtr Parser::parseAssignOrCall(int line, bool isSet) {
    ExprPtr head;
    if (accept(Tok::Dot)) {
        if (!at(Tok::Identifier)) fail(1010);
        head = std::make_unique<MemberExpr>(nullptr, next().text, line);
    } else {
        head = std::make_unique<NameExpr>(expectName(), line);
    }
    size_t lastParen = 0;
    ExprPtr chain = parsePostfix(std::move(head), &lastParen);
    if (accept(Tok::Eq)) {
        auto s = std::make_unique<AssignStmt>(line);
        s->target = std::move(chain);
        s->value = parseExpr();
        s->isSet = isSet;
        return s;
    }
    if (isSet) fail(1011);
    auto s = std::make_unique<CallStmt>(line);
    if (atStatementEnd()) {
        // "Foo(a)" alone: the parentheses belong to the argument, which goes by value.
        if (chain->kind == ExprKind::Call && lastParen != 0) {
            auto* call = static_cast<CallExpr*>(chain.get());
            if (call->args.size() == 1 && call->args[0]) call->args[0]->paren = true;
        }
        if (chain->kind != ExprKind::Call) {
            auto call = std::make_unique<CallExpr>(std::move(chain), line);
            chain = std::move(call);
        }
        s->call = std::move(chain);
        return s;
    }
    // Arguments without parentheses. When the chain ended in "(...)", that group was the start of
    // the first argument ("Foo (a + 1) * 2, b"): read again from there.
    if (lastParen != 0) {
        auto* call = static_cast<CallExpr*>(chain.get());
        ExprPtr target = std::move(call->target);
        pos_ = lastParen;
        auto stmtCall = std::make_unique<CallExpr>(std::move(target), line);
        stmtCall->args = parseStatementArgs();
        s->call = std::move(stmtCall);
        return s;
    }
    auto stmtCall = std::make_unique<CallExpr>(std::move(chain), line);
    stmtCall->args = parseStatementArgs();
    s->call = std::move(stmtCall);
    return s;
}

std::vector<ExprPtr> Parser::parseStatementArgs() {
    std::vector<ExprPtr> args;
    for (;;) {
        if (at(Tok::Comma)) {
            args.push_back(nullptr);
            next();
            if (atStatementEnd()) args.push_back(nullptr);
            continue;
        }
        args.push_back(parseExpr());
        if (!accept(Tok::Comma)) break;
        if (atStatementEnd()) args.push_back(nullptr);
    }
    return args;
}

std::vector<ExprPtr> Parser::parseArgs(Tok close) {
    std::vector<ExprPtr> args;
    if (accept(close)) return args;
    for (;;) {
        if (at(Tok::Comma)) {
            args.push_back(nullptr);
        } else if (at(close)) {
            args.push_back(nullptr);  // "f(a, )"
            next();
            return args;
        } else {
            args.push_back(parseExpr());
        }
        if (accept(close)) return args;
        expect(Tok::Comma, 1006);
    }
}

ExprPtr Parser::parsePostfix(ExprPtr e, size_t* lastParen) {
    for (;;) {
        const int line = peek().line;
        if (at(Tok::Dot) && !peek().spaceBefore) {
            next();
            if (!at(Tok::Identifier)) fail(1010);
            e = checked(std::make_unique<MemberExpr>(std::move(e), next().text, line));
            if (lastParen) *lastParen = 0;
        } else if (at(Tok::LParen)) {
            const size_t parenPos = pos_;
            next();
            DepthGuard guard(depth_, line);
            auto call = std::make_unique<CallExpr>(std::move(e), line);
            call->args = parseArgs(Tok::RParen);
            call->height = call->target->height + 1;
            for (const ExprPtr& a : call->args)
                if (a) call->height = std::max(call->height, a->height + 1);
            e = checked(std::move(call));
            if (lastParen) *lastParen = parenPos;
        } else {
            return e;
        }
    }
}

ExprPtr Parser::parseExpr() {
    DepthGuard guard(depth_, peek().line);
    return parseBinary(0);
}

namespace {

// Binary operators from the loosest to the tightest; Not sits between And and the comparisons.
int levelOf(const Token& t, Op& op) {
    if (t.kind == Tok::Identifier) {
        switch (t.kw) {
            case Kw::Imp:
                op = Op::Imp;
                return 0;
            case Kw::Eqv:
                op = Op::Eqv;
                return 1;
            case Kw::Xor:
                op = Op::Xor;
                return 2;
            case Kw::Or:
                op = Op::Or;
                return 3;
            case Kw::And:
                op = Op::And;
                return 4;
            case Kw::Is:
                op = Op::Is;
                return 5;
            case Kw::Mod:
                op = Op::Mod;
                return 8;
            default:
                return -1;
        }
    }
    switch (t.kind) {
        case Tok::Eq:
            op = Op::Eq;
            return 5;
        case Tok::Ne:
            op = Op::Ne;
            return 5;
        case Tok::Lt:
            op = Op::Lt;
            return 5;
        case Tok::Le:
            op = Op::Le;
            return 5;
        case Tok::Gt:
            op = Op::Gt;
            return 5;
        case Tok::Ge:
            op = Op::Ge;
            return 5;
        case Tok::Amp:
            op = Op::Concat;
            return 6;
        case Tok::Plus:
            op = Op::Add;
            return 7;
        case Tok::Minus:
            op = Op::Sub;
            return 7;
        case Tok::Backslash:
            op = Op::IntDiv;
            return 9;
        case Tok::Star:
            op = Op::Mul;
            return 10;
        case Tok::Slash:
            op = Op::Div;
            return 10;
        default:
            return -1;
    }
}

constexpr int kNotLevel = 5;     // Not binds looser than comparisons, tighter than And
constexpr int kUnaryLevel = 11;  // unary minus: tighter than * and /, looser than ^

}  // namespace

ExprPtr Parser::parseBinary(int level) {
    if (level == kNotLevel && atKw(Kw::Not)) {
        const int line = next().line;
        DepthGuard guard(depth_, line);
        return std::make_unique<UnaryExpr>(Op::Not, parseBinary(kNotLevel), line);
    }
    if (level >= kUnaryLevel) return parseUnary();
    ExprPtr left = parseBinary(level + 1);
    for (;;) {
        Op op = Op::Add;
        const int l = levelOf(peek(), op);
        if (l != level) return left;
        const int line = next().line;
        DepthGuard guard(depth_, line);
        ExprPtr right = parseBinary(level + 1);
        left = checked(std::make_unique<BinaryExpr>(op, std::move(left), std::move(right), line));
    }
}

ExprPtr Parser::parseUnary() {
    if (at(Tok::Minus) || at(Tok::Plus)) {
        const bool neg = next().kind == Tok::Minus;
        const int line = peek().line;
        DepthGuard guard(depth_, line);
        ExprPtr operand = parseUnary();
        if (!neg) return operand;
        return checked(std::make_unique<UnaryExpr>(Op::Neg, std::move(operand), line));
    }
    if (atKw(Kw::Not)) {  // "a * Not b" is not VBScript, but "-Not x" and "x = Not y" reach here
        const int line = next().line;
        DepthGuard guard(depth_, line);
        return std::make_unique<UnaryExpr>(Op::Not, parseBinary(kNotLevel), line);
    }
    return parsePower();
}

ExprPtr Parser::parsePower() {
    ExprPtr left = parsePrimary();
    while (at(Tok::Caret)) {
        const int line = next().line;
        DepthGuard guard(depth_, line);
        // The exponent may carry its own sign: 2 ^ -1.
        ExprPtr right;
        if (at(Tok::Minus) || at(Tok::Plus)) {
            const bool neg = next().kind == Tok::Minus;
            right = parsePrimary();
            if (neg) right = std::make_unique<UnaryExpr>(Op::Neg, std::move(right), line);
        } else {
            right = parsePrimary();
        }
        left = checked(std::make_unique<BinaryExpr>(Op::Pow, std::move(left), std::move(right), line));
    }
    return left;
}

ExprPtr Parser::parsePrimary() {
    const Token& t = peek();
    const int line = t.line;
    switch (t.kind) {
        case Tok::Number:
        case Tok::Date:
            return std::make_unique<LiteralExpr>(next().value, line);
        case Tok::String:
            return std::make_unique<LiteralExpr>(Variant(next().text), line);
        case Tok::LParen: {
            next();
            ExprPtr e = parseExpr();
            expect(Tok::RParen, 1006);
            e->paren = true;
            return parsePostfix(std::move(e), nullptr);
        }
        case Tok::Dot: {
            next();
            if (!at(Tok::Identifier)) fail(1010);
            ExprPtr e = std::make_unique<MemberExpr>(nullptr, next().text, line);
            return parsePostfix(std::move(e), nullptr);
        }
        case Tok::Identifier:
            switch (t.kw) {
                case Kw::True:
                    next();
                    return std::make_unique<LiteralExpr>(Variant(true), line);
                case Kw::False:
                    next();
                    return std::make_unique<LiteralExpr>(Variant(false), line);
                case Kw::Empty:
                    next();
                    return std::make_unique<LiteralExpr>(Variant(), line);
                case Kw::Null:
                    next();
                    return std::make_unique<LiteralExpr>(Variant::null(), line);
                case Kw::Nothing:
                    next();
                    return std::make_unique<LiteralExpr>(Variant::nothing(), line);
                case Kw::New:
                    fail(1002, QStringLiteral("New non è supportato"));
                case Kw::Me:
                    fail(1002, QStringLiteral("Me non è supportato"));
                default: {
                    ExprPtr e = std::make_unique<NameExpr>(expectName(), line);
                    return parsePostfix(std::move(e), nullptr);
                }
            }
        default:
            fail(1023);
    }
}

}  // namespace vbs
