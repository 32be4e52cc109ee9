#pragma once

#include "Cell.h"
#include "RigidMechanics.h"
#include "ViscousMechanics.h"
#include "CounterRandom.h"
#include "Random.h"

#include <bit>
#include <cstdint>
#include <string_view>
#include <vector>

// The parameters that shape a world, in the units the user enters them. The
// defaults are those of a fresh settings file.
struct WorldParameters {
    double ConcentrationACG = 12.0; // uM
    double ConcentrationCAP = 1.0;
    double ConcentrationARP = 0.3;
    double ConcentrationADC = 1.0;
    double RateFORM = 1e-6; // uM^-2 s^-1
    double RateASSB = 11.6; // uM^-1 s^-1
    double RateASSP = 0.16;
    double RateDISB = 1.4; // s^-1
    double RateDISP = 0.8;
    double RateCAPB = 3.0;
    double RateARPB = 3.0;
    double RateSEVR = 0.01;
    double CubeSize = 2.0; // um
    SimulationMethod Method = SimulationMethod::FirstReaction;
    double TimeStep = 1e-4;        // s
    double ObserveTimeStep = 0.01; // s
    double FilamentRadius = 1.5e-9;
    double FilamentLinearDensity = 3.4e-14;
    double FFInterCoef = 1e-17;
    double FFInterDist = 1e-9;
    double FWInterCoef = 1e-15;
    double FWInterDist = 1e-9;
    double BrownianForce = 1e-26;
    double BrownianMoment = 1e-32;
    double FilamentFriction = 1e-15;
    double Viscosity = 0.001;
    double BacteriumRadius = 2e-7; // m
    double BacteriumDensity = 1000.0;
    double BFInterCoef = 1e-12;
    double BFInterDist = 0.0;
    double BacteriumFriction = 1e-15;
};

// A small box with parameters pushed so that every channel fires often:
// nucleation in the bulk and at the bacterium, fast dissociation (filaments
// of three disappear), capping and heavy severing; with lively mechanics.
inline WorldParameters PushedWorld(SimulationMethod method)
{
    WorldParameters p;
    p.CubeSize = 0.5;
    p.ConcentrationACG = 20.0;
    p.ConcentrationCAP = 2.0;
    p.ConcentrationARP = 1.0;
    p.ConcentrationADC = 3.0;
    p.RateFORM = 1e-5;
    p.RateDISB = 20.0;
    p.RateDISP = 20.0;
    p.RateSEVR = 0.1;
    p.Method = method;
    p.BacteriumRadius = 7e-8;
    p.BacteriumDensity = 10.0;
    p.BrownianForce = 1e-23;
    p.BrownianMoment = 1e-31;
    p.FilamentFriction = 1e15;
    p.FWInterCoef = 1e-13;
    p.BFInterCoef = 1e-6;
    p.BacteriumFriction = 1e13;
    return p;
}

