#pragma once

#include <QString>
#include <vector>

#include "platform/script/tokens.h"

namespace tev::script {

struct Token
{
    Tok kind = Tok::EndOfFile;
    QString text; // identifier as written, or the decoded string literal
    qint64 intValue = 0;
    double floatValue = 0;
    int line = 1;
    int column = 1;
};

// The first lexical error; the lexer stops there and ends the token list.
struct LexError
{
    QString message;
    int line = 0;
    int column = 0;
};

// Turns a script text into tokens in one pass. Comments and {$...} directives vanish; a string
// literal and the #nn character codes written next to it become one string token; "1..5" stays a
// range, never a float.
class Lexer
{
public:
    explicit Lexer(const QString &source);

    // The whole token list, always ending with EndOfFile.
    std::vector<Token> tokenize();
    bool failed() const { return m_error.line > 0; }
    const LexError &error() const { return m_error; }

private:
    QChar peek(int ahead = 0) const;
    void advance();
    bool skipSpaceAndComments();
    void fail(const QString &message, int line, int column);
    Token number();
    Token identifier();
    Token stringLiteral();
    bool charCode(QString &into);

    QString m_src;
    int m_pos = 0;
    int m_line = 1;
    int m_column = 1;
    LexError m_error;
};

} // namespace tev::script
