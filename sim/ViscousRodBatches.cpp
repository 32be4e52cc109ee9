#include "ViscousRodBatches.h"

#include "WallContacts.h"

#include <algorithm>
#include <exception>

namespace {

// A filament's mobilities from the columns of lane i.
RodMotion MotionOfLane(const ThermalMoveBatch &batch, std::size_t i)
{
    return {batch.AlongMobility[i], batch.AcrossMobility[i], batch.RotationMobility[i]};
}

// Copies the rod of lane `from` of `source` into lane `to` of `target`, as
// it stands before a stage.
void CopyLane(const ThermalMoveBatch &source, std::size_t from, ThermalMoveBatch &target, std::size_t to)
{
    using Column = ThermalMoveBatch::Column;
    target.Ids[to] = source.Ids[from];
    for (Column ThermalMoveBatch::*column :
         {&ThermalMoveBatch::CenterX, &ThermalMoveBatch::CenterY, &ThermalMoveBatch::CenterZ,
          &ThermalMoveBatch::AxisX, &ThermalMoveBatch::AxisY, &ThermalMoveBatch::AxisZ,
          &ThermalMoveBatch::HalfLength, &ThermalMoveBatch::AlongNoise, &ThermalMoveBatch::AcrossNoise,
          &ThermalMoveBatch::RotationNoise, &ThermalMoveBatch::AlongMobility,
          &ThermalMoveBatch::AcrossMobility, &ThermalMoveBatch::RotationMobility})
        (target.*column)[to] = (source.*column)[from];
}

bool EndInSphere(const CVector &end, const ThermalMoveBounds &bounds)
{
    const CVector offset = end - bounds.SphereCenter;
    return Dot(offset, offset) < bounds.SphereRadius * bounds.SphereRadius;
}

// Gathers filament f into lane `lane` of `batch`.
inline void Gather(ThermalMoveBatch &batch, std::size_t lane, const CSolidFilament &f,
                   const CViscousMechanics &mechanics)
{
    RodMotion spare;
    const RodMotion &motion = mechanics.MotionOf(f.Monomers, spare);
    const double halfLength = HalfLengthOf(f);
    const CVector center = f.PointedEnd + halfLength * f.Direction;
    batch.Ids[lane] = f.Id;
    batch.CenterX[lane] = center.x;
    batch.CenterY[lane] = center.y;
    batch.CenterZ[lane] = center.z;
    batch.AxisX[lane] = f.Direction.x;
    batch.AxisY[lane] = f.Direction.y;
    batch.AxisZ[lane] = f.Direction.z;
    batch.HalfLength[lane] = halfLength;
    batch.AlongNoise[lane] = motion.AlongNoise;
    batch.AcrossNoise[lane] = motion.AcrossNoise;
    batch.RotationNoise[lane] = motion.RotationNoise;
    batch.AlongMobility[lane] = motion.AlongMobility;
    batch.AcrossMobility[lane] = motion.AcrossMobility;
    batch.RotationMobility[lane] = motion.RotationMobility;
}

void RestAll(ThermalMoveBatch &batch, std::size_t from = 0)
{
    for (std::size_t i = from; i < kNoiseBatch; ++i)
        batch.Rest(i);
}

} // namespace

void ViscousRodBatches::MoveBlocks(std::size_t firstBlock, std::size_t endBlock)
{
    const std::size_t slots = stage_.Filaments.SlotCount();
    for (std::size_t block = firstBlock; block < endBlock; ++block) {
        stage_.Contacts[block].clear();
        const std::size_t endSlot = std::min(slots, (block + 1) * stage_.SlotsPerBlock);
        for (std::size_t slot = block * stage_.SlotsPerBlock; slot < endSlot; ++slot) {
            if (!stage_.Filaments.IsLive(slot))
                continue;
            movingSlots_[movingCount_] = slot;
            if (++movingCount_ == kNoiseBatch)
                MoveBatch();
        }
    }
    if (movingCount_ > 0)
        MoveBatch();
    if (wallCount_ > 0)
        SettleWalls();
    // The walls' batch notes its contacts late.
    for (std::size_t block = firstBlock; block < endBlock; ++block)
        std::sort(stage_.Contacts[block].begin(), stage_.Contacts[block].end());
}

