#pragma once

#include "Parameters.h"

#include <stdexcept>
#include <string>
#include <string_view>

class CCell;

// A world file holds everything needed to continue a run exactly: the
// parameters the world was built from, the cell with every filament and the
// bacterium, the filament constants and the random streams. It is JSON text,
// described field by field in docs/world-file.md.

// A world file that cannot be written, read or used. The message names the
// file, the place in it (a path such as "filaments[12].monomers") and what is
// wrong there.
class WorldFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The text in a world file's "format" member and the version of its layout
// that this program writes.
inline constexpr std::string_view kWorldFormatName = "Filonex world";
// Version 2 added the cell's pending reaction; version 1 files are read as
// worlds without one.
inline constexpr int kWorldFormatVersion = 4;
inline constexpr int kOldestWorldFormatVersion = 1;
// The file name extension of world files, without the dot.
inline constexpr std::string_view kWorldFileExtension = "fxworld";

// What a world file holds besides the cell's own state.
struct WorldContext {
    // The five parameter tables as the world was built from them, SIM_METHOD
    // included; the current-state rows are those of fresh tables.
    ParameterStore Parameters;
    double TargetTime = 0.0; // s: the end of the run the world belongs to
    // False when the saved run drew from the C library's rand(), whose state
    // cannot be saved: a resumed run then does not repeat the original.
    bool RandomStateComplete = true;
};

// Writes the cell (its mechanics model by its text in modelTexts, the
// constants of every model of its table), the filament constants and the
// random streams with the applied parameters (every numeric row must hold a
// number) and the target time to path, replacing the file atomically. Call it between two reactions,
// never from inside one. Raises WorldFileError when the file cannot be
// written or a value is not finite.
void SaveWorld(const std::string &path, const CCell &cell, const ParameterStore &applied, double targetTime,
               ModelTexts modelTexts = kModelTexts);

// Reads the world file at path and checks all of it; only then does the cell
// (which must not be running) take the saved state, the filament constants
// and the random streams theirs, and the method is bound by its name. The
// mechanics model is the one of the cell's table whose text (in modelTexts)
// the file names. Raises WorldFileError with nothing changed for a file that cannot be read (with
// the system's reason) or is no regular file of at most 4 GiB, is truncated,
// is no world file, has another format version, lacks a member or holds one
// twice, holds a value of the wrong kind or a number that is not finite, has
// a filament of fewer than three monomers, holds a world that no run
// could leave or run on (see Worldfilecheck.h), or parameters that disagree
// with the state they determine (see AppliedParameterMismatch).
WorldContext LoadWorld(const std::string &path, CCell &cell, ModelTexts modelTexts = kModelTexts);

// The warning to give when the random streams cannot be saved completely
// because the selected generator draws from rand(); empty when they can.
std::string IncompleteRandomStateWarning(const CCell &cell);
