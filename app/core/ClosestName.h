#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Help for misspelt names: of options, parameter idents, sweep keys, columns.

// Edits (insertions, deletions, replacements, swaps of two neighbours) from
// a to b, without regard to case.
std::size_t EditDistance(std::string_view a, std::string_view b);

// The known name with the fewest edits from name (the first of equals);
// empty when known is.
std::string ClosestName(std::string_view name, const std::vector<std::string> &known);

// "; did you mean X?" for the closest known name when it is a slip away from
// name (the same but for case, or at most a third of its letters and two
// edits at least); otherwise empty: another name, no typo.
std::string DidYouMean(std::string_view name, const std::vector<std::string> &known);
