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
#include "FirstFailure.h"
#include "ThermalMoves.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <exception>

namespace {

// Monomer counts tabulated at once; longer filaments are rare.
constexpr std::int32_t kTabulatedMonomers = 4096;
// Slots whose bacterium contacts one task collects.
constexpr std::size_t kContactBlockSlots = 64;
// The noise of the bacterium is drawn by this id; filaments start above it.
constexpr std::uint32_t kBacteriumId = 0;

double &Component(CVector &v, int axis)
{
    return axis == 0 ? v.x : axis == 1 ? v.y : v.z;
}

double Component(const CVector &v, int axis)
{
    return axis == 0 ? v.x : axis == 1 ? v.y : v.z;
}

// The distance that a contact of depth d (m) and summed mobility m
// (m/(N s)) relaxes by in dt seconds under a spring of stiffness k.
double RelaxedDistance(double depth, double stiffness, double mobility, double dt)
{
    // Beyond 56 ln 2 the library's expm1 returns exactly -1 (the whole
    // depth); most wall contacts of short filaments are there.
    constexpr double kWhollyRelaxed = 40.0;
    const double rate = stiffness * mobility * dt;
    return rate > kWhollyRelaxed ? depth : -depth * std::expm1(-rate);
}

// A filament as the viscous model moves it: centre, unit axis from the
// pointed to the barbed end, half its length.
struct Rod {
    CVector Center;
    CVector Axis;
    double HalfLength;
    const CViscousMechanics::RodMotion &Motion;

    // side -1: the pointed end; +1: the barbed end.
    CVector End(double side) const { return Center + (side * HalfLength) * Axis; }

    // The mobility of an end along the unit normal n.
    double EndMobility(const CVector &n) const
    {
        const double along = Dot(Axis, n);
        const double across = 1.0 - along * along;
        return along * along * Motion.AlongMobility + across * Motion.AcrossMobility +
               HalfLength * HalfLength * across * Motion.RotationMobility;
    }

    // How far the end on side a moves along the unit vector na per unit
    // impulse on the end on side b along nb: the translation na M nb and the
    // rotation, (arm_a x na) . (arm_b x nb) over the rotational drag.
    double EndCoupling(double a, const CVector &na, double b, const CVector &nb) const
    {
        const double alongA = Dot(Axis, na), alongB = Dot(Axis, nb);
        const double across = Dot(na, nb) - alongA * alongB;
        return alongA * alongB * Motion.AlongMobility +
               across * (Motion.AcrossMobility + a * b * HalfLength * HalfLength * Motion.RotationMobility);
    }

    // Moves the end on `side` by the impulse j (N s) along n: the centre by
    // j M n, the axis by the rotation that moves the end along n by its
    // rotational share, exactly on its circle (at most until the end
    // points along n). The turned axis is a unit vector up to rounding; the
    // next step's rotation normalises it. Written for a short chain of
    // dependent square roots and divisions: a rod in a corner is pushed
    // several times in a row.
    void PushEnd(double side, const CVector &n, double j)
    {
        const double along = Dot(Axis, n);
        Center += j * (along * Motion.AlongMobility * Axis + Motion.AcrossMobility * (n - along * Axis));
        const double cosine = side * along; // of the angle between the arm and n
        const double sineSquared = std::max(1.0 - cosine * cosine, 0.0);
        const double sine = std::sqrt(sineSquared);
        // The rise of the end's cosine: the rotational share of the push
        // over the arm.
        const double rise = j * HalfLength * sineSquared * Motion.RotationMobility;
        if (!(sine > 1e-12) || !(rise > 0.0) || HalfLength == 0.0)
            return;
        const double target = std::min(cosine + rise, 1.0);
        // The arm turns toward n from the angle a (cos a = cosine) to the
        // angle b (cos b = target): by a - b, whose cosine and sine follow
        // from theirs without an angle.
        const double targetSine = std::sqrt(std::max(1.0 - target * target, 0.0));
        const double turnCosine = cosine * target + sine * targetSine;
        const double turnSine = sine * target - cosine * targetSine;
        const CVector arm = side * Axis;
        // (n - cos a arm) / sin a is the unit vector toward n across the arm.
        const CVector turned = turnCosine * arm + (turnSine / sine) * (n - cosine * arm);
        Axis = side * turned;
    }

