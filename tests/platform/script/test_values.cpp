// The Variant conversions and operators, pinned down by tables.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/script/operators.h"
#include "platform/script/scripterror.h"
#include "platform/text/formatsettings.h"

using namespace tev::script;

namespace {

struct ToText
{
    const char *name;
    Value value;
    const char *text;
};

TEST(ScriptValues, ConversionToText)
{
    tev::DecimalSeparatorGuard dot(QLatin1Char('.'));
    const ToText rows[] = {
        {"unassigned", Value(), ""},
        {"null", Value::null(), ""},
        {"true", Value(true), "True"},
        {"integer", Value(qint64(-42)), "-42"},
        {"float", Value(2.5), "2.5"},
        {"whole float", Value(3.0), "3"},
        {"fifteen digits", Value(0.1 + 0.2), "0.3"},
        {"large float", Value(1e20), "1E20"},
        {"smallest fixed float", Value(0.00001), "0.00001"},
        {"small float", Value(0.000001), "1E-6"},
        {"date", Value::dateTime(45000), "2023-03-15"},
        {"date and time", Value::dateTime(45000.5), "2023-03-15 12:00:00"},
        {"string", Value(QStringLiteral("x")), "x"},
    };
    for (const ToText &r : rows)
        EXPECT_EQ(r.value.toString(), QLatin1String(r.text)) << r.name;
}

TEST(ScriptValues, NumberTextsUseTheProgramWideSeparator)
{
    tev::DecimalSeparatorGuard comma(QLatin1Char(','));
    EXPECT_EQ(Value(2.5).toString(), QStringLiteral("2,5"));
    EXPECT_DOUBLE_EQ(Value(QStringLiteral("2,5")).toFloat(), 2.5);
    EXPECT_THROW(Value(QStringLiteral("2.5")).toFloat(), ScriptError);
}

struct ToInteger
{
    const char *name;
    Value value;
    qint64 expected;
};

TEST(ScriptValues, ConversionToInteger)
{
    tev::DecimalSeparatorGuard dot(QLatin1Char('.'));
    const ToInteger rows[] = {
        {"unassigned", Value(), 0},
        {"true is -1 as in the dialect's Variants", Value(true), -1},
        {"false", Value(false), 0},
        {"half to even down", Value(2.5), 2},
        {"half to even up", Value(3.5), 4},
        {"negative half", Value(-2.5), -2},
        {"decimal text", Value(QStringLiteral(" 17 ")), 17},
        {"hex text", Value(QStringLiteral("$1F")), 31},
        {"float text", Value(QStringLiteral("1.6")), 2},
    };
    for (const ToInteger &r : rows)
        EXPECT_EQ(r.value.toInteger(), r.expected) << r.name;
}

TEST(ScriptValues, ConversionsThatFailRaiseEConvertError)
{
    const Value rows[] = {Value::null(), Value(QStringLiteral("abc")), Value(QStringLiteral("")),
                          Value::array({}), Value(std::nan(""))};
    for (const Value &v : rows) {
        try {
            (void)v.toInteger();
            ADD_FAILURE() << v.typeName().toStdString();
        } catch (const ScriptError &e) {
            EXPECT_EQ(e.className(), QStringLiteral("EConvertError"));
        }
    }
    EXPECT_THROW(Value::nil().toString(), ScriptError);
    EXPECT_THROW(Value(QStringLiteral("maybe")).toBoolean(), ScriptError);
}

TEST(ScriptValues, ConversionToBoolean)
{
    EXPECT_TRUE(Value(QStringLiteral("TRUE")).toBoolean());
    EXPECT_FALSE(Value(QStringLiteral("false")).toBoolean());
    EXPECT_TRUE(Value(qint64(2)).toBoolean());
    EXPECT_FALSE(Value().toBoolean());
    EXPECT_TRUE(Value(QStringLiteral("1")).toBoolean());
}

struct Operation
{
    const char *name;
    Tok op;
    Value a, b;
    Value expected;
};

TEST(ScriptValues, Operators)
{
    tev::DecimalSeparatorGuard dot(QLatin1Char('.'));
    const Operation rows[] = {
        {"integer sum stays integer", Tok::Plus, Value(2), Value(3), Value(5)},
        {"slash always gives a float", Tok::Slash, Value(7), Value(2), Value(3.5)},
        {"number text meets number", Tok::Plus, Value(QStringLiteral("2")), Value(3), Value(5)},
        {"texts concatenate", Tok::Plus, Value(QStringLiteral("2")), Value(QStringLiteral("3")),
         Value(QStringLiteral("23"))},
        {"unassigned plus text", Tok::Plus, Value(), Value(QStringLiteral("a")),
         Value(QStringLiteral("a"))},
        {"null propagates", Tok::Plus, Value::null(), Value(1), Value::null()},
        {"integer overflow wraps", Tok::Plus, Value(qint64(INT64_MAX)), Value(1),
         Value(qint64(INT64_MIN))},
        {"div truncates", Tok::Div, Value(-7), Value(2), Value(-3)},
        {"mod keeps the dividend's sign", Tok::Mod, Value(-7), Value(2), Value(-1)},
        {"bitwise and", Tok::And, Value(12), Value(10), Value(8)},
        {"logical xor", Tok::Xor, Value(true), Value(false), Value(true)},
        {"text comparison is case-sensitive", Tok::Less, Value(QStringLiteral("B")),
         Value(QStringLiteral("a")), Value(true)},
        {"number text equals number", Tok::Equal, Value(QStringLiteral("5")), Value(5),
         Value(true)},
        {"other text differs from number", Tok::Equal, Value(QStringLiteral("x")), Value(5),
         Value(false)},
        {"nil equals unassigned", Tok::Equal, Value::nil(), Value(), Value(true)},
        {"date plus days stays a date", Tok::Plus, Value::dateTime(1), Value(1),
         Value::dateTime(2)},
    };
    for (const Operation &r : rows) {
        const Value got = binaryOp(r.op, r.a, r.b);
        EXPECT_EQ(got.type(), r.expected.type()) << r.name;
        EXPECT_TRUE(got.isNull() ? r.expected.isNull() : equalValues(got, r.expected)) << r.name;
    }
}

TEST(ScriptValues, DivisionByZeroRaises)
{
    const struct
    {
        Tok op;
        const char *cls;
    } rows[] = {{Tok::Div, "EDivByZero"}, {Tok::Mod, "EDivByZero"}, {Tok::Slash, "EZeroDivide"}};
    for (const auto &r : rows) {
        try {
            binaryOp(r.op, Value(1), Value(0));
            ADD_FAILURE() << r.cls;
        } catch (const ScriptError &e) {
            EXPECT_EQ(e.className(), QLatin1String(r.cls));
        }
    }
    EXPECT_EQ(binaryOp(Tok::Div, Value(qint64(INT64_MIN)), Value(-1)).toInteger(), INT64_MIN);
}

TEST(ScriptValues, ArraysHaveValueSemantics)
{
    Value a = Value::array({Value(1), Value(2)});
    Value b = a;
    b.mutableArray().items[0] = Value(9);
    EXPECT_EQ(a.rawArray().items[0].toInteger(), 1);
    EXPECT_EQ(b.rawArray().items[0].toInteger(), 9);
}

} // namespace
