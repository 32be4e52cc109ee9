#include "Outputpaths.h"

#include "Batchoptions.h"
#include "Outputfile.h"

#include <filesystem>
#include <optional>
#include <vector>

#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

// Where a path leads: the file it names (through links) by its device and
// inode when it exists, and by its canonical folder and name, which is all
// that a file yet to be made has.
struct FileIdentity {
    bool Exists = false;
    dev_t Device = 0;
    ino_t Inode = 0;
    fs::path Place;

    bool operator==(const FileIdentity &other) const
    {
        if (Exists && other.Exists)
            return Device == other.Device && Inode == other.Inode;
        return Place == other.Place;
    }
};

FileIdentity IdentityOf(const std::string &path)
{
    FileIdentity identity;
    std::string file = path;
    try {
        file = ReplacedFile(path);
    } catch (const OutputError &) { // a loop of links: refused when the file is made
    }
    struct stat status;
    if (::stat(file.c_str(), &status) == 0) {
        identity.Exists = true;
        identity.Device = status.st_dev;
        identity.Inode = status.st_ino;
    }
    std::error_code error;
    identity.Place = fs::weakly_canonical(fs::absolute(file, error), error);
    if (error)
        identity.Place = fs::absolute(file, error).lexically_normal();
    return identity;
}

struct NamedFile {
    std::string Role; // the option that names it
    std::string Path;
    FileIdentity Identity;
};

// The result files of a run, named by their options.
std::vector<NamedFile> Outputs(const BatchOptions &options)
{
    std::vector<NamedFile> outputs;
    const auto add = [&outputs](const std::string &role, const std::optional<std::string> &path) {
        if (path)
            outputs.push_back({role, *path, IdentityOf(*path)});
    };
    add("--observe", options.ObservePath);
    add("--table", options.TablePath);
    add("--save-world", options.SaveWorldPath);
    add("--checkpoint", options.CheckpointPath);
    add("the final state file", options.StatePath);
    // A folder of pictures is checked as it is made.
    if (options.Movie.Path && MovieKindOf(*options.Movie.Path) != MovieKind::PngFolder)
        add("--movie", options.Movie.Path);
    return outputs;
}

bool IsWorldFile(const NamedFile &output)
{
    return output.Role == "--save-world" || output.Role == "--checkpoint";
}

std::string ClashProblem(const BatchOptions &options, const std::string &settingsPath,
                         const std::vector<NamedFile> &outputs)
{
    const FileIdentity settings = IdentityOf(settingsPath);
    const std::optional<FileIdentity> resumed =
        options.ResumePath ? std::optional(IdentityOf(*options.ResumePath)) : std::nullopt;
    for (auto output = outputs.begin(); output != outputs.end(); ++output) {
        const std::string cannot = "cannot write results to '" + output->Path + "': ";
        if (output->Identity == settings)
            return cannot + "it is the settings file";
        if (resumed && output->Identity == *resumed && !IsWorldFile(*output))
            return cannot + "it is the world file that --resume reads";
        for (auto other = outputs.begin(); other != output; ++other)
            if (output->Identity == other->Identity)
                return other->Role + " '" + other->Path + "' and " + output->Role + " '" + output->Path +
                       "' are the same file: one result would be lost";
    }
    return {};
}

} // namespace

std::string OutputPathsProblem(const BatchOptions &options, const std::string &settingsPath)
{
    const std::vector<NamedFile> outputs = Outputs(options);
    for (const NamedFile &output : outputs)
        if (const std::string problem = OutputTargetProblem(output.Path); !problem.empty())
            return problem;
    if (const std::string problem = ClashProblem(options, settingsPath, outputs); !problem.empty())
        return problem;
    // Its temporary file shows that an output can be made in its folder; it
    // is removed again at once.
    for (const NamedFile &output : outputs) {
        try {
            OutputFile probe(output.Path);
        } catch (const OutputError &e) {
            return e.what();
        }
    }
    return {};
}
