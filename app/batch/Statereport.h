#pragma once

#include <cstdio>
#include <string>

class CCell;

// Prints the state of the cell in the runner's fixed format: time, reaction
// count, species, channel counts, propensities, the bacterium's centre, and
// one line per filament. Doubles as %.17g, so that the text gives back the
// exact values.
void PrintState(std::FILE *out, const CCell &cell);

// The text PrintState prints.
std::string StateText(const CCell &cell);