    // Moves the pointed end by `pointed` and the barbed end by `barbed`
    // along the unit normal n, both at once (two contacts with one wall):
    // the centre by their mean, with the translation's mobility (j M n, j
    // the summed impulse), the axis turned in the plane of itself and n so
    // that each end moves exactly its own way.
    void PushBothEnds(const CVector &n, double pointed, double barbed)
    {
        const double along = Dot(Axis, n);
        const double across = 1.0 - along * along;
        const double mean = 0.5 * (pointed + barbed);
        const double impulse = mean / (along * along * Motion.AlongMobility + across * Motion.AcrossMobility);
        Center +=
            impulse * (along * Motion.AlongMobility * Axis + Motion.AcrossMobility * (n - along * Axis));
        const double acrossNow = std::sqrt(std::max(across, 0.0));
        if (!(acrossNow > 1e-12) || HalfLength == 0.0)
            return;
        // The barbed end, at +h along the axis, moves by h (target - along)
        // from the turn, the pointed end by as much the other way.
        const double target = std::clamp(along + (barbed - mean) / HalfLength, -1.0, 1.0);
        const double acrossThen = std::sqrt(std::max(1.0 - target * target, 0.0));
        Axis = target * n + (acrossThen / acrossNow) * (Axis - along * n);
    }
};

// How deep each end of a rod lies beyond each wall of the box, in a fixed
// order of checks (end, then axis, then lower and upper wall); an end inside
// has a depth of at most 0.
struct WallDepths {
    static constexpr int kChecks = 12;
    double Depth[kChecks];
    unsigned Beyond = 0; // bit i: check i has a depth > 0

    WallDepths(const Rod &rod, const CVector &lower, const CVector &upper)
    {
        for (int end = 0; end < 2; ++end) {
            const CVector at = rod.End(end == 0 ? -1.0 : 1.0);
            const CVector below = lower - at, above = at - upper;
            double *depth = Depth + 6 * end;
            depth[0] = below.x;
            depth[1] = above.x;
            depth[2] = below.y;
            depth[3] = above.y;
            depth[4] = below.z;
            depth[5] = above.z;
        }
        // Without branches: which walls an end lies beyond is not predictable.
        for (int check = 0; check < kChecks; ++check)
            Beyond |= unsigned(Depth[check] > 0.0) << check;
    }
};

// Pushes both ends of rod back into the box [lower, upper] with springs of
// stiffness k. Each contact (an end beyond a wall) gets its target depth,
// d exp(-k m dt), when first met; the contacts are then pushed to their
// targets in a fixed order, sweep after sweep, since pushing one end turns
// the rod and may move the other (in a corner, against two walls). Where
// both ends lie beyond walls they are pushed together, by the two impulses
// that bring both to their targets at once; against one wall (a rod lying
// along it, the common case) that is one motion that puts both ends exactly
// where they belong. Pushed in turn, each end would push the other back in
// by about half its own way, and the sweeps would converge slowly. A sweep
// ends early where nothing has moved since the previous sweep looked.
void ConfineRod(Rod &rod, const CVector &lower, const CVector &upper, double stiffness, double dt)
{
    WallDepths depths(rod, lower, upper);
    constexpr int kSweeps = 16;
    constexpr double kNoContact = -1.0;
    // m: a contact this close to its target is done. A hundredth of a
    // nanometre is far below a contact's thermal spread (sqrt(kT/k), 6 nm at
    // the default stiffness); a rod lying along a wall, whose ends push each
    // other in, would take many more sweeps to come closer.
    constexpr double kSettled = 1e-11;
    double targets[WallDepths::kChecks]; // the depth to reach, m
    std::fill(std::begin(targets), std::end(targets), kNoContact);
    // The normal of check i, and its contact's mobility.
    const auto normalOf = [](int check) {
        CVector n(0.0);
        Component(n, check / 2 % 3) = check % 2 ? -1.0 : 1.0;
        return n;
    };
    const auto sideOf = [](int check) { return check < 6 ? -1.0 : 1.0; };
    // How far check i lies beyond its target, setting the target when the
    // contact is first met.
    const auto excess = [&](int check, const CVector &n, double mobility) {
        const double depth = depths.Depth[check];
        double &target = targets[check];
        if (target == kNoContact)
            target = depth - RelaxedDistance(depth, stiffness, mobility, dt);
        return depth - target;
    };
    // Pushes check a (excess ea, mobility ma) together with the first
    // contact of the other end beyond its target: the two impulses that
    // bring both to their targets at once, from the 2 x 2 system of the
    // ends' mobilities; false where there is none, or where one of them
    // would have to pull.
    const auto pushPair = [&](int a, const CVector &na, double ea, double ma) {
        const unsigned others = depths.Beyond & (a < 6 ? 0xfc0u : 0x3fu);
        if (others == 0)
            return false;
        const int b = std::countr_zero(others);
        const CVector nb = normalOf(b);
        const double mb = rod.EndMobility(nb);
        const double eb = excess(b, nb, mb);
        const double coupling = rod.EndCoupling(sideOf(a), na, sideOf(b), nb);
        const double determinant = ma * mb - coupling * coupling;
        if (!(eb > kSettled) || !(determinant > 0.0))
            return false;
        const double impulseA = (ea * mb - eb * coupling) / determinant;
        const double impulseB = (eb * ma - ea * coupling) / determinant;
        if (!(impulseA > 0.0) || !(impulseB > 0.0))
            return false;
        if (b % 6 == a % 6) {
            // The same wall: one motion puts both ends where they belong.
            const bool pointedFirst = a < b;
            rod.PushBothEnds(na, pointedFirst ? ea : eb, pointedFirst ? eb : ea);
        } else {
            rod.PushEnd(sideOf(a), na, impulseA);
            rod.PushEnd(sideOf(b), nb, impulseB);
        }
        return true;
    };
    // The checks after the last push of a sweep saw the rod as it stays.
    int lastPush = WallDepths::kChecks - 1;
    for (int sweep = 0; sweep < kSweeps; ++sweep) {
        int pushedAt = -1;
        unsigned ahead = depths.Beyond;
        while (ahead != 0) {
            const int check = std::countr_zero(ahead);
            if (check > lastPush && pushedAt < 0)
                break;
            ahead &= ~0u << check << 1;
            const CVector n = normalOf(check);
            const double mobility = rod.EndMobility(n);
            const double own = excess(check, n, mobility);
            if (own > kSettled) {
                if (!pushPair(check, n, own, mobility))
                    rod.PushEnd(sideOf(check), n, own / mobility);
                depths = WallDepths(rod, lower, upper);
                ahead = depths.Beyond & (~0u << check << 1);
                pushedAt = check;
            }
        }
        if (pushedAt < 0)
            break;
        lastPush = pushedAt;
    }
}

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

double HalfLengthOf(const CSolidFilament &f)
{
    return 0.5 * MONOMER_LENGTH * f.Monomers;
}

bool EndInSphere(const CVector &end, const CVector &center, double radius)
{
    const CVector offset = end - center;
    return Dot(offset, offset) < radius * radius;
}

} // namespace

