#include "TauLeap.h"

#include "CounterRandom.h"
#include "Poisson.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

using C = CChemistry;

// The species that channels consume or act on, the only ones whose change
// limits a leap; the channel table's leap vectors follow this order.
constexpr std::array<C::SpeciesIndex, LEAP_REACTANT_COUNT> kReactants = {C::ACG, C::ACF, C::FIB, C::FIP, C::CAP};
constexpr int kReactantCount = LEAP_REACTANT_COUNT;
using PerReactant = LeapVector;
constexpr int kActin = 0; // ACG's place in kReactants

// A channel's propensity as a rate that can occur (s^-1): negative and
// negligible ones count as 0, as in the exact methods.
double UsableRate(const CChemReaction &reaction)
{
    return reaction.Propensity >= C::NEGLIGIBLE_PROPENSITY ? reaction.Propensity : 0.0;
}

// g_i of the step selection: ACG is taken three at a time by FORM, the
// others one at a time by second-order channels.
double ChangeFactor(int reactant, std::int64_t x)
{
    if (reactant != kActin)
        return 2.0;
    if (x <= 2)
        return 3.0;
    return 3.0 + 1.0 / double(x - 1) + 2.0 / double(x - 2);
}

// Whether firing each channel `count` times, in channel order, surely
// finds what every firing needs, however the filaments picked turn out.
bool SurelyApplies(ChannelTable channels, const PerReactant &start, const CTauLeap::Firings &count)
{
    PerReactant bound = start;
    for (std::size_t j = 0; j < channels.size(); ++j) {
        const std::int64_t k = count[j];
        if (k == 0)
            continue;
        const PerReactant &needs = channels[j].Needs;
        const PerReactant &worstLoss = channels[j].WorstLoss;
        for (int s = 0; s < kReactantCount; ++s) {
            if (needs[s] > 0 && bound[s] - (k - 1) * worstLoss[s] < needs[s])
                return false;
            bound[s] -= k * worstLoss[s];
        }
    }
    return true;
}

} // namespace

CTauLeap::CTauLeap(CChemistry &chemistry, CCellContents &world) : chemistry_(chemistry), world_(world)
{
}

void CTauLeap::Reset()
{
    LeapNumber = 0;
    ExactStepsLeft = 0;
}

std::optional<CTauLeap::Leap> CTauLeap::Plan(double longest)
{
    PerReactant x{};
    for (int s = 0; s < kReactantCount; ++s)
        x[s] = chemistry_.Species[kReactants[s]];

    const ChannelTable channels = chemistry_.Channels;
    const std::size_t channelCount = channels.size();
    // Scratch of this object, kept from leap to leap.
    std::vector<double> &rate = rate_;
    std::vector<bool> &critical = critical_;
    rate.assign(channelCount, 0.0);
    critical.assign(channelCount, false);
    double total = 0.0;         // s^-1
    double criticalTotal = 0.0; // s^-1
    for (std::size_t j = 0; j < channelCount; ++j) {
        rate[j] = UsableRate(chemistry_.Reactions[j]);
        total += rate[j];
        const PerReactant &needs = channels[j].Needs;
        for (int s = 0; s < kReactantCount && rate[j] > 0.0; ++s)
            critical[j] = critical[j] || (needs[s] > 0 && x[s] < CRITICAL_FIRINGS * needs[s]);
        if (critical[j])
            criticalTotal += rate[j];
    }
    Leap leap;
    if (total == 0.0) {
        leap.Tau = longest;
        leap.ReachesLimit = true;
        return leap;
    }

    // The largest tau for which the mean and the standard deviation of every
    // reactant's change stay within max(epsilon x / g, 1).
    double tauSelected = std::numeric_limits<double>::infinity();
    for (int s = 0; s < kReactantCount; ++s) {
        double mean = 0.0;     // s^-1
        double variance = 0.0; // s^-1
        for (std::size_t j = 0; j < channelCount; ++j) {
            if (critical[j])
                continue;
            const double change = double(channels[j].Change[s]);
            mean += change * rate[j];
            variance += change * change * rate[j];
        }
        const double allowed = std::max(Accuracy * double(x[s]) / ChangeFactor(s, x[s]), 1.0);
        if (mean != 0.0)
            tauSelected = std::min(tauSelected, allowed / std::fabs(mean));
        if (variance != 0.0)
            tauSelected = std::min(tauSelected, allowed * allowed / variance);
    }
    if (tauSelected < SHORTEST_LEAP_IN_STEPS / total) {
        ExactStepsLeft = EXACT_STEPS;
        return std::nullopt;
    }

    // The critical channels' next firing, drawn as by the exact method.
    double criticalTau = std::numeric_limits<double>::infinity(); // s
    int criticalChannel = -1;
    if (criticalTotal > 0.0) {
        double u;
        do
            u = world_.Random.UniformReal();
        while (u == 0.0);
        criticalTau = -std::log(u) / criticalTotal;
        double r = world_.Random.UniformReal() * criticalTotal;
        for (std::size_t j = 0; j < channelCount; ++j) {
            if (!critical[j] || rate[j] == 0.0)
                continue;
            criticalChannel = int(j);
            r -= rate[j];
            if (r < 0.0)
                break;
        }
    }

    for (std::uint32_t attempt = 0;; ++attempt) {
        leap.ReachesLimit = tauSelected >= longest && criticalTau >= longest;
        leap.Tau = std::min({tauSelected, criticalTau, longest});
        DrawCounts(leap.Tau, critical, attempt, leap.Count);
        if (criticalTau <= leap.Tau)
            ++leap.Count[criticalChannel];
        std::int64_t firings = 0;
        for (const std::int64_t k : leap.Count)
            firings += k;
        // A single firing is what the exact method would do, even when its
        // handler then finds nothing to act on.
        if (firings <= 1 || SurelyApplies(channels, x, leap.Count))
            return leap;
        tauSelected = 0.5 * std::min(tauSelected, leap.Tau);
    }
}

void CTauLeap::DrawCounts(double tau, const std::vector<bool> &critical, std::uint32_t attempt,
                          Firings &count) const
{
    count.assign(critical.size(), 0);
    for (std::size_t j = 0; j < critical.size(); ++j) {
        if (critical[j])
            continue;
        // Draws of channel j in this attempt: blocks 0, 1, ... of its counter.
        std::uint32_t block = 0;
        std::array<double, 2> pair{};
        int used = 2;
        const UniformDraw uniform = [&] {
            if (used == 2) {
                pair = CounterUniforms(CounterStreamTag::TauLeap, world_.CounterKey,
                                       CounterOf(LeapNumber, std::uint32_t(j) | attempt << 8, block++));
                used = 0;
            }
            return pair[used++];
        };
        count[j] = PoissonCount(UsableRate(chemistry_.Reactions[j]) * tau, uniform);
    }
}

std::int64_t CTauLeap::Apply(const Leap &leap)
{
    std::int64_t firings = 0;
    for (std::size_t j = 0; j < leap.Count.size(); ++j) {
        CChemReaction &reaction = chemistry_.Reactions[j];
        for (std::int64_t k = 0; k < leap.Count[j]; ++k) {
            reaction.Fire();
            chemistry_.CheckAfterFiring(j);
        }
        firings += leap.Count[j];
    }
    ++LeapNumber;
    return firings;
}
