#pragma once

#include "Numbertext.h"

#include <QString>

#include <string_view>
#include <utility>

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

// The brief caption of a tab, in the form of the curve and column names, for
// a panel too narrow for the full captions side by side; the caption itself
// where it is brief already.
inline QString BriefCaption(const QString &caption)
{
    static const std::pair<const char *, const char *> briefs[] = {
        {"Concentrations", "Conc"},   {"Simulation", "Sim"},         {"Mechanics", "Mech"},
        {"Bacterium", "Bact"},        {"Current state", "State"},    {"Num of reactions", "NumReact"},
        {"React prob", "ReactProb"}, {"Filament size", "FilSize"}, {"Size distribution", "SizeDistrib"}};
    for (const auto &[full, brief] : briefs)
        if (caption == QLatin1String(full))
            return QString::fromLatin1(brief);
    return caption;
}
