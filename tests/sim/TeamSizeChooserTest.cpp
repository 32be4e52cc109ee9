#include "TeamSizeChooser.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

using std::chrono::milliseconds;

// Steps of a machine on which one thread takes `alone` per step and two
// take `together`: the chooser times both teams, then keeps the faster.
struct Machine {
    milliseconds alone;
    milliseconds together;
    int faster;
};

// Makes `steps` steps with the teams the chooser gives; returns how many of
// them after its trials used `team`.
int StepsWithTeam(CTeamSizeChooser &chooser, const Machine &machine, int steps, int team)
{
    constexpr int kTrials = 16; // eight steps of each team
    int used = 0;
    for (int step = 0; step < steps; ++step) {
        const int next = chooser.Next(2);
        used += step >= kTrials && next == team;
        chooser.Took(next == 1 ? machine.alone : machine.together);
    }
    return used;
}

TEST(TeamSizeChooser, KeepsTheFasterTeamBetweenItsTrials)
{
    for (const Machine machine :
         {Machine{milliseconds(3), milliseconds(1), 2}, Machine{milliseconds(1), milliseconds(3), 1}}) {
        CTeamSizeChooser chooser;
        EXPECT_EQ(StepsWithTeam(chooser, machine, 512, machine.faster), 512 - 16) << machine.faster;
    }
}

TEST(TeamSizeChooser, FollowsAMachineThatBecomesBusy)
{
    CTeamSizeChooser chooser;
    // A choice that holds keeps it for a longer period: 1,024 steps.
    StepsWithTeam(chooser, Machine{milliseconds(3), milliseconds(1), 2}, 1024, 2);
    // Another program now holds one core: two threads wait for each other.
    EXPECT_EQ(StepsWithTeam(chooser, Machine{milliseconds(1), milliseconds(5), 1}, 512, 1), 512 - 16);
}

} // namespace
