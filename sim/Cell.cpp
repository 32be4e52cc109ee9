#include "Cell.h"

#include <algorithm>

namespace {

// Volume exponent n of each channel: reactant molecules minus one.
constexpr std::array<std::int32_t, CCell::REACTION_COUNT> VOLUME_EXPONENTS = {2, 1, 1, 0, 0, 1, 1, 1, 2};

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

} // namespace

CCell::CCell()
{
    using Handler = void (CCell::*)();
    constexpr std::array<Handler, REACTION_COUNT> handlers = {
        &CCell::FormFilament, &CCell::AssocBarbed, &CCell::AssocPointed,
        &CCell::DissocBarbed, &CCell::DissocPointed, &CCell::CapBarbed,
        &CCell::BindArp,      &CCell::Sever,       &CCell::FormFilamentAtBacterium};
    for (int i = 0; i < REACTION_COUNT; ++i) {
        CChemReaction &reaction = Reactions[i];
        reaction.Name = ReactionNames[i];
        reaction.SetOrder(VOLUME_EXPONENTS[i], [this, handler = handlers[i]] { (this->*handler)(); });
        reaction.SetRate(1.0, 1.0);
    }
    SetMethodByName(NEXT_REACTION);
    Reset();
}

CCell::~CCell() = default;

void CCell::Reset()
{
    Filaments.clear();
    Time = 0.0;
    MechTime = 0.0;
    ObsTime = 0.0;
    MechTimeStep = 1e-4;
    ObsTimeStep = 1e-4;
    ReactionCount = 0;
    Pending.reset();
    Running = false;
    Species.fill(0);
}

void CCell::UpdatePropensities()
{
    std::int32_t bulkActin = 0;
    std::int32_t shellActin = 0;
    if (Bacterium) {
        const double cellVolume = GetVolume();
        const double bodyVolume = Bacterium->GetVolume();
        const double shellVolume = Bacterium->Shell.GetVolume();
        bulkActin = MoleculesInShare((cellVolume - bodyVolume - shellVolume) / cellVolume, Species[ACG]);
        shellActin = MoleculesInShare(shellVolume / cellVolume, Species[ACG]);
    }
    const double freeBarbedEnds = double(Species[ARB]) + double(Species[FIB]);
    Reactions[FORM].SetPropensityFactor(FallingTriple(bulkActin));
    Reactions[ASSB].SetPropensityFactor(freeBarbedEnds * Species[ACG]);
    Reactions[ASSP].SetPropensityFactor(double(Species[FIP]) * Species[ACG]);
    Reactions[DISB].SetPropensityFactor(Species[FIB]);
    Reactions[DISP].SetPropensityFactor(Species[FIP]);
    Reactions[ARPB].SetPropensityFactor(double(Species[FIB]) * Species[ARP]);
    Reactions[CAPB].SetPropensityFactor(freeBarbedEnds * Species[CAP]);
    Reactions[SEVR].SetPropensityFactor(double(Species[ACF]) * Species[ADC]);
    Reactions[FORM2].SetPropensityFactor(FallingTriple(shellActin));
}

void CCell::CreateBacterium()
{
    Bacterium.reset();
    Bacterium = std::make_unique<CBacterium>();
    Bacterium->Position = Size * 0.5;
    Bacterium->MarkChanged();
}

double CCell::MeanFilamentSize() const
{
    if (Filaments.empty())
        return 0.0;
    double monomers = 0.0;
    for (const CSolidFilament &f : Filaments)
        monomers += f.Monomers;
    return monomers / double(Filaments.size());
}

CSolidFilament *CCell::FreeBarbedFilament(std::int32_t i)
{
    return Filaments.FreeBarbed(i);
}

CSolidFilament *CCell::FilamentAt(std::int32_t i)
{
    if (i < 0 || std::size_t(i) >= Filaments.size())
        return nullptr;
    return &Filaments[std::size_t(i)];
}

CCell::MonomerSite CCell::FilamentOfMonomer(std::int32_t i)
{
    return Filaments.OfMonomer(i);
}

void CCell::RemoveFilament(CSolidFilament *f)
{
    const bool capped = f->Capped;
    const std::int32_t monomers = f->Monomers;
    if (!Filaments.Remove(*f))
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

void CCell::FilamentChanged(CSolidFilament &f)
{
    f.MarkChanged();
    Filaments.Refresh(f);
}

CSolidFilament &CCell::AppendFilament(const CVector &pointedEnd, const CVector &direction,
                                      std::int32_t monomers)
{
    CSolidFilament filament;
    filament.SetGeometry(pointedEnd, direction);
    filament.Monomers = monomers;
    // The body's centre until its first step takes it there: the wall forces
    // of that step measure their lever arms from it.
    filament.Position = filament.GetMassCenter();
    filament.MarkChanged();
    return Filaments.Append(filament);
}
