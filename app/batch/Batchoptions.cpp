#include "Batchoptions.h"

#include "Commandlinereader.h"

#include "Numbertext.h"
#include "Parameters.h"
#include "Runseed.h"

#include <cmath>
#include <limits>

const char *const kBatchUsage =
    "Usage: filonex-batch [--settings FILE] [--seed N] [--method NAME] [--chemistry-only]\n"
    "                     [--time T] [--observe FILE] [--table FILE] [--threads N] [--quiet]\n"
    "                     [--save-world FILE] [--checkpoint FILE --checkpoint-every T]\n"
    "       filonex-batch --resume FILE [--seed N] [options as above]\n"
    "       filonex-batch [options] --runs N [--sweep IDENT=v1,v2,...]... [--jobs J] --out DIR\n"
    "       filonex-batch [options] [--runs N] [--sweep ...]... --out DIR --run-index K\n"
    "       filonex-batch merge DIR\n"
    "Runs a Filonex simulation without a window and prints the final state, or\n"
    "runs an ensemble of replicas and parameter sweeps and summarises it.\n"
    "\n"
    "  --settings FILE   parameters from FILE (default: filonex.ini beside the program;\n"
    "                    a missing default file means the default parameters)\n"
    "  --seed N          seed the random numbers with N (0 to 2147483646, each seed a\n"
    "                    different run); without it the seed is taken from the clock\n"
    "                    and printed to standard error\n"
    "  --method NAME     \"First reaction\" or \"Next reaction\" (default: SIM_METHOD of\n"
    "                    the settings file, else \"First reaction\")\n"
    "  --chemistry-only  no mechanics, as with the \"Ch\" button\n"
    "  --time T          run until T seconds, after the start (default: SIM_TIME)\n"
    "  --observe FILE    write the chart points of every observation to FILE as text\n"
    "                    (a regular file, not the settings file)\n"
    "  --table FILE      write every observation to FILE as a tab-separated table:\n"
    "                    time, species, n_/a_/p_ counts, propensities and\n"
    "                    probabilities of the channels, mean_size\n"
    "  --threads N       threads of the mechanics step (default: all cores while that\n"
    "                    is faster than one, which it times now and then); any\n"
    "                    number gives the same results\n"
    "  --save-world FILE write the world to FILE at the end of the run, also after a\n"
    "                    stop by a signal\n"
    "  --checkpoint FILE write the world to FILE during the run, each time the clock\n"
    "                    passes a multiple of the --checkpoint-every T seconds\n"
    "  --resume FILE     continue the world saved in FILE instead of building one from\n"
    "                    the settings, up to --time on its own clock (default: the end\n"
    "                    of the run it was saved from); it carries its parameters, so\n"
    "                    --settings and --method cannot be given. Without --seed the\n"
    "                    run goes on exactly as the saved one would have; with --seed\n"
    "                    it draws anew from that seed (a branch of the saved run)\n"
    "  --quiet           no progress bar\n"
    "  --help            this text\n"
    "\n"
    "Ensembles:\n"
    "  --runs N          N replicas at each sweep point (default 1)\n"
    "  --sweep IDENT=v1,v2,...  vary a parameter of the settings file; repeated, the\n"
    "                    grid of all combinations (the last sweep varies fastest)\n"
    "  --jobs J          runs at a time, each in a process of its own (default: the\n"
    "                    cores)\n"
    "  --out DIR         one folder per run (state.txt, table.tsv, parameters.ini,\n"
    "                    run.tsv, log.txt), the manifest runs.tsv and summary.tsv\n"
    "  --run-index K     run only run K (from 0) of the ensemble, as a task of a\n"
    "                    cluster job array; the base seed comes from --seed or\n"
    "                    from DIR/ensemble.tsv\n"
    "  --prepare         write DIR/ensemble.tsv, print the number of runs, run nothing\n"
    "  merge DIR         write runs.tsv and summary.tsv from the runs that have ended\n"
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

namespace {

std::uint32_t SeedValue(const std::string &text)
{
    if (const auto seed = WholeNumber<std::uint32_t>(text, 0, kLargestSeed))
        return *seed;
    throw UsageError("--seed needs a whole number from 0 to " + std::to_string(kLargestSeed) + ", not '" +
                     text + "'");
}

// A whole number from least to most.
int CountValue(const std::string &name, const std::string &text, int least,
               int most = std::numeric_limits<int>::max())
{
    if (const auto count = WholeNumber(text, least, most))
        return *count;
    throw UsageError(name + " needs a whole number from " + std::to_string(least) +
                     (most < std::numeric_limits<int>::max() ? " to " + std::to_string(most) : std::string()) +
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
    if (options.ResumePath && options.Method)
        throw UsageError("--method cannot be used with --resume: the world file holds its method");
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
                                 (axis.Ident == "SIM_METHOD" ? "method" : "time") +
                                 " do not go together");
    } else if (options.OutPath || options.Jobs) {
        throw UsageError(std::string(options.OutPath ? "--out" : "--jobs") +
                         " needs --runs or --sweep");
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
    if (text != "First reaction" && text != "Next reaction")
        throw UsageError("--method needs \"First reaction\" or \"Next reaction\", not '" + text +
                         "'");
    return text;
}

} // namespace

BatchOptions ParseBatchOptions(const std::vector<std::string> &arguments)
{
    BatchOptions options;
    ParameterStore parameters; // every ident a sweep may name
    CreateParameterTables(parameters, nullptr);
    CommandLineReader<UsageError> line(arguments);
    while (line.Next()) {
        const std::string &name = line.Name();
        const auto value = [&] { return line.Value(); };
        const auto flag = [&] { return line.Flag(); };

        if (name == "--settings")
            options.SettingsPath = value();
        else if (name == "--seed")
            options.Seed = SeedValue(value());
        else if (name == "--method")
            options.Method = MethodValue(value());
        else if (name == "--chemistry-only")
            options.ChemistryOnly = flag();
        else if (name == "--time")
            options.EndTime = TimeValue(value());
        else if (name == "--observe")
            options.ObservePath = value();
        else if (name == "--table")
            options.TablePath = value();
        else if (name == "--runs")
            options.Runs = CountValue(name, value(), 1);
        else if (name == "--sweep")
            AddSweep(options.Sweeps, ParseSweep(value(), parameters));
        else if (name == "--jobs")
            options.Jobs = CountValue(name, value(), 1);
        else if (name == "--out")
            options.OutPath = value();
        else if (name == "--run-index")
            options.RunIndex = CountValue(name, value(), 0);
        else if (name == "--prepare")
            options.Prepare = flag();
        else if (name == "--threads")
            options.Threads = CountValue(name, value(), 1, 1024);
        else if (name == "--resume")
            options.ResumePath = value();
        else if (name == "--save-world")
            options.SaveWorldPath = value();
        else if (name == "--checkpoint")
            options.CheckpointPath = value();
        else if (name == "--checkpoint-every")
            options.CheckpointPeriod = PeriodValue(value());
        else if (name == "--quiet")
            options.Quiet = flag();
        else if (name == "--help" || name == "-h")
            options.Help = flag();
        else if (line.IsOption())
            throw UsageError("unknown option " + name);
        else
            throw UsageError("unexpected argument '" + name + "'");
    }
    CheckCombinations(options);
    return options;
}
