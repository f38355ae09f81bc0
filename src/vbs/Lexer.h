// Lexer: turns a script text into tokens; comments and line continuations disappear here.
#pragma once

#include <QString>

#include <vector>

#include "vbs/Token.h"

namespace vbs {

class Lexer {
  public:
    // Raises CompileError (1032 invalid character, 1033 unterminated string, 1031 invalid number).
    static std::vector<Token> Tokenize(const QString& text);
};

}  // namespace vbs
