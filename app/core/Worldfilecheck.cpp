#include "Worldfilecheck.h"

#include "Cell.h"
#include "Numbertext.h"
#include "Random.h"

#include <cmath>
#include <limits>

namespace {

// A count at or above this would come near overflow within a run: 2^62
// leaves 2^62 reactions more, centuries of the fastest run.
constexpr std::int64_t kLargestCount = std::int64_t(1) << 62;
// How far a direction may be off unit length: mechanics steps rotate it
// without normalising, so it keeps its length only to rounding.
constexpr double kDirectionLengthTolerance = 1e-9;
// A stochastic rate may differ from the one its rate constant and volume
// give by the rounding of the few operations that form it.
constexpr double kRateTolerance = 8 * std::numeric_limits<double>::epsilon();
// Lists and objects within each other: a world file needs four levels (a
// matrix in the bacterium, a channel in the cell's list); deeper text is no
// world, and each level costs the parser memory.
constexpr std::size_t kDeepestNesting = 16;
// How far outside the box, in box edges, a place may lie: bodies flung far
// from the box still stay far within this; beyond it sums of positions
// (displacements, their squares) lose all digits or overflow.
constexpr double kFarthestInBoxEdges = 1e6;

std::string SpeciesWhere(int i)
{
    return Member("cell.species", CCell::SpeciesNames[i]);
}

std::string ChannelWhere(std::size_t i, std::string_view key)
{
    return Member(Element("cell.channels", i), key);
}

void RequirePositive(double v, const std::string &where, std::string_view what)
{
    if (!(v > 0))
        throw ContentFault{where, "is " + FormatNumber(v) + "; " + std::string(what) + " is above 0"};
}

void RequirePositive(const CVector &v, const std::string &where, std::string_view what)
{
    const double components[] = {v.x, v.y, v.z};
    for (std::size_t i = 0; i < 3; ++i)
        RequirePositive(components[i], Element(where, i), what);
}

void RequireCount(std::int64_t count, const std::string &where)
{
    if (count < 0)
        throw ContentFault{where, "is " + std::to_string(count) + "; a count is 0 or more"};
    if (count >= kLargestCount)
        throw ContentFault{where, "is " + std::to_string(count) + ", so large that the count would " +
                                      "overflow; it must be below 2^62"};
}

void CheckSpecies(const CCell &cell)
{
    const auto &species = cell.Species;
    for (int i = 0; i < CCell::SPECIES_COUNT; ++i) {
        if (species[i] < 0)
            throw ContentFault{SpeciesWhere(i),
                               "is " + std::to_string(species[i]) + "; a number of molecules is 0 or more"};
    }
    if (species[CCell::ARB] != 0)
        throw ContentFault{SpeciesWhere(CCell::ARB), "is " + std::to_string(species[CCell::ARB]) +
                                                         "; no reaction makes it, so it is always 0"};
    // The reactions move molecules between these pairs; each total must fit
    // the counter of either.
    for (const auto &[free, bound] : {std::pair{CCell::ACG, CCell::ACF}, std::pair{CCell::CAP, CCell::CAF}}) {
        if (std::int64_t(species[free]) + species[bound] > std::numeric_limits<std::int32_t>::max())
            throw ContentFault{SpeciesWhere(free), std::string(CCell::SpeciesNames[free]) + " + " +
                                                       CCell::SpeciesNames[bound] +
                                                       " is more than a counter holds (2147483647)"};
    }
}

// The counters that the filament list decides must agree with it.
void CheckCounters(const CCell &cell)
{
    if (const auto mismatch = cell.CounterMismatch())
        throw ContentFault{SpeciesWhere(mismatch->Species), mismatch->Describe()};
}

void CheckChannels(const CCell &cell)
{
    RequireCount(cell.ReactionCount, "cell.reactionCount");
    std::int64_t sum = 0;
    for (std::size_t i = 0; i < cell.Reactions.size(); ++i) {
        const CChemReaction &channel = cell.Reactions[i];
        RequireCount(channel.Count, ChannelWhere(i, "count"));
        // Both below 2^62: the sum of two cannot overflow.
        sum = std::min(sum + channel.Count, kLargestCount);

        const double moleculesPerMicromolar = AVOGADRO * 1e-6 * channel.Volume;
        const double expected =
            channel.RateConstant / IntPower(moleculesPerMicromolar, channel.VolumeExponent);
        if (!std::isfinite(expected))
            throw ContentFault{ChannelWhere(i, "volume"), "is " + FormatNumber(channel.Volume) +
                                                              " litres, which gives no stochastic rate"};
        if (!(std::abs(channel.StochasticRate - expected) <= kRateTolerance * std::abs(expected)))
            throw ContentFault{ChannelWhere(i, "stochasticRate"),
                               "is " + FormatNumber(channel.StochasticRate) + " but the rate constant and " +
                                   "the volume give " + FormatNumber(expected)};
    }
    if (sum != cell.ReactionCount)
        throw ContentFault{"cell.reactionCount", "is " + std::to_string(cell.ReactionCount) +
                                                     " but the channel counts add up to " +
                                                     std::to_string(sum)};
}

void CheckClocks(const CCell &cell)
{
    for (const auto &[clock, key] :
         {std::pair{cell.MechTime, "mechTime"}, std::pair{cell.ObsTime, "obsTime"}}) {
        if (clock > cell.Time)
            throw ContentFault{Member("cell", key), "is " + FormatNumber(clock) + " s, ahead of the time " +
                                                        FormatNumber(cell.Time) + " s"};
    }
}

void CheckBacterium(const CBacterium &b)
{
    RequirePositive(b.Radius, "bacterium.radius", "a radius");
    RequirePositive(b.Shell.InnerRadius, "bacterium.shellInnerRadius", "a radius");
    RequirePositive(b.Shell.OuterRadius, "bacterium.shellOuterRadius", "a radius");
    RequirePositive(b.Density, "bacterium.density", "a density");
    // A step divides by the mass; one marked changed is found anew first.
    if (!b.Changed)
        RequirePositive(b.Mass, "bacterium.mass", "a mass");
}

// The counts that number draws of the counter-based generator: at 2^62 a
// run would need centuries to come near a wrap that repeats its noise.
void CheckDrawCounts(const CCell &cell)
{
    for (const auto &[count, where] : {std::pair{cell.MechStepCount, "cell.mechStepCount"},
                                       std::pair{cell.TauLeap.LeapNumber, "cell.tauLeap.leapNumber"}})
        if (count >= std::uint64_t(kLargestCount))
            throw ContentFault{where, "is " + std::to_string(count) + ", so large that the count would " +
                                          "wrap and repeat its draws; it must be below 2^62"};
}

class PlaceCheck {
public:
    explicit PlaceCheck(const CCell &cell) : Origin(cell.Origin), Size(cell.Size) {}

