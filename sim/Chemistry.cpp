// The chemistry's state: its channels, their propensities, the filaments
// picked by the handlers, and the two selection methods.

#include "Chemistry.h"

#include "FloatingPoint.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace {

// Number of distinct ordered triples of n molecules, formed in floating point
// so that n of 0, 1 or 2 gives 0.
double FallingTriple(std::int32_t n)
{
    return double(n) * double(n - 1) * double(n - 2);
}

// Molecules of a population of `total` that lie in a share of the box,
// truncated. A bacterium that does not fit in the box gives a share outside
// [0, 1]; the count stays within [0, total] all the same.
std::int32_t MoleculesInShare(double share, std::int32_t total)
{
    const double molecules = share * total;
    if (total <= 0 || !(molecules > 0.0))
        return 0;
    return std::int32_t(std::min(molecules, double(total)));
}

// A uniform draw in (0, 1] for a logarithm: a draw of exactly 0 (about once
// in 2^31) is drawn again.
double DrawForLogarithm(CRandomStream &random)
{
    double u;
    do
        u = random.UniformReal();
    while (u == 0.0);
    return u;
}

// A negative propensity (from a negative rate constant or population entered
// by the user) means that the channel cannot occur. Counted as such, it can
// neither be chosen nor turn the total negative, which would run the clock
// backwards for ever.
double OccurrenceWeight(const CChemReaction &reaction)
{
    return std::max(reaction.Propensity, 0.0);
}

} // namespace

CChemistry::CChemistry(CCellContents &world, ChannelTable channels) : Channels(channels), world_(world)
{
    BindChannels();
    SetMethod(SimulationMethod::NextReaction);
}

void CChemistry::SetArpModel(ArpModel model)
{
    Arp = model;
    Channels = model == ArpModel::Branches ? BranchingChannels() : SpecifiedChannels();
    BindChannels();
}

void CChemistry::BindChannels()
{
    Reactions.assign(Channels.size(), CChemReaction());
    for (std::size_t i = 0; i < Channels.size(); ++i) {
        const ChannelRow &row = Channels[i];
        CChemReaction &reaction = Reactions[i];
        reaction.Name = row.Name;
        std::function<void()> handler;
        if (row.Fire)
            handler = [this, fire = row.Fire] { fire(*this); };
        reaction.SetOrder(row.VolumeExponent, std::move(handler));
        reaction.SetRate(1.0, 1.0);
    }
}

void CChemistry::UpdatePropensities()
{
    std::int32_t bulkActin = 0;
    std::int32_t shellActin = 0;
    if (world_.Bacterium) {
        const double cellVolume = world_.GetVolume();
        const double bodyVolume = world_.Bacterium->GetVolume();
        const double shellVolume = world_.Bacterium->Shell.GetVolume();
        bulkActin = MoleculesInShare((cellVolume - bodyVolume - shellVolume) / cellVolume, Species[ACG]);
        shellActin = MoleculesInShare(shellVolume / cellVolume, Species[ACG]);
    }
    std::array<double, FACTOR_TERM_COUNT> term;
    for (int s = 0; s < SPECIES_COUNT; ++s)
        term[s] = double(Species[s]);
    term[FREE_BARBED_ENDS] = double(Species[ARB]) + double(Species[FIB]);
    term[BULK_ACTIN_TRIPLES] = FallingTriple(bulkActin);
    term[SHELL_ACTIN_TRIPLES] = FallingTriple(shellActin);
    term[FREE_POINTED_ENDS] = double(Species[FIP]) - double(Species[ARF]);
    term[UNIT_TERM] = 1.0;
    for (std::size_t i = 0; i < Reactions.size(); ++i) {
        const std::array<int, 2> &factor = Channels[i].Factor;
        Reactions[i].SetPropensityFactor(term[factor[0]] * term[factor[1]]);
    }
}

std::optional<int> CChemistry::ChannelIndex(std::string_view name) const
{
    for (std::size_t i = 0; i < Channels.size(); ++i)
        if (name == Channels[i].Name)
            return int(i);
    return std::nullopt;
}

std::optional<CChemistry::CounterDisagreement> CChemistry::CounterMismatch() const
{
    std::int64_t monomers = 0;
    std::int64_t freeBarbedEnds = 0;
    std::int64_t capped = 0;
    std::int64_t filaments = 0;
    std::int64_t branches = 0;
    for (const CSolidFilament &f : world_.Filaments) {
        monomers += f.Monomers;
        freeBarbedEnds += f.IsBarbedEndFree() ? 1 : 0;
        capped += f.Capped ? 1 : 0;
        branches += f.IsPointedEndFree() ? 0 : 1;
        ++filaments;
    }
    const std::pair<SpeciesIndex, std::int64_t> listed[] = {
        {FIP, filaments}, {FIB, freeBarbedEnds}, {ACF, monomers}, {CAF, capped}, {ARF, branches}};
    constexpr const char *kWhat[] = {"filaments", "filaments with a free barbed end", "monomers",
                                     "capped filaments", "bound branches"};
    for (std::size_t k = 0; k < std::size(listed); ++k) {
        const auto [species, count] = listed[k];
        if (Species[species] != count)
            return CounterDisagreement{species, count, Species[species], kWhat[k]};
    }
    return std::nullopt;
}

std::string CChemistry::CounterDisagreement::Describe() const
{
    return "is " + std::to_string(Counter) + " but the filament list holds " + std::to_string(Listed) + " " +
           What;
}

