#include "Cell.h"

CCell::CCell(ChannelTable channels, const MechanicsModelTable &models)
    : CChemistry(static_cast<CCellContents &>(*this), channels),
      CMechanics(static_cast<CCellContents &>(*this), models)
{
    Reset();
}

CCell::~CCell() = default;

void CCell::Reset()
{
    Filaments.clear();
    IndexBranches();
    Time = 0.0;
    MechTime = 0.0;
    ObsTime = 0.0;
    ObsCount = 0;
    MechTimeStep = 1e-4;
    ObsTimeStep = 1e-4;
    ReactionCount = 0;
    MechStepCount = 0;
    Pending.reset();
    Running = false;
    Species.fill(0);
    TauLeap.Reset();
}
