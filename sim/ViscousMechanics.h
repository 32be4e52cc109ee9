#pragma once

#include "Mechanics.h"
#include "MechanicsModel.h"
#include "ViscousRod.h"

#include <cstdint>
#include <vector>

// The constants of the viscous mechanics model, with the values that worlds
// saved before it existed take.
struct ViscousConstants {
    double Viscosity = 0.0;         // Pa s
    double Temperature = 298.15;    // K
    double ContactStiffness = 1e-4; // N/m
};

// Brownian dynamics of the filaments and the bacterium: no inertia, drag
// and thermal noise (Euler-Maruyama with the exact rotation of each axis),
// contacts as springs relaxed by their exact overdamped solution, so that
// no step size or stiffness makes them overshoot. Every body's noise comes
// from counter-based draws by its id; every stage but the relaxation of the
// few contacts with the bacterium (in list order) runs per filament on all
// threads, with the same result on any number of them.
class CViscousMechanics final : public CMechanicsModel {
public:
    ViscousConstants Constants;

    // One step of dt seconds, the step-th since reset, with the world's
    // noise key, on `team` of the world's threads.
    void Step(CCellContents &world, double dt, std::uint64_t step, CThreadTeam &threads, int team) override;
    std::vector<ModelConstant> ConstantList() override;

    // The motion of a rod of `monomers` as prepared for the step, from the
    // table or computed into `spare`.
    const RodMotion &MotionOf(std::int32_t monomers, RodMotion &spare) const
    {
        if (monomers >= 0 && monomers < kTabulatedMonomers)
            return motions_[std::size_t(monomers)];
        spare = ComputeMotion(monomers);
        return spare;
    }

private:
    // Monomer counts tabulated at once; longer filaments are rare.
    static constexpr std::int32_t kTabulatedMonomers = 4096;

    // Refreshes the table of rod motions when a constant changed.
    void Prepare(const CCellContents &world, const ViscousConstants &constants, double dt);
    RodMotion ComputeMotion(std::int32_t monomers) const;

    // What the table was built for.
    ViscousConstants prepared_;
    double dt_ = 0.0;
    double filamentRadius_ = 0.0;
    // By monomer count; longer filaments are computed when met.
    std::vector<RodMotion> motions_;
    // The slots of the filaments that touch the bacterium, per block of
    // slots, each block filled by one task.
    std::vector<std::vector<std::size_t>> bacteriumContacts_;
};

// The viscous constants of a world's mechanics.
inline ViscousConstants &ViscousConstantsOf(CMechanics &mechanics)
{
    return mechanics.UnitOf<CViscousMechanics>().Constants;
}
inline const ViscousConstants &ViscousConstantsOf(const CMechanics &mechanics)
{
    return mechanics.UnitOf<CViscousMechanics>().Constants;
}
