// Recursive-descent parser of the condition language, with VB/Access precedence:
// arithmetic, then &, then comparisons, then NOT, AND, OR.
#include "odb/ConditionParser.h"

#include "odb/ConditionError.h"

namespace odb {

namespace {

ConditionNodePtr MakeNode(ConditionNode::Kind kind, int pos) {
    auto node = std::make_unique<ConditionNode>();
    node->kind = kind;
    node->pos = pos;
    return node;
}

ConditionNodePtr MakeBinary(ConditionNode::Kind kind, int pos, const QString& op, ConditionNodePtr left,
                            ConditionNodePtr right) {
    auto node = MakeNode(kind, pos);
    node->op = op;
    node->args.push_back(std::move(left));
    node->args.push_back(std::move(right));
    return node;
}

}  // namespace

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
    auto left = parseAnd();
    while (peek().isWord("OR")) {
        const int pos = take().pos;
        left = MakeBinary(ConditionNode::Or, pos, {}, std::move(left), parseAnd());
    }
    return left;
}

ConditionNodePtr ConditionParser::parseAnd() {
    auto left = parseNot();
    while (peek().isWord("AND")) {
        const int pos = take().pos;
        left = MakeBinary(ConditionNode::And, pos, {}, std::move(left), parseNot());
    }
    return left;
}

ConditionNodePtr ConditionParser::parseNot() {
    if (peek().isWord("NOT")) {
        auto node = MakeNode(ConditionNode::Not, take().pos);
        node->args.push_back(parseNot());
        return node;
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
            return MakeBinary(ConditionNode::Compare, pos, QLatin1String(op), std::move(left), parseConcat());
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
        auto node = MakeBinary(ConditionNode::Like, pos, {}, std::move(left), parseConcat());
        node->negated = negated;
        return node;
    }
    if (peek().isWord("IN")) {
        take();
        return parseIn(std::move(left), negated, pos);
    }
    if (peek().isWord("IS")) {
        take();
        auto node = MakeNode(ConditionNode::IsNull, pos);
        if (peek().isWord("NOT")) {
            take();
            node->negated = true;
        }
        if (!peek().isWord("NULL"))
            fail(peek(), QStringLiteral("atteso Null invece di %1").arg(describe(peek())));
        take();
        node->args.push_back(std::move(left));
        return node;
    }
    return left;
}

ConditionNodePtr ConditionParser::parseIn(ConditionNodePtr left, bool negated, int pos) {
    expectSymbol("(");
    ConditionNodePtr node;
    if (peek().isWord("SELECT")) {
        take();
        node = MakeNode(ConditionNode::InSelect, pos);
        node->args.push_back(std::move(left));
        node->args.push_back(parseConcat());
        if (!peek().isWord("FROM"))
            fail(peek(), QStringLiteral("atteso From invece di %1").arg(describe(peek())));
        take();
        node->table = parseName("il nome di una tabella");
        if (peek().isWord("WHERE")) {
            take();
            node->args.push_back(parseOr());
        }
    } else {
        node = MakeNode(ConditionNode::InList, pos);
        node->args.push_back(std::move(left));
        while (true) {
            node->args.push_back(parseConcat());
            if (!peek().isSymbol(",")) break;
            take();
        }
    }
    expectSymbol(")");
    node->negated = negated;
    return node;
}

ConditionNodePtr ConditionParser::parseConcat() {
    auto left = parseSum();
    while (peek().isSymbol("&")) {
        const int pos = take().pos;
        left = MakeBinary(ConditionNode::Concat, pos, QStringLiteral("&"), std::move(left), parseSum());
    }
    return left;
}

ConditionNodePtr ConditionParser::parseSum() {
    auto left = parseProduct();
    while (peek().isSymbol("+") || peek().isSymbol("-")) {
        const ConditionToken& op = take();
        left = MakeBinary(ConditionNode::Arith, op.pos, op.text, std::move(left), parseProduct());
    }
    return left;
}

ConditionNodePtr ConditionParser::parseProduct() {
    auto left = parseUnary();
    while (peek().isSymbol("*") || peek().isSymbol("/")) {
        const ConditionToken& op = take();
        left = MakeBinary(ConditionNode::Arith, op.pos, op.text, std::move(left), parseUnary());
    }
    return left;
}

ConditionNodePtr ConditionParser::parseUnary() {
    if (peek().isSymbol("-")) {
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
        auto node = MakeNode(ConditionNode::Negate, pos);
        node->args.push_back(std::move(operand));
        return node;
    }
    return parsePrimary();
}

ConditionNodePtr ConditionParser::parsePrimary() {
    const ConditionToken& t = peek();
    switch (t.kind) {
        case ConditionToken::Number:
        case ConditionToken::String:
        case ConditionToken::Date: {
            auto node = MakeNode(ConditionNode::Literal, t.pos);
            node->value = take().value;
            return node;
        }
        case ConditionToken::Symbol:
            if (t.isSymbol("(")) {
                take();
                auto node = parseOr();
                expectSymbol(")");
                return node;
            }
            break;
        case ConditionToken::Name: {
            if (t.isWord("TRUE") || t.isWord("FALSE") || t.isWord("NULL")) {
                auto node = MakeNode(ConditionNode::Literal, t.pos);
                node->value = t.isWord("NULL") ? Variant::null() : Variant(t.isWord("TRUE"));
                take();
                return node;
            }
            if (!t.quoted && peek(1).isSymbol("(")) {
                if (t.isWord("MONTH")) return parseCall(ConditionNode::Month);
                if (t.isWord("YEAR")) return parseCall(ConditionNode::Year);
                if (t.isWord("ISNULL")) return parseCall(ConditionNode::IsNull);
                fail(t, QStringLiteral("funzione sconosciuta '%1'").arg(t.text));
            }
            if (isReserved(t)) break;
            auto node = MakeNode(ConditionNode::Path, t.pos);
            node->path << take().text;
            while (peek().isSymbol(".")) {
                take();
                if (peek().kind != ConditionToken::Name)
                    fail(peek(),
                         QStringLiteral("atteso un nome dopo il punto invece di %1").arg(describe(peek())));
                node->path << take().text;
            }
            return node;
        }
        case ConditionToken::End:
            break;
    }
    fail(t, QStringLiteral("atteso un valore invece di %1").arg(describe(t)));
}

ConditionNodePtr ConditionParser::parseCall(ConditionNode::Kind kind) {
    auto node = MakeNode(kind, take().pos);
    expectSymbol("(");
    node->args.push_back(parseConcat());
    expectSymbol(")");
    return node;
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
