#include <gtest/gtest.h>

#include "core/lib/numbers.h"
#include "platform/text/formatsettings.h"
#include "qstringprinter.h"

#include <bit>
#include <cmath>
#include <limits>

using namespace tev;

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

// Sets the program-wide separator for one test and puts the previous one back.
class SeparatorScope
{
public:
    explicit SeparatorScope(QChar separator)
        : m_guard(separator)
    {}

private:
    DecimalSeparatorGuard m_guard;
};

// Compares a result with an expected value where NaN (the missing value) must match NaN.
void ExpectSameValue(double actual, double expected, const std::string &context)
{
    if (std::isnan(expected))
        EXPECT_TRUE(std::isnan(actual)) << context << ": got " << actual;
    else
        EXPECT_EQ(actual, expected) << context;
}

} // namespace

struct StrToDoubleCase
{
    const char *text;
    int decimals;
    bool autoDetect;
    char programSeparator;
    double expected;
};

class StrToDoubleTest : public ::testing::TestWithParam<StrToDoubleCase>
{
};

TEST_P(StrToDoubleTest, ReadsFloatTextOrGivesNaN)
{
    const StrToDoubleCase &c = GetParam();
    SeparatorScope scope(QLatin1Char(c.programSeparator));
    const double value = StrToDouble(QString::fromUtf8(c.text), c.decimals, c.autoDetect);
    ExpectSameValue(value, c.expected, c.text);
    EXPECT_EQ(DecimalSeparator(), QLatin1Char(c.programSeparator)) << "separator not restored";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StrToDoubleTest,
    ::testing::Values(
        StrToDoubleCase{"", 2, true, '.', NaN}, StrToDoubleCase{"   ", 2, true, '.', NaN},
        StrToDoubleCase{"1,5", 2, true, '.', 1.5}, StrToDoubleCase{"1,5", 2, true, ',', 1.5},
        StrToDoubleCase{"1.5", 2, true, ',', 1.5}, StrToDoubleCase{"1,234.5", 2, true, '.', NaN},
        StrToDoubleCase{" 2.375 ", 2, true, ',', 2.38}, StrToDoubleCase{"\t1.5", 2, true, '.', NaN},
        StrToDoubleCase{"1.5\n", 2, true, '.', NaN}, StrToDoubleCase{"1.5", 2, false, ',', NaN},
        StrToDoubleCase{"1,5", 2, false, ',', 1.5}, StrToDoubleCase{"1,5", 2, false, '.', NaN},
        StrToDoubleCase{"15", 2, true, ',', 15}, StrToDoubleCase{".", 2, true, '.', 0},
        StrToDoubleCase{"-.5", 1, true, '.', -0.5}, StrToDoubleCase{"5.", 0, true, '.', 5},
        StrToDoubleCase{"+2", 0, true, '.', 2}, StrToDoubleCase{"-", 0, true, '.', NaN},
        StrToDoubleCase{"1e3", 0, true, '.', 1000}, StrToDoubleCase{"1.5E-2", 3, true, '.', 0.015},
        StrToDoubleCase{"2E+1", 0, true, '.', 20}, StrToDoubleCase{"1e", 0, true, '.', NaN},
        StrToDoubleCase{"1e400", 0, true, '.', NaN}, StrToDoubleCase{"-1e-400", 2, true, '.', 0},
        StrToDoubleCase{"2 3", 0, true, '.', NaN}, StrToDoubleCase{"1.2.3", 2, true, '.', NaN},
        StrToDoubleCase{"inf", 2, true, '.', NaN}, StrToDoubleCase{"NaN", 2, true, '.', NaN},
        StrToDoubleCase{"0x10", 2, true, '.', NaN}, StrToDoubleCase{"\u0661", 2, true, '.', NaN},
        StrToDoubleCase{"2.5", 0, false, '.', 3}, StrToDoubleCase{"-2.5", 0, false, '.', -3},
        StrToDoubleCase{"1234.5678", -2, false, '.', 1200}));

TEST(Rnd, RoundsHalfAwayFromZero)
{
    struct Case
    {
        double value;
        int decimals;
        double expected;
    };
    const Case cases[] = {
        {2.5, 0, 3},
        {-2.5, 0, -3},
        {2.4999, 0, 2},
        {1234, -2, 1200},
        {1250, -2, 1300},
        {-1250, -2, -1300},
        {2.375, 2, 2.38},
        {-2.375, 2, -2.38},
        {0.125, 2, 0.13},
        {1.005, 2, 1},
        {0.5, 0, 1},
        {0, 3, 0},
        {1e300, 2, 1e300},
        {1.5, 100, 1.5},
        {123456, -100, 0},
        {kInf, 2, NaN},
        {-kInf, 2, NaN},
        {NaN, 2, NaN},
        {std::nan(""), 0, NaN},
        {7.77777, 3, 7.778},
    };
    for (const Case &c : cases)
        ExpectSameValue(Rnd(c.value, c.decimals), c.expected,
                        std::to_string(c.value) + " to " + std::to_string(c.decimals));
}

