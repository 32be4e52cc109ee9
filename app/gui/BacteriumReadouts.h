#pragma once

// The "Bacterium" read-out list: its rows by key, caption and hint, in
// order. Lengths in µm and speeds in µm/min, as people read them; the files
// keep metres.
struct BacteriumReadout {
    const char *Key;
    const char *Caption;
    const char *Hint;
};

inline constexpr BacteriumReadout kBacteriumReadouts[] = {
    {"bact_x", "Position x [µm]", "Its centre, to 1 nm"},
    {"bact_y", "Position y [µm]", "Its centre, to 1 nm"},
    {"bact_z", "Position z [µm]", "Its centre, to 1 nm"},
    {"bact_disp", "Displacement [µm]", "Its distance from where \"Reset and apply\" put it"},
    {"bact_velocity", "Net speed since reset [µm/min]",
     "Its displacement over the time since reset. Diffusion alone gives a net speed that falls as 1/√t "
     "(the displacement grows as √t): a falling value is no sign of a slowing push"},
    {"bact_touching", "Touching filaments", ""},
};
