#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "Parameters.h"

class CCell;

// The parameters of a world against the state they determine: a world file
// holds both, and only some parameters may change while a world runs on.

// A parameter that disagrees with the world: its table, its ident and why.
struct ParameterMismatch {
    std::string_view Section;
    std::string Key;
    std::string What; // names both values
};

// The first parameter of applied that cannot be one the world in cell was
// built from, or none. Compared exactly: the box, the two time steps, the
// mechanics model (by its text in modelTexts), the constants of every
// mechanics model of the cell, the filament material, the bacterium's radius
// and density (when it has one), the rate constants (each channel's
// multiplier × its rate parameter), and
// the conserved totals of the proteins (ACG + ACF, CAP + CAF,
// ARP + ARF + ARB, ADC), each of which must be one of the two whole numbers
// that its concentration, in molecules in the box, rounds to. SIM_TIME and
// SIM_TAUEPS are only a record (the target time and the leaping accuracy
// are kept on their own), and SIM_METHOD names the method itself.
std::optional<ParameterMismatch> AppliedParameterMismatch(const ParameterStore &applied, const CCell &cell,
                                                          ModelTexts modelTexts = kModelTexts);

// Whether a parameter may change between two runs of one world: the rate
// constants, MECH_TEMP and MECH_VISC.
bool MayChangeMidRun(std::string_view key);

// Sets the parameter key (an ident, in any case) of a world between two runs
// to the number in value, in applied and in cell alike: a rate constant
// (RATE_FORM sets FORM2's too), the temperature or the viscosity. Raises
// ParameterError, with nothing changed, for an ident that is no parameter
// or one that may not change mid-run, and for a value that is no number or
// outside the parameter's range (a viscosity of 0 in the "Viscous" model).
void SetRunParameter(ParameterStore &applied, CCell &cell, std::string_view key, const std::string &value);