CViscousMechanics::RodMotion CViscousMechanics::ComputeMotion(std::int32_t monomers) const
{
    // A rod shorter than one monomer moves as one monomer.
    const double length = MONOMER_LENGTH * double(std::max(monomers, 1));
    const RodDrag drag = FilamentDrag(length, 2.0 * filamentRadius_, constants_.Viscosity);
    const double twiceKTdt = 2.0 * kBoltzmann * constants_.Temperature * dt_;
    return {1.0 / drag.Along,
            1.0 / drag.Across,
            1.0 / drag.Rotation,
            std::sqrt(twiceKTdt / drag.Along),
            std::sqrt(twiceKTdt / drag.Across),
            std::sqrt(twiceKTdt / drag.Rotation)};
}

void CViscousMechanics::Prepare(const CCellContents &world, const ViscousConstants &constants, double dt)
{
    if (!motions_.empty() && constants.Viscosity == constants_.Viscosity &&
        constants.Temperature == constants_.Temperature && dt == dt_ &&
        world.Material.Radius == filamentRadius_)
        return;
    constants_ = constants;
    dt_ = dt;
    filamentRadius_ = world.Material.Radius;
    motions_.resize(kTabulatedMonomers);
    for (std::int32_t monomers = 0; monomers < kTabulatedMonomers; ++monomers)
        motions_[std::size_t(monomers)] = ComputeMotion(monomers);
}

inline const CViscousMechanics::RodMotion &CViscousMechanics::MotionOf(std::int32_t monomers,
                                                                       RodMotion &spare) const
{
    if (monomers >= 0 && monomers < kTabulatedMonomers)
        return motions_[std::size_t(monomers)];
    spare = ComputeMotion(monomers);
    return spare;
}

