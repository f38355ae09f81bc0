// Parses where-texts, field lists and order texts into ConditionNode trees.
//   condition := or ; or := and {OR and} ; and := not {AND not} ; not := NOT not | predicate
//   predicate := concat [cmp concat | [NOT] LIKE concat | IS [NOT] NULL | [NOT] IN ( list | SELECT ... )]
//   concat := sum {& sum} ; sum := product {+|- product} ; product := unary {*|/ unary}
#pragma once

#include <QString>

#include <vector>

#include "odb/ConditionAst.h"
#include "odb/ConditionLexer.h"

namespace odb {

class ConditionParser {
  public:
    // Raises the condition error for a text that starts no token.
    explicit ConditionParser(const QString& text);

    // Each reads the whole text and raises the condition error on anything malformed.
    // An empty or blank text gives no node / no items.
    ConditionNodePtr ParseCondition();
    ConditionNodePtr ParseExpression();
    std::vector<ConditionFieldItem> ParseFieldList();
    std::vector<ConditionOrderItem> ParseOrderList();

  private:
    ConditionNodePtr parseOr();
    ConditionNodePtr parseAnd();
    ConditionNodePtr parseNot();
    ConditionNodePtr parsePredicate();
    ConditionNodePtr parseIn(ConditionNodePtr left, bool negated, int pos);
    ConditionNodePtr parseConcat();
    ConditionNodePtr parseSum();
    ConditionNodePtr parseProduct();
    ConditionNodePtr parseUnary();
    ConditionNodePtr parsePrimary();
    ConditionNodePtr parseCall(ConditionNode::Kind kind);
    QString parseName(const char* what);

    const ConditionToken& peek(int ahead = 0) const;
    const ConditionToken& take();
    void expectSymbol(const char* symbol);
    void expectEnd();
    [[noreturn]] void fail(const ConditionToken& at, const QString& problem) const;
    QString describe(const ConditionToken& t) const;
    static bool isReserved(const ConditionToken& t);

    QString text_;
    std::vector<ConditionToken> tokens_;
    size_t next_ = 0;
};

}  // namespace odb
