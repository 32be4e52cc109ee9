#pragma once

#include "Cell.h"
#include "Observationrecord.h"
#include "Parameters.h"

#include <atomic>
#include <cstdint>
#include <exception>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

// A run that ended by a floating-point error or a stalled clock
// (filonex.SimulationError); the message is the runner's.
class SimulationFault : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A world as the Python module holds it: the cell, the parameters it was
// built from, the end of its run and every observation made so far. It is
// built and run exactly as the runner builds and runs its world, so that the
// same settings, seed and method give the same bits.
class PythonWorld {
public:
    // Seeds the world's stream (from the clock without a seed), then builds
    // the world from parameters by reset-and-apply. Raises WorldInputError
    // for a parameter that cannot be used, naming it.
    PythonWorld(ParameterStore parameters, std::optional<std::uint32_t> seed, bool mechanics, int threads);
    // The world saved at path (see ContinueSavedWorld); warnings gets what
    // the caller should be told. Raises WorldInputError for a file the
    // reader refuses, with its place and reason.
    PythonWorld(const std::string &path, std::optional<std::uint32_t> seed, bool mechanics, int threads,
                std::vector<std::string> &warnings);

    using Observer = std::function<void()>;

    // Runs the world until the time until (s), observing it at every
    // observation step and calling observer at every callEvery-th one, on
    // this thread. An exception from observer stops the run and is
    // returned; so the caller decides where it is raised. Raises
    // WorldInputError for a run that cannot start, SimulationFault when the
    // run ends by an error (the world keeps the state it reached).
    std::exception_ptr Run(double until, std::int64_t callEvery, const Observer &observer);
    // Ends the run at its next pass; safe from any thread.
    void Stop() { cell_.Stop(); }

    // Changes a parameter between runs (SetRunParameter). Raises
    // std::runtime_error while the world runs, WorldInputError for a change
    // that is refused, naming the parameter; then nothing changes.
    void Set(const std::string &key, const std::string &value);

    // Raises std::runtime_error while the world runs, except in its observer.
    void CheckReadable() const;
    // The simulated time (s); in the observer the time of the observation.
    double Time() const;
    const CCell &Cell() const { return cell_; }
    const ParameterStore &Parameters() const { return applied_; }
    double TargetTime() const { return targetTime_; } // s
    std::optional<std::uint32_t> Seed() const { return seed_; }
    bool Mechanics() const { return mechanics_; }
    void SetMechanics(bool on) { mechanics_ = on; }
    std::string MethodName() const;

    // The observations as the runner's --table file holds them.
    std::string TableText() const;
    // The text of the runner's final state.
    std::string StateText() const;
    // Writes the world file; warnings gets what the caller should be told.
    // Raises SimulationFault after a failed run, WorldFileError when the
    // file cannot be written.
    void Save(const std::string &path, std::vector<std::string> &warnings) const;

private:
    // Room in the table for every observation of a run to until (s): a run
    // whose table the memory cannot hold is refused (WorldInputError) before
    // it starts rather than failing in the middle.
    void ReserveTable(double until);

    CCell cell_;
    ParameterStore applied_;
    double targetTime_ = 0.0; // s: the end of the last run, or SIM_TIME
    std::optional<std::uint32_t> seed_;
    bool mechanics_;
    std::vector<ObservationRecord> records_;
    bool failed_ = false; // a run ended by an error, perhaps in the middle of a step
    std::atomic<bool> running_ = false;
    std::atomic<bool> observing_ = false;
};