void CViscousMechanics::Step(CCellContents &world, const ViscousConstants &constants, double dt,
                             std::uint64_t step, CThreadTeam &threads, int team)
{
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
    const ThermalMoveBounds bounds{lower, upper, sphereCenter, sphereRadius};
    // Each filament: its noise, in batches, then the walls; whether an end
    // lies in the bacterium is noted for the pairs.
    threads.ParallelFor(team, blocks, [&](std::size_t firstBlock, std::size_t endBlock) {
        ThermalMoveBatch batch;
        std::array<std::size_t, kNoiseBatch> batchSlots;
        std::size_t filled = 0;
        // Puts the filament in `slot` into lane i of the batch.
        const auto gather = [&](std::size_t i, std::size_t slot) {
            const CSolidFilament &f = filaments.AtSlot(slot);
            RodMotion spare;
            const RodMotion &motion = MotionOf(f.Monomers, spare);
            const double halfLength = HalfLengthOf(f);
            const CVector center = f.PointedEnd + halfLength * f.Direction;
            batch.Ids[i] = f.Id;
            batch.CenterX[i] = center.x;
            batch.CenterY[i] = center.y;
            batch.CenterZ[i] = center.z;
            batch.AxisX[i] = f.Direction.x;
            batch.AxisY[i] = f.Direction.y;
            batch.AxisZ[i] = f.Direction.z;
            batch.HalfLength[i] = halfLength;
            batch.AlongNoise[i] = motion.AlongNoise;
            batch.AcrossNoise[i] = motion.AcrossNoise;
            batch.RotationNoise[i] = motion.RotationNoise;
        };
        // Moves the rods of the batch; false if that failed. A failure (a
        // floating-point trap) does not tell which rod caused it, so each rod
        // is then moved again alone, the others at rest, to charge it to the
        // rods that fail.
        const auto move = [&] {
            for (std::size_t i = filled; i < kNoiseBatch; ++i)
                batch.Rest(i);
            std::exception_ptr error;
            try {
                MoveByThermalNoise(batch, bounds, key, step);
                return true;
            } catch (...) {
                error = std::current_exception();
            }
            bool charged = false;
            for (std::size_t i = 0; i < filled; ++i) {
                for (std::size_t other = 0; other < kNoiseBatch; ++other)
                    batch.Rest(other);
                charged |= !failure.Guard(batchSlots[i], [&] {
                    gather(0, batchSlots[i]);
                    MoveByThermalNoise(batch, bounds, key, step);
                });
            }
            if (!charged)
                failure.Guard(batchSlots[0], [&] { std::rethrow_exception(error); });
            return false;
        };
        // Moves the batch, then lets each rod that left the box meet the
        // walls.
        const auto moveBatch = [&](std::vector<std::size_t> &contacts) {
            const std::size_t moved = move() ? filled : 0;
            filled = 0;
            for (std::size_t i = 0; i < moved; ++i) {
                const std::size_t slot = batchSlots[i];
                CSolidFilament &f = filaments.AtSlot(slot);
                const CVector center(batch.CenterX[i], batch.CenterY[i], batch.CenterZ[i]);
                const CVector axis(batch.AxisX[i], batch.AxisY[i], batch.AxisZ[i]);
                if (batch.InBox[i] != 0.0) {
                    f.Position = center;
                    f.Direction = axis;
                    f.PointedEnd = CVector(batch.PointedX[i], batch.PointedY[i], batch.PointedZ[i]);
                    if (batch.InSphere[i] != 0.0)
                        contacts.push_back(slot);
                    continue;
                }
                failure.Guard(slot, [&] {
                    RodMotion spare;
                    Rod rod{center, axis, batch.HalfLength[i], MotionOf(f.Monomers, spare)};
                    ConfineRod(rod, lower, upper, stiffness, dt);
                    f.Position = rod.Center;
                    f.Direction = rod.Axis;
                    f.PointedEnd = rod.End(-1.0);
                    if (bacterium && (EndInSphere(rod.End(-1.0), sphereCenter, sphereRadius) ||
                                      EndInSphere(rod.End(1.0), sphereCenter, sphereRadius)))
                        contacts.push_back(slot);
                });
            }
        };
        for (std::size_t block = firstBlock; block < endBlock; ++block) {
            std::vector<std::size_t> &contacts = bacteriumContacts_[block];
            contacts.clear();
            const std::size_t endSlot = std::min(slots, (block + 1) * kContactBlockSlots);
            for (std::size_t slot = block * kContactBlockSlots; slot < endSlot; ++slot) {
                if (!filaments.IsLive(slot) || !failure.Guard(slot, [&] { gather(filled, slot); }))
                    continue;
                batchSlots[filled] = slot;
                if (++filled == kNoiseBatch)
                    moveBatch(contacts);
            }
            // A batch never spans two blocks, so each block's contacts are
            // its own whichever task takes it.
            if (filled > 0)
                moveBatch(contacts);
        }
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
