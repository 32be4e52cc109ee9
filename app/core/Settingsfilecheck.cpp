#include "Settingsfilecheck.h"

#include "ClosestName.h"
#include "Parameters.h"
#include "Settingsfile.h"

#include <algorithm>
#include <string_view>

namespace {

bool SameName(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && EditDistance(a, b) == 0;
}

template <typename Items, typename NameOf>
std::string Closest(std::string_view name, const Items &known, NameOf nameOf)
{
    std::vector<std::string> names;
    for (const auto &item : known)
        names.push_back(nameOf(item));
    return ClosestName(name, names);
}

const ParameterTable *KnownTable(const ParameterStore &store, std::string_view section)
{
    const auto table =
        std::find_if(store.Tables.begin(), store.Tables.end(),
                     [section](const ParameterTable &t) { return SameName(t.SectionName, section); });
    return table == store.Tables.end() ? nullptr : &*table;
}

} // namespace

std::vector<std::string> SettingsFileWarnings(const SettingsFile &settings, const ParameterStore &store)
{
    std::vector<std::string> warnings;
    for (const SettingsFile::IgnoredLine &line : settings.IgnoredLines())
        warnings.push_back(
            "line " + std::to_string(line.Number) + " of " + settings.Path() + " is ignored (" +
            (line.Text.find('=') == std::string::npos ? "neither a [Section] line nor an Ident=Value entry"
                                                      : "an entry before the first [Section] line") +
            "): " + line.Text);
    std::vector<const ParameterTable *> seen;
    const auto sectionName = [](const ParameterTable &t) { return t.SectionName; };
    const auto key = [](const ParameterRow &row) { return row.Key; };
    for (const SettingsFile::SectionIdents &section : settings.Contents()) {
        if (SameName(section.Name, kWindowSection))
            continue;
        const ParameterTable *table = KnownTable(store, section.Name);
        if (!table) {
            warnings.push_back("unknown section [" + section.Name + "] in " + settings.Path() +
                               " is ignored; did you mean [" +
                               Closest(section.Name, store.Tables, sectionName) + "]?");
            continue;
        }
        // Reads find the first section of a name and its first entry of an
        // ident; what repeats them has no effect.
        if (std::find(seen.begin(), seen.end(), table) != seen.end()) {
            warnings.push_back("section [" + section.Name + "] appears again in " + settings.Path() +
                               "; only its first appearance is read");
            continue;
        }
        seen.push_back(table);
        for (auto ident = section.Idents.begin(); ident != section.Idents.end(); ++ident) {
            if (std::any_of(section.Idents.begin(), ident,
                            [&](const std::string &earlier) { return SameName(earlier, *ident); }))
                warnings.push_back(*ident + " appears again in [" + section.Name + "] of " + settings.Path() +
                                   "; only its first value is read");
        }
        for (const std::string &ident : section.Idents) {
            if (std::none_of(table->Rows.begin(), table->Rows.end(),
                             [&](const ParameterRow &row) { return SameName(row.Key, ident); }))
                warnings.push_back("unknown ident " + ident + " in [" + section.Name + "] of " +
                                   settings.Path() + " is ignored; did you mean " +
                                   Closest(ident, table->Rows, key) + "?");
        }
    }
    if (seen.empty() && settings.HasText())
        warnings.push_back("no known section in " + settings.Path() + "; the default parameters are used");
    return warnings;
}
