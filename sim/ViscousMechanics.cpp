// The viscous mechanics step. Each filament first moves by its own noise
// and is pushed back from the walls, all on the world's threads; then the
// filament ends that lie in the bacterium are relaxed pair by pair in list
// order, on the calling thread, since each such pair moves the one
// bacterium.
//
// A contact is a spring of stiffness k on its depth d. Over one step the
// two bodies approach each other along the contact normal with the summed
// mobility m of the contact points (the translational mobility along the
// normal plus the rotational one times the squared lever arm), so the depth
// decays as d exp(-k m dt): the step moves the contact points apart by
// d (1 - exp(-k m dt)), each body by its share of m. That never overshoots
// and takes any k dt.

#include "ViscousMechanics.h"

#include "BrownianNoise.h"
#include "Drag.h"
#include "ViscousRodBatches.h"
#include "WallContacts.h"

#include <algorithm>
#include <cmath>
#include <exception>

namespace {

// Slots whose bacterium contacts one task collects.
constexpr std::size_t kContactBlockSlots = 64;
// The noise of the bacterium is drawn by this id; filaments start above it.
constexpr std::uint32_t kBacteriumId = 0;

// Pushes the bacterium's sphere (centre, radius) back into the box, as
// ConfineRod with the sphere's mobility.
void ConfineSphere(CVector &center, double radius, double mobility, const CVector &lower,
                   const CVector &upper, double stiffness, double dt)
{
    for (int axis = 0; axis < 3; ++axis) {
        const double below = radius - (Component(center, axis) - Component(lower, axis));
        if (below > 0.0)
            Component(center, axis) += RelaxedDistance(below, stiffness, mobility, dt);
        const double above = Component(center, axis) + radius - Component(upper, axis);
        if (above > 0.0)
            Component(center, axis) -= RelaxedDistance(above, stiffness, mobility, dt);
    }
}

} // namespace

RodMotion CViscousMechanics::ComputeMotion(std::int32_t monomers) const
{
    // A rod shorter than one monomer moves as one monomer.
    const double length = MONOMER_LENGTH * double(std::max(monomers, 1));
    const RodDrag drag = FilamentDrag(length, 2.0 * filamentRadius_, prepared_.Viscosity);
    const double twiceKTdt = 2.0 * kBoltzmann * prepared_.Temperature * dt_;
    return {1.0 / drag.Along,
            1.0 / drag.Across,
            1.0 / drag.Rotation,
            std::sqrt(twiceKTdt / drag.Along),
            std::sqrt(twiceKTdt / drag.Across),
            std::sqrt(twiceKTdt / drag.Rotation)};
}

void CViscousMechanics::Prepare(const CCellContents &world, const ViscousConstants &constants, double dt)
{
    if (!motions_.empty() && constants.Viscosity == prepared_.Viscosity &&
        constants.Temperature == prepared_.Temperature && dt == dt_ &&
        world.Material.Radius == filamentRadius_)
        return;
    prepared_ = constants;
    dt_ = dt;
    filamentRadius_ = world.Material.Radius;
    motions_.resize(kTabulatedMonomers);
    for (std::int32_t monomers = 0; monomers < kTabulatedMonomers; ++monomers)
        motions_[std::size_t(monomers)] = ComputeMotion(monomers);
}

std::vector<ModelConstant> CViscousMechanics::ConstantList()
{
    ViscousConstants &c = Constants;
    return {{"MECH_VISC", "viscosity", &c.Viscosity, 1, true},
            {"MECH_TEMP", "temperature", &c.Temperature, 3},
            {"MECH_CONTACTK", "contactStiffness", &c.ContactStiffness, 3}};
}

void CViscousMechanics::Step(CCellContents &world, double dt, std::uint64_t step, CThreadTeam &threads,
                             int team)
{
    const ViscousConstants &constants = Constants;
    Prepare(world, constants, dt);
    const double stiffness = constants.ContactStiffness;
    const CVector lower = world.Origin;
    const CVector upper = world.Origin + world.Size;
    const std::uint32_t key = world.CounterKey;

    // The bacterium's sphere, shell and body keep one centre.
    CBacterium *bacterium = world.Bacterium.get();
    const auto placeBacterium = [bacterium](const CVector &center) {
        bacterium->Center = center;
        bacterium->Position = center;
        bacterium->Shell.Center = center;
    };
    // The bacterium first, on its own: noise, then the walls.
    double bacteriumMobility = 0.0;
    if (bacterium) {
        bacteriumMobility = 1.0 / SphereTranslationDrag(bacterium->Radius, constants.Viscosity);
        const double noise = std::sqrt(2.0 * kBoltzmann * constants.Temperature * dt * bacteriumMobility);
        const std::array<double, 6> xi = BodyNormals(key, step, kBacteriumId);
        CVector center = bacterium->Center + noise * CVector(xi[0], xi[1], xi[2]);
        ConfineSphere(center, bacterium->Radius, bacteriumMobility, lower, upper, stiffness, dt);
        placeBacterium(center);
    }
    const CVector sphereCenter = bacterium ? bacterium->Center : CVector(0.0);
    const double sphereRadius = bacterium ? bacterium->Radius : 0.0;

    CFilamentList &filaments = world.Filaments;
    const std::size_t slots = filaments.SlotCount();
    const std::size_t blocks = (slots + kContactBlockSlots - 1) / kContactBlockSlots;
    if (bacteriumContacts_.size() < blocks)
        bacteriumContacts_.resize(blocks);
    FirstFailure failure;
    // Each filament: its noise, in batches, then the walls; whether an end
    // lies in the bacterium is noted for the pairs.
    const ViscousRodBatches::Stage stage{filaments,
                                         *this,
                                         {lower, upper, sphereCenter, sphereRadius},
                                         stiffness,
                                         dt,
                                         key,
                                         step,
                                         failure,
                                         bacteriumContacts_,
                                         kContactBlockSlots};
    threads.ParallelFor(team, blocks, [&stage](std::size_t firstBlock, std::size_t endBlock) {
        ViscousRodBatches(stage).MoveBlocks(firstBlock, endBlock);
    });
    failure.Raise();
    if (!bacterium)
        return;

    // The pairs, in list order: each moves the filament and the bacterium
    // apart by their shares of the exact relaxation.
    CVector center = bacterium->Center;
    for (std::size_t block = 0; block < blocks; ++block) {
        for (const std::size_t slot : bacteriumContacts_[block]) {
            CSolidFilament &f = filaments.AtSlot(slot);
            RodMotion spare;
            const double halfLength = HalfLengthOf(f);
            Rod rod{f.PointedEnd + halfLength * f.Direction, f.Direction, halfLength,
                    MotionOf(f.Monomers, spare)};
            for (const double side : {-1.0, 1.0}) {
                const CVector offset = rod.End(side) - center;
                const double distance = Length(offset);
                // An end at the very centre has no outward normal.
                if (!(distance < sphereRadius) || distance == 0.0)
                    continue;
                const CVector n = offset / distance;
                const double mobility = rod.EndMobility(n) + bacteriumMobility;
                const double impulse =
                    RelaxedDistance(sphereRadius - distance, stiffness, mobility, dt) / mobility;
                rod.PushEnd(side, n, impulse);
                center = center - (impulse * bacteriumMobility) * n;
            }
            f.Position = rod.Center;
            f.Direction = rod.Axis;
            f.PointedEnd = rod.End(-1.0);
        }
    }
    placeBacterium(center);
}