    void operator()(const CVector &place, const std::string &where) const
    {
        const double p[] = {place.x, place.y, place.z}, low[] = {Origin.x, Origin.y, Origin.z},
                     size[] = {Size.x, Size.y, Size.z};
        for (std::size_t i = 0; i < 3; ++i)
            if (!(p[i] >= low[i] - kFarthestInBoxEdges * size[i] &&
                  p[i] <= low[i] + size[i] + kFarthestInBoxEdges * size[i]))
                throw ContentFault{Element(where, i), "is " + FormatNumber(p[i]) +
                                                          " m, more than 10^6 box edges from the box; no run "
                                                          "takes a body there"};
    }

private:
    CVector Origin, Size; // m
};

void CheckPlaces(const CCell &cell)
{
    const PlaceCheck check(cell);
    if (const CBacterium *b = cell.Bacterium.get()) {
        for (const auto &[place, key] :
             {std::pair{&b->Center, "center"}, std::pair{&b->Shell.Center, "shellCenter"},
              std::pair{&b->Position, "position"}, std::pair{&b->PrevPosition, "prevPosition"},
              std::pair{&b->ResetPosition, "resetPosition"}})
            check(*place, Member("bacterium", key));
    }
    std::size_t i = 0;
    for (const CSolidFilament &f : cell.Filaments) {
        const std::string where = Element("filaments", i++);
        for (const auto &[place, key] : {std::pair{&f.PointedEnd, "pointedEnd"}, std::pair{&f.Position, "position"},
                                         std::pair{&f.PrevPosition, "prevPosition"}})
            check(*place, Member(where, key));
    }
}

void CheckFilaments(const CCell &cell)
{
    std::size_t i = 0;
    for (const CSolidFilament &f : cell.Filaments) {
        const std::string where = Element("filaments", i++);
        const double length = Length(f.Direction);
        if (!(std::abs(length - 1.0) <= kDirectionLengthTolerance))
            throw ContentFault{Member(where, "direction"),
                               "has length " + FormatNumber(length) + "; a direction is a unit vector"};
    }
}

} // namespace

