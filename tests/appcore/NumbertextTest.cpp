#include "Numbertext.h"
#include "TestSupport.h"

#include <cmath>
#include <limits>

namespace {

TEST(FormatNumber, WholeNumbersArePlainIntegers)
{
    EXPECT_EQ(FormatNumber(12), "12");
    EXPECT_EQ(FormatNumber(100), "100");
    EXPECT_EQ(FormatNumber(1000), "1000");
    EXPECT_EQ(FormatNumber(0), "0");
    EXPECT_EQ(FormatNumber(-0.0), "0");
    EXPECT_EQ(FormatNumber(-57812), "-57812");
    EXPECT_EQ(FormatNumber(999999999999999.0), "999999999999999");
}

TEST(FormatNumber, FixedNotationFromOneHundredThousandthToFifteenIntegerDigits)
{
    EXPECT_EQ(FormatNumber(0.0001), "0.0001");
    EXPECT_EQ(FormatNumber(0.01), "0.01");
    EXPECT_EQ(FormatNumber(0.3), "0.3");
    EXPECT_EQ(FormatNumber(11.6), "11.6");
    EXPECT_EQ(FormatNumber(57812.56), "57812.56");
    EXPECT_EQ(FormatNumber(-2.5), "-2.5");
    EXPECT_EQ(FormatNumber(1e-5), "0.00001");
    EXPECT_EQ(FormatNumber(1.25e-5), "0.0000125");
    // Rounded to 15 digits first: this one becomes 1E-5 and stays fixed.
    EXPECT_EQ(FormatNumber(9.9999999999999999e-6), "0.00001");
    EXPECT_EQ(FormatNumber(123456789.125), "123456789.125");
}

TEST(FormatNumber, AtMostFifteenSignificantDigits)
{
    EXPECT_EQ(FormatNumber(0.1 + 0.2), "0.3");
    EXPECT_EQ(FormatNumber(1.0 / 3.0), "0.333333333333333");
    EXPECT_EQ(FormatNumber(2.0 / 3.0), "0.666666666666667");
    EXPECT_EQ(FormatNumber(100.0 / 7.0), "14.2857142857143");
}

TEST(FormatNumber, ExponentNotationOutsideTheFixedRange)
{
    EXPECT_EQ(FormatNumber(1e-6), "1E-6");
    EXPECT_EQ(FormatNumber(1.5e-9), "1.5E-9");
    EXPECT_EQ(FormatNumber(3.4e-14), "3.4E-14");
    EXPECT_EQ(FormatNumber(8e-15), "8E-15");
    EXPECT_EQ(FormatNumber(-1e-7), "-1E-7");
    EXPECT_EQ(FormatNumber(9.99e-6), "9.99E-6");
    EXPECT_EQ(FormatNumber(1e15), "1E15");
    EXPECT_EQ(FormatNumber(123456789012345678.0), "1.23456789012346E17");
    EXPECT_EQ(FormatNumber(1e300), "1E300");
    EXPECT_EQ(FormatNumber(4.9406564584124654e-324), "4.94065645841247E-324");
    EXPECT_EQ(FormatNumber(std::numeric_limits<double>::max()), "1.79769313486232E308");
}

TEST(FormatNumber, CommaLocale)
{
    USE_COMMA_LOCALE(locale);
    EXPECT_EQ(DecimalSeparator(), ',');
    EXPECT_EQ(FormatNumber(0.3), "0,3");
    EXPECT_EQ(FormatNumber(1.5e-9), "1,5E-9");
    EXPECT_EQ(FormatNumber(12), "12");
    EXPECT_EQ(FormatNumber(1234567.5), "1234567,5");
}

TEST(ParseNumber, AcceptsWholeNumberTexts)
{
    EXPECT_EQ(ParseNumber("12"), 12.0);
    EXPECT_EQ(ParseNumber("0.3"), 0.3);
    EXPECT_EQ(ParseNumber(" 1.5E-9 "), 1.5e-9);
    EXPECT_EQ(ParseNumber("1e5"), 1e5);
    EXPECT_EQ(ParseNumber("1E+5"), 1e5);
    EXPECT_EQ(ParseNumber("-2"), -2.0);
    EXPECT_EQ(ParseNumber("+3"), 3.0);
    EXPECT_EQ(ParseNumber(".5"), 0.5);
    EXPECT_EQ(ParseNumber("5."), 5.0);
    EXPECT_EQ(ParseNumber("\t0.0001"), 0.0001);
    // Too small to tell from zero is still a number.
    EXPECT_EQ(ParseNumber("1e-400"), 0.0);
}

TEST(ParseNumber, RejectsEverythingElseWithTheConversionMessage)
{
    for (const char *bad : {"", " ", "abc", "1.2.3", "1e", "e5", ".", "-", "1,5", "0x10", "inf", "nan",
                            "1e400", "-1e400", "12abc", "1 2", "1e5.5", "--1", "1e+"}) {
        try {
            ParseNumber(bad);
            ADD_FAILURE() << "accepted '" << bad << "'";
        } catch (const ConversionError &e) {
            EXPECT_EQ(std::string(e.what()),
                      "'" + std::string(bad) + "' is not a valid floating point value");
        }
    }
}

TEST(ParseNumber, CommaLocaleTakesTheCommaOnly)
{
    USE_COMMA_LOCALE(locale);
    EXPECT_EQ(ParseNumber("0,3"), 0.3);
    EXPECT_EQ(ParseNumber("1,5E-9"), 1.5e-9);
    EXPECT_THROW(ParseNumber("0.3"), ConversionError);
}

TEST(ParseNumber, ReadsBackWhatFormatNumberWrites)
{
    // The format keeps 15 significant digits, so the value returns within
    // half a unit in the 15th digit.
    double x = 1.234567890123456789e-20;
    for (int i = 0; i < 400; ++i, x *= -3.7) {
        const double back = ParseNumber(FormatNumber(x));
        EXPECT_NEAR(back, x, std::fabs(x) * 5e-15) << FormatNumber(x);
    }
}

} // namespace

TEST(FormatOnGrid, RoundsToWhatTheStepResolves)
{
    struct Case {
        double value;
        double step;
        const char *text;
    } const cases[] = {
        {3.12999999999998, 0.01, "3.13"},
        {9.26999999999985, 0.01, "9.27"},
        {0.30000000000000004, 0.1, "0.3"},
        {2.0000000001, 0.01, "2"},
        {0.0075, 0.0025, "0.0075"},
        {0.123456, 0.0025, "0.1235"},
        {7.4, 1.0, "7"},
        {1.25, 0.25, "1.25"},
        {3.12999999999998, 0.0, "3.12999999999998"},
        {3.12999999999998, -1.0, "3.12999999999998"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(FormatOnGrid(c.value, c.step), c.text) << c.value << " on " << c.step;
}
