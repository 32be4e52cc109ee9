#include "Batchoptions.h"

#include "Numbertext.h"
#include "ObservationColumns.h"
#include "Parameters.h"
#include "Runseed.h"

#include <cmath>
#include <limits>

namespace {

std::uint32_t SeedValue(const std::string &text)
{
    if (const auto seed = WholeNumber<std::uint32_t>(text, 0, kLargestSeed))
        return *seed;
    throw UsageError("--seed needs a whole number from 0 to " + std::to_string(kLargestSeed) + ", not '" +
                     text + "'");
}

// A whole number from least to most.
template <typename Number = int>
Number CountValue(const std::string &name, const std::string &text, Number least,
                  Number most = std::numeric_limits<Number>::max())
{
    if (const auto count = WholeNumber(text, least, most))
        return *count;
    throw UsageError(
        name + " needs a whole number from " + std::to_string(least) +
        (most < std::numeric_limits<Number>::max() ? " to " + std::to_string(most) : std::string()) +
        ", not '" + text + "'");
}

void AddSweep(std::vector<SweepAxis> &sweeps, SweepAxis axis)
{
    for (const SweepAxis &other : sweeps)
        if (other.Ident == axis.Ident)
            throw UsageError("--sweep names " + axis.Ident + " twice");
    sweeps.push_back(std::move(axis));
}

// Options that cannot be used together, or one that needs another.
void CheckCombinations(const BatchOptions &options)
{
    if (options.ResumePath && options.SettingsPath)
        throw UsageError("--settings cannot be used with --resume: the world file holds the "
                         "parameters its world was built from");
    if (!options.Changes.empty() && !options.ResumePath)
        throw UsageError("--set changes a resumed world (--resume); a new world takes its parameters from "
                         "--settings");
    if (options.ResumePath && options.Method)
        throw UsageError("--method cannot be used with --resume: the world file holds its method");
    if (options.Movie.Tuned && !options.Movie.Path)
        throw UsageError("--movie-every, --movie-fps, --movie-size and --movie-view need --movie");
    if (bool(options.CheckpointPath) != bool(options.CheckpointPeriod))
        throw UsageError("--checkpoint and --checkpoint-every go together");
    if (options.IsEnsemble()) {
        if (!options.OutPath)
            throw UsageError("an ensemble needs --out DIR for its results");
        if (options.ObservePath || options.TablePath)
            throw UsageError("every run of an ensemble writes its table into its own folder; "
                             "--observe and --table are for single runs");
        if (options.ResumePath || options.SaveWorldPath || options.CheckpointPath)
            throw UsageError("world files are for single runs: --resume, --save-world and "
                             "--checkpoint cannot be used with an ensemble");
        if (options.RunIndex && options.Prepare)
            throw UsageError("--run-index and --prepare do not go together");
        // The command line would override the swept values.
        for (const SweepAxis &axis : options.Sweeps)
            if ((axis.Ident == "SIM_METHOD" && options.Method) ||
                (axis.Ident == "SIM_TIME" && options.EndTime))
                throw UsageError("--sweep " + axis.Ident + " and --" +
                                 (axis.Ident == "SIM_METHOD" ? "method" : "time") + " do not go together");
    } else if (options.OutPath || options.Jobs) {
        throw UsageError(std::string(options.OutPath ? "--out" : "--jobs") + " needs --runs or --sweep");
    }
}

double TimeValue(const std::string &text)
{
    try {
        return ParseNumber(text);
    } catch (const ConversionError &) {
        throw UsageError("--time needs a number of seconds, not '" + text + "'");
    }
}

double PeriodValue(const std::string &text)
{
    double period = 0.0;
    try {
        period = ParseNumber(text);
    } catch (const ConversionError &) {
    }
    if (!(period > 0.0) || !std::isfinite(period))
        throw UsageError("--checkpoint-every needs a number of seconds above 0, not '" + text + "'");
    return period;
}

std::string MethodValue(const std::string &text)
{
    if (text != "First reaction" && text != "Next reaction" && text != "Tau-leap")
        throw UsageError("--method needs \"First reaction\", \"Next reaction\" or \"Tau-leap\", not '" +
                         text + "'");
    return text;
}

const char *const kFooter =
    "Run K = point * N + replica. Replica r has the same seed at every point:\n"
    "SplitMix64(base seed * 2^32 + r) modulo 2147483647; the base seed is --seed,\n"
    "else the one of DIR/ensemble.tsv, else taken from the clock and printed.\n"
    "\n"
    "Ctrl-C, SIGTERM and SIGHUP stop the run; the state reached, the observations\n"
    "up to it and the world (--save-world) are still written. Result files are\n"
    "written under a temporary name and renamed when complete, so a file of the\n"
    "given name is always whole.\n"
    "\n"
    "Exit status:\n"
    "    0  done (an ensemble: every run done)\n"
    "    1  the run ended by an error (a floating-point error, a stalled clock); an\n"
    "       ensemble: some run failed or is missing\n"
    "    2  bad input: command line, settings file, parameters or output path\n"
    "    3  a result could not be written (the message names the file and the reason)\n"
    "  130  stopped by Ctrl-C (SIGINT); 143 by SIGTERM; 129 by SIGHUP\n"
    "A lost result (3) outranks a failed run (1), which outranks a stop.\n";

// The options of filonex-batch, each written into options; a sweep must name
// a parameter of parameters; --table lists the columns.
void DefineOptions(CommandLine &line, BatchOptions &options, const ParameterStore &parameters,
                   const ObservationColumns &columns)
{
    const auto into = [](std::optional<std::string> &field) {
        return [&field](const std::string &text) { field = text; };
    };
    line.AddValue("--settings", "FILE",
                  "parameters from FILE (default: filonex.ini beside the program; a missing default file "
                  "means the default parameters)",
                  into(options.SettingsPath));
    line.AddValue("--seed", "N",
                  "seed the random numbers with N (0 to " + std::to_string(kLargestSeed) +
                      ", each seed a different run); without it the seed is taken from the clock and printed "
                      "to standard error",
                  [&](const std::string &text) { options.Seed = SeedValue(text); });
    line.AddValue(
        "--method", "NAME",
        "\"First reaction\", \"Next reaction\" or \"Tau-leap\" (default: SIM_METHOD of the settings "
        "file, else \"First reaction\")",
        [&](const std::string &text) { options.Method = MethodValue(text); });
    line.AddFlag("--chemistry-only", "no mechanics, as with the \"Ch\" button", options.ChemistryOnly);
    line.AddValue("--time", "T", "run until T seconds, after the start (default: SIM_TIME)",
                  [&](const std::string &text) { options.EndTime = TimeValue(text); });
    line.AddValue("--observe", "FILE",
                  "write the chart points of every observation to FILE as text (a regular file, not the "
                  "settings file)",
                  into(options.ObservePath));
    line.AddValue("--table", "FILE",
                  "write every observation to FILE as a tab-separated table: time, " +
                      columns.NameList(),
                  into(options.TablePath));
    line.AddValue("--threads", "N",
                  "threads of the mechanics step, 1 to 1024 (default: all cores while that is faster than "
                  "one, which it times now and then); any number gives the same results",
                  [&](const std::string &text) { options.Threads = CountValue("--threads", text, 1, 1024); });
    line.AddValue("--save-world", "FILE",
                  "write the world to FILE at the end of the run, also after a stop by a signal",
                  into(options.SaveWorldPath));
    line.AddValue("--checkpoint", "FILE",
                  "write the world to FILE during the run, each time the clock passes a multiple of "
                  "--checkpoint-every",
                  into(options.CheckpointPath));
    line.AddValue("--checkpoint-every", "T", "the checkpoint interval in simulated seconds",
                  [&](const std::string &text) { options.CheckpointPeriod = PeriodValue(text); });
    line.AddValue("--resume", "FILE",
                  "continue the world saved in FILE instead of building one from the settings, up to "
                  "--time on its own clock (default: the end of the run it was saved from); it carries its "
                  "parameters, so --settings and --method cannot be given. Without --seed the run goes on "
                  "exactly as the saved one would have; with --seed it draws anew from that seed (a branch "
                  "of the saved run)",
                  into(options.ResumePath));
    line.AddRepeatedValue("--set", "IDENT=VALUE",
                          "with --resume: change a parameter of the world from now on; repeated, several. Only "
                          "the rate constants (RATE_...), MECH_TEMP and MECH_VISC may change while a world runs "
                          "on",
                          [&](const std::string &text) {
                              const auto equals = text.find('=');
                              if (equals == std::string::npos || equals == 0)
                                  throw UsageError("--set needs IDENT=VALUE, not '" + text + "'");
                              options.Changes.emplace_back(text.substr(0, equals), text.substr(equals + 1));
                          });
    line.AddFlag("--quiet", "no progress bar", options.Quiet);
    line.AddFlag("--strict",
                 "a warning about the settings file (an unknown section or ident, a line not understood, a "
                 "repeated entry) is an error: exit 2",
                 options.Strict);
    line.AddValue("--movie", "FILE",
                  "a movie of the 3D view during the run, with the time, a scale bar and the number of "
                  "filaments: FILE ending in .mp4 (H.264, made by ffmpeg) or .gif, else a folder of numbered "
                  "PNG pictures; in an ensemble every run writes its own into its folder",
                  into(options.Movie.Path));
    AddMovieOptions(line, options.Movie, true);
    line.AddFlag("-h,--help", "this text", options.Help);

    line.Group("Ensembles");
    line.AddValue("--runs", "N", "N replicas at each sweep point (default 1)", [&](const std::string &text) {
        options.Runs = CountValue<std::int64_t>("--runs", text, 1);
    });
    line.AddRepeatedValue(
        "--sweep", "IDENT=v1,v2,...",
        "vary a parameter of the settings file; repeated, the grid of all combinations "
        "(the last sweep varies fastest)",
        [&](const std::string &text) { AddSweep(options.Sweeps, ParseSweep(text, parameters)); });
    line.AddValue("--jobs", "J", "runs at a time, each in a process of its own (default: the cores)",
                  [&](const std::string &text) { options.Jobs = CountValue("--jobs", text, 1); });
    line.AddValue("--out", "DIR",
                  "one folder per run (state.txt, table.tsv, parameters.ini, run.tsv, log.txt), the "
                  "manifest runs.tsv and summary.tsv",
                  into(options.OutPath));
    line.AddValue("--run-index", "K",
                  "run only run K (from 0) of the ensemble, as a task of a cluster job array; the base seed "
                  "comes from --seed or from DIR/ensemble.tsv",
                  [&](const std::string &text) { options.RunIndex = CountValue("--run-index", text, 0); });
    line.AddFlag("--prepare", "write DIR/ensemble.tsv, print the number of runs, run nothing",
                 options.Prepare);
    line.AddCommand("merge", "DIR", "one ensemble folder",
                    "write runs.tsv and summary.tsv from the runs that have ended", into(options.MergePath));
}

CommandLine BatchCommandLine()
{
    return CommandLine("filonex-batch",
                       "Runs a Filonex simulation without a window and prints the final state, or\n"
                       "runs an ensemble of replicas and parameter sweeps and summarises it.",
                       kFooter);
}

} // namespace

BatchOptions ParseBatchOptions(const std::vector<std::string> &arguments)
{
    BatchOptions options;
    ParameterStore parameters; // every ident a sweep may name
    CreateParameterTables(parameters, nullptr);
    CommandLine line = BatchCommandLine();
    DefineOptions(line, options, parameters, StandardColumns());
    line.Parse(arguments);
    if (!options.Help)
        CheckCombinations(options);
    return options;
}

std::string BatchHelp(const ObservationColumns &columns)
{
    BatchOptions options;
    ParameterStore parameters;
    CommandLine line = BatchCommandLine();
    DefineOptions(line, options, parameters, columns);
    return line.Help();
}
