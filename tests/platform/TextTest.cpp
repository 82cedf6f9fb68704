#include "platform/Text.h"

#include <climits>
#include <gtest/gtest.h>

using platform::_wtof;
using platform::_wtoi;
using platform::MulDiv;

TEST(Wtoi, ReadsLeadingNumberAsTheCLibraryDoes)
{
    EXPECT_EQ(12, _wtoi(" 12ab"));
    EXPECT_EQ(-3, _wtoi("-3"));
    EXPECT_EQ(7, _wtoi("+7"));
    EXPECT_EQ(0, _wtoi("abc"));
    EXPECT_EQ(0, _wtoi(""));
    EXPECT_EQ(0, _wtoi("-"));
    EXPECT_EQ(0, _wtoi("- 5"));  // no blank between sign and digits
    EXPECT_EQ(42, _wtoi("\t\n\v\f\r 42"));
    EXPECT_EQ(5, _wtoi("5.9"));
    EXPECT_EQ(0, _wtoi(QString::fromUtf8("１２")));  // full-width digits are not digits here
    EXPECT_EQ(3, _wtoi(QString::fromUtf8("3年")));
}

TEST(Wtoi, ClampsBeyondIntAsWindowsDoes)
{
    EXPECT_EQ(INT_MAX, _wtoi("2147483647"));
    EXPECT_EQ(INT_MIN, _wtoi("-2147483648"));
    EXPECT_EQ(INT_MAX, _wtoi("2147483648"));
    EXPECT_EQ(INT_MIN, _wtoi("-2147483649"));
    EXPECT_EQ(INT_MAX, _wtoi("99999999999999999999999999"));
    EXPECT_EQ(INT_MIN, _wtoi("-99999999999999999999999999"));
}

TEST(Wtof, ReadsTheLongestDecimalPrefix)
{
    EXPECT_DOUBLE_EQ(1.0, _wtof("1.0"));
    EXPECT_DOUBLE_EQ(1.0, _wtof("1.00"));
    EXPECT_DOUBLE_EQ(0.9, _wtof(" 0.9"));
    EXPECT_DOUBLE_EQ(1.01, _wtof("1.01"));
    EXPECT_DOUBLE_EQ(-2.5e3, _wtof("-2.5e3xyz"));
    EXPECT_DOUBLE_EQ(2.0, _wtof("2.0beta"));
    EXPECT_DOUBLE_EQ(0.0, _wtof("abc"));
    EXPECT_DOUBLE_EQ(0.0, _wtof(""));
    EXPECT_DOUBLE_EQ(3.0, _wtof(QString::fromUtf8("3．5")));  // the full-width point ends the number
}

TEST(Wtof, IgnoresTheProcessLocale)
{
    // a locale with a decimal comma must not change how "1.5" reads
    const char* old = setlocale(LC_NUMERIC, nullptr);
    const std::string saved = old ? old : "C";
    if (setlocale(LC_NUMERIC, "de_DE.UTF-8") || setlocale(LC_NUMERIC, "fr_FR.UTF-8")) {
        EXPECT_DOUBLE_EQ(1.5, _wtof("1.5"));
    }
    setlocale(LC_NUMERIC, saved.c_str());
    EXPECT_DOUBLE_EQ(1.5, _wtof("1.5"));
}

TEST(MulDiv, RoundsHalfAwayFromZeroWithAWideIntermediate)
{
    EXPECT_EQ(-1, MulDiv(5, 100, 0));
    EXPECT_EQ(-1, MulDiv(0, 100, 0));
    EXPECT_EQ(50, MulDiv(1, 100, 2));
    EXPECT_EQ(33, MulDiv(1, 100, 3));
    EXPECT_EQ(67, MulDiv(2, 100, 3));
    EXPECT_EQ(3, MulDiv(5, 1, 2));    // 2.5 rounds up
    EXPECT_EQ(-3, MulDiv(-5, 1, 2));  // -2.5 rounds away from zero
    EXPECT_EQ(-3, MulDiv(5, 1, -2));
    EXPECT_EQ(3, MulDiv(-5, 1, -2));
    // the product does not fit in 32 bits, the result does
    EXPECT_EQ(100, MulDiv(2000000000, 100, 2000000000));
    EXPECT_EQ(1500000000, MulDiv(2000000000, 3, 4));
    // a result beyond int is an error, as on Windows
    EXPECT_EQ(-1, MulDiv(INT_MAX, 2, 1));
    EXPECT_EQ(-1, MulDiv(INT_MIN, 1, 1));
}
