#include "Batchsettings.h"

#include "Batchoptions.h"
#include "Regularfile.h"
#include "Settingsfile.h"

#include <cerrno>
#include <filesystem>

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