TEST(Rnd, MissingValueHasTheRoutineLibrarysBitPattern)
{
    EXPECT_EQ(std::bit_cast<quint64>(Rnd(kInf, 2)), 0xFFF8000000000000ULL);
    EXPECT_EQ(std::bit_cast<quint64>(StrToDouble(QStringLiteral("x"), 2)), 0xFFF8000000000000ULL);
}

struct DoubleToStrCase
{
    double value;
    int decimals;
    char separator; // 0: the program-wide one
    const char *expected;
};

class DoubleToStrTest : public ::testing::TestWithParam<DoubleToStrCase>
{
};

TEST_P(DoubleToStrTest, WritesFixedPointText)
{
    const DoubleToStrCase &c = GetParam();
    SeparatorScope scope(QLatin1Char(';'));
    const QChar separator = c.separator ? QLatin1Char(c.separator) : QChar();
    const QString text = DoubleToStr(c.value, c.decimals, separator);
    EXPECT_EQ(text.toStdString(), c.expected) << c.value << " with " << c.decimals;
    EXPECT_EQ(DecimalSeparator(), QLatin1Char(';')) << "separator not restored";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DoubleToStrTest,
    ::testing::Values(
        DoubleToStrCase{NaN, 2, '.', ""}, DoubleToStrCase{kInf, 2, '.', ""},
        DoubleToStrCase{-kInf, 2, '.', ""}, DoubleToStrCase{1.5, 2, ',', "1,50"},
        DoubleToStrCase{1.5, 2, 0, "1;50"}, DoubleToStrCase{0.125, 2, '.', "0.13"},
        DoubleToStrCase{-0.125, 2, '.', "-0.13"}, DoubleToStrCase{2.675, 2, '.', "2.68"},
        DoubleToStrCase{9.995, 2, '.', "10.00"}, DoubleToStrCase{999.9999, 2, '.', "1000.00"},
        DoubleToStrCase{123456789.123456789, 8, '.', "123456789.12345700"},
        DoubleToStrCase{0.1, 18, '.', "0.100000000000000000"},
        DoubleToStrCase{1, 25, '.', "1.000000000000000000"},
        DoubleToStrCase{1234.5, 0, '.', "1235"}, DoubleToStrCase{-1234.5, 0, '.', "-1235"},
        DoubleToStrCase{-5, -1, '.', "-5"}, DoubleToStrCase{0, 2, '.', "0.00"},
        DoubleToStrCase{-0.0, 1, '.', "0.0"}, DoubleToStrCase{-0.001, 2, '.', "0.00"},
        DoubleToStrCase{0.005, 2, '.', "0.01"}, DoubleToStrCase{0.0049, 2, '.', "0.00"},
        DoubleToStrCase{1e-20, 2, '.', "0.00"}, DoubleToStrCase{0.5, 0, '.', "1"},
        DoubleToStrCase{99999999999999.95, 1, '.', "100000000000000.0"},
        DoubleToStrCase{999999999999999.0, 0, '.', "999999999999999"},
        DoubleToStrCase{1e15, 2, '.', "1E15"}, DoubleToStrCase{-1.5e20, 2, ',', "-1,5E20"}));

