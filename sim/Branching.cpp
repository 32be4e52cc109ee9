// Arp2/3 branches: a branch holds its pointed end on a monomer of its
// mother, follows that monomer as the mother grows and shrinks at its
// pointed end, and is released when the monomer goes or by DEBR.

#include "Chemistry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr std::int32_t NUCLEUS_SIZE = 3;

// Folds an angle (rad) into [0, pi]: directions at -a and at 2 pi - a from
// the mother's are those at a.
double FoldedAngle(double a)
{
    a = std::fmod(std::fabs(a), 2.0 * std::numbers::pi);
    return a > std::numbers::pi ? 2.0 * std::numbers::pi - a : a;
}

// A unit vector perpendicular to unit d, fixed by d alone.
CVector Perpendicular(const CVector &d)
{
    const double ax = std::fabs(d.x), ay = std::fabs(d.y), az = std::fabs(d.z);
    const CVector axis = ax <= ay && ax <= az ? CVector(1, 0, 0) : ay <= az ? CVector(0, 1, 0) : CVector(0, 0, 1);
    const CVector p = Cross(d, axis);
    return p / Length(p);
}

} // namespace

void CChemistry::IndexBranches()
{
    branches_.clear();
    for (const CSolidFilament &f : world_.Filaments)
        if (!f.IsPointedEndFree())
            branches_[f.Mother].push_back(f.Id);
}

void CChemistry::AssocFreePointed()
{
    const std::int32_t freeEnds = Species[FIP] - Species[ARF];
    if (freeEnds < 1 || Species[ACG] < 1)
        return;
    GrowAtPointedEnd(world_.Filaments.FreePointed(world_.Random.UniformInt(0, freeEnds - 1)));
}

void CChemistry::DissocFreePointed()
{
    const std::int32_t freeEnds = Species[FIP] - Species[ARF];
    if (freeEnds < 1)
        return;
    ShrinkAtPointedEnd(world_.Filaments.FreePointed(world_.Random.UniformInt(0, freeEnds - 1)));
}

bool CChemistry::InActivationZone(const CVector &p) const
{
    if (!(Branching.ActivationZone > 0.0))
        return true;
    if (!world_.Bacterium)
        return false;
    const CSphereSpace &body = *world_.Bacterium;
    return Length(p - body.Center) - body.Radius <= Branching.ActivationZone;
}

void CChemistry::Branch()
{
    if (Species[FIB] < 1)
        return;
    CSolidFilament *mother = FreeBarbedFilament(world_.Random.UniformInt(0, Species[FIB] - 1));
    if (!mother)
        return;
    const std::int32_t site = mother->Monomers - 1;
    const CVector sitePoint = mother->GetMonomerPosition(site);
    if (Species[ACG] < NUCLEUS_SIZE || !InActivationZone(sitePoint))
        return;
    double u1;
    do
        u1 = world_.Random.UniformReal();
    while (u1 == 0.0);
    const double u2 = world_.Random.UniformReal();
    const double normal = std::sqrt(-2.0 * std::log(u1)) * std::cos(2.0 * std::numbers::pi * u2);
    const double theta = FoldedAngle(Branching.Angle + Branching.AngleSpread * normal);
    const double phi = 2.0 * std::numbers::pi * world_.Random.UniformReal();
    const CVector &axis = mother->Direction;
    const CVector across = Perpendicular(axis);
    const CVector around = Cross(axis, across);
    const CVector direction = axis * std::cos(theta) +
                              (across * std::cos(phi) + around * std::sin(phi)) * std::sin(theta);
    const std::uint32_t motherId = mother->Id;
    CSolidFilament &branch = AppendFilament(sitePoint, direction / Length(direction), NUCLEUS_SIZE);
    branch.Mother = motherId;
    branch.Site = site;
    FilamentChanged(branch);
    branches_[motherId].push_back(branch.Id);
    Species[ACG] -= NUCLEUS_SIZE;
    Species[ACF] += NUCLEUS_SIZE;
    ++Species[FIB];
    ++Species[FIP];
    --Species[ARP];
    ++Species[ARF];
}

void CChemistry::Debranch()
{
    if (Species[ARF] < 1)
        return;
    if (CSolidFilament *branch = world_.Filaments.BoundBranch(world_.Random.UniformInt(0, Species[ARF] - 1)))
        Release(*branch);
}

void CChemistry::Unlink(const CSolidFilament &branch)
{
    const auto onMother = branches_.find(branch.Mother);
    if (onMother == branches_.end())
        return;
    std::vector<std::uint32_t> &ids = onMother->second;
    ids.erase(std::find(ids.begin(), ids.end(), branch.Id));
    if (ids.empty())
        branches_.erase(onMother);
}

void CChemistry::Release(CSolidFilament &branch)
{
    Unlink(branch);
    branch.Mother = 0;
    branch.Site = 0;
    FilamentChanged(branch);
    --Species[ARF];
    ++Species[ARP];
}

std::vector<std::uint32_t> CChemistry::BranchesOn(const CSolidFilament &f) const
{
    const auto found = branches_.find(f.Id);
    return found == branches_.end() ? std::vector<std::uint32_t>() : found->second;
}

void CChemistry::MoveSites(CSolidFilament &f, std::int32_t shift)
{
    for (const std::uint32_t id : BranchesOn(f)) {
        CSolidFilament &branch = *world_.Filaments.FindById(id);
        branch.Site += shift;
        if (branch.Site < 0 || branch.Site >= f.Monomers)
            Release(branch);
    }
}

void CChemistry::SplitSites(CSolidFilament &f, std::int32_t cut, bool pointedDissolves, bool barbedDissolves,
                            CSolidFilament *barbedPiece)
{
    if (pointedDissolves && !f.IsPointedEndFree())
        Release(f);
    for (const std::uint32_t id : BranchesOn(f)) {
        CSolidFilament &branch = *world_.Filaments.FindById(id);
        const bool onPointedPiece = branch.Site < cut;
        if (branch.Site == cut || (onPointedPiece ? pointedDissolves : barbedDissolves)) {
            Release(branch);
        } else if (!onPointedPiece && barbedPiece) {
            branch.Site -= cut + 1;
            if (barbedPiece != &f) {
                Unlink(branch);
                branch.Mother = barbedPiece->Id;
                branches_[barbedPiece->Id].push_back(branch.Id);
            }
        }
    }
}
