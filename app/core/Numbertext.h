#pragma once

#include <charconv>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

// Numbers as the user sees and types them. Both directions use the decimal
// separator of the process locale (LC_NUMERIC), so a program that calls
// setlocale(LC_ALL, "") follows the user's locale and one that does not uses
// the C locale's point.

// Raised for a text that is not a whole number text; the message is
// "'<text>' is not a valid floating point value".
class ConversionError : public std::runtime_error {
public:
    explicit ConversionError(std::string_view text);
};

// The decimal separator of the current LC_NUMERIC locale.
char DecimalSeparator();

// The general number format: at most 15 significant digits, no trailing zeros,
// a decimal separator only when needed; fixed notation for magnitudes from 1E-5
// up to 15 integer digits, otherwise mantissa, capital E and the exponent with
// neither plus sign nor leading zeros (1.5E-9, 3.4E-14, 1E20). Whole numbers
// within the fixed range come out as plain integers ("12", "100", "0").
std::string FormatNumber(double value);

// A value read off a grid of the given step (a time on the observation grid,
// in s): rounded to the decimal places the step has, then in the general
// number format, so 3.12999999999998 on a 0.01 grid reads "3.13". Without a
// usable step (zero, negative, not finite) the value as it is.
std::string FormatOnGrid(double value, double step);

// A positive limit as a message shows it, in the general number format with
// six significant digits, rounded to the allowed side so that the value shown
// is itself allowed: down for an upper limit, up for a lower one.
std::string LimitText(double limit, bool upper);

// Parses a whole number text: optional blanks, an optional sign, digits with at
// most one locale decimal separator (at least one digit in all), an optional
// exponent (E or e, optional sign, digits), optional blanks. Anything else,
// the empty text, and values beyond the double range raise ConversionError.
double ParseNumber(std::string_view text);

// The whole number that text spells out completely in decimal digits (with a
// minus sign where Number has one), if it lies in [least, most].
template <typename Number>
std::optional<Number> WholeNumber(const std::string &text, Number least, Number most)
{
    Number value{};
    const char *end = text.data() + text.size();
    const auto parsed = std::from_chars(text.data(), end, value);
    if (text.empty() || parsed.ec != std::errc() || parsed.ptr != end || value < least || value > most)
        return std::nullopt;
    return value;
}
