#pragma once

#include <nlohmann/json.hpp>

#include <set>
#include <string>
#include <string_view>
#include <vector>

class CCell;
struct RandomState;

// The checks that a world read from a file is one that the program could
// have made and can run on: what the format alone does not ensure.

// A fault found in a world file's content: where (a member path such as
// "filaments[12].direction") and what.
struct ContentFault {
    std::string Where;
    std::string What;
};

inline std::string Member(const std::string &where, std::string_view key)
{
    return where.empty() ? std::string(key) : where + "." + std::string(key);
}

inline std::string Element(const std::string &where, std::size_t i)
{
    return where + "[" + std::to_string(i) + "]";
}

// Raise ContentFault at the first value that no run could have left: a
// species counter that is negative, disagrees with the filament list or
// whose total could overflow; a channel count that is negative, disagrees
// with the reaction count or is near overflow; a stochastic rate that does
// not follow from its rate constant and volume; a clock ahead of the time;
// a box, radius, density or bacterium mass that is not positive (a
// filament's mass is found anew at every step); a direction that is not a
// unit vector; a place (of the bacterium, its shell, a filament) more than
// 10^6 box edges from the box; a mechanics step or leap count at 2^62 or
// more, whose draws would repeat.
void CheckCellState(const CCell &cell);
// Raise ContentFault when the pending reaction of cell (a spare, whose
// propensities this recomputes) cannot fire in its world: no run drew it.
void CheckPendingReaction(CCell &cell);
// The constants shared by every filament: radius (m), linear density (kg/m).
void CheckFilamentMaterial(double radius, double linearDensity);
// Negative values would index the shuffle table out of its bounds; a seed
// below 0 is no state of the generators.
void CheckRandomState(const RandomState &random);

// Follows nlohmann's parse of a world file's text as its callback: refuses a
// member that appears twice in an object and lists or objects nested deeper
// than a world's (ContentFault, in bounded memory), and knows the place
// of the value being read, for a fault that the parser finds in it. The
// values of the rows of the list tableMember are named by columns.
class WorldTextPlaces {
public:
    using Json = nlohmann::json;

    WorldTextPlaces(std::string tableMember, const std::vector<std::string> &columns);

    bool operator()(int depth, Json::parse_event_t event, Json &parsed);
    // The place of the value that the parser is reading.
    std::string Current() const;

private:
    struct Level {
        bool IsObject;
        std::string Where;
        std::set<std::string> Keys; // of an object
        std::string Key;            // of an object: the member being read
        std::size_t Index = 0;      // of a list: the entry being read
    };

    void EntryDone();

    std::string tableMember_;
    const std::vector<std::string> &columns_;
    std::vector<Level> levels_;
};
