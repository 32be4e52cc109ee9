// The mechanics step: contacts found on all threads, kicks drawn in list
// order on the calling one, then every filament moves on all threads.

#include "Mechanics.h"

#include "FirstFailure.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace {

// With fewer filaments starting the threads costs more than it saves.
constexpr std::size_t kParallelFromSlots = 256;

// Square root of a quantity that is mathematically non-negative but may
// round to slightly below zero.
double SqrtOfNonNegative(double x)
{
    return std::sqrt(std::max(x, 0.0));
}

// The integrals of the penalty along the penetrating part of a rod, for a
// penetrating fraction q: A = q - q^2/2 and B = q^2/2 - q^3/3.
double ForceIntegral(double q)
{
    return q - q * q / 2.0;
}

double TorqueIntegral(double q)
{
    return q * q / 2.0 - q * q * q / 3.0;
}

// Caps the speed of a body at mu * m (m/s); slower bodies are untouched.
void LimitSpeed(CSymmetricSolid &body, double mu)
{
    const double speed = Length(body.Velocity);
    const double mass = body.Mass;
    if (speed > 0.0 && mass > 0.0) {
        const double factor = mu * mass / speed;
        if (factor > 0.0 && factor < 1.0)
            body.Velocity *= factor;
    }
}

} // namespace

void CMechanics::MechStep(double dt)
{
    world_.Filaments.CompactIfSparse();
    const std::size_t slots = world_.Filaments.SlotCount();
    const bool parallel = slots >= kParallelFromSlots;
    const bool chosen = MechanicsThreads <= 0 && parallel;
    const int team = !parallel ? 1 : chosen ? teamSize_.Next(CThreadTeam::Cores()) : MechanicsThreads;
    const auto start = std::chrono::steady_clock::now();
    if (Model == MechanicsModel::Viscous)
        viscous_.Step(world_, {Viscosity, Temperature, ContactStiffness}, dt, MechStepCount, threads_, team);
    else
        RigidStep(dt, team);
    if (chosen)
        teamSize_.Took(std::chrono::steady_clock::now() - start);
    ++MechStepCount;
}

void CMechanics::RigidStep(double dt, int team)
{
    // Forces are gathered from the positions at the start of the step, and
    // each filament's arithmetic is its own. So the contacts are found on all
    // threads, then the calling thread draws the Brownian kicks from the one
    // random stream and sums the bacterium's share of the contacts, both in
    // list order, then the filaments move on all threads: any number of
    // threads gives the result of one. A stage that failed ends the step.
    const std::size_t slots = world_.Filaments.SlotCount();
    if (contacts_.size() < slots)
        contacts_.resize(slots);
    FirstFailure failure;
    threads_.ParallelFor(team, slots, [&](std::size_t begin, std::size_t end) {
        for (std::size_t slot = begin; slot < end; ++slot)
            if (world_.Filaments.IsLive(slot))
                failure.Guard(slot, [&] { FindContacts(world_.Filaments.AtSlot(slot), contacts_[slot]); });
    });
    if (!failure.Failed()) {
        for (std::size_t slot = 0; slot < slots; ++slot) {
            FilamentContacts &contacts = contacts_[slot];
            if (world_.Filaments.IsLive(slot) && !failure.Guard(slot, [&] {
                    if (!contacts.TouchesWall) {
                        contacts.KickForceDirection = RandomUnitVector(world_.Random);
                        contacts.KickTorqueDirection = RandomUnitVector(world_.Random);
                    }
                    // The bacterium does not track its rotation; the reaction
                    // torque would have no effect.
                    if (contacts.TouchesBacterium)
                        world_.Bacterium->ApplyForceAndTorque(-contacts.BacteriumForce, CVector(0.0));
                }))
                break;
        }
    }
    if (!failure.Failed()) {
        threads_.ParallelFor(team, slots, [&](std::size_t begin, std::size_t end) {
            for (std::size_t slot = begin; slot < end; ++slot)
                if (world_.Filaments.IsLive(slot))
                    failure.Guard(slot,
                                  [&] { ForceAndMove(world_.Filaments.AtSlot(slot), contacts_[slot], dt); });
        });
    }
    failure.Raise();
    if (world_.Bacterium) {
        LimitSpeed(*world_.Bacterium, BacteriumFriction);
        world_.Bacterium->Move(dt);
    }
}

int CMechanics::FilamentsTouchingBacterium() const
{
    if (!world_.Bacterium)
        return 0;
    int touching = 0;
    FilamentContacts contacts;
    for (const CSolidFilament &f : world_.Filaments) {
        FindContacts(f, contacts);
        touching += contacts.TouchesBacterium ? 1 : 0;
    }
    return touching;
}

