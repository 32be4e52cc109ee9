#include "WallContacts.h"

#include "VectorClones.h"

#include <algorithm>
#include <bit>
#include <iterator>

namespace {

// m: a contact this close to its target is done. A hundredth of a nanometre
// is far below a contact's thermal spread (sqrt(kT/k), 6 nm at the default
// stiffness); a rod lying along a wall, whose ends push each other in, would
// take many more sweeps to come closer.
constexpr double kSettled = 1e-11;

// How deep each end of a rod lies beyond each wall of the box, in a fixed
// order of checks (end, then axis, then lower and upper wall); an end inside
// has a depth of at most 0.
struct WallDepths {
    static constexpr int kChecks = 12;
    double Depth[kChecks];

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
    }
};

// The depths with the checks beyond their walls as a bit mask.
struct WallContacts : WallDepths {
    unsigned Beyond = 0; // bit i: check i has a depth > 0

    WallContacts(const Rod &rod, const CVector &lower, const CVector &upper) : WallDepths(rod, lower, upper)
    {
        // Without branches: which walls an end lies beyond is not predictable.
        for (int check = 0; check < kChecks; ++check)
            Beyond |= unsigned(Depth[check] > 0.0) << check;
    }
};

} // namespace

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
    WallContacts depths(rod, lower, upper);
    constexpr int kSweeps = 16;
    constexpr double kNoContact = -1.0;
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
    const auto excess = [&](int check, double mobility) {
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
        const double eb = excess(b, mb);
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
            const double own = excess(check, mobility);
            if (own > kSettled) {
                if (!pushPair(check, n, own, mobility))
                    rod.PushEnd(sideOf(check), n, own / mobility);
                depths = WallContacts(rod, lower, upper);
                ahead = depths.Beyond & (~0u << check << 1);
                pushedAt = check;
            }
        }
        if (pushedAt < 0)
            break;
        lastPush = pushedAt;
    }
}

