#include "Pythonworld.h"

#include "Appliedparameters.h"
#include "Batchworldfile.h"
#include "Numbertext.h"
#include "Observationtable.h"
#include "Resetandapply.h"
#include "Runseed.h"
#include "Statereport.h"
#include "Worldfile.h"
#include "Worldparameters.h"

#include <cmath>

namespace {

// Clears a flag at the end of a scope.
struct Lowered {
    std::atomic<bool> &Flag;
    ~Lowered() { Flag = false; }
};

// An observation as the table holds it, without the count of filaments
// touching the bacterium, which only the window shows and which takes a pass
// over every filament.
ObservationRecord TableRecord(const CCell &cell)
{
    return RecordObservation(cell, false);
}

} // namespace

PythonWorld::PythonWorld(ParameterStore parameters, std::optional<std::uint32_t> seed, bool mechanics,
                         int threads)
    : applied_(std::move(parameters)), mechanics_(mechanics)
{
    cell_.MechanicsThreads = threads;
    seed_ = SeedTheRun(cell_.Random, seed);
    try {
        targetTime_ = ResetAndApply(applied_, cell_).TargetTime;
    } catch (const ParameterError &e) {
        throw WorldInputError(WithParameterIdent(applied_, e.what()));
    } catch (const std::runtime_error &e) { // a floating-point error in building the world
        throw WorldInputError(e.what());
    }
    records_.push_back(TableRecord(cell_)); // the starting point
}

PythonWorld::PythonWorld(const std::string &path, std::optional<std::uint32_t> seed, bool mechanics,
                         int threads, std::vector<std::string> &warnings)
    : seed_(seed), mechanics_(mechanics)
{
    cell_.MechanicsThreads = threads;
    WorldContext world;
    try {
        world = ContinueSavedWorld(path, seed, cell_);
    } catch (const WorldFileError &e) {
        throw WorldInputError(e.what());
    }
    applied_ = std::move(world.Parameters);
    targetTime_ = world.TargetTime;
    if (!seed && !world.RandomStateComplete)
        warnings.push_back(kUnrepeatableWorldWarning);
    records_.push_back(TableRecord(cell_));
}

std::exception_ptr PythonWorld::Run(double until, std::int64_t callEvery, const Observer &observer)
{
    if (running_.exchange(true))
        throw std::runtime_error("the world is running already");
    const Lowered idle{running_};
    for (const std::string &problem : {RunStartProblem(cell_, mechanics_), LeapMemoryProblem(cell_)})
        if (!problem.empty())
            throw WorldInputError(problem);
    if (!(until > cell_.Time) || !std::isfinite(until))
        throw WorldInputError("until=" + FormatNumber(until) + " s is not a time after the world's time " +
                              FormatNumber(cell_.Time) + " s");
    if (const std::string problem = StepCountProblem(cell_, until, mechanics_); !problem.empty())
        throw WorldInputError("until=" + FormatNumber(until) + " s: " + problem);
    ReserveTable(until);

    std::exception_ptr observerError;
    std::int64_t observations = 0;
    cell_.OnObserve = [&] {
        records_.push_back(TableRecord(cell_));
        if (!observer || ++observations % callEvery != 0 || observerError)
            return;
        observing_ = true;
        const Lowered done{observing_};
        try {
            observer();
        } catch (...) {
            observerError = std::current_exception();
            cell_.Stop();
        }
    };
    targetTime_ = until;
    try {
        mechanics_ ? cell_.RunChemMech(until) : cell_.RunChemistry(until);
    } catch (const std::runtime_error &e) { // a floating-point error, a stalled clock
        cell_.OnObserve = nullptr;
        cell_.Stop();
        failed_ = true;
        throw SimulationFault(e.what());
    }
    cell_.OnObserve = nullptr;
    return observerError;
}

void PythonWorld::ReserveTable(double until)
{
    // Whole steps below 2^53 (StepCountProblem): the count is exact.
    const double rows = std::floor((until - cell_.ObsTime) / cell_.ObsTimeStep) + 1;
    try {
        records_.reserve(records_.size() + std::size_t(rows));
    } catch (const std::exception &) { // std::bad_alloc, std::length_error
        throw WorldInputError("until=" + FormatNumber(until) + " s gives " + FormatNumber(rows) +
                              " rows of table(), one at each observation step of " +
                              FormatNumber(cell_.ObsTimeStep) + " s whatever every is: more than the memory " +
                              "holds; run to an earlier until, or save() and load() the world between runs");
    }
}

void PythonWorld::Set(const std::string &key, const std::string &value)
{
    if (running_)
        throw std::runtime_error("a parameter is changed between runs, not during one");
    try {
        SetRunParameter(applied_, cell_, key, value);
    } catch (const ParameterError &e) {
        throw WorldInputError(key + "=" + value + ": " + e.what());
    }
}

void PythonWorld::CheckReadable() const
{
    if (running_ && !observing_)
        throw std::runtime_error("the world is running: read it in on_observe or after run() has returned");
}

double PythonWorld::Time() const
{
    return observing_ ? cell_.ObsTime : cell_.Time;
}

std::string PythonWorld::MethodName() const
{
    return ParameterText(applied_, kSimulation, "SIM_METHOD");
}

std::string PythonWorld::TableText() const
{
    std::string text = ObservationTableHeader();
    for (const ObservationRecord &record : records_)
        text += ObservationTableRow(record);
    return text;
}

std::string PythonWorld::StateText() const
{
    return ::StateText(cell_);
}

void PythonWorld::Save(const std::string &path, std::vector<std::string> &warnings) const
{
    if (running_)
        throw std::runtime_error("a world is saved between runs, not during one: stop() it in on_observe "
                                 "and save it after run() has returned");
    if (failed_)
        throw SimulationFault("the world is not saved to '" + path +
                              "': a run ended by an error, which may have left it in the middle of a step");
    if (const std::string warning = IncompleteRandomStateWarning(cell_); !warning.empty())
        warnings.push_back(warning);
    SaveWorld(path, cell_, applied_, targetTime_);
}
