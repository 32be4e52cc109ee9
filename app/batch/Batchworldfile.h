#pragma once

#include "Parameters.h"
#include "Worldfile.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

class CCell;
struct BatchOptions;

// The world files of a batch run: the world it resumes (--resume), the
// checkpoints written during it (--checkpoint, --checkpoint-every) and the
// world saved at its end (--save-world).

// Puts the world saved at path into cell. With a seed the random streams
// start anew from it and the saved pending reaction is dropped (a branch of
// the saved run), without one they go on from their saved state. Returns
// what the file holds besides the cell. Raises WorldFileError.
WorldContext ContinueSavedWorld(const std::string &path, std::optional<std::uint32_t> seed, CCell &cell);

// The warning for a world continued without a seed whose RandomStateComplete
// is false.
inline constexpr const char *kUnrepeatableWorldWarning =
    "the world file says that its random draws came from the C library's rand(), "
    "whose state it could not hold: this run does not repeat the saved one";

// ContinueSavedWorld of options.ResumePath and options.Seed, with the warning
// on standard error, and the parameters of --set changed (SetRunParameter;
// a change refused is a WorldFileError): puts the parameters into applied
// and returns the target time of the run the world was saved from.
double ResumeWorld(const BatchOptions &options, CCell &cell, ParameterStore &applied);

// Why the --checkpoint-every period cannot serve a run to endTime (s), or an
// empty text: checkpoint times are counted in whole periods of the world's
// clock, which is exact only up to 2^53 periods, so the period must be at
// least endTime / 2^53 and a normal number.
std::string CheckpointPeriodProblem(const BatchOptions &options, double endTime);

// The world files that one run writes.
class RunWorldFiles {
public:
    using Reporter = std::function<void(const std::string &message)>;

    // applied must outlive this object; targetTime is the end of the run.
    RunWorldFiles(const BatchOptions &options, const ParameterStore &applied, double targetTime);
    ~RunWorldFiles();
    RunWorldFiles(const RunWorldFiles &) = delete;
    RunWorldFiles &operator=(const RunWorldFiles &) = delete;

    // Before the run: from now on, whenever the cell's clock has passed the
    // next multiple of the checkpoint period, the world is written between
    // two reactions. A checkpoint that cannot be written is reported and the
    // run goes on; the next one is tried as usual.
    void Start(CCell &cell, Reporter report);
    // After the run: saves the world at its end, unless the run ended by an
    // error (which may have left it in the middle of a step). Returns the
    // exit status of the world files, having reported any problem.
    int Finish(const CCell &cell, bool runFailed);

private:
    void AtNextReaction();
    double NextCheckpointTime() const;

    std::optional<std::string> checkpointPath_;
    double period_ = 0.0; // s
    std::optional<std::string> savePath_;
    const ParameterStore &applied_;
    double targetTime_;
    CCell *cell_ = nullptr;
    Reporter report_;
    double nextCheckpoint_ = 0.0; // s
    bool checkpointFailed_ = false;
};
