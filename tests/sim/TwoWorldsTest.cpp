// Two worlds in one process share nothing: stepped alternately, reaction by
// reaction, or side by side on two threads, each ends as it ends alone.

#include "Cell.h"
#include "CellTestWorld.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <string_view>
#include <thread>
#include <tuple>

namespace {

constexpr double kRunEnd = 0.1; // s

void Prepare(CCell &cell, SimulationMethod method, std::uint32_t seed)
{
    cell.Random.SeedWith(seed);
    BuildWorld(cell, PushedWorld(method));
    cell.MechanicsThreads = 1;
}

void RunToEnd(CCell &cell, bool withMechanics)
{
    withMechanics ? cell.RunChemMech(kRunEnd) : cell.RunChemistry(kRunEnd);
}

std::vector<std::uint64_t> Alone(SimulationMethod method, std::uint32_t seed, bool withMechanics)
{
    CCell cell;
    Prepare(cell, method, seed);
    RunToEnd(cell, withMechanics);
    return Fingerprint(cell);
}

// Lets two worlds, each run on a thread of its own, take turns: a world
// passes the turn before each of its reactions and waits for it to come back,
// so that exactly one world moves at a time.
class Turns {
public:
    void Pass(int from)
    {
        std::unique_lock lock(mutex_);
        turn_ = 1 - from;
        changed_.notify_all();
        changed_.wait(lock, [&] { return turn_ == from || finished_[1 - from]; });
    }
    void Begin(int world)
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return turn_ == world || finished_[1 - world]; });
    }
    void Finish(int world)
    {
        const std::lock_guard lock(mutex_);
        finished_[world] = true;
        turn_ = 1 - world;
        changed_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    int turn_ = 0;
    bool finished_[2] = {false, false};
};

class TwoWorlds : public ::testing::TestWithParam<std::tuple<SimulationMethod, bool>> {};

TEST_P(TwoWorlds, SteppedAlternatelyEachEndsAsAlone)
{
    const auto [method, withMechanics] = GetParam();
    const std::uint32_t seeds[2] = {11, 29};
    CCell worlds[2];
    Turns turns;
    int reactions[2] = {0, 0};
    std::thread threads[2];
    for (int i = 0; i < 2; ++i) {
        Prepare(worlds[i], method, seeds[i]);
        worlds[i].BetweenReactions = [&, i] {
            ++reactions[i];
            turns.Pass(i);
        };
    }
    for (int i = 0; i < 2; ++i)
        threads[i] = std::thread([&, i] {
            turns.Begin(i);
            RunToEnd(worlds[i], withMechanics);
            turns.Finish(i);
        });
    for (std::thread &thread : threads)
        thread.join();
    ASSERT_GT(reactions[0], 100);
    ASSERT_GT(reactions[1], 100);
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(Fingerprint(worlds[i]), Alone(method, seeds[i], withMechanics)) << "world " << i;
}

TEST_P(TwoWorlds, SideBySideOnTwoThreadsEachEndsAsAlone)
{
    const auto [method, withMechanics] = GetParam();
    const std::uint32_t seeds[2] = {11, 29};
    CCell worlds[2];
    std::thread threads[2];
    for (int i = 0; i < 2; ++i) {
        Prepare(worlds[i], method, seeds[i]);
        threads[i] = std::thread([&, i] { RunToEnd(worlds[i], withMechanics); });
    }
    for (std::thread &thread : threads)
        thread.join();
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(Fingerprint(worlds[i]), Alone(method, seeds[i], withMechanics)) << "world " << i;
}

INSTANTIATE_TEST_SUITE_P(MethodsAndMechanics, TwoWorlds,
                         ::testing::Combine(::testing::Values(SimulationMethod::FirstReaction, SimulationMethod::NextReaction),
                                            ::testing::Bool()));

} // namespace
