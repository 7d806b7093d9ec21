#include "platform/dataset/filterexpression.h"

#include "platform/dataset/deferredtext.h"

#include "platform/error.h"

#include <cmath>

namespace tev {

struct FilterExpression::Node
{
    enum Kind { Or, And, Not, Compare };
    enum Op { Eq, Ne, Lt, Gt, Le, Ge };
    struct Operand
    {
        int field = -1; // -1: the constant
        FieldType type = FieldType::String;
        QVariant constant;
        bool isNumber() const { return type == FieldType::Integer || type == FieldType::Double; }
    };

    Kind kind = Compare;
    Op op = Eq;
    std::unique_ptr<Node> left;
    std::unique_ptr<Node> right;
    Operand a;
    Operand b;
};

namespace {

using Node = FilterExpression::Node;

enum class Tok { End, Name, Text, Number, LParen, RParen, Op };

struct Token
{
    Tok kind = Tok::End;
    QString text;
    int position = 0;
};

class Parser
{
public:
    Parser(const QString &text, const FilterExpression::FieldResolver &resolver)
        : m_text(text)
        , m_resolver(resolver)
    {
        advance();
    }

    std::unique_ptr<Node> parse()
    {
        auto root = expression();
        if (m_tok.kind != Tok::End)
            fail(QStringLiteral("unexpected '%1'").arg(m_tok.text));
        return root;
    }

private:
    [[noreturn]] void fail(const QString &what) const
    {
        throw Error(QStringLiteral("Filter expression \"%1\": %2 at position %3")
                        .arg(m_text, what)
                        .arg(m_tok.position + 1));
    }

    bool isKeyword(const char *word) const
    {
        return m_tok.kind == Tok::Name &&
               m_tok.text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
    }

    // expression := term { "or" term }
    std::unique_ptr<Node> expression()
    {
        auto left = term();
        while (isKeyword("or")) {
            advance();
            left = binary(Node::Or, std::move(left), term());
        }
        return left;
    }

    // term := factor { "and" factor }
    std::unique_ptr<Node> term()
    {
        auto left = factor();
        while (isKeyword("and")) {
            advance();
            left = binary(Node::And, std::move(left), factor());
        }
        return left;
    }

    // factor := "not" factor | "(" expression ")" | comparison
    std::unique_ptr<Node> factor()
    {
        if (isKeyword("not")) {
            advance();
            auto node = std::make_unique<Node>();
            node->kind = Node::Not;
            node->left = factor();
            return node;
        }
        if (m_tok.kind == Tok::LParen) {
            const int open = m_tok.position;
            advance();
            auto inner = expression();
            if (m_tok.kind != Tok::RParen)
                fail(QStringLiteral("')' expected (to close '(' at position %1)").arg(open + 1));
            advance();
            return inner;
        }
        return comparison();
    }

    // comparison := operand op operand
    std::unique_ptr<Node> comparison()
    {
        auto node = std::make_unique<Node>();
        node->kind = Node::Compare;
        node->a = operand();
        if (m_tok.kind != Tok::Op)
            fail(QStringLiteral("comparison operator expected"));
        static const QStringList ops = {"=", "<>", "<", ">", "<=", ">="};
        node->op = Node::Op(ops.indexOf(m_tok.text));
        advance();
        node->b = operand();
        bindConstants(*node);
        return node;
    }

    // operand := name | [name] | 'text' | number
    Node::Operand operand()
    {
        Node::Operand result;
        switch (m_tok.kind) {
        case Tok::Name: {
            const FilterExpression::FieldInfo info = m_resolver(m_tok.text);
            if (info.index < 0)
                fail(QStringLiteral("unknown field '%1'").arg(m_tok.text));
            result.field = info.index;
            result.type = info.type;
            break;
        }
        case Tok::Text:
            result.type = FieldType::String;
            result.constant = m_tok.text;
            break;
        case Tok::Number: {
            bool ok = false;
            const double d = m_tok.text.toDouble(&ok);
            if (!ok)
                fail(QStringLiteral("invalid number '%1'").arg(m_tok.text));
            result.type = FieldType::Double;
            result.constant = d;
            break;
        }
        default:
            fail(m_tok.kind == Tok::End ? QStringLiteral("operand expected at the end")
                                        : QStringLiteral("operand expected"));
        }
        advance();
        return result;
    }

    // A constant takes the type of the field it is compared with.
    void bindConstants(Node &node)
    {
        auto bind = [&](Node::Operand &constant, const Node::Operand &other) {
            if (constant.field >= 0 || other.field < 0)
                return;
            if (other.isNumber() && !constant.isNumber()) {
                bool ok = false;
                const double d = constant.constant.toString().trimmed().toDouble(&ok);
                if (!ok)
                    fail(QStringLiteral("'%1' is not a number").arg(constant.constant.toString()));
                constant.constant = d;
                constant.type = FieldType::Double;
            } else if (!other.isNumber() && constant.isNumber()) {
                constant.constant = QString::number(constant.constant.toDouble(), 'g', 15);
                constant.type = FieldType::String;
            }
        };
        bind(node.a, node.b);
        bind(node.b, node.a);
    }

    static std::unique_ptr<Node> binary(Node::Kind kind, std::unique_ptr<Node> left,
                                        std::unique_ptr<Node> right)
    {
        auto node = std::make_unique<Node>();
        node->kind = kind;
        node->left = std::move(left);
        node->right = std::move(right);
        return node;
    }