double CChemistry::MeanFilamentSize() const
{
    if (world_.Filaments.empty())
        return 0.0;
    double monomers = 0.0;
    for (const CSolidFilament &f : world_.Filaments)
        monomers += f.Monomers;
    return monomers / double(world_.Filaments.size());
}

CSolidFilament *CChemistry::FreeBarbedFilament(std::int32_t i)
{
    return world_.Filaments.FreeBarbed(i);
}

CSolidFilament *CChemistry::FilamentAt(std::int32_t i)
{
    if (i < 0 || std::size_t(i) >= world_.Filaments.size())
        return nullptr;
    return &world_.Filaments[std::size_t(i)];
}

CChemistry::MonomerSite CChemistry::FilamentOfMonomer(std::int32_t i)
{
    return world_.Filaments.OfMonomer(i);
}

void CChemistry::RemoveFilament(CSolidFilament *f)
{
    if (!branches_.empty()) {
        // A filament that goes releases its branches, and its own pointed end.
        MoveSites(*f, -f->Monomers);
        if (!f->IsPointedEndFree())
            Release(*f);
    }
    const bool capped = f->Capped;
    const std::int32_t monomers = f->Monomers;
    if (!world_.Filaments.Remove(*f))
        return;
    if (capped) {
        ++Species[CAP];
        --Species[CAF];
        ++Species[FIB];
    }
    Species[ACG] += monomers;
    Species[ACF] -= monomers;
    --Species[FIB];
    --Species[FIP];
}

void CChemistry::FilamentChanged(CSolidFilament &f)
{
    f.MarkChanged();
    world_.Filaments.Refresh(f);
}

CSolidFilament &CChemistry::AppendFilament(const CVector &pointedEnd, const CVector &direction,
                                           std::int32_t monomers)
{
    CSolidFilament filament;
    filament.SetGeometry(pointedEnd, direction);
    filament.Monomers = monomers;
    // The body's centre until its first step takes it there: the wall forces
    // of that step measure their lever arms from it.
    filament.Position = filament.GetMassCenter();
    filament.MarkChanged();
    return world_.Filaments.Append(filament);
}

void CChemistry::CheckCounters(std::size_t channel) const
{
    if (!Channels[channel].ChangesFilaments)
        return;
    // Against the list's own totals, so that the check costs nothing per
    // filament: a handler that misses a counter shows at once.
    const CFilamentList::Totals listed = world_.Filaments.ListedTotals();
    const std::pair<SpeciesIndex, std::int64_t> expected[] = {{FIP, listed.Filaments},
                                                              {FIB, listed.FreeBarbedEnds},
                                                              {ACF, listed.Monomers},
                                                              {CAF, listed.Filaments - listed.FreeBarbedEnds},
                                                              {ARF, listed.Branches}};
    for (const auto &[species, count] : expected)
        if (Species[species] != count)
            throw std::logic_error("after " + std::string(Channels[channel].Name) + ": " +
                                   SpeciesNames[species] + " is " + std::to_string(Species[species]) +
                                   " but the filament list holds " + std::to_string(count));
}

CChemReaction *CChemistry::FirstReaction(double &tau)
{
    tau = 1e30;
    CChemReaction *chosen = nullptr;
    for (CChemReaction &reaction : Reactions) {
        const double u = DrawForLogarithm(world_.Random);
        const double a = reaction.Propensity;
        const double t = a >= NEGLIGIBLE_PROPENSITY ? -std::log(u) / a : -std::log(u) * 1e30;
        if (t < tau) {
            tau = t;
            chosen = &reaction;
        }
    }
    return chosen;
}

CChemReaction *CChemistry::NextReaction(double &tau)
{
    double total = 0.0;
    for (const CChemReaction &reaction : Reactions)
        total += OccurrenceWeight(reaction);
    const double u1 = DrawForLogarithm(world_.Random);
    // Raised explicitly: with traps off -log(u1) / 0 would give an infinity,
    // and with u1 = 1 the quotient 0 / 0 would report an invalid operation.
    if (total == 0.0)
        throw fp::FloatingPointError(fp::Fault::DivisionByZero);
    tau = -std::log(u1) / total;
    double r = world_.Random.UniformReal() * total;
    CChemReaction *lastPossible = nullptr;
    for (CChemReaction &reaction : Reactions) {
        r -= OccurrenceWeight(reaction);
        if (r < 0.0)
            return &reaction;
        if (reaction.Propensity >= NEGLIGIBLE_PROPENSITY)
            lastPossible = &reaction;
    }
    // A second draw of 1.0, or rounding, leaves r at or above zero: the draw
    // belongs to the last channel that can occur.
    return lastPossible;
}

int CChemistry::IndexOf(const CChemReaction &reaction) const
{
    return int(&reaction - Reactions.data());
}

void CChemistry::SetMethod(SimulationMethod method)
{
    method_ = method;
    Leaping = method == SimulationMethod::TauLeap;
    switch (method) {
    case SimulationMethod::FirstReaction:
    case SimulationMethod::TauLeap:
        Method = [this](double &tau) { return FirstReaction(tau); };
        break;
    case SimulationMethod::NextReaction:
        Method = [this](double &tau) { return NextReaction(tau); };
        break;
    case SimulationMethod::None:
        Method = nullptr;
        break;
    }
}
