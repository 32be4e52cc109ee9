#include "Mechanics.h"

#include "RigidMechanics.h"

#include <chrono>

namespace {

// With fewer filaments starting the threads costs more than it saves.
constexpr std::size_t kParallelFromSlots = 256;

} // namespace

CMechanics::CMechanics(CCellContents &world, const MechanicsModelTable &models)
    : world_(world), models_(models)
{
    RestoreDefaultConstants();
}

void CMechanics::RestoreDefaultConstants()
{
    units_.clear();
    for (const MechanicsModelRow &row : models_)
        units_.emplace_back(row.Model, row.Make());
}

CMechanicsModel &CMechanics::Unit(MechanicsModel model)
{
    return const_cast<CMechanicsModel &>(std::as_const(*this).Unit(model));
}

const CMechanicsModel &CMechanics::Unit(MechanicsModel model) const
{
    for (const auto &unit : units_)
        if (unit.first == model)
            return *unit.second;
    throw std::out_of_range("this world has no such mechanics model");
}

void CMechanics::MechStep(double dt)
{
    CMechanicsModel &unit = Unit(Model);
    world_.Filaments.CompactIfSparse();
    const std::size_t slots = world_.Filaments.SlotCount();
    const bool parallel = slots >= kParallelFromSlots;
    const bool chosen = MechanicsThreads <= 0 && parallel;
    const int team = !parallel ? 1 : chosen ? teamSize_.Next(CThreadTeam::Cores()) : MechanicsThreads;
    const auto start = std::chrono::steady_clock::now();
    unit.Step(world_, dt, MechStepCount, threads_, team);
    if (chosen)
        teamSize_.Took(std::chrono::steady_clock::now() - start);
    ++MechStepCount;
}

int CMechanics::FilamentsTouchingBacterium() const
{
    return UnitOf<CRigidMechanics>().FilamentsTouchingBacterium(world_);
}
