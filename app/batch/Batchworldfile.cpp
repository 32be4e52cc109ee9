#include "Batchworldfile.h"

#include "Appliedparameters.h"
#include "Batchoptions.h"
#include "Cell.h"
#include "CounterRandom.h"
#include "Exitstatus.h"
#include "Numbertext.h"
#include "Runseed.h"
#include "Worldfile.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

void WarnOfIncompleteRandomState(const CCell &cell)
{
    if (const std::string warning = IncompleteRandomStateWarning(cell); !warning.empty())
        Warn(warning);
}

} // namespace

WorldContext ContinueSavedWorld(const std::string &path, std::optional<std::uint32_t> seed, CCell &cell)
{
    WorldContext world = LoadWorld(path, cell);
    if (seed) {
        // A branch with fresh draws: the reaction the saved run drew is
        // drawn anew too.
        SeedTheRun(cell.Random, seed);
        cell.CounterKey = CounterKeyOf(cell.Random.Capture());
        cell.Pending.reset();
    }
    return world;
}

double ResumeWorld(const BatchOptions &options, CCell &cell, ParameterStore &applied)
{
    WorldContext world = ContinueSavedWorld(*options.ResumePath, options.Seed, cell);
    applied = std::move(world.Parameters);
    for (const auto &[ident, value] : options.Changes) {
        try {
            SetRunParameter(applied, cell, ident, value);
        } catch (const ParameterError &e) {
            throw WorldFileError("--set " + ident + "=" + value + ": " + e.what());
        }
    }
    if (!options.Seed && !world.RandomStateComplete)
        Warn(kUnrepeatableWorldWarning);
    return world.TargetTime;
}

std::string CheckpointPeriodProblem(const BatchOptions &options, double endTime)
{
    if (!options.CheckpointPeriod)
        return {};
    const double period = *options.CheckpointPeriod;
    const double shortest = std::max(std::ldexp(endTime, -53), std::numeric_limits<double>::min());
    if (period >= shortest)
        return {};
    return "--checkpoint-every " + FormatNumber(period) + " is too short for a run to " +
           FormatNumber(endTime) + " s: the checkpoint times would not be whole periods of the clock; " +
           "it must be at least " + LimitText(shortest, false) + " s";
}

RunWorldFiles::RunWorldFiles(const BatchOptions &options, const ParameterStore &applied, double targetTime)
    : checkpointPath_(options.CheckpointPath), period_(options.CheckpointPeriod.value_or(0.0)),
      savePath_(options.SaveWorldPath), applied_(applied), targetTime_(targetTime)
{
}

RunWorldFiles::~RunWorldFiles()
{
    if (cell_)
        cell_->BetweenReactions = nullptr;
}

void RunWorldFiles::Start(CCell &cell, Reporter report)
{
    if (!checkpointPath_)
        return;
    WarnOfIncompleteRandomState(cell);
    cell_ = &cell;
    report_ = std::move(report);
    nextCheckpoint_ = NextCheckpointTime();
    cell.BetweenReactions = [this] { AtNextReaction(); };
}

double RunWorldFiles::NextCheckpointTime() const
{
    // Multiples of the period on the world's own clock, so that a resumed
    // run keeps the times of the run it continues.
    return (std::floor(cell_->Time / period_) + 1.0) * period_;
}

void RunWorldFiles::AtNextReaction()
{
    if (cell_->Time < nextCheckpoint_)
        return;
    nextCheckpoint_ = NextCheckpointTime();
    try {
        SaveWorld(*checkpointPath_, *cell_, applied_, targetTime_);
    } catch (const WorldFileError &e) {
        checkpointFailed_ = true;
        report_(std::string("checkpoint not written: ") + e.what());
    }
}

int RunWorldFiles::Finish(const CCell &cell, bool runFailed)
{
    const int checkpoints = checkpointFailed_ ? kExitOutputFailed : kExitDone;
    if (!savePath_)
        return checkpoints;
    if (runFailed)
        return Fail(kExitOutputFailed, "the world is not saved to '" + *savePath_ +
                                           "': the run ended by an error, which may have left "
                                           "it in the middle of a step; the last checkpoint, "
                                           "if any, is whole");
    WarnOfIncompleteRandomState(cell);
    try {
        SaveWorld(*savePath_, cell, applied_, targetTime_);
    } catch (const WorldFileError &e) {
        return Fail(kExitOutputFailed, e.what());
    }
    return checkpoints;
}
