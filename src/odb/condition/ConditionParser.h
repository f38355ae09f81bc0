// Parses where-texts, field lists and order texts into ConditionNode trees.
//   condition := or ; or := and {OR and} ; and := not {AND not} ; not := NOT not | predicate
//   predicate := concat [cmp concat | [NOT] LIKE concat | IS [NOT] NULL | [NOT] IN ( list | SELECT ... )]
//   concat := sum {& sum} ; sum := product {+|- product} ; product := unary {*|/ unary}
#pragma once

#include <QString>

#include <vector>

#include "odb/condition/ConditionAst.h"
#include "odb/condition/ConditionLexer.h"

namespace odb {

class ConditionParser {
  public:
    // Brackets, Not, signs, functions, sub-selects and chains of arithmetic or & nest at most this
    // deep, names in a path at most this many: deeper texts are refused before the recursion that
    // reads or translates them could overflow, and SQLite's own parser takes whatever passes.
    static constexpr int kMaxDepth = 24;

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
    ConditionNodePtr node(ConditionNode::Kind kind, int pos) const;
    ConditionNodePtr binary(ConditionNode::Kind kind, int pos, const QString& op, ConditionNodePtr left,
                            ConditionNodePtr right) const;
    // Appends `child` to `parent`, refusing a tree grown past kMaxDepth.
    void attach(ConditionNode& parent, ConditionNodePtr child) const;
    // One more level of recursion for as long as it lives; refused past kMaxDepth.
    class Nesting {
      public:
        // `weight`: levels the construct costs SQLite's parser (a sub-select costs three).
        Nesting(ConditionParser& parser, const ConditionToken& at, int weight = 1);
        ~Nesting() { parser_.depth_ -= weight_; }
        Nesting(const Nesting&) = delete;
        Nesting& operator=(const Nesting&) = delete;

      private:
        ConditionParser& parser_;
        int weight_;
    };

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
    int depth_ = 0;
};

}  // namespace odb
