#pragma once

#include "CellContents.h"
#include "ThreadTeam.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

// The mechanics models a world can follow. Each is a unit of its own behind
// CMechanicsModel; the table below is all the rest of the program knows of
// them (the texts a user picks them by are the application's).
enum class MechanicsModel {
    RigidBodies, // Newton's equations with a fixed-size random kick
    Viscous,     // Brownian dynamics: drag and thermal noise, no inertia
};

// One constant of a model: set from a parameter, kept in world files.
struct ModelConstant {
    std::string_view Parameter; // the parameter that sets it ("MECH_VISC")
    std::string_view Field;     // its member in a world file's cell ("viscosity")
    double *Value;
    // The world-file format version that first kept it; an older file leaves
    // the model's default.
    int SinceVersion = 1;
    // Whether the model cannot move a world with a value of 0 or less (the
    // parameter's own range may allow one for the other models).
    bool PositiveWhenChosen = false;
};

// A mechanics model: its constants, its step and its contacts. A world holds
// one unit of every model of its table and steps the chosen one.
class CMechanicsModel {
public:
    virtual ~CMechanicsModel() = default;

    // One step of dt seconds, the step-th since reset, on `team` of the
    // world's threads; any team size gives the same result.
    virtual void Step(CCellContents &world, double dt, std::uint64_t step, CThreadTeam &threads,
                      int team) = 0;

    // The constants, in the order world files keep them.
    virtual std::vector<ModelConstant> ConstantList() = 0;
};

// A model as the program offers it.
struct MechanicsModelRow {
    MechanicsModel Model;
    // The parameters of the Mechanics and Bacterium tables whose values its
    // step depends on; the parameter grids mark the others as unused by it.
    std::vector<std::string_view> Uses;
    // A unit with the model's default constants.
    std::function<std::unique_ptr<CMechanicsModel>()> Make;
};
using MechanicsModelTable = std::vector<MechanicsModelRow>;

// The models of this program, "Rigid bodies" first (the default).
const MechanicsModelTable &MechanicsModels();

// The row of model in models; nullptr when it has none.
const MechanicsModelRow *FindModelRow(const MechanicsModelTable &models, MechanicsModel model);
