#pragma once

// Where a leaping run stands (CTauLeap, TauLeap.h) as world files keep it;
// a field list as SymmetricSolidFields (SolidFields.h).
template <typename Io, typename Leap>
void TauLeapFields(const Io &io, Leap &leap)
{
    io("leapNumber", leap.LeapNumber);
    io("exactStepsLeft", leap.ExactStepsLeft);
}
