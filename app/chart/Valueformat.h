#pragma once

#include <QString>

// Writes a number after a picture format in the style of FormatFloat:
//   0      a digit, written even when it is a leading or trailing zero
//   #      a digit, left out when it is a leading or trailing zero
//   .      the decimal separator (the first one counts)
//   ,      thousands separators in the integer part
//   E+0 E-0 e+0 e-0   scientific notation; the zeros give the least number of
//          exponent digits, "+" writes the sign of positive exponents too
//   'x' "x"   literal text; any other character is literal as well
// Up to three sections separated by ";" format positive numbers, negative
// numbers (written without a minus sign) and zero. An empty format writes the
// general number format.
//
// Literal characters between the first and the last digit placeholder are
// written where they stand among the integer digits; within the fraction they
// follow the digit before them.
QString FormatFloat(const QString &format, double value);
