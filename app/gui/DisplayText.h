#pragma once

#include "Numbertext.h"

#include <QString>

#include <string_view>

// Texts of the window: numbers in the general number format, and the
// store's UTF-8 texts as Qt strings.

inline QString NumberText(double value)
{
    return QString::fromStdString(FormatNumber(value));
}

inline QString Text(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}
