#include "Batchsettings.h"

#include "Batchoptions.h"
#include "Exitstatus.h"
#include "Regularfile.h"
#include "Settingsfile.h"
#include "Settingsfilecheck.h"

#include <cerrno>
#include <filesystem>
#include <stdexcept>

std::string BatchSettingsPath(const BatchOptions &options)
{
    if (options.SettingsPath)
        return *options.SettingsPath;
    return (std::filesystem::path(ExecutablePath()).parent_path() / "filonex.ini").string();
}

std::string SettingsFileProblem(const std::string &path, bool mustExist)
{
    const std::string prefix = "cannot read the settings file '" + path + "': ";
    try {
        const std::string problem = SettingsTextProblem(ReadRegularFile(path, kLargestSettingsFile));
        return problem.empty() ? problem : prefix + problem;
    } catch (const FileReadError &e) {
        return e.Error() == ENOENT && !mustExist ? std::string() : prefix + e.what();
    }
}

ParameterStore RunParameters(const SettingsFile &settings, const std::optional<std::string> &method)
{
    ParameterStore store;
    CreateParameterTables(store, &settings);
    store.Table(kSimulation)->Find("SIM_METHOD")->Value =
        method.value_or(settings.ReadString(kSimulation, "SIM_METHOD", kFirstReaction));
    return store;
}

ParameterStore CheckedRunParameters(const SettingsFile &settings, const std::optional<std::string> &method,
                                    bool strict)
{
    ParameterStore store = RunParameters(settings, method);
    const std::vector<std::string> warnings = SettingsFileWarnings(settings, store);
    if (strict && !warnings.empty()) {
        std::string message = "--strict: ";
        for (std::size_t i = 0; i < warnings.size(); ++i)
            message += (i ? "; " : "") + warnings[i];
        throw std::runtime_error(message);
    }
    for (const std::string &warning : warnings)
        Warn(warning);
    return store;
}
