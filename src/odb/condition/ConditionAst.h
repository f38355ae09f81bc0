// The parsed form of a where-text, field list or order text.
#pragma once

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

#include "base/Variant.h"

namespace odb {

struct ConditionNode {
    enum Kind {
        Literal,   // value
        Path,      // path
        Not,       // args[0]
        And,       // args: two or more, a chain of the one operator
        Or,        // args: two or more, a chain of the one operator
        Compare,   // op, args[0], args[1]
        Like,      // negated, args[0] value, args[1] pattern
        IsNull,    // negated, args[0]; also ISNULL(x)
        InList,    // negated, args[0], args[1..] items
        InSelect,  // negated, args[0], args[1] selected expression, args[2] optional where; table
        Month,     // args[0]
        Year,      // args[0]
        Concat,    // args[0] & args[1]
        Arith,     // op, args[0], args[1]
        Negate,    // args[0]
    };

    Kind kind = Literal;
    int pos = 0;     // 0-based position in the text, for errors
    int height = 1;  // levels of the tree from this node down
    QString op;
    bool negated = false;
    Variant value;
    QStringList path;
    QString table;
    std::vector<std::unique_ptr<ConditionNode>> args;
};

using ConditionNodePtr = std::unique_ptr<ConditionNode>;

// One item of a field list: "*" or an expression with an optional "As" name.
struct ConditionFieldItem {
    bool all = false;
    ConditionNodePtr expr;
    QString name;  // the "As" name, else the item's own text
};

// One item of an order text.
struct ConditionOrderItem {
    ConditionNodePtr expr;
    bool descending = false;
};

}  // namespace odb