// ConfineRod's first sweep for such a rod, lane by lane without a branch:
// a lone end is pushed by itself; of two ends beyond one wall the first
// (the pointed end's) is pushed together with the other, or alone where the
// other's impulse would pull. Its second sweep,
// which finds the ends settled and no end beyond another wall, is the test
// of whether the lane is taken.
FILONEX_VECTOR_CLONES void SettleOnOneWall(ThermalMoveBatch &batch, const ThermalMoveBounds &bounds,
                                           double stiffness, double dt)
{
    const CVector lower = bounds.Lower, upper = bounds.Upper, sphereCenter = bounds.SphereCenter;
    const double radiusSquared = bounds.SphereRadius * bounds.SphereRadius;
    for (std::size_t i = 0; i < kNoiseBatch; ++i) {
        const RodMotion motion{batch.AlongMobility[i], batch.AcrossMobility[i], batch.RotationMobility[i]};
        const Rod rod{CVector(batch.CenterX[i], batch.CenterY[i], batch.CenterZ[i]),
                      CVector(batch.AxisX[i], batch.AxisY[i], batch.AxisZ[i]), batch.HalfLength[i], motion};
        // Per end: how many walls it lies beyond, and the depth and normal
        // of the one (sums in which all terms but one are 0, so exact).
        const WallDepths depths(rod, lower, upper);
        CVector pointedNormal(0.0), barbedNormal(0.0);
        double pointedDepth = 0.0, barbedDepth = 0.0;
        double pointedWalls = 0.0, barbedWalls = 0.0, sharedWalls = 0.0;
        double allowance[WallDepths::kChecks]; // how deep an end may stay beyond a wall
        for (int wall = 0; wall < 6; ++wall) {
            const double pointed = depths.Depth[wall], barbed = depths.Depth[wall + 6];
            const bool pointedBeyond = pointed > 0.0, barbedBeyond = barbed > 0.0;
            const double normal = wall % 2 ? -1.0 : 1.0;
            pointedWalls += fixedmath::Select(pointedBeyond, 1.0, 0.0);
            barbedWalls += fixedmath::Select(barbedBeyond, 1.0, 0.0);
            sharedWalls += fixedmath::Select(pointedBeyond & barbedBeyond, 1.0, 0.0);
            pointedDepth += fixedmath::Select(pointedBeyond, pointed, 0.0);
            barbedDepth += fixedmath::Select(barbedBeyond, barbed, 0.0);
            Component(pointedNormal, wall / 2) += fixedmath::Select(pointedBeyond, normal, 0.0);
            Component(barbedNormal, wall / 2) += fixedmath::Select(barbedBeyond, normal, 0.0);
            allowance[wall] = fixedmath::Select(pointedBeyond, kSettled, 0.0);
            allowance[wall + 6] = fixedmath::Select(barbedBeyond, kSettled, 0.0);
        }
        const bool both = (pointedWalls == 1.0) & (barbedWalls == 1.0) & (sharedWalls == 1.0);
        const bool lone = pointedWalls + barbedWalls == 1.0;
        const bool pointedAlone = lone & (pointedWalls == 1.0);
        const CVector n = SelectVector(lone & !pointedAlone, barbedNormal, pointedNormal);
        // Wholly relaxed, the targets are depth 0: each excess is its depth.
        const double mobility = rod.EndMobility(n);
        const bool wholly = stiffness * mobility * dt > kWhollyRelaxed;
        // Both ends: the pair's impulses decide whether they go together;
        // where one would pull, the pointed end is pushed alone.
        const double coupling = rod.EndCoupling(-1.0, n, 1.0, n);
        const double determinant = mobility * mobility - coupling * coupling;
        const double divisor = fixedmath::Select(determinant > 0.0, determinant, 1.0);
        const double pointedImpulse = (pointedDepth * mobility - barbedDepth * coupling) / divisor;
        const double barbedImpulse = (barbedDepth * mobility - pointedDepth * coupling) / divisor;
        const bool together = both & (pointedDepth > kSettled) & (barbedDepth > kSettled) &
                              (determinant > 0.0) & (pointedImpulse > 0.0) & (barbedImpulse > 0.0);
        Rod pushedBoth = rod;
        pushedBoth.PushBothEnds(n, pointedDepth, barbedDepth);
        // One end pushed alone.
        const bool alone = lone | (both & !together);
        const double aloneDepth = fixedmath::Select(lone, pointedDepth + barbedDepth, pointedDepth);
        Rod pushedAlone = rod;
        pushedAlone.PushEnd(fixedmath::Select(lone & !pointedAlone, 1.0, -1.0), n, aloneDepth / mobility);
        const bool pushed = wholly & (together | (alone & (aloneDepth > kSettled)));
        const CVector center = SelectVector(alone, pushedAlone.Center, pushedBoth.Center);
        const CVector axis = SelectVector(alone, pushedAlone.Axis, pushedBoth.Axis);
        const Rod after{center, axis, rod.HalfLength, motion};
        const WallDepths afterDepths(after, lower, upper);
        bool settled = true;
        for (int check = 0; check < WallDepths::kChecks; ++check)
            settled &= afterDepths.Depth[check] <= allowance[check];
        const bool taken = pushed & settled;
        const CVector pointed = after.End(-1.0), barbed = after.End(1.0);
        const CVector fromPointed = pointed - sphereCenter, fromBarbed = barbed - sphereCenter;
        const double nearest = std::min(Dot(fromPointed, fromPointed), Dot(fromBarbed, fromBarbed));
        const auto update = [taken](double &column, double value) {
            column = fixedmath::Select(taken, value, column);
        };
        update(batch.CenterX[i], center.x);
        update(batch.CenterY[i], center.y);
        update(batch.CenterZ[i], center.z);
        update(batch.AxisX[i], axis.x);
        update(batch.AxisY[i], axis.y);
        update(batch.AxisZ[i], axis.z);
        update(batch.PointedX[i], pointed.x);
        update(batch.PointedY[i], pointed.y);
        update(batch.PointedZ[i], pointed.z);
        update(batch.InSphere[i], fixedmath::Select(nearest < radiusSquared, 1.0, 0.0));
        batch.WallsDone[i] = fixedmath::Select(taken, 1.0, 0.0);
    }
}
