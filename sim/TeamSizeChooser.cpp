#include "TeamSizeChooser.h"

#include <algorithm>

int CTeamSizeChooser::Next(int available)
{
    if (step_ < kTrialSteps)
        team_ = 1;
    else if (step_ < 2 * kTrialSteps)
        team_ = available;
    else
        team_ = choice_ == 0 ? available : choice_;
    return team_;
}

void CTeamSizeChooser::Took(std::chrono::steady_clock::duration time)
{
    if (step_ < kTrialSteps)
        alone_ += time;
    else if (step_ < 2 * kTrialSteps)
        together_ += time;
    if (++step_ == 2 * kTrialSteps) {
        const int choice = together_ < alone_ ? 0 : 1;
        // A choice that holds is tried again less and less often, since
        // the trial of the slower team costs time.
        period_ = choice == choice_ ? std::min(2 * period_, kLongestPeriodSteps) : kShortestPeriodSteps;
        choice_ = choice;
    }
    if (step_ == period_) {
        step_ = 0;
        alone_ = together_ = {};
    }
}
