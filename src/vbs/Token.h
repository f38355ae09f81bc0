// Token: one lexical element of a script, with the 1-based line it starts on.
#pragma once

#include <QString>

#include "base/Variant.h"

namespace vbs {

// Keywords, recognised case-insensitively; a few (Error, Explicit, Step...) are also usable as names.
enum class Kw : uint8_t {
    None,
    And,
    ByRef,
    ByVal,
    Call,
    Case,
    Class,
    Const,
    Default,
    Dim,
    Do,
    Each,
    Else,
    ElseIf,
    Empty,
    End,
    Eqv,
    Erase,
    Error,
    Exit,
    Explicit,
    False,
    For,
    Function,
    Get,
    GoTo,
    If,
    Imp,
    In,
    Is,
    Let,
    Loop,
    Me,
    Mod,
    New,
    Next,
    Not,
    Nothing,
    Null,
    On,
    Option,
    Or,
    Preserve,
    Private,
    Property,
    Public,
    ReDim,
    Resume,
    Select,
    Set,
    Step,
    Stop,
    Sub,
    Then,
    To,
    True,
    Until,
    Wend,
    While,
    With,
    Xor,
};

enum class Tok : uint8_t {
    End,         // end of the text
    Newline,     // a line end
    Colon,       // ":" between statements on one line
    Identifier,  // names, keywords included (the parser tells them apart)
    Number,
    String,
    Date,
    // operators and punctuation
    LParen,
    RParen,
    Comma,
    Dot,
    Eq,
    Ne,
    Lt,
    Le,
    Gt,
    Ge,
    Plus,
    Minus,
    Star,
    Slash,
    Backslash,
    Caret,
    Amp,
};

struct Token {
    Tok kind = Tok::End;
    int line = 1;
    bool spaceBefore = false;  // "a .b" (With member) versus "a.b"
    QString text;              // identifiers as written; string literal contents
    Variant value;             // numbers and dates
    Kw kw = Kw::None;          // identifiers that are keywords
};

}  // namespace vbs