    void advance()
    {
        const int n = m_text.size();
        while (m_pos < n && m_text[m_pos].isSpace())
            ++m_pos;
        m_tok = Token{};
        m_tok.position = m_pos;
        if (m_pos >= n)
            return;
        const QChar c = m_text[m_pos];
        if (c == QLatin1Char('\'')) {
            QString value;
            ++m_pos;
            for (;;) {
                if (m_pos >= n)
                    fail(QStringLiteral("unterminated text constant"));
                if (m_text[m_pos] == QLatin1Char('\'')) {
                    if (m_pos + 1 < n && m_text[m_pos + 1] == QLatin1Char('\'')) {
                        value += QLatin1Char('\'');
                        m_pos += 2;
                        continue;
                    }
                    ++m_pos;
                    break;
                }
                value += m_text[m_pos++];
            }
            m_tok.kind = Tok::Text;
            m_tok.text = value;
        } else if (c == QLatin1Char('[')) {
            const int close = m_text.indexOf(QLatin1Char(']'), m_pos);
            if (close < 0)
                fail(QStringLiteral("']' expected"));
            m_tok.kind = Tok::Name;
            m_tok.text = m_text.mid(m_pos + 1, close - m_pos - 1);
            m_pos = close + 1;
        } else if (c.isDigit() || ((c == QLatin1Char('-') || c == QLatin1Char('.')) &&
                                   m_pos + 1 < n && m_text[m_pos + 1].isDigit())) {
            int end = m_pos + 1;
            while (end < n && (m_text[end].isDigit() || m_text[end] == QLatin1Char('.')))
                ++end;
            m_tok.kind = Tok::Number;
            m_tok.text = m_text.mid(m_pos, end - m_pos);
            m_pos = end;
        } else if (c.isLetter() || c == QLatin1Char('_')) {
            int end = m_pos + 1;
            while (end < n && (m_text[end].isLetterOrNumber() || m_text[end] == QLatin1Char('_')))
                ++end;
            m_tok.kind = Tok::Name;
            m_tok.text = m_text.mid(m_pos, end - m_pos);
            m_pos = end;
        } else if (c == QLatin1Char('(') || c == QLatin1Char(')')) {
            m_tok.kind = c == QLatin1Char('(') ? Tok::LParen : Tok::RParen;
            m_tok.text = c;
            ++m_pos;
        } else if (c == QLatin1Char('=') || c == QLatin1Char('<') || c == QLatin1Char('>')) {
            QString op = c;
            if (m_pos + 1 < n) {
                const QChar d = m_text[m_pos + 1];
                if ((c == QLatin1Char('<') && (d == QLatin1Char('>') || d == QLatin1Char('='))) ||
                    (c == QLatin1Char('>') && d == QLatin1Char('=')))
                    op += d;
            }
            m_tok.kind = Tok::Op;
            m_tok.text = op;
            m_pos += op.size();
        } else {
            m_tok.text = c;
            fail(QStringLiteral("unexpected character '%1'").arg(c));
        }
    }

    QString m_text;
    const FilterExpression::FieldResolver &m_resolver;
    int m_pos = 0;
    Token m_tok;
};

using ValueOf = std::function<QVariant(int field)>;

QVariant operandValue(const Node::Operand &operand, const ValueOf &values)
{
    return operand.field >= 0 ? PlainValue(values(operand.field)) : operand.constant;
}

bool compare(const Node &node, const ValueOf &values)
{
    const QVariant a = operandValue(node.a, values);
    const QVariant b = operandValue(node.b, values);
    if (!a.isValid() || !b.isValid())
        return false;
    int order = 0;
    if (node.a.isNumber() && node.b.isNumber()) {
        const double x = a.toDouble();
        const double y = b.toDouble();
        if (std::isnan(x) || std::isnan(y))
            return false;
        order = x < y ? -1 : (x > y ? 1 : 0);
    } else {
        order = a.toString().compare(b.toString(), Qt::CaseSensitive);
    }
    switch (node.op) {
    case Node::Eq:
        return order == 0;
    case Node::Ne:
        return order != 0;
    case Node::Lt:
        return order < 0;
    case Node::Gt:
        return order > 0;
    case Node::Le:
        return order <= 0;
    case Node::Ge:
        return order >= 0;
    }
    return false;
}

bool evaluate(const Node &node, const ValueOf &values)
{
    switch (node.kind) {
    case Node::Or:
        return evaluate(*node.left, values) || evaluate(*node.right, values);
    case Node::And:
        return evaluate(*node.left, values) && evaluate(*node.right, values);
    case Node::Not:
        return !evaluate(*node.left, values);
    case Node::Compare:
        return compare(node, values);
    }
    return false;
}

} // namespace

FilterExpression::FilterExpression(const QString &text, const FieldResolver &resolver)
    : m_root(Parser(text, resolver).parse())
{}

FilterExpression::~FilterExpression() = default;
FilterExpression::FilterExpression(FilterExpression &&) noexcept = default;
FilterExpression &FilterExpression::operator=(FilterExpression &&) noexcept = default;

bool FilterExpression::matches(const std::vector<QVariant> &values) const
{
    return evaluate(*m_root, [&values](int field) { return values[size_t(field)]; });
}

bool FilterExpression::matches(const std::function<QVariant(int field)> &value) const
{
    return evaluate(*m_root, value);
}

} // namespace tev
