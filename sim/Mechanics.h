#pragma once

#include "CellContents.h"
#include "MechanicsModel.h"
#include "TeamSizeChooser.h"
#include "ThreadTeam.h"

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <utility>
#include <vector>

// The mechanics of a world: one unit of every model of its table
// (MechanicsModel.h), of which the chosen one moves the filaments and the
// bacterium. The step runs on the world's own threads and gives the same
// result on any number of them.
class CMechanics {
public:
    // Acting on the filaments and bacterium of world, with a unit of every
    // model of `models` at its default constants. The table must outlive
    // the mechanics.
    explicit CMechanics(CCellContents &world, const MechanicsModelTable &models = MechanicsModels());
    CMechanics(const CMechanics &) = delete;
    CMechanics &operator=(const CMechanics &) = delete;

    // The model that moves the world; one of the table's.
    MechanicsModel Model = MechanicsModel::RigidBodies;
    // Mechanics steps made since reset; numbers the viscous model's noise.
    std::uint64_t MechStepCount = 0;

    // Threads of the mechanics step; 0 means one per core, or one alone
    // while that is faster (on a machine busy with other work). Any number
    // gives the same results.
    int MechanicsThreads = 0;

    // One step of dt seconds of the chosen model.
    void MechStep(double dt);

    // How many filaments the bacterium's contact force acts on as they lie
    // now, by the contact law of "Rigid bodies" whatever the model; 0
    // without a bacterium.
    int FilamentsTouchingBacterium() const;

    // The models this world offers.
    const MechanicsModelTable &Models() const { return models_; }
    // The unit of model; raises std::out_of_range for a model not in the
    // table.
    CMechanicsModel &Unit(MechanicsModel model);
    const CMechanicsModel &Unit(MechanicsModel model) const;
    // The unit of the class Unit (RigidMechanics.h, ViscousMechanics.h).
    template <typename Unit>
    Unit &UnitOf()
    {
        return const_cast<Unit &>(std::as_const(*this).template UnitOf<Unit>());
    }
    template <typename Unit>
    const Unit &UnitOf() const
    {
        for (const auto &unit : units_)
            if (const auto *found = dynamic_cast<const Unit *>(unit.second.get()))
                return *found;
        throw std::out_of_range("this world has no such mechanics model");
    }
    // Every unit back at its model's default constants.
    void RestoreDefaultConstants();

private:
    CCellContents &world_;
    const MechanicsModelTable &models_;
    // In table order.
    std::vector<std::pair<MechanicsModel, std::unique_ptr<CMechanicsModel>>> units_;
    CTeamSizeChooser teamSize_;
    CThreadTeam threads_;
};
