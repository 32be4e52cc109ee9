#pragma once

class CCell;

// Whether the bacterium or a filament has its centre more than one box size
// outside the box (on any axis): a sign of mechanical constants that fling
// bodies away, which the run itself does not stop.
bool AnyBodyFarOutsideBox(const CCell &cell);

// The warning given once per run when that happens, and its short form for
// a status bar.
extern const char *const kBodyFarOutsideBoxWarning;
extern const char *const kBodyFarOutsideBoxNote;
