#include "Valueformat.h"

#include <gtest/gtest.h>

// The tests run in the C locale: point as decimal separator, comma between
// thousands.

TEST(ValueFormat, DefaultAxisFormatGroupsThousandsAndKeepsThreeDecimals)
{
    EXPECT_EQ(FormatFloat("#,##0.###", 57812), "57,812");
    EXPECT_EQ(FormatFloat("#,##0.###", 1234567.25), "1,234,567.25");
    EXPECT_EQ(FormatFloat("#,##0.###", 0.0126), "0.013");
    EXPECT_EQ(FormatFloat("#,##0.###", 0.0004), "0");
    EXPECT_EQ(FormatFloat("#,##0.###", 999), "999");
    EXPECT_EQ(FormatFloat("#,##0.###", 1000), "1,000");
}

TEST(ValueFormat, NegativeNumbersCarryAMinusUnlessTheyRoundToZero)
{
    EXPECT_EQ(FormatFloat("#,##0.###", -1234.5), "-1,234.5");
    EXPECT_EQ(FormatFloat("#,##0.###", -0.0001), "0");
}

TEST(ValueFormat, ZerosAreAlwaysWrittenHashesOnlyWhenSignificant)
{
    EXPECT_EQ(FormatFloat("0.00", 3), "3.00");
    EXPECT_EQ(FormatFloat("000", 7), "007");
    EXPECT_EQ(FormatFloat("#.##", 0.5), ".5");
    EXPECT_EQ(FormatFloat("#", 0), "");
    EXPECT_EQ(FormatFloat("0.0#", 2.126), "2.13");
    EXPECT_EQ(FormatFloat("0.#", 2), "2");
}

TEST(ValueFormat, ScientificNotationTakesItsIntegerDigitsFromThePlaceholders)
{
    EXPECT_EQ(FormatFloat("0.00E+00", 12346), "1.23E+04");
    EXPECT_EQ(FormatFloat("00.00E+00", 12346), "12.35E+03");
    EXPECT_EQ(FormatFloat("0.0E-0", 0.00025), "2.5E-4");
    EXPECT_EQ(FormatFloat("0.0E-0", 2500), "2.5E3");
    EXPECT_EQ(FormatFloat("0.0E+000", 0), "0.0E+000");
}

TEST(ValueFormat, SectionsForNegativeAndZeroAndLiteralText)
{
    EXPECT_EQ(FormatFloat("0.0;(0.0);'zero'", -2.5), "(2.5)");
    EXPECT_EQ(FormatFloat("0.0;(0.0);'zero'", 0), "zero");
    EXPECT_EQ(FormatFloat("0.0;(0.0);'zero'", 2.5), "2.5");
    EXPECT_EQ(FormatFloat("0.0;;", -2.5), "-2.5");
    EXPECT_EQ(FormatFloat("0.0' s'", 1.5), "1.5 s");
    EXPECT_EQ(FormatFloat("\"t=\"0", 4), "t=4");
    EXPECT_EQ(FormatFloat("0 %", 45), "45 %");
}

TEST(ValueFormat, AnEmptyFormatWritesTheGeneralNumberFormat)
{
    EXPECT_EQ(FormatFloat("", 1.5e-9), "1.5E-9");
    EXPECT_EQ(FormatFloat("", 0.01), "0.01");
    EXPECT_EQ(FormatFloat("", 57812), "57812");
}
