#pragma once

// The one list of token kinds. Every table that needs one entry per token (names for messages,
// keyword lookup) is generated from it, so they cannot drift apart.
//
//   TOKEN(kind, text)    punctuation and literals; text is what messages show
//   KEYWORD(kind, text)  reserved words, matched without regard to case

#define TEV_SCRIPT_TOKENS(TOKEN, KEYWORD)                                                          \
    TOKEN(EndOfFile, "end of file")                                                                \
    TOKEN(Identifier, "identifier")                                                                \
    TOKEN(IntegerLiteral, "integer")                                                               \
    TOKEN(FloatLiteral, "number")                                                                  \
    TOKEN(StringLiteral, "string")                                                                 \
    TOKEN(Plus, "+")                                                                               \
    TOKEN(Minus, "-")                                                                              \
    TOKEN(Star, "*")                                                                               \
    TOKEN(Slash, "/")                                                                              \
    TOKEN(Equal, "=")                                                                              \
    TOKEN(NotEqual, "<>")                                                                          \
    TOKEN(Less, "<")                                                                               \
    TOKEN(LessEqual, "<=")                                                                         \
    TOKEN(Greater, ">")                                                                            \
    TOKEN(GreaterEqual, ">=")                                                                      \
    TOKEN(Assign, ":=")                                                                            \
    TOKEN(Colon, ":")                                                                              \
    TOKEN(Semicolon, ";")                                                                          \
    TOKEN(Comma, ",")                                                                              \
    TOKEN(Dot, ".")                                                                                \
    TOKEN(DotDot, "..")                                                                            \
    TOKEN(LParen, "(")                                                                             \
    TOKEN(RParen, ")")                                                                             \
    TOKEN(LBracket, "[")                                                                           \
    TOKEN(RBracket, "]")                                                                           \
    TOKEN(Caret, "^")                                                                              \
    TOKEN(At, "@")                                                                                 \
    KEYWORD(And, "and")                                                                            \
    KEYWORD(Array, "array")                                                                        \
    KEYWORD(As, "as")                                                                              \
    KEYWORD(Begin, "begin")                                                                        \
    KEYWORD(Case, "case")                                                                          \
    KEYWORD(Const, "const")                                                                        \
    KEYWORD(Div, "div")                                                                            \
    KEYWORD(Do, "do")                                                                              \
    KEYWORD(Downto, "downto")                                                                      \
    KEYWORD(Else, "else")                                                                          \
    KEYWORD(End, "end")                                                                            \
    KEYWORD(Except, "except")                                                                      \
    KEYWORD(Finally, "finally")                                                                    \
    KEYWORD(For, "for")                                                                            \
    KEYWORD(Function, "function")                                                                  \
    KEYWORD(Goto, "goto")                                                                          \
    KEYWORD(If, "if")                                                                              \
    KEYWORD(Implementation, "implementation")                                                      \
    KEYWORD(In, "in")                                                                              \
    KEYWORD(Interface, "interface")                                                                \
    KEYWORD(Is, "is")                                                                              \
    KEYWORD(Label, "label")                                                                        \
    KEYWORD(Mod, "mod")                                                                            \
    KEYWORD(Nil, "nil")                                                                            \
    KEYWORD(Not, "not")                                                                            \
    KEYWORD(Of, "of")                                                                              \
    KEYWORD(On, "on")                                                                              \
    KEYWORD(Or, "or")                                                                              \
    KEYWORD(Out, "out")                                                                            \
    KEYWORD(Procedure, "procedure")                                                                \
    KEYWORD(Program, "program")                                                                    \
    KEYWORD(Raise, "raise")                                                                        \
    KEYWORD(Repeat, "repeat")                                                                      \
    KEYWORD(Set, "set")                                                                            \
    KEYWORD(Shl, "shl")                                                                            \
    KEYWORD(Shr, "shr")                                                                            \
    KEYWORD(Then, "then")                                                                          \
    KEYWORD(To, "to")                                                                              \
    KEYWORD(Try, "try")                                                                            \
    KEYWORD(Type, "type")                                                                          \
    KEYWORD(Unit, "unit")                                                                          \
    KEYWORD(Until, "until")                                                                        \
    KEYWORD(Uses, "uses")                                                                          \
    KEYWORD(Var, "var")                                                                            \
    KEYWORD(While, "while")                                                                        \
    KEYWORD(With, "with")                                                                          \
    KEYWORD(Xor, "xor")

namespace tev::script {

enum class Tok {
#define TEV_TOKEN_ENUM(kind, text) kind,
    TEV_SCRIPT_TOKENS(TEV_TOKEN_ENUM, TEV_TOKEN_ENUM)
#undef TEV_TOKEN_ENUM
};

// The text a message shows for a token kind: "'begin'", "identifier", "';'".
const char *tokenName(Tok kind);

} // namespace tev::script