// Rebuilds the world in cell from the parameters, step by step as the main
// window's reset-and-apply does, drawing from the cell's random stream.
inline void BuildWorld(CCell &cell, const WorldParameters &p)
{
    cell.Reset();
    cell.CounterKey = CounterKeyOf(cell.Random.Capture());
    const double edge = p.CubeSize * 1e-6;
    cell.SetBox(CVector(0.0), CVector(edge));
    cell.MechTimeStep = p.TimeStep;
    cell.ObsTimeStep = p.ObserveTimeStep;
    const double volume = cell.GetVolume();
    cell.Species[CCell::ACG] =
        cell.Random.StochasticRound(p.ConcentrationACG * volume * 1000 * AVOGADRO * 1e-6);
    cell.Species[CCell::CAP] =
        cell.Random.StochasticRound(p.ConcentrationCAP * volume * 1000 * AVOGADRO * 1e-6);
    cell.Species[CCell::ARP] =
        cell.Random.StochasticRound(p.ConcentrationARP * volume * 1000 * AVOGADRO * 1e-6);
    cell.Species[CCell::ADC] =
        cell.Random.StochasticRound(p.ConcentrationADC * volume * 1000 * AVOGADRO * 1e-6);
    cell.UpdatePropensities();
    RigidConstantsOf(cell).BrownianForce = p.BrownianForce;
    RigidConstantsOf(cell).BrownianMoment = p.BrownianMoment;
    RigidConstantsOf(cell).FFInterCoef = p.FFInterCoef;
    RigidConstantsOf(cell).FFInterDist = p.FFInterDist;
    RigidConstantsOf(cell).FWInterCoef = p.FWInterCoef;
    RigidConstantsOf(cell).FWInterDist = p.FWInterDist;
    RigidConstantsOf(cell).BFInterCoef = p.BFInterCoef;
    RigidConstantsOf(cell).BFInterDist = p.BFInterDist;
    RigidConstantsOf(cell).FilamentFriction = p.FilamentFriction;
    RigidConstantsOf(cell).BacteriumFriction = p.BacteriumFriction;
    ViscousConstantsOf(cell).Viscosity = p.Viscosity;
    cell.Material = {p.FilamentRadius, p.FilamentLinearDensity};
    cell.CreateBacterium();
    CBacterium &bacterium = *cell.Bacterium;
    bacterium.Radius = p.BacteriumRadius;
    bacterium.Shell.InnerRadius = p.BacteriumRadius;
    bacterium.Shell.OuterRadius = 1.1 * p.BacteriumRadius;
    bacterium.Center = cell.GetCenter();
    bacterium.Shell.Center = bacterium.Center;
    bacterium.Density = p.BacteriumDensity;
    bacterium.UpdateMassProperties();
    const double bodyVolume = bacterium.GetVolume();
    const double shellVolume = bacterium.Shell.GetVolume();
    const double rates[CCell::REACTION_COUNT] = {p.RateFORM, p.RateASSB, p.RateASSP,
                                                 p.RateDISB, p.RateDISP, p.RateCAPB,
                                                 p.RateARPB, p.RateSEVR, 1e5 * p.RateFORM};
    for (int i = 0; i < CCell::REACTION_COUNT; ++i) {
        const double litres = i == CCell::FORM    ? (volume - bodyVolume - shellVolume) * 1000
                              : i == CCell::FORM2 ? shellVolume * 1000
                                                  : volume * 1000;
        cell.Reactions[i].SetRate(rates[i], litres);
    }
    cell.SetMethod(p.Method);
}

// Appends `count` uncapped filaments of `monomers` from the box centre in
// random directions and counts them in FIB, FIP and ACF.
inline void AddFilaments(CCell &cell, std::int32_t count, std::int32_t monomers)
{
    for (std::int32_t i = 0; i < count; ++i) {
        CSolidFilament f;
        f.SetGeometry(cell.GetCenter(), RandomUnitVector(cell.Random));
        f.Monomers = monomers;
        f.Position = f.GetMassCenter();
        cell.Filaments.Append(f);
    }
    cell.Species[CCell::FIB] += count;
    cell.Species[CCell::FIP] += count;
    cell.Species[CCell::ACF] += count * monomers;
}

// Heavy severing in a dense actin solution: more than 10^4 short filaments
// after 0.3 s, most reactions picking a filament by its barbed end or by a
// monomer.
inline WorldParameters SeveringWorld()
{
    WorldParameters p;
    p.ConcentrationACG = 20.0;
    p.ConcentrationADC = 2.0;
    p.ConcentrationCAP = 0.1;
    p.RateSEVR = 1.0;
    p.RateFORM = 1e-5;
    p.RateCAPB = 0.3;
    p.Method = SimulationMethod::NextReaction;
    return p;
}

// Every number of a world's state that a run changes, as bits: the clocks,
// the counters, the random stream, the filaments and the bacterium. Equal
// fingerprints mean equal worlds bit for bit.
inline std::vector<std::uint64_t> Fingerprint(const CCell &cell)
{
    std::vector<std::uint64_t> bits;
    const auto add = [&bits](double x) { bits.push_back(std::bit_cast<std::uint64_t>(x)); };
    const auto addVector = [&add](const CVector &v) { add(v.x), add(v.y), add(v.z); };
    for (const double clock : {cell.Time, cell.MechTime, cell.ObsTime})
        add(clock);
    bits.push_back(std::uint64_t(cell.ReactionCount));
    for (const std::int32_t count : cell.Species)
        bits.push_back(std::uint64_t(std::uint32_t(count)));
    const RandomState random = cell.Random.Capture();
    bits.push_back(std::uint64_t(std::uint32_t(random.Seed)));
    bits.push_back(std::uint64_t(std::uint32_t(random.ShuffleOutput)));
    for (const CSolidFilament &f : cell.Filaments) {
        addVector(f.PointedEnd), addVector(f.Direction), addVector(f.Velocity), addVector(f.AngularVelocity);
        bits.push_back(std::uint64_t(f.Monomers) * 2 + f.Capped);
    }
    if (cell.Bacterium)
        addVector(cell.Bacterium->Center), addVector(cell.Bacterium->Velocity);
    return bits;
}
