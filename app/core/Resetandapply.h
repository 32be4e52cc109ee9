#pragma once

#include "Parameters.h"

#include <string>
#include <vector>
#include <string_view>

class CCell;

// A constant of one of a cell's mechanics models.
struct HeldConstant {
    MechanicsModel Model;
    ModelConstant Constant;
};
// The constants of every mechanics model of cell, model by model in table
// order. Through a const cell they are there to be read only.
std::vector<HeldConstant> MechanicsConstants(const CCell &cell);

// What a rebuilt world hands to the displays and the 3D scene.
struct AppliedWorld {
    double TargetTime = 0;   // s: SIM_TIME, the end of the next run
    double BoxEdge = 0;      // m: the box is (0, 0, 0) to (BoxEdge, BoxEdge, BoxEdge)
    double VolumeLitres = 0; // the box volume, shown as "Volume [litres]"
};

// Rebuilds the world inside cell from the parameter tables: Reset, box, time
// steps, the four free-protein populations, mechanical and filament
// constants, a fresh bacterium with its shell, the channel rates, the
// propensities of the applied world, the leaping accuracy and the selection method. Every number is read with CheckedParameterNumber
// when its step comes, under floating-point traps. The first failure
// (ParameterError for a text that is no number or a value without physical
// meaning, fp::FloatingPointError) propagates with the steps before it
// applied and the later ones not.
AppliedWorld ResetAndApply(const ParameterStore &store, CCell &cell, ModelTexts modelTexts = kModelTexts);

// Molecules in a volume (m^3) at a concentration (uM) before they are
// rounded stochastically: the product formed left to right in extended
// precision.
long double MoleculesAt(long double concentration, double volume);

// At the start of a run: when the previous run has reached targetTime (the
// cell's time is at or past it), raises targetTime by SIM_TIME,
// read now, and returns true: the run extends the finished one. Otherwise
// leaves targetTime and returns false: the run starts or continues and the
// caller adds the starting chart points. Raises ParameterError for a bad
// SIM_TIME.
bool ExtendTargetTime(const ParameterStore &store, const CCell &cell, double &targetTime);

// Why a run of cell cannot start, or an empty text when it can: no selection
// method, or an observation step, or with mechanics a mechanics
// step, that is not positive (the run would never end).
std::string RunStartProblem(const CCell &cell, bool withMechanics);

// Why a run of cell to endTime (s) could never end, or an empty text: an
// observation step, or with mechanics a mechanics step, that gives more than
// 2^53 steps to the end (beyond that the step counts are not exact and a run
// would write rows without end).
std::string StepCountProblem(const CCell &cell, double endTime, bool withMechanics);

// Why a leaping run of cell could run out of memory, or an empty text: a
// leap may form as many filaments at once as the actin (G and F, three
// monomers each) allows, and they must fit in the memory this process may
// take (the machine's, or less under a limit of its own).
std::string LeapMemoryProblem(const CCell &cell);

// Sets the cell's Arp2/3 model and branch geometry from the Rates table.
// Raises ParameterError for "Branches" with the "Rigid bodies" model or with
// "Tau-leap", and for an angle outside (0, 180) degrees.
void ApplyArpModel(const ParameterStore &store, CCell &cell);
