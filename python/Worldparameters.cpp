#include "Worldparameters.h"

#include "Batchsettings.h"
#include "Settingsfilecheck.h"
#include "Settingsfile.h"

#include <algorithm>

namespace {

// Raises WorldInputError unless SIM_METHOD holds a text of its pick list.
void CheckMethod(const ParameterStore &store)
{
    const ParameterTable &table = *store.Table(kSimulation);
    const ParameterRow &row = *table.Find("SIM_METHOD");
    if (std::find(row.PickList.begin(), row.PickList.end(), row.Value) != row.PickList.end())
        return;
    std::string known;
    for (const std::string &text : row.PickList)
        known += (known.empty() ? "\"" : ", \"") + text + "\"";
    throw WorldInputError(row.Key + ": " + ParameterName(table, row) + " must be one of " + known +
                          ", not \"" + row.Value + "\"");
}

const ParameterTable *TableOf(const ParameterStore &store, const std::string &ident)
{
    for (const ParameterTable &table : store.Tables)
        if (table.Find(ident))
            return &table;
    return nullptr;
}

std::string RangeText(const ParameterTable &table, const ParameterRow &row)
{
    if (!row.PickList.empty()) {
        std::string texts;
        for (const std::string &text : row.PickList)
            texts += (texts.empty() ? "" : ", ") + text;
        return texts;
    }
    switch (ParameterRangeOf(table.SectionName, row.Key)) {
    case ParameterRange::NotNegative:
        return ">= 0";
    case ParameterRange::Positive:
        return "> 0";
    case ParameterRange::OpenUnit:
        return "> 0 and < 1";
    case ParameterRange::Any:
        break;
    }
    return "any";
}

std::string UnitOf(const std::string &caption)
{
    const std::size_t open = caption.rfind('[');
    if (open == std::string::npos || caption.back() != ']')
        return {};
    return caption.substr(open + 1, caption.size() - open - 2);
}

} // namespace

ParameterStore ParametersFromFile(const std::string &path, const std::optional<std::string> &method,
                                  std::vector<std::string> &warnings)
{
    if (const std::string problem = SettingsFileProblem(path, true); !problem.empty())
        throw WorldInputError(problem);
    const SettingsFile settings(path);
    ParameterStore store = RunParameters(settings, method);
    warnings = SettingsFileWarnings(settings, store);
    CheckMethod(store);
    return store;
}

ParameterStore ParametersFromValues(const std::vector<std::pair<std::string, std::string>> &values,
                                    const std::optional<std::string> &method)
{
    ParameterStore defaults;
    CreateParameterTables(defaults, nullptr);
    // Settings in memory only (no file has an empty name), read as a file's.
    SettingsFile settings("");
    for (const auto &[ident, text] : values)
        settings.WriteString(TableOf(defaults, ident)->SectionName, ident, text);
    ParameterStore store = RunParameters(settings, method);
    CheckMethod(store);
    return store;
}

std::vector<std::string> ParameterIdents()
{
    std::vector<std::string> idents;
    for (const ParameterInfo &info : ParameterInfos())
        idents.push_back(info.Ident);
    return idents;
}

std::string WithParameterIdent(const ParameterStore &store, const std::string &message)
{
    for (const ParameterTable &table : store.Tables)
        for (const ParameterRow &row : table.Rows)
            if (message.starts_with(ParameterName(table, row)))
                return row.Key + ": " + message;
    return message;
}

std::vector<ParameterInfo> ParameterInfos()
{
    ParameterStore store;
    CreateParameterTables(store, nullptr);
    std::vector<ParameterInfo> infos;
    for (const ParameterTable &table : store.Tables)
        for (const ParameterRow &row : table.Rows)
            infos.push_back({row.Key, row.Caption, UnitOf(row.Caption), row.Value, RangeText(table, row),
                             table.TabCaption});
    return infos;
}
