#pragma once

// The "Bacterium" read-out list and chart: the list's rows by key and
// caption, in order, and the chart's one curve.
struct BacteriumReadout {
    const char *Key;
    const char *Caption;
};

inline constexpr BacteriumReadout kBacteriumReadouts[] = {
    {"bact_x", "Position x [m]"},
    {"bact_y", "Position y [m]"},
    {"bact_z", "Position z [m]"},
    {"bact_disp", "Displacement [m]"},
    {"bact_velocity", "Mean velocity [m/s]"},
    {"bact_touching", "Touching filaments"},
};

inline constexpr const char *kBacteriumDisplacementCurve = "bact_disp";
