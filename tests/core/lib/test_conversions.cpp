#include <gtest/gtest.h>

#include "core/lib/conversions.h"
#include "qstringprinter.h"

#include <QDate>
#include <QLocale>
#include <cmath>
#include <limits>

using namespace tev;

TEST(Booleans, StoredAsYesAndNo)
{
    EXPECT_EQ(BoolToInt(true), 1);
    EXPECT_EQ(BoolToInt(false), 0);
    EXPECT_EQ(BoolToParamStr(true), QStringLiteral("YES"));
    EXPECT_EQ(BoolToParamStr(false), QStringLiteral("NO"));

    const std::pair<const char *, bool> cases[] = {
        {" yes ", true}, {"YES", true},  {"Yes\t", true}, {"no", false},    {"nO", false},
        {"2", true},     {"-1", true},   {"0", false},    {"maybe", false}, {"", false},
        {"$10", true},   {"0x0", false}, {"y", false},    {"yes!", false},  {"1.0", false},
    };
    for (const auto &[text, expected] : cases)
        EXPECT_EQ(ParamStrToBool(QString::fromUtf8(text)), expected) << text;
}

TEST(VarToInt, TakesIntegerAndBooleanKindsOnly)
{
    struct Case
    {
        QVariant value;
        qint32 expected;
    };
    const Case cases[] = {
        {QVariant(), 0},
        {QVariant(7), 7},
        {QVariant(-7), -7},
        {QVariant(true), 1},
        {QVariant(false), 0},
        {QVariant(QStringLiteral("7")), 0},
        {QVariant(7.5), 0},
        {QVariant(qint64(5) + (qint64(1) << 32)), 5},
        {QVariant(quint32(0xFFFFFFFFu)), -1},
        {QVariant(QMetaType(QMetaType::Int)), 0},
        {QVariant::fromValue<short>(-3), -3},
        {QVariant::fromValue<uchar>(200), 200},
    };
    for (const Case &c : cases)
        EXPECT_EQ(VarToInt(c.value), c.expected) << c.value.typeName();
}

TEST(VarToDouble, TakesNumericKindsAndGivesNaNOtherwise)
{
    struct Case
    {
        QVariant value;
        double expected; // NaN: missing
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Case cases[] = {
        {QVariant(QStringLiteral("1.5")), nan},
        {QVariant(), nan},
        {QVariant(QMetaType(QMetaType::Double)), nan},
        {QVariant(7), 7},
        {QVariant(2.5), 2.5},
        {QVariant(0.5f), 0.5},
        {QVariant(true), 1},
        {QVariant(qint64(1) << 40), double(qint64(1) << 40)},
        {QVariant(QDate(2020, 1, 1)), nan},
    };
    for (const Case &c : cases) {
        const double value = VarToDouble(c.value);
        if (std::isnan(c.expected))
            EXPECT_TRUE(std::isnan(value)) << c.value.typeName();
        else
            EXPECT_EQ(value, c.expected) << c.value.typeName();
    }
}

TEST(DateTimeToCaption, ShowsDateAndTimeButNoMidnight)
{
    const QLocale locale = QLocale::system();
    // Day 45000 is 15 March 2023.
    const QString date =
        locale.toString(QDate(2023, 3, 15), locale.dateFormat(QLocale::ShortFormat));
    EXPECT_EQ(DateTimeToCaption(45000.0), date);
    const QString withTime = DateTimeToCaption(45000.75);
    EXPECT_TRUE(withTime.startsWith(date + QLatin1Char(' '))) << withTime.toStdString();
    EXPECT_TRUE(withTime.contains(QStringLiteral("18:00:00")) ||
                withTime.contains(QStringLiteral("6:00:00")))
        << withTime.toStdString();
    // A time that rounds to the next midnight shows that day without a time.
    const QString nextDay =
        locale.toString(QDate(2023, 3, 16), locale.dateFormat(QLocale::ShortFormat));
    EXPECT_EQ(DateTimeToCaption(45000.9999999999), nextDay);

    for (double empty : {0.0, -1.0, -0.5, std::numeric_limits<double>::quiet_NaN(),
                         std::numeric_limits<double>::infinity(), 1e9})
        EXPECT_EQ(DateTimeToCaption(empty), QString()) << empty;
}