template <typename Run, typename RunAlone>
bool ViscousRodBatches::RunCharged(const Slots &slots, std::size_t filled, Run &&run, RunAlone &&runAlone)
{
    std::exception_ptr error;
    try {
        run();
        return true;
    } catch (...) {
        error = std::current_exception();
    }
    bool charged = false;
    for (std::size_t i = 0; i < filled; ++i) {
        RestAll(alone_);
        charged |= !stage_.Failure.Guard(slots[i], [&] { runAlone(i); });
    }
    if (!charged)
        stage_.Failure.Guard(slots[0], [&] { std::rethrow_exception(error); });
    return false;
}

void ViscousRodBatches::MoveBatch()
{
    const std::size_t filled = movingCount_;
    movingCount_ = 0;
    RestAll(moving_, filled);
    const auto move = [this](ThermalMoveBatch &batch) {
        MoveByThermalNoise(batch, stage_.Bounds, stage_.Key, stage_.Step);
    };
    // A rod alone is gathered again: the failed batch has moved some.
    if (!RunCharged(
            movingSlots_, filled,
            [&] {
                const CFilamentList &filaments = stage_.Filaments;
                for (std::size_t i = 0; i < filled; ++i)
                    Gather(moving_, i, filaments.AtSlot(movingSlots_[i]), stage_.Mechanics);
                move(moving_);
            },
            [&](std::size_t i) {
                Gather(alone_, 0, stage_.Filaments.AtSlot(movingSlots_[i]), stage_.Mechanics);
                move(alone_);
            }))
        return;
    for (std::size_t i = 0; i < filled; ++i) {
        if (moving_.WallsDone[i] != 0.0) {
            WriteBack(moving_, i, movingSlots_[i]);
            continue;
        }
        CopyLane(moving_, i, walls_, wallCount_);
        wallSlots_[wallCount_] = movingSlots_[i];
        if (++wallCount_ == kNoiseBatch)
            SettleWalls();
    }
}

void ViscousRodBatches::SettleWalls()
{
    const std::size_t filled = wallCount_;
    wallCount_ = 0;
    RestAll(walls_, filled);
    const auto settle = [this](ThermalMoveBatch &batch) {
        SettleOnOneWall(batch, stage_.Bounds, stage_.Stiffness, stage_.Dt);
    };
    // A rod alone takes its lane as the failed batch left it: a lane is
    // changed only once its rod is pushed in without a fault.
    if (!RunCharged(
            wallSlots_, filled, [&] { settle(walls_); },
            [&](std::size_t i) {
                CopyLane(walls_, i, alone_, 0);
                settle(alone_);
            }))
        return;
    for (std::size_t i = 0; i < filled; ++i) {
        const std::size_t slot = wallSlots_[i];
        if (walls_.WallsDone[i] != 0.0) {
            WriteBack(walls_, i, slot);
            continue;
        }
        stage_.Failure.Guard(slot, [&] {
            const RodMotion motion = MotionOfLane(walls_, i);
            Rod rod{CVector(walls_.CenterX[i], walls_.CenterY[i], walls_.CenterZ[i]),
                    CVector(walls_.AxisX[i], walls_.AxisY[i], walls_.AxisZ[i]), walls_.HalfLength[i], motion};
            ConfineRod(rod, stage_.Bounds.Lower, stage_.Bounds.Upper, stage_.Stiffness, stage_.Dt);
            CSolidFilament &f = stage_.Filaments.AtSlot(slot);
            f.Position = rod.Center;
            f.Direction = rod.Axis;
            f.PointedEnd = rod.End(-1.0);
            if (EndInSphere(rod.End(-1.0), stage_.Bounds) || EndInSphere(rod.End(1.0), stage_.Bounds))
                NoteContact(slot);
        });
    }
}

void ViscousRodBatches::WriteBack(const ThermalMoveBatch &batch, std::size_t i, std::size_t slot)
{
    CSolidFilament &f = stage_.Filaments.AtSlot(slot);
    f.Position = CVector(batch.CenterX[i], batch.CenterY[i], batch.CenterZ[i]);
    f.Direction = CVector(batch.AxisX[i], batch.AxisY[i], batch.AxisZ[i]);
    f.PointedEnd = CVector(batch.PointedX[i], batch.PointedY[i], batch.PointedZ[i]);
    if (batch.InSphere[i] != 0.0)
        NoteContact(slot);
}

void ViscousRodBatches::NoteContact(std::size_t slot)
{
    stage_.Contacts[slot / stage_.SlotsPerBlock].push_back(slot);
}
