#include "Batchworldfile.h"

#include "Batchoptions.h"
#include "Cell.h"
#include "Exitstatus.h"
#include "Runseed.h"
#include "Worldfile.h"

#include <cmath>

namespace {

void WarnOfIncompleteRandomState()
{
    if (const std::string warning = IncompleteRandomStateWarning(); !warning.empty())
        Warn(warning);
}

} // namespace

double ResumeWorld(const BatchOptions &options, CCell &cell, ParameterStore &applied)
{
    WorldContext world = LoadWorld(*options.ResumePath, cell);
    applied = std::move(world.Parameters);
    if (options.Seed)
        SeedTheRun(options.Seed);
    else if (!world.RandomStateComplete)
        Warn("the world file says that its random draws came from the C library's rand(), "
             "whose state it could not hold: this run does not repeat the saved one");
    return world.TargetTime;
}

WorldCheckpoints::WorldCheckpoints(CCell &cell, std::string path, double period,
                                   const ParameterStore &applied, double targetTime, Reporter report)
    : cell_(cell), path_(std::move(path)), period_(period), applied_(applied),
      targetTime_(targetTime), report_(std::move(report)), next_(NextTime())
{
    WarnOfIncompleteRandomState();
    cell_.BetweenReactions = [this] { AtNextReaction(); };
}

WorldCheckpoints::~WorldCheckpoints()
{
    cell_.BetweenReactions = nullptr;
}

double WorldCheckpoints::NextTime() const
{
    // Multiples of the period on the world's own clock, so that a resumed
    // run keeps the times of the run it continues.
    return (std::floor(cell_.Time / period_) + 1.0) * period_;
}

void WorldCheckpoints::AtNextReaction()
{
    if (cell_.Time < next_)
        return;
    next_ = NextTime();
    try {
        SaveWorld(path_, cell_, applied_, targetTime_);
    } catch (const WorldFileError &e) {
        failed_ = true;
        report_(std::string("checkpoint not written: ") + e.what());
    }
}

int SaveWorldAtEnd(const std::string &path, const CCell &cell, const ParameterStore &applied,
                   double targetTime, bool runFailed)
{
    if (runFailed)
        return Fail(kExitOutputFailed, "the world is not saved to '" + path +
                                           "': the run ended by an error, which may have left "
                                           "it in the middle of a step; the last checkpoint, "
                                           "if any, is whole");
    WarnOfIncompleteRandomState();
    try {
        SaveWorld(path, cell, applied, targetTime);
    } catch (const WorldFileError &e) {
        return Fail(kExitOutputFailed, e.what());
    }
    return kExitDone;
}