// Inlined into the step's loops, where it runs for every filament.
[[gnu::always_inline]] inline void CMechanics::FindContacts(const CSolidFilament &f,
                                                            FilamentContacts &contacts) const
{
    const CVector pointed = f.GetPointedEnd();
    const CVector barbed = f.GetBarbedEnd();

    CVector force;
    CVector torque;
    int touched = 0;
    for (const bool upper : {true, false}) {
        for (int axis = 0; axis < 3; ++axis) {
            const double wall = upper ? Component(world_.Size, axis) : 0.0;
            if (WallContact(pointed, barbed, f.Position, wall, axis, upper, force, torque))
                ++touched;
        }
    }
    contacts.WallForce = force;
    contacts.WallTorque = torque;
    contacts.TouchesWall = touched > 0;

    contacts.TouchesBacterium = false;
    if (!world_.Bacterium)
        return;
    const CVector sphereCenter = world_.Bacterium->Center;
    const double radius = world_.Bacterium->Radius;
    // The filament's bounding sphere: the box spanned by its ends.
    const CVector lower = MinComponents(pointed, barbed);
    const CVector upper = MaxComponents(pointed, barbed);
    const CVector filamentCenter = (upper + lower) * 0.5;
    const double filamentRadius = 0.5 * Length(upper - lower);
    if (!(Length(filamentCenter - sphereCenter) < filamentRadius + radius))
        return;
    const double pointedDistance = Length(sphereCenter - pointed);
    const double barbedDistance = Length(sphereCenter - barbed);
    CVector bacteriumForce;
    CVector bacteriumTorque;
    if (pointedDistance < radius && pointedDistance < barbedDistance)
        contacts.TouchesBacterium = BacteriumContact(pointed, barbed, filamentCenter, sphereCenter, radius,
                                                     bacteriumForce, bacteriumTorque);
    else if (barbedDistance < radius && barbedDistance < pointedDistance)
        contacts.TouchesBacterium = BacteriumContact(barbed, pointed, filamentCenter, sphereCenter, radius,
                                                     bacteriumForce, bacteriumTorque);
    contacts.BacteriumForce = bacteriumForce;
    contacts.BacteriumTorque = bacteriumTorque;
}

// Inlined into the step's loop, as FindContacts.
[[gnu::always_inline]] inline void CMechanics::ForceAndMove(CSolidFilament &f,
                                                            const FilamentContacts &contacts, double dt) const
{
    // A filament held by a wall gets no Brownian kick in this step.
    if (contacts.TouchesWall)
        f.ApplyForceAndTorque(contacts.WallForce, contacts.WallTorque);
    else
        f.ApplyForceAndTorque(BrownianForce * contacts.KickForceDirection,
                              BrownianMoment * contacts.KickTorqueDirection);
    if (contacts.TouchesBacterium)
        f.ApplyForceAndTorque(contacts.BacteriumForce, contacts.BacteriumTorque);
    LimitSpeed(f, FilamentFriction);
    f.Move(dt);
}

bool CMechanics::WallContact(const CVector &pointed, const CVector &barbed, const CVector &position,
                             double wall, int axis, bool upper, CVector &force, CVector &torque) const
{
    // The end that can lie beyond this wall: the outer one on the wall's
    // axis, the barbed end when both are level.
    const double pointedCoordinate = Component(pointed, axis);
    const double barbedCoordinate = Component(barbed, axis);
    const bool pointedIsOuter =
        upper ? pointedCoordinate > barbedCoordinate : pointedCoordinate < barbedCoordinate;
    const CVector &end = pointedIsOuter ? pointed : barbed;
    const double depth = wall - Component(end, axis);
    if (upper ? !(depth < 0.0) : !(depth > 0.0))
        return false;

    const CVector length = barbed - pointed;
    CVector penetration(0.0);
    Component(penetration, axis) = depth;

    // Squared extent of the filament parallel to the wall.
    const double parallel = axis == 0   ? length.y * length.y + length.z * length.z
                            : axis == 1 ? length.x * length.x + length.z * length.z
                                        : length.x * length.x + length.y * length.y;
    const double slope = std::fabs(Component(length, axis) / depth);
    if (slope == 0.0) {
        // Lying flat beyond the wall: a pure push back.
        force += FWInterCoef * parallel * penetration;
        return true;
    }
    // u points from the tested end into the filament.
    const CVector inward = pointedIsOuter ? length / Length(length) : -length / Length(length);
    const CVector arm = end - position;
    const double h = parallel / slope;
    const double q = std::min(slope, 1.0);
    const double lambda = std::sqrt(Dot(penetration, penetration) + h * h);
    const double a = ForceIntegral(q);
    const double b = TorqueIntegral(q);
    force += FWInterCoef * h * a * penetration;
    torque += FWInterCoef * Cross(a * arm + b * lambda * inward, penetration);
    return true;
}

bool CMechanics::BacteriumContact(const CVector &inside, const CVector &other, const CVector &filamentCenter,
                                  const CVector &sphereCenter, double radius, CVector &force,
                                  CVector &torque) const
{
    const CVector length = other - inside;
    const double filamentLength = Length(length);
    const CVector offset = inside - sphereCenter;
    const double distance = Length(offset);
    // An end at the very centre has no outward normal.
    if (distance == 0.0 || filamentLength == 0.0)
        return false;
    const CVector direction = length / filamentLength;
    const CVector normal = offset / distance;
    const CVector penetration = (radius - distance) * normal;
    const double depth = Length(penetration);
    const double along = Dot(normal, length);
    // A filament tangent to the sphere (or an end on its surface) gives no
    // contact.
    if (depth == 0.0 || along == 0.0)
        return false;
    const double q = along / depth;
    const double ratio = filamentLength / q;
    const double lambda = SqrtOfNonNegative(ratio * ratio - depth * depth);
    const double a = ForceIntegral(q);
    const double b = TorqueIntegral(q);
    force += BFInterCoef * lambda * a * penetration;
    torque +=
        BFInterCoef * lambda * Cross(a * (inside - filamentCenter) + b * ratio * direction, penetration);
    return true;
}
