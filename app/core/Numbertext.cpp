#include "Numbertext.h"

#include "FloatingPoint.h"

#include <cctype>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <locale.h>

ConversionError::ConversionError(std::string_view text)
    : std::runtime_error("'" + std::string(text) + "' is not a valid floating point value")
{
}

char DecimalSeparator()
{
    const char *point = std::localeconv()->decimal_point;
    return point && point[0] ? point[0] : '.';
}

namespace {

constexpr int kSignificantDigits = 15;
// Decimal exponents e of 0.d1d2... x 10^e written in fixed notation: from
// 1E-5 (e = -4) to fifteen integer digits (e = 15).
constexpr int kLowestFixedExponent = -4;
constexpr int kHighestFixedExponent = 15;

} // namespace

std::string FormatOnGrid(double value, double step)
{
    if (!std::isfinite(value) || !std::isfinite(step) || step <= 0.0)
        return FormatNumber(value);
    // The fewest decimal places that write the step itself (to 1e-9 of it).
    int places = 0;
    double scale = 1.0;
    for (; places < 15; ++places, scale *= 10.0) {
        const double scaled = step * scale;
        if (std::abs(scaled - std::round(scaled)) <= 1e-9 * scaled)
            break;
    }
    // A value too large to scale keeps its own digits.
    const double scaled = value * scale;
    if (std::abs(scaled) >= 1e15)
        return FormatNumber(value);
    return FormatNumber(std::round(scaled) / scale);
}

std::string FormatNumber(double value)
{
    if (std::isnan(value))
        return "NAN";
    if (std::isinf(value))
        return value < 0 ? "-INF" : "INF";
    if (value == 0)
        return "0";

    // Correctly rounded to 15 significant digits: "d.dddddddddddddde[+-]x".
    char buffer[40];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
                                       std::chars_format::scientific, kSignificantDigits - 1);
    const std::string_view scientific(buffer, written.ptr - buffer);
    const auto exponentAt = scientific.find('e');
    std::string digits(1, scientific[0]);
    digits += scientific.substr(2, exponentAt - 2);
    digits.erase(digits.find_last_not_of('0') + 1);
    int exponent = 0;
    std::from_chars(scientific.data() + exponentAt + 1 + (scientific[exponentAt + 1] == '+'),
                    scientific.data() + scientific.size(), exponent);

    const char separator = DecimalSeparator();
    std::string text = value < 0 ? "-" : "";
    const int integerDigits = exponent + 1;
    if (integerDigits < kLowestFixedExponent || integerDigits > kHighestFixedExponent) {
        text += digits[0];
        if (digits.size() > 1)
            text += separator + digits.substr(1);
        text += 'E' + std::to_string(exponent);
    } else if (integerDigits <= 0) {
        text += "0";
        text += separator;
        text += std::string(-integerDigits, '0') + digits;
    } else if (digits.size() <= static_cast<std::size_t>(integerDigits)) {
        text += digits + std::string(integerDigits - digits.size(), '0');
    } else {
        text += digits.substr(0, integerDigits) + separator + digits.substr(integerDigits);
    }
    return text;
}

std::string LimitText(double limit, bool upper)
{
    // Six significant digits; the margin keeps the rounding of the division
    // from carrying the value across the limit.
    constexpr double kMargin = 1e-12;
    const double unit = std::pow(10.0, std::floor(std::log10(limit)) - 5);
    const double units = limit / unit;
    const double rounded = upper ? std::floor(units * (1 - kMargin)) : std::ceil(units * (1 + kMargin));
    return FormatNumber(rounded * unit);
}

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::size_t SkipDigits(std::string_view text, std::size_t at)
{
    while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])))
        ++at;
    return at;
}

// The number part of text in the C locale's spelling, or an empty string when
// text does not follow the grammar of ParseNumber.
std::string CanonicalNumberText(std::string_view text, char separator)
{
    std::size_t begin = 0, end = text.size();
    while (begin < end && IsBlank(text[begin]))
        ++begin;
    while (end > begin && IsBlank(text[end - 1]))
        --end;
    text = text.substr(begin, end - begin);

    std::size_t at = 0;
    if (at < text.size() && (text[at] == '+' || text[at] == '-'))
        ++at;
    const std::size_t integerEnd = SkipDigits(text, at);
    std::size_t mantissaEnd = integerEnd;
    std::size_t digitCount = integerEnd - at;
    if (mantissaEnd < text.size() && text[mantissaEnd] == separator) {
        const std::size_t fractionEnd = SkipDigits(text, mantissaEnd + 1);
        digitCount += fractionEnd - (mantissaEnd + 1);
        mantissaEnd = fractionEnd;
    }
    if (digitCount == 0)
        return {};
    std::size_t numberEnd = mantissaEnd;
    if (numberEnd < text.size() && (text[numberEnd] == 'e' || text[numberEnd] == 'E')) {
        std::size_t exponentAt = numberEnd + 1;
        if (exponentAt < text.size() && (text[exponentAt] == '+' || text[exponentAt] == '-'))
            ++exponentAt;
        const std::size_t exponentEnd = SkipDigits(text, exponentAt);
        if (exponentEnd == exponentAt)
            return {};
        numberEnd = exponentEnd;
    }
    if (numberEnd != text.size())
        return {};

    std::string canonical(text);
    if (integerEnd < canonical.size() && canonical[integerEnd] == separator)
        canonical[integerEnd] = '.';
    return canonical;
}

locale_t CLocale()
{
    static const locale_t c = newlocale(LC_ALL_MASK, "C", nullptr);
    return c;
}

} // namespace

double ParseNumber(std::string_view text)
{
    const std::string canonical = CanonicalNumberText(text, DecimalSeparator());
    if (canonical.empty())
        throw ConversionError(text);
    // The C library's conversion raises overflow and underflow flags on its
    // way; with traps on, that would fault inside the library.
    fp::Traps suspended(false);
    const double value = strtod_l(canonical.c_str(), nullptr, CLocale());
    if (std::isinf(value))
        throw ConversionError(text);
    return value;
}
