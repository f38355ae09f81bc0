// Recursive-descent parser of the condition language, with VB/Access precedence:
// arithmetic, then &, then comparisons, then NOT, AND, OR.
#include "odb/condition/ConditionParser.h"

#include "odb/condition/ConditionError.h"

namespace odb {

namespace {

const QString kTooDeep = QStringLiteral("espressione troppo annidata o troppo lunga (più di %1 livelli)");

}  // namespace

ConditionParser::Nesting::Nesting(ConditionParser& parser, const ConditionToken& at, int weight)
    : parser_(parser), weight_(weight) {
    parser_.depth_ += weight_;
    if (parser_.depth_ > kMaxDepth) {
        parser_.depth_ -= weight_;
        parser_.fail(at, kTooDeep.arg(kMaxDepth));
    }
}

ConditionNodePtr ConditionParser::node(ConditionNode::Kind kind, int pos) const {
    auto n = std::make_unique<ConditionNode>();
    n->kind = kind;
    n->pos = pos;
    return n;
}

void ConditionParser::attach(ConditionNode& parent, ConditionNodePtr child) const {
    if (child->height + 1 > kMaxDepth) RaiseConditionError(text_, parent.pos, kTooDeep.arg(kMaxDepth));
    parent.height = std::max(parent.height, child->height + 1);
    parent.args.push_back(std::move(child));
}

ConditionNodePtr ConditionParser::binary(ConditionNode::Kind kind, int pos, const QString& op,
                                         ConditionNodePtr left, ConditionNodePtr right) const {
    auto n = node(kind, pos);
    n->op = op;
    attach(*n, std::move(left));
    attach(*n, std::move(right));
    // A division reads its divisor through a cast: one level more in the SQL.
    if (kind == ConditionNode::Arith && op == QLatin1String("/") && ++n->height > kMaxDepth)
        RaiseConditionError(text_, pos, kTooDeep.arg(kMaxDepth));
    return n;
}

ConditionParser::ConditionParser(const QString& text)
    : text_(text), tokens_(ConditionLexer::Tokenize(text)) {}

ConditionNodePtr ConditionParser::ParseCondition() {
    if (peek().kind == ConditionToken::End) return nullptr;
    auto node = parseOr();
    expectEnd();
    return node;
}

ConditionNodePtr ConditionParser::ParseExpression() {
    if (peek().kind == ConditionToken::End) return nullptr;
    auto node = parseConcat();
    expectEnd();
    return node;
}

std::vector<ConditionFieldItem> ConditionParser::ParseFieldList() {
    std::vector<ConditionFieldItem> items;
    if (peek().kind == ConditionToken::End) return items;
    while (true) {
        ConditionFieldItem item;
        const ConditionToken& first = peek();
        if (first.isSymbol("*")) {
            take();
            item.all = true;
        } else {
            item.expr = parseConcat();
            const ConditionToken& last = tokens_[next_ - 1];
            item.name = text_.mid(first.pos, last.pos + last.len - first.pos);
            if (peek().isWord("AS")) {
                take();
                item.name = parseName("un nome dopo As");
            }
        }
        items.push_back(std::move(item));
        if (!peek().isSymbol(",")) break;
        take();
    }
    expectEnd();
    return items;
}

std::vector<ConditionOrderItem> ConditionParser::ParseOrderList() {
    std::vector<ConditionOrderItem> items;
    if (peek().kind == ConditionToken::End) return items;
    while (true) {
        ConditionOrderItem item;
        item.expr = parseConcat();
        if (peek().isWord("ASC")) {
            take();
        } else if (peek().isWord("DESC")) {
            take();
            item.descending = true;
        }
        items.push_back(std::move(item));
        if (!peek().isSymbol(",")) break;
        take();
    }
    expectEnd();
    return items;
}

ConditionNodePtr ConditionParser::parseOr() {
    const Nesting nesting(*this, peek());
    auto first = parseAnd();
    if (!peek().isWord("OR")) return first;
    // A chain of Or is one node however long: no recursion grows with it.
    auto chain = node(ConditionNode::Or, peek().pos);
    attach(*chain, std::move(first));
    while (peek().isWord("OR")) {
        take();
        attach(*chain, parseAnd());
    }
    return chain;
}

ConditionNodePtr ConditionParser::parseAnd() {
    auto first = parseNot();
    if (!peek().isWord("AND")) return first;
    auto chain = node(ConditionNode::And, peek().pos);
    attach(*chain, std::move(first));
    while (peek().isWord("AND")) {
        take();
        attach(*chain, parseNot());
    }
    return chain;
}

ConditionNodePtr ConditionParser::parseNot() {
    if (peek().isWord("NOT")) {
        const Nesting nesting(*this, peek());
        auto n = node(ConditionNode::Not, take().pos);
        attach(*n, parseNot());
        return n;
    }
    return parsePredicate();
}

ConditionNodePtr ConditionParser::parsePredicate() {
    auto left = parseConcat();
    const ConditionToken& t = peek();
    static const char* const comparisons[] = {"=", "<>", "<", "<=", ">", ">="};
    for (const char* op : comparisons) {
        if (t.isSymbol(op)) {
            const int pos = take().pos;
            return binary(ConditionNode::Compare, pos, QLatin1String(op), std::move(left), parseConcat());
        }
    }
    bool negated = false;
    int pos = t.pos;
    if (t.isWord("NOT") && (peek(1).isWord("LIKE") || peek(1).isWord("IN"))) {
        take();
        negated = true;
    }
    if (peek().isWord("LIKE")) {
        take();
        auto like = binary(ConditionNode::Like, pos, {}, std::move(left), parseConcat());
        like->negated = negated;
        return like;
    }
    if (peek().isWord("IN")) {
        take();
        return parseIn(std::move(left), negated, pos);
    }
    if (peek().isWord("IS")) {
        take();
        auto isNull = node(ConditionNode::IsNull, pos);
        if (peek().isWord("NOT")) {
            take();
            isNull->negated = true;
        }
        if (!peek().isWord("NULL"))
            fail(peek(), QStringLiteral("atteso Null invece di %1").arg(describe(peek())));
        take();
        attach(*isNull, std::move(left));
        return isNull;
    }
    return left;
}

ConditionNodePtr ConditionParser::parseIn(ConditionNodePtr left, bool negated, int pos) {
    const Nesting nesting(*this, peek(), peek(1).isWord("SELECT") ? 3 : 1);
    expectSymbol("(");
    ConditionNodePtr in;
    if (peek().isWord("SELECT")) {
        take();
        in = node(ConditionNode::InSelect, pos);
        attach(*in, std::move(left));
        attach(*in, parseConcat());
        if (!peek().isWord("FROM"))
            fail(peek(), QStringLiteral("atteso From invece di %1").arg(describe(peek())));
        take();
        in->table = parseName("il nome di una tabella");
        if (peek().isWord("WHERE")) {
            take();
            attach(*in, parseOr());
        }
    } else {
        in = node(ConditionNode::InList, pos);
        attach(*in, std::move(left));
        while (true) {
            attach(*in, parseConcat());
            if (!peek().isSymbol(",")) break;
            take();
        }
    }
    expectSymbol(")");
    in->negated = negated;
    return in;
}

ConditionNodePtr ConditionParser::parseConcat() {
    auto left = parseSum();
    while (peek().isSymbol("&")) {
        const int pos = take().pos;
        left = binary(ConditionNode::Concat, pos, QStringLiteral("&"), std::move(left), parseSum());
    }
    return left;
}

ConditionNodePtr ConditionParser::parseSum() {
    auto left = parseProduct();
    while (peek().isSymbol("+") || peek().isSymbol("-")) {
        const ConditionToken& op = take();
        left = binary(ConditionNode::Arith, op.pos, op.text, std::move(left), parseProduct());
    }
    return left;
}

ConditionNodePtr ConditionParser::parseProduct() {
    auto left = parseUnary();
    while (peek().isSymbol("*") || peek().isSymbol("/")) {
        const ConditionToken& op = take();
        left = binary(ConditionNode::Arith, op.pos, op.text, std::move(left), parseUnary());
    }
    return left;
}

ConditionNodePtr ConditionParser::parseUnary() {
    if (peek().isSymbol("-")) {
        const Nesting nesting(*this, peek());
        const int pos = take().pos;
        auto operand = parseUnary();
        // A negative number stays a literal, so that it takes the type of the field it meets.
        if (operand->kind == ConditionNode::Literal && operand->value.isNumeric() &&
            operand->value.type() != VarType::Boolean) {
            const Variant& v = operand->value;
            operand->value = v.type() == VarType::Long ? Variant(-static_cast<int64_t>(v.intValue()))
                                                       : Variant(-v.toDouble());
            operand->pos = pos;
            return operand;
        }
        auto negate = node(ConditionNode::Negate, pos);
        attach(*negate, std::move(operand));
        return negate;
    }
    return parsePrimary();
}

ConditionNodePtr ConditionParser::parsePrimary() {
    const ConditionToken& t = peek();
    switch (t.kind) {
        case ConditionToken::Number:
        case ConditionToken::String:
        case ConditionToken::Date: {
            auto literal = node(ConditionNode::Literal, t.pos);
            literal->value = take().value;
            return literal;
        }
        case ConditionToken::Symbol:
            if (t.isSymbol("(")) {
                take();
                auto inner = parseOr();
                expectSymbol(")");
                return inner;
            }
            break;
        case ConditionToken::Name: {
            if (t.isWord("TRUE") || t.isWord("FALSE") || t.isWord("NULL")) {
                auto literal = node(ConditionNode::Literal, t.pos);
                literal->value = t.isWord("NULL") ? Variant::null() : Variant(t.isWord("TRUE"));
                take();
                return literal;
            }
            if (!t.quoted && peek(1).isSymbol("(")) {
                if (t.isWord("MONTH")) return parseCall(ConditionNode::Month);
                if (t.isWord("YEAR")) return parseCall(ConditionNode::Year);
                if (t.isWord("ISNULL")) return parseCall(ConditionNode::IsNull);
                fail(t, QStringLiteral("funzione sconosciuta '%1'").arg(t.text));
            }
            if (isReserved(t)) break;
            auto path = node(ConditionNode::Path, t.pos);
            path->path << take().text;
            while (peek().isSymbol(".")) {
                take();
                if (peek().kind != ConditionToken::Name)
                    fail(peek(),
                         QStringLiteral("atteso un nome dopo il punto invece di %1").arg(describe(peek())));
                if (path->path.size() >= kMaxDepth)
                    fail(peek(), QStringLiteral("percorso troppo lungo (più di %1 nomi)").arg(kMaxDepth));
                path->path << take().text;
            }
            // Each name past the first may lead through a sub-select of its own.
            path->height = static_cast<int>(path->path.size());
            return path;
        }
        case ConditionToken::End:
            break;
    }
    fail(t, QStringLiteral("atteso un valore invece di %1").arg(describe(t)));
}

ConditionNodePtr ConditionParser::parseCall(ConditionNode::Kind kind) {
    const Nesting nesting(*this, peek());
    auto call = node(kind, take().pos);
    expectSymbol("(");
    attach(*call, parseConcat());
    expectSymbol(")");
    return call;
}

QString ConditionParser::parseName(const char* what) {
    const ConditionToken& t = peek();
    if (t.kind != ConditionToken::Name || isReserved(t))
        fail(t, QStringLiteral("atteso %1 invece di %2").arg(QString::fromUtf8(what), describe(t)));
    return take().text;
}

const ConditionToken& ConditionParser::peek(int ahead) const {
    const size_t i = std::min(next_ + static_cast<size_t>(ahead), tokens_.size() - 1);
    return tokens_[i];
}

const ConditionToken& ConditionParser::take() {
    const ConditionToken& t = tokens_[next_];
    if (next_ + 1 < tokens_.size()) ++next_;
    return t;
}

void ConditionParser::expectSymbol(const char* symbol) {
    if (!peek().isSymbol(symbol))
        fail(peek(), QStringLiteral("atteso '%1' invece di %2").arg(QLatin1String(symbol), describe(peek())));
    take();
}

void ConditionParser::expectEnd() {
    if (peek().kind != ConditionToken::End)
        fail(peek(), QStringLiteral("testo inatteso %1").arg(describe(peek())));
}

void ConditionParser::fail(const ConditionToken& at, const QString& problem) const {
    RaiseConditionError(text_, at.pos, problem);
}

QString ConditionParser::describe(const ConditionToken& t) const {
    if (t.kind == ConditionToken::End) return QStringLiteral("la fine del testo");
    return QStringLiteral("'%1'").arg(text_.mid(t.pos, t.len));
}

bool ConditionParser::isReserved(const ConditionToken& t) {
    static const char* const words[] = {"AND",  "OR",    "NOT",  "LIKE",  "IS", "NULL", "IN",  "SELECT",
                                        "FROM", "WHERE", "TRUE", "FALSE", "AS", "ASC",  "DESC"};
    for (const char* w : words) {
        if (t.isWord(w)) return true;
    }
    return false;
}

}  // namespace odb