void CheckCellState(const CCell &cell)
{
    CheckClocks(cell);
    RequirePositive(cell.Size, "cell.size", "the box's size");
    CheckSpecies(cell);
    CheckCounters(cell);
    CheckChannels(cell);
    CheckDrawCounts(cell);
    if (cell.Bacterium)
        CheckBacterium(*cell.Bacterium);
    CheckFilaments(cell);
    CheckPlaces(cell);
}

void CheckPendingReaction(CCell &cell)
{
    if (!cell.Pending)
        return;
    cell.UpdatePropensities();
    const int channel = cell.Pending->Channel;
    if (!(cell.Reactions[channel].Propensity > 0))
        throw ContentFault{"cell.pendingReaction.channel",
                           "is " + std::string(cell.Channels[std::size_t(channel)].Name) +
                               ", which cannot fire in this world (its propensity is 0), so no run drew it"};
}

void CheckFilamentMaterial(double radius, double linearDensity)
{
    RequirePositive(radius, "cell.filamentRadius", "a radius");
    RequirePositive(linearDensity, "cell.filamentLinearDensity", "a density");
}

void CheckRandomState(const RandomState &random)
{
    // Every run keeps the shared seed at 0 or more (2^31 - 1 is a masked
    // state the generator reaches).
    if (random.Seed < 0)
        throw ContentFault{"random.seed",
                           "is " + std::to_string(random.Seed) + "; the generators' seed is 0 or more"};
    for (std::size_t i = 0; i < random.ShuffleTable.size(); ++i) {
        if (random.ShuffleTable[i] < 0)
            throw ContentFault{Element("random.shuffleTable", i),
                               "is " + std::to_string(random.ShuffleTable[i]) +
                                   "; the generator's values are 0 or more"};
    }
    if (random.ShuffleOutput < 0)
        throw ContentFault{"random.shuffleOutput", "is " + std::to_string(random.ShuffleOutput) +
                                                       "; the generator's values are 0 or more"};
}

WorldTextPlaces::WorldTextPlaces(std::string tableMember, const std::vector<std::string> &columns)
    : tableMember_(std::move(tableMember)), columns_(columns)
{
}

bool WorldTextPlaces::operator()(int, Json::parse_event_t event, Json &parsed)
{
    using Event = Json::parse_event_t;
    switch (event) {
    case Event::object_start:
    case Event::array_start:
        if (levels_.size() == kDeepestNesting)
            throw ContentFault{Current(), "lists and objects are nested more than " +
                                              std::to_string(kDeepestNesting) + " deep; no world is"};
        levels_.push_back({event == Event::object_start, Current(), {}, {}, 0});
        break;
    case Event::key: {
        Level &object = levels_.back();
        object.Key = parsed.get<std::string>();
        if (!object.Keys.insert(object.Key).second)
            throw ContentFault{Member(object.Where, object.Key), "this member appears twice"};
        break;
    }
    case Event::value:
        EntryDone();
        break;
    case Event::object_end:
    case Event::array_end:
        levels_.pop_back();
        EntryDone();
        break;
    }
    return true;
}

void WorldTextPlaces::EntryDone()
{
    if (!levels_.empty() && !levels_.back().IsObject)
        ++levels_.back().Index;
}

std::string WorldTextPlaces::Current() const
{
    if (levels_.empty())
        return {};
    const Level &level = levels_.back();
    if (level.IsObject)
        return Member(level.Where, level.Key);
    const bool inRow = levels_.size() >= 2 && levels_[levels_.size() - 2].Where == tableMember_;
    if (inRow && level.Index < columns_.size())
        return Member(level.Where, columns_[level.Index]);
    return Element(level.Where, level.Index);
}
