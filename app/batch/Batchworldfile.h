#pragma once

#include "Parameters.h"

#include <functional>
#include <string>

class CCell;
struct BatchOptions;

// The world files of a batch run: the world it resumes (--resume), the
// checkpoints written during it (--checkpoint, --checkpoint-every) and the
// world saved at its end (--save-world).

// Puts the world saved at options.ResumePath into cell and its parameters
// into applied; returns the target time of the run it was saved from. With
// --seed the random streams start anew from that seed (a branch of the saved
// run), without it they go on from their saved state. Raises WorldFileError.
double ResumeWorld(const BatchOptions &options, CCell &cell, ParameterStore &applied);

// Writes the world to a file whenever the cell's clock has passed the next
// multiple of a period, between two reactions (as cell.BetweenReactions, for
// the lifetime of this object). A checkpoint that cannot be written is
// reported and the run goes on; the next one is tried as usual.
class WorldCheckpoints {
public:
    using Reporter = std::function<void(const std::string &message)>;

    // period in simulated seconds; applied and cell must outlive this object.
    WorldCheckpoints(CCell &cell, std::string path, double period, const ParameterStore &applied,
                     double targetTime, Reporter report);
    ~WorldCheckpoints();
    WorldCheckpoints(const WorldCheckpoints &) = delete;
    WorldCheckpoints &operator=(const WorldCheckpoints &) = delete;

    bool AnyFailed() const { return failed_; }

private:
    void AtNextReaction();
    double NextTime() const;

    CCell &cell_;
    std::string path_;
    double period_;
    const ParameterStore &applied_;
    double targetTime_;
    Reporter report_;
    double next_;
    bool failed_ = false;
};

// Saves the world at the end of a run (--save-world); returns the exit
// status of that step, having reported any problem. A run that ended by an
// error may have stopped inside a reaction or a mechanics step, so its world
// is not saved.
int SaveWorldAtEnd(const std::string &path, const CCell &cell, const ParameterStore &applied,
                   double targetTime, bool runFailed);
