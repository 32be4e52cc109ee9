// The rigid-body mechanics step: contacts found on all threads, kicks drawn
// in list order on the calling one, then every filament moves on all threads.

#include "RigidMechanics.h"

#include "FirstFailure.h"

#include <algorithm>
#include <cmath>

namespace {

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

std::vector<ModelConstant> CRigidMechanics::ConstantList()
{
    RigidConstants &c = Constants;
    return {{"MECH_FFINTERCOEF", "ffInterCoef", &c.FFInterCoef},
            {"MECH_FFINTERDIST", "ffInterDist", &c.FFInterDist},
            {"BACT_FSINTERCOEF", "bfInterCoef", &c.BFInterCoef},
            {"BACT_FSINTERDIST", "bfInterDist", &c.BFInterDist},
            {"MECH_FWINTERCOEF", "fwInterCoef", &c.FWInterCoef},
            {"MECH_FWINTERDIST", "fwInterDist", &c.FWInterDist},
            {"MECH_BROWNIANFORCE", "brownianForce", &c.BrownianForce},
            {"MECH_BROWNIANMOMENT", "brownianMoment", &c.BrownianMoment},
            {"MECH_FRICCOEF", "filamentFriction", &c.FilamentFriction},
            {"BACT_FRICCOEF", "bacteriumFriction", &c.BacteriumFriction}};
}

void CRigidMechanics::Step(CCellContents &world, double dt, std::uint64_t, CThreadTeam &threads, int team)
{
    // Forces are gathered from the positions at the start of the step, and
    // each filament's arithmetic is its own. So the contacts are found on all
    // threads, then the calling thread draws the Brownian kicks from the one
    // random stream and sums the bacterium's share of the contacts, both in
    // list order, then the filaments move on all threads: any number of
    // threads gives the result of one. A stage that failed ends the step.
    const std::size_t slots = world.Filaments.SlotCount();
    if (contacts_.size() < slots)
        contacts_.resize(slots);
    FirstFailure failure;
    threads.ParallelFor(team, slots, [&](std::size_t begin, std::size_t end) {
        for (std::size_t slot = begin; slot < end; ++slot)
            if (world.Filaments.IsLive(slot))
                failure.Guard(slot,
                              [&] { FindContacts(world, world.Filaments.AtSlot(slot), contacts_[slot]); });
    });
    if (!failure.Failed()) {
        for (std::size_t slot = 0; slot < slots; ++slot) {
            FilamentContacts &contacts = contacts_[slot];
            if (world.Filaments.IsLive(slot) && !failure.Guard(slot, [&] {
                    if (!contacts.TouchesWall) {
                        contacts.KickForceDirection = RandomUnitVector(world.Random);
                        contacts.KickTorqueDirection = RandomUnitVector(world.Random);
                    }
                    // The bacterium does not track its rotation; the reaction
                    // torque would have no effect.
                    if (contacts.TouchesBacterium)
                        world.Bacterium->ApplyForceAndTorque(-contacts.BacteriumForce, CVector(0.0));
                }))
                break;
        }
    }
    if (!failure.Failed()) {
        threads.ParallelFor(team, slots, [&](std::size_t begin, std::size_t end) {
            for (std::size_t slot = begin; slot < end; ++slot)
                if (world.Filaments.IsLive(slot))
                    failure.Guard(slot,
                                  [&] { ForceAndMove(world.Filaments.AtSlot(slot), contacts_[slot], dt); });
        });
    }
    failure.Raise();
    if (world.Bacterium) {
        LimitSpeed(*world.Bacterium, Constants.BacteriumFriction);
        world.Bacterium->Move(dt);
    }
}

int CRigidMechanics::FilamentsTouchingBacterium(const CCellContents &world) const
{
    if (!world.Bacterium)
        return 0;
    int touching = 0;
    FilamentContacts contacts;
    for (const CSolidFilament &f : world.Filaments) {
        FindContacts(world, f, contacts);
        touching += contacts.TouchesBacterium ? 1 : 0;
    }
    return touching;
}

// Inlined into the step's loops, where it runs for every filament.
[[gnu::always_inline]] inline void CRigidMechanics::FindContacts(const CCellContents &world,
                                                                 const CSolidFilament &f,
                                                                 FilamentContacts &contacts) const
{
    const CVector pointed = f.GetPointedEnd();
    const CVector barbed = f.GetBarbedEnd();

    CVector force;
    CVector torque;
    int touched = 0;
    for (const bool upper : {true, false}) {
        for (int axis = 0; axis < 3; ++axis) {
            const double wall = upper ? Component(world.Size, axis) : 0.0;
            if (WallContact(pointed, barbed, f.Position, wall, axis, upper, force, torque))
                ++touched;
        }
    }
    contacts.WallForce = force;
    contacts.WallTorque = torque;
    contacts.TouchesWall = touched > 0;

    contacts.TouchesBacterium = false;
    if (!world.Bacterium)
        return;
    const CVector sphereCenter = world.Bacterium->Center;
    const double radius = world.Bacterium->Radius;
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
[[gnu::always_inline]] inline void
CRigidMechanics::ForceAndMove(CSolidFilament &f, const FilamentContacts &contacts, double dt) const
{
    // A filament held by a wall gets no Brownian kick in this step.
    if (contacts.TouchesWall)
        f.ApplyForceAndTorque(contacts.WallForce, contacts.WallTorque);
    else
        f.ApplyForceAndTorque(Constants.BrownianForce * contacts.KickForceDirection,
                              Constants.BrownianMoment * contacts.KickTorqueDirection);
    if (contacts.TouchesBacterium)
        f.ApplyForceAndTorque(contacts.BacteriumForce, contacts.BacteriumTorque);
    LimitSpeed(f, Constants.FilamentFriction);
    f.Move(dt);
}

bool CRigidMechanics::WallContact(const CVector &pointed, const CVector &barbed, const CVector &position,
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
        force += Constants.FWInterCoef * parallel * penetration;
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
    force += Constants.FWInterCoef * h * a * penetration;
    torque += Constants.FWInterCoef * Cross(a * arm + b * lambda * inward, penetration);
    return true;
}

bool CRigidMechanics::BacteriumContact(const CVector &inside, const CVector &other,
                                       const CVector &filamentCenter, const CVector &sphereCenter,
                                       double radius, CVector &force, CVector &torque) const
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
    force += Constants.BFInterCoef * lambda * a * penetration;
    torque += Constants.BFInterCoef * lambda *
              Cross(a * (inside - filamentCenter) + b * ratio * direction, penetration);
    return true;
}
