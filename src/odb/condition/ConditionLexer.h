// Splits a VB-style where-text, field list or order text into tokens.
#pragma once

#include <QString>

#include <vector>

#include "base/Variant.h"

namespace odb {

struct ConditionToken {
    enum Kind {
        End,
        Name,    // text; bracketed names ("[Nome]") set quoted
        Number,  // value
        String,  // value
        Date,    // value
        Symbol,  // text: = <> < <= > >= ( ) , . & + - * /
    };
    Kind kind = End;
    int pos = 0;
    int len = 0;   // characters taken in the text
    QString text;  // the name or symbol as written
    Variant value;
    bool quoted = false;

    // A keyword: an unbracketed name equal to `word` without regard to case.
    bool isWord(const char* word) const;
    bool isSymbol(const char* symbol) const { return kind == Symbol && text == QLatin1String(symbol); }
};

class ConditionLexer {
  public:
    // Raises the condition error at the first character that starts no token.
    static std::vector<ConditionToken> Tokenize(const QString& text);
};

}  // namespace odb
