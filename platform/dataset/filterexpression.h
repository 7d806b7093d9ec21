#pragma once

#include "platform/dataset/field.h"

#include <QString>
#include <QVariant>
#include <functional>
#include <memory>
#include <vector>

namespace tev {

// A compiled filter expression of the in-memory dataset, evaluated against one record's values.
//
// Grammar (keywords without regard to case):
//   expression := term { "or" term }
//   term       := factor { "and" factor }
//   factor     := "not" factor | "(" expression ")" | comparison
//   comparison := operand ( "=" | "<>" | "<" | ">" | "<=" | ">=" ) operand
//   operand    := field name | [field name] | 'text' (a quote inside doubled) | number
// A comparison with a null on either side is false. A constant compared with a field is
// converted to the field's type when the expression is compiled, so a mismatch is reported then.
class FilterExpression
{
public:
    struct FieldInfo
    {
        int index = -1;
        FieldType type = FieldType::String;
    };
    // Looks a field name up; returns an index of -1 when there is no such field.
    using FieldResolver = std::function<FieldInfo(const QString &name)>;

    // Throws tev::Error with the position of the fault for text that does not parse.
    FilterExpression(const QString &text, const FieldResolver &resolver);
    ~FilterExpression();
    FilterExpression(FilterExpression &&) noexcept;
    FilterExpression &operator=(FilterExpression &&) noexcept;

    bool matches(const std::vector<QVariant> &values) const;
    // The same on values read one field at a time.
    bool matches(const std::function<QVariant(int field)> &value) const;

    struct Node;

private:
    std::unique_ptr<Node> m_root;
};

} // namespace tev
