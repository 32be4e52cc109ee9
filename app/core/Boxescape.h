#pragma once

class CCell;

// Whether the bacterium or a filament has its centre more than one box size
// outside the box (on any axis): a sign of mechanical constants that fling
// bodies away, which the run itself does not stop.
bool AnyBodyFarOutsideBox(const CCell &cell);

// The warning shown once per run when that happens.
extern const char *const kBodyFarOutsideBoxWarning;