TEST(SysFloatToStr, WritesTheGeneralFormatWithAPoint)
{
    SeparatorScope scope(QLatin1Char(','));
    struct Case
    {
        long double value;
        const char *expected;
    };
    const Case cases[] = {
        {1e15L, "1E15"},
        {1.5e-5L, "1.5E-5"},
        {0.0001L, "0.0001"},
        {0.00009L, "9E-5"},
        {123.456L, "123.456"},
        {999999999999999.0L, "999999999999999"},
        {1.0L / 3, "0.333333333333333"},
        {2.0L / 3, "0.666666666666667"},
        {0, "0"},
        {-2.5L, "-2.5"},
        {100, "100"},
        {0.1L, "0.1"},
        {1.23456789012345678e20L, "1.23456789012346E20"},
        {-1e-300L, "-1E-300"},
        {std::numeric_limits<long double>::quiet_NaN(), "NAN"},
        {std::numeric_limits<long double>::infinity(), "INF"},
        {-std::numeric_limits<long double>::infinity(), "-INF"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(SysFloatToStr(c.value).toStdString(), c.expected);
}

TEST(IntegerText, ReadsDecimalAndHexadecimalWithinThirtyTwoBits)
{
    struct Case
    {
        const char *text;
        qint32 expected; // with the default -7
    };
    const Case cases[] = {
        {"42", 42},
        {"  42", 42},
        {"42 ", -7},
        {"+5", 5},
        {"-2147483648", std::numeric_limits<qint32>::min()},
        {"2147483647", 2147483647},
        {"2147483648", -7},
        {"-2147483649", -7},
        {"99999999999999999999", -7},
        {"$1F", 31},
        {"$1f", 31},
        {"x1F", 31},
        {"X1F", 31},
        {"0x1F", 31},
        {"0X1f", 31},
        {"-$10", -16},
        {"$7FFFFFFF", 2147483647},
        {"$80000000", -7},
        {"$", -7},
        {"0x", -7},
        {"", -7},
        {"1.0", -7},
        {"1e3", -7},
        {"\t1", -7},
        {"\u0661", -7},
        {"--1", -7},
    };
    for (const Case &c : cases)
        EXPECT_EQ(StrToIntDef(QString::fromUtf8(c.text), -7), c.expected) << c.text;
}

TEST(IsInteger, TreatsTheDefaultItselfAsNoInteger)
{
    EXPECT_FALSE(IsInteger(QStringLiteral("2147483647")));
    EXPECT_TRUE(IsInteger(QStringLiteral("$1F")));
    EXPECT_FALSE(IsInteger(QString()));
    EXPECT_TRUE(IsInteger(QStringLiteral("-2147483648")));
    EXPECT_FALSE(IsInteger(QStringLiteral("12a")));
}

TEST(IsNumeric, UsesTheProgramWideSeparatorWithoutRounding)
{
    SeparatorScope scope(QLatin1Char(','));
    EXPECT_TRUE(IsNumeric(QStringLiteral(" 1,23456789 ")));
    EXPECT_FALSE(IsNumeric(QStringLiteral("1.5")));
    EXPECT_FALSE(IsNumeric(QStringLiteral("1e400")));
    EXPECT_FALSE(IsNumeric(QString()));
    EXPECT_TRUE(IsNumeric(QStringLiteral("-7")));
}

TEST(StrToSysFloat, ReadsWithAPointOrGivesTheDefault)
{
    SeparatorScope scope(QLatin1Char(','));
    EXPECT_EQ(StrToSysFloat(QStringLiteral("1.5")), 1.5);
    EXPECT_EQ(StrToSysFloat(QStringLiteral("1,5"), 9), 9);
    EXPECT_EQ(StrToSysFloat(QString(), 2), 2);
    EXPECT_EQ(StrToSysFloat(QStringLiteral("abc")), 0);
    EXPECT_EQ(StrToSysFloat(QStringLiteral("1e400"), 3), 3);
    EXPECT_TRUE(std::isnan(StrToSysFloat(QStringLiteral("abc"), NaN)));
    EXPECT_EQ(StrToSysFloat(QStringLiteral(" -2.125E1 ")), -21.25);
}

TEST(NumberRoutines, SignedTextAndOptions)
{
    EXPECT_EQ(IntToSignedStr(5), QStringLiteral("+5"));
    EXPECT_EQ(IntToSignedStr(0), QStringLiteral("0"));
    EXPECT_EQ(IntToSignedStr(-3), QStringLiteral("-3"));
    EXPECT_EQ(IntToSignedStr(std::numeric_limits<qint32>::min()), QStringLiteral("-2147483648"));

    EXPECT_TRUE(OptionEnabled(0, 0));
    EXPECT_TRUE(OptionEnabled(1, 3));
    EXPECT_FALSE(OptionEnabled(4, 3));
    EXPECT_FALSE(OptionEnabled(6, 2));
    EXPECT_TRUE(OptionEnabled(0xFFFFFFFFu, 0xFFFFFFFFu));

    EXPECT_TRUE(IsDoubleOK(0));
    EXPECT_FALSE(IsDoubleOK(NaN));
    EXPECT_FALSE(IsDoubleOK(-kInf));
}

TEST(NumberText, WrittenValuesReadBack)
{
    // A value written with its decimals reads back to the same value, whatever the separator.
    const double values[] = {0.1, 2.375, -1234.5678, 1e-7, 98765.4321, 123456789.012345};
    for (const QChar separator : {QLatin1Char('.'), QLatin1Char(',')}) {
        SeparatorScope scope(separator);
        for (double v : values) {
            const QString text = DoubleToStr(v, 6);
            EXPECT_EQ(StrToDouble(text, 6), Rnd(v, 6)) << text.toStdString();
        }
    }
}
