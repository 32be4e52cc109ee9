// The table of the mechanics models: a model is its unit's files and one row
// here (with its text beside the parameter tables).

#include "MechanicsModel.h"
#include "RigidMechanics.h"
#include "ViscousMechanics.h"

#include <algorithm>

const MechanicsModelTable &MechanicsModels()
{
    static const MechanicsModelTable models = {
        {MechanicsModel::RigidBodies,
         {"MECH_ACr", "MECH_FLINDENS", "MECH_FWINTERCOEF", "MECH_BROWNIANFORCE", "MECH_BROWNIANMOMENT",
          "MECH_FRICCOEF", "BACT_RAD", "BACT_DENS", "BACT_FSINTERCOEF", "BACT_FRICCOEF"},
         [] { return std::make_unique<CRigidMechanics>(); }},
        {MechanicsModel::Viscous,
         {"MECH_ACr", "MECH_VISC", "MECH_TEMP", "MECH_CONTACTK", "BACT_RAD"},
         [] { return std::make_unique<CViscousMechanics>(); }},
    };
    return models;
}

const MechanicsModelRow *FindModelRow(const MechanicsModelTable &models, MechanicsModel model)
{
    const auto row = std::find_if(models.begin(), models.end(),
                                  [model](const MechanicsModelRow &r) { return r.Model == model; });
    return row == models.end() ? nullptr : &*row;
}
