#include "ThermalMoves.h"

#include "FixedMath.h"
#include "VectorClones.h"

#include <algorithm>

void ThermalMoveBatch::Rest(std::size_t i)
{
    Ids[i] = 0;
    for (Column *column : {&CenterX, &CenterY, &CenterZ, &AxisY, &AxisZ, &HalfLength, &AlongNoise,
                           &AcrossNoise, &RotationNoise})
        (*column)[i] = 0.0;
    AxisX[i] = 1.0;
    AlongMobility[i] = AcrossMobility[i] = RotationMobility[i] = 1.0;
}

FILONEX_VECTOR_CLONES void MoveByThermalNoise(ThermalMoveBatch &batch, const ThermalMoveBounds &bounds,
                                              std::uint32_t key, std::uint64_t step)
{
    BatchNormals xi;
    DrawBatchNormals(key, step, batch.Ids, xi);
    // Copies, so that no store into the batch can change them.
    const CVector lower = bounds.Lower, upper = bounds.Upper, sphereCenter = bounds.SphereCenter;
    const double radiusSquared = bounds.SphereRadius * bounds.SphereRadius;
    // Three passes, each a loop of vectors: the centres and the rotation
    // vectors theta (the noise across the axis), the sines and cosines of
    // |theta| (long chains, unrolled so that many run at once), then the
    // rotations (u itself where theta is zero) and the ends.
    ThermalMoveBatch::Column thetaX, thetaY, thetaZ, angle, sine, cosine;
    for (std::size_t i = 0; i < kNoiseBatch; ++i) {
        const CVector axis(batch.AxisX[i], batch.AxisY[i], batch.AxisZ[i]);
        CVector center(batch.CenterX[i], batch.CenterY[i], batch.CenterZ[i]);
        const CVector kick(xi[0][i], xi[1][i], xi[2][i]);
        const double along = Dot(kick, axis);
        center += batch.AlongNoise[i] * along * axis + batch.AcrossNoise[i] * (kick - along * axis);
        batch.CenterX[i] = center.x;
        batch.CenterY[i] = center.y;
        batch.CenterZ[i] = center.z;
        const CVector turn(xi[3][i], xi[4][i], xi[5][i]);
        const CVector theta = batch.RotationNoise[i] * (turn - Dot(turn, axis) * axis);
        thetaX[i] = theta.x;
        thetaY[i] = theta.y;
        thetaZ[i] = theta.z;
        angle[i] = Length(theta);
    }
    constexpr double kTurnsPerRadian = 0.15915494309189533577;
#pragma GCC unroll 16
    for (std::size_t i = 0; i < kNoiseBatch; ++i)
        FixedSinCosTurns(angle[i] * kTurnsPerRadian, sine[i], cosine[i]);
    for (std::size_t i = 0; i < kNoiseBatch; ++i) {
        const CVector axis(batch.AxisX[i], batch.AxisY[i], batch.AxisZ[i]);
        const CVector theta(thetaX[i], thetaY[i], thetaZ[i]);
        // Both results are computed and one is picked, so that the loop has
        // no branch: the division is by 1 where the angle is zero.
        const bool still = angle[i] == 0.0;
        const CVector rotated =
            cosine[i] * axis + (sine[i] / fixedmath::Select(still, 1.0, angle[i])) * Cross(theta, axis);
        // Against the rounding of many steps, not as part of the rotation.
        const CVector unit = rotated / Length(rotated);
        const CVector turned(fixedmath::Select(still, axis.x, unit.x),
                             fixedmath::Select(still, axis.y, unit.y),
                             fixedmath::Select(still, axis.z, unit.z));
        batch.AxisX[i] = turned.x;
        batch.AxisY[i] = turned.y;
        batch.AxisZ[i] = turned.z;
        const CVector center(batch.CenterX[i], batch.CenterY[i], batch.CenterZ[i]);
        const CVector arm = batch.HalfLength[i] * turned;
        const CVector pointed = center - arm, barbed = center + arm;
        batch.PointedX[i] = pointed.x;
        batch.PointedY[i] = pointed.y;
        batch.PointedZ[i] = pointed.z;
        // The least room to a wall of either end on any axis: at least 0
        // where both ends lie in the box. (A rounded difference is monotonic
        // in each operand, so the ends' extremes give the least room.)
        const CVector room =
            MinComponents(MinComponents(pointed, barbed) - lower, upper - MaxComponents(pointed, barbed));
        const double leastRoom = std::min(std::min(room.x, room.y), room.z);
        const CVector fromPointed = pointed - sphereCenter, fromBarbed = barbed - sphereCenter;
        const double nearest = std::min(Dot(fromPointed, fromPointed), Dot(fromBarbed, fromBarbed));
        batch.WallsDone[i] = fixedmath::Select(leastRoom >= 0.0, 1.0, 0.0);
        batch.InSphere[i] = fixedmath::Select(nearest < radiusSquared, 1.0, 0.0);
    }
}
