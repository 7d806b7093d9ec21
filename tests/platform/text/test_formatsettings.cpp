#include <gtest/gtest.h>
#include <stdexcept>

#include "platform/text/formatsettings.h"

using tev::DecimalSeparator;
using tev::DecimalSeparatorGuard;

TEST(DecimalSeparatorGuard, RestoresThePreviousSeparatorAlsoAfterAnException)
{
    tev::SetDecimalSeparator(QLatin1Char(','));
    try {
        DecimalSeparatorGuard guard(QLatin1Char('.'));
        EXPECT_EQ(DecimalSeparator(), QLatin1Char('.'));
        throw std::runtime_error("conversion failed");
    } catch (const std::runtime_error &) {
    }
    EXPECT_EQ(DecimalSeparator(), QLatin1Char(','));
    {
        DecimalSeparatorGuard outer(QLatin1Char('.'));
        DecimalSeparatorGuard inner(QLatin1Char(';'));
        EXPECT_EQ(DecimalSeparator(), QLatin1Char(';'));
    }
    EXPECT_EQ(DecimalSeparator(), QLatin1Char(','));
}
