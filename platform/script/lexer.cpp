#include "platform/script/lexer.h"

#include <QHash>
#include <cmath>

namespace tev::script {

const char *tokenName(Tok kind)
{
    static const char *const names[] = {
#define TEV_TOKEN_TEXT(kind, text) text,
        TEV_SCRIPT_TOKENS(TEV_TOKEN_TEXT, TEV_TOKEN_TEXT)
#undef TEV_TOKEN_TEXT
    };
    return names[static_cast<int>(kind)];
}

namespace {

const QHash<QString, Tok> &keywords()
{
    static const QHash<QString, Tok> table = [] {
        QHash<QString, Tok> t;
#define TEV_TOKEN_NONE(kind, text)
#define TEV_KEYWORD_ENTRY(kind, text) t.insert(QStringLiteral(text), Tok::kind);
        TEV_SCRIPT_TOKENS(TEV_TOKEN_NONE, TEV_KEYWORD_ENTRY)
#undef TEV_TOKEN_NONE
#undef TEV_KEYWORD_ENTRY
        return t;
    }();
    return table;
}

bool isIdentStart(QChar c)
{
    return c.isLetter() || c == QLatin1Char('_');
}
bool isIdentPart(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}
bool isHexDigit(QChar c)
{
    return c.isDigit() || (c >= QLatin1Char('a') && c <= QLatin1Char('f')) ||
           (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
}

} // namespace

Lexer::Lexer(const QString &source)
    : m_src(source)
{}

QChar Lexer::peek(int ahead) const
{
    const int p = m_pos + ahead;
    return p < m_src.size() ? m_src.at(p) : QChar();
}

void Lexer::advance()
{
    if (m_pos >= m_src.size())
        return;
    if (m_src.at(m_pos) == QLatin1Char('\n')) {
        ++m_line;
        m_column = 1;
    } else {
        ++m_column;
    }
    ++m_pos;
}

void Lexer::fail(const QString &message, int line, int column)
{
    if (!failed())
        m_error = {message, line, column};
}

bool Lexer::skipSpaceAndComments()
{
    for (;;) {
        const QChar c = peek();
        if (c.isNull())
            return true;
        if (c.isSpace()) {
            advance();
        } else if (c == QLatin1Char('/') && peek(1) == QLatin1Char('/')) {
            while (!peek().isNull() && peek() != QLatin1Char('\n'))
                advance();
        } else if (c == QLatin1Char('{')) {
            const int line = m_line, column = m_column;
            while (!peek().isNull() && peek() != QLatin1Char('}'))
                advance();
            if (peek().isNull()) {
                fail(QStringLiteral("Unterminated comment"), line, column);
                return false;
            }
            advance();
        } else if (c == QLatin1Char('(') && peek(1) == QLatin1Char('*')) {
            const int line = m_line, column = m_column;
            advance();
            advance();
            while (!peek().isNull() && !(peek() == QLatin1Char('*') && peek(1) == QLatin1Char(')')))
                advance();
            if (peek().isNull()) {
                fail(QStringLiteral("Unterminated comment"), line, column);
                return false;
            }
            advance();
            advance();
        } else {
            return true;
        }
    }
}

std::vector<Token> Lexer::tokenize()
{
    std::vector<Token> out;
    for (;;) {
        if (!skipSpaceAndComments())
            break;
        const QChar c = peek();
        if (c.isNull())
            break;
        Token t;
        t.line = m_line;
        t.column = m_column;
        if (c.isDigit() || (c == QLatin1Char('$') && isHexDigit(peek(1)))) {
            t = number();
        } else if (isIdentStart(c)) {
            t = identifier();
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('#')) {
            t = stringLiteral();
        } else {
            auto two = [&](QChar second, Tok both, Tok one) {
                advance();
                if (peek() == second) {
                    advance();
                    t.kind = both;
                } else {
                    t.kind = one;
                }
            };
            switch (c.unicode()) {
            case '+':
                advance();
                t.kind = Tok::Plus;
                break;
            case '-':
                advance();
                t.kind = Tok::Minus;
                break;
            case '*':
                advance();
                t.kind = Tok::Star;
                break;
            case '/':
                advance();
                t.kind = Tok::Slash;
                break;
            case '=':
                advance();
                t.kind = Tok::Equal;
                break;
            case ';':
                advance();
                t.kind = Tok::Semicolon;
                break;
            case ',':
                advance();
                t.kind = Tok::Comma;
                break;
            case '(':
                advance();
                t.kind = Tok::LParen;
                break;
            case ')':
                advance();
                t.kind = Tok::RParen;
                break;
            case '[':
                advance();
                t.kind = Tok::LBracket;
                break;
            case ']':
                advance();
                t.kind = Tok::RBracket;
                break;
            case '^':
                advance();
                t.kind = Tok::Caret;
                break;
            case '@':
                advance();
                t.kind = Tok::At;
                break;
            case ':':
                two(QLatin1Char('='), Tok::Assign, Tok::Colon);
                break;
            case '.':
                two(QLatin1Char('.'), Tok::DotDot, Tok::Dot);
                break;
            case '>':
                two(QLatin1Char('='), Tok::GreaterEqual, Tok::Greater);
                break;
            case '<':
                advance();
                if (peek() == QLatin1Char('=')) {
                    advance();
                    t.kind = Tok::LessEqual;
                } else if (peek() == QLatin1Char('>')) {
                    advance();
                    t.kind = Tok::NotEqual;
                } else {
                    t.kind = Tok::Less;
                }
                break;
            default:
                fail(QStringLiteral("Illegal character '%1'").arg(c), m_line, m_column);
                break;
            }
        }
        if (failed())
            break;
        out.push_back(std::move(t));
    }
    Token eof;
    eof.line = m_line;
    eof.column = m_column;
    out.push_back(eof);
    return out;
}

Token Lexer::number()
{
    Token t;
    t.line = m_line;
    t.column = m_column;
    const int start = m_pos;
    if (peek() == QLatin1Char('$')) {
        advance();
        quint64 v = 0;
        bool overflow = false;
        while (isHexDigit(peek())) {
            if (v >> 60)
                overflow = true;
            v = v * 16 + static_cast<quint64>(peek().digitValue() >= 0
                                                  ? peek().digitValue()
                                                  : peek().toLower().unicode() - 'a' + 10);
            advance();
        }
        if (overflow)
            fail(QStringLiteral("Integer constant too large"), t.line, t.column);
        t.kind = Tok::IntegerLiteral;
        t.intValue = static_cast<qint64>(v);
        return t;
    }
    while (peek().isDigit())
        advance();
    bool isFloat = false;
    // "1..5" is a range: the dot after a number starts a float only when a digit follows it.
    if (peek() == QLatin1Char('.') && peek(1).isDigit()) {
        isFloat = true;
        advance();
        while (peek().isDigit())
            advance();
    }
    if ((peek() == QLatin1Char('e') || peek() == QLatin1Char('E')) &&
        (peek(1).isDigit() ||
         ((peek(1) == QLatin1Char('+') || peek(1) == QLatin1Char('-')) && peek(2).isDigit()))) {
        isFloat = true;
        advance();
        advance();
        while (peek().isDigit())
            advance();
    }
    const QString text = m_src.mid(start, m_pos - start);
    if (isFloat) {
        t.kind = Tok::FloatLiteral;
        t.floatValue = text.toDouble();
        if (!std::isfinite(t.floatValue))
            fail(QStringLiteral("Floating-point constant out of range"), t.line, t.column);
    } else {
        bool ok = false;
        t.intValue = text.toLongLong(&ok);
        t.kind = Tok::IntegerLiteral;
        if (!ok)
            fail(QStringLiteral("Integer constant too large"), t.line, t.column);
    }
    if (isIdentStart(peek()))
        fail(QStringLiteral("Illegal character '%1' in number").arg(peek()), m_line, m_column);
    return t;
}

Token Lexer::identifier()
{
    Token t;
    t.line = m_line;
    t.column = m_column;
    const int start = m_pos;
    while (isIdentPart(peek()))
        advance();
    t.text = m_src.mid(start, m_pos - start);
    const auto it = keywords().constFind(t.text.toLower());
    t.kind = it != keywords().cend() ? *it : Tok::Identifier;
    return t;
}

// #65 or #$41: appends the character and says whether one was read.
bool Lexer::charCode(QString &into)
{
    const int line = m_line, column = m_column;
    advance(); // '#'
    qint64 code = 0;
    bool any = false;
    if (peek() == QLatin1Char('$')) {
        advance();
        while (isHexDigit(peek())) {
            const int d = peek().digitValue() >= 0 ? peek().digitValue()
                                                   : peek().toLower().unicode() - 'a' + 10;
            code = code * 16 + d;
            any = true;
            advance();
            if (code > 0xFFFF)
                break;
        }
    } else {
        while (peek().isDigit()) {
            code = code * 10 + peek().digitValue();
            any = true;
            advance();
            if (code > 0xFFFF)
                break;
        }
    }
    if (!any || code > 0xFFFF) {
        fail(QStringLiteral("Invalid character code"), line, column);
        return false;
    }
    into.append(QChar(static_cast<char16_t>(code)));
    return true;
}

Token Lexer::stringLiteral()
{
    Token t;
    t.kind = Tok::StringLiteral;
    t.line = m_line;
    t.column = m_column;
    for (;;) {
        if (peek() == QLatin1Char('\'')) {
            const int line = m_line, column = m_column;
            advance();
            for (;;) {
                const QChar c = peek();
                if (c.isNull() || c == QLatin1Char('\n') || c == QLatin1Char('\r')) {
                    fail(QStringLiteral("Unterminated string"), line, column);
                    return t;
                }
                advance();
                if (c == QLatin1Char('\'')) {
                    if (peek() == QLatin1Char('\'')) {
                        t.text.append(c);
                        advance();
                        continue;
                    }
                    break;
                }
                t.text.append(c);
            }
        } else if (peek() == QLatin1Char('#')) {
            if (!charCode(t.text))
                return t;
        } else {
            return t;
        }
    }
}

} // namespace tev::script
