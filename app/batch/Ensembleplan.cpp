#include "Ensembleplan.h"

#include "Batchoptions.h"
#include "ClosestName.h"
#include "Parameters.h"
#include "Runseed.h"
#include "Tidytable.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <limits>
#include <set>
#include <stdexcept>

namespace {

std::uint64_t SplitMix64(std::uint64_t x)
{
    x += 0x9e3779b97f4a7c15u;
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9u;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebu;
    return x ^ (x >> 31);
}

const ParameterRow *FindParameter(const ParameterStore &store, const std::string &ident, std::string &section)
{
    for (const ParameterTable &table : store.Tables)
        if (const ParameterRow *row = table.Find(ident)) {
            section = table.SectionName;
            return row;
        }
    return nullptr;
}

// Whether value is one the parameter can take: a choice of its pick list, or
// else a number.
bool IsValueOf(const ParameterRow &row, const std::string &value)
{
    if (!row.PickList.empty())
        return std::find(row.PickList.begin(), row.PickList.end(), value) != row.PickList.end();
    try {
        return ParseField(value).has_value();
    } catch (const std::runtime_error &) {
        return false;
    }
}

constexpr std::int64_t kSaturated = std::numeric_limits<std::int64_t>::max();

// a * b for counts of at least 1, kSaturated when it does not fit.
std::int64_t SaturatedProduct(std::int64_t a, std::int64_t b)
{
    std::int64_t product = 0;
    return __builtin_mul_overflow(a, b, &product) ? kSaturated : product;
}

std::string SweepsText(const std::vector<SweepAxis> &sweeps)
{
    std::string text;
    for (const SweepAxis &axis : sweeps) {
        text += (text.empty() ? "" : " ") + axis.Ident + "=";
        for (std::size_t i = 0; i < axis.Values.size(); ++i)
            text += (i > 0 ? "," : "") + axis.Values[i];
    }
    return text.empty() ? "none" : text;
}

// The items of a plan by name, as a person reads them.
std::vector<std::pair<std::string, std::string>> Items(const EnsemblePlan &plan)
{
    const auto orSettings = [](const std::string &value) {
        return value.empty() ? "that of the settings file" : value;
    };
    return {{"base seed", std::to_string(plan.BaseSeed)}, {"runs per point", std::to_string(plan.Replicas)},
            {"sweeps", SweepsText(plan.Sweeps)},          {"parameters hash", plan.SettingsHash},
            {"method", orSettings(plan.Method)},          {"time", orSettings(plan.EndTime)},
            {"mechanics", plan.Mechanics ? "on" : "off"}};
}

} // namespace

SweepAxis ParseSweep(const std::string &text, const ParameterStore &store)
{
    const std::size_t equals = text.find('=');
    if (equals == std::string::npos)
        throw UsageError("--sweep needs IDENT=v1,v2,..., not '" + text + "'");
    SweepAxis axis;
    axis.Ident = text.substr(0, equals);
    const ParameterRow *row = FindParameter(store, axis.Ident, axis.Section);
    if (!row) {
        std::vector<std::string> idents;
        for (const ParameterTable &table : store.Tables)
            for (const ParameterRow &parameter : table.Rows)
                idents.push_back(parameter.Key);
        throw UsageError("--sweep: '" + axis.Ident + "' is not a parameter" + DidYouMean(axis.Ident, idents));
    }
    std::string values = text.substr(equals + 1);
    std::set<std::string> seen; // a set: a sweep of a million values is still refused at once
    for (std::size_t at = 0;;) {
        const std::size_t comma = values.find(',', at);
        axis.Values.push_back(values.substr(at, comma - at));
        const std::string &value = axis.Values.back();
        if (!IsValueOf(*row, value))
            throw UsageError("--sweep: '" + value + "' is not a value of " + axis.Ident);
        if (!seen.insert(value).second)
            throw UsageError("--sweep: " + axis.Ident + " has the value '" + value + "' twice");
        if (comma == std::string::npos)
            return axis;
        at = comma + 1;
    }
}

std::int64_t EnsemblePlan::PointCount() const
{
    std::int64_t points = 1;
    for (const SweepAxis &axis : Sweeps)
        points = SaturatedProduct(points, static_cast<std::int64_t>(axis.Values.size()));
    return points;
}

std::int64_t EnsemblePlan::RunCount() const
{
    return SaturatedProduct(PointCount(), Replicas);
}

std::vector<std::string> EnsemblePlan::PointValues(std::int64_t point) const
{
    std::vector<std::string> values(Sweeps.size());
    for (std::size_t i = Sweeps.size(); i-- > 0;) {
        const auto size = static_cast<std::int64_t>(Sweeps[i].Values.size());
        values[i] = Sweeps[i].Values[point % size];
        point /= size;
    }
    return values;
}

void CheckPlanSize(const EnsemblePlan &plan)
{
    const std::int64_t runs = plan.RunCount();
    if (runs <= kMostEnsembleRuns)
        return;
    const std::string count = runs == kSaturated ? "more than " + std::to_string(runs) : std::to_string(runs);
    throw std::runtime_error(
        "an ensemble of " + count + " runs (" + std::to_string(plan.Replicas) + " at each of " +
        (plan.PointCount() == kSaturated ? "too many" : std::to_string(plan.PointCount())) +
        " sweep points) is more than the " + std::to_string(kMostEnsembleRuns) +
        " runs an ensemble may have");
}

std::uint32_t ReplicaSeed(std::uint32_t baseSeed, std::int64_t replica)
{
    const std::uint64_t key = (std::uint64_t{baseSeed} << 32) | static_cast<std::uint32_t>(replica);
    return static_cast<std::uint32_t>(SplitMix64(key) % (kLargestSeed + 1));
}

std::uint32_t EnsemblePlan::SeedOf(std::int64_t run) const
{
    return ReplicaSeed(BaseSeed, ReplicaOf(run));
}

std::string EnsemblePlan::Text() const
{
    std::string text = JoinFields({"base_seed", std::to_string(BaseSeed)}) +
                       JoinFields({"replicas", std::to_string(Replicas)}) +
                       JoinFields({"settings_hash", SettingsHash}) + JoinFields({"method", Method}) +
                       JoinFields({"time", EndTime}) + JoinFields({"mechanics", Mechanics ? "on" : "off"}) +
                       JoinFields({"settings", SettingsPath});
    for (const SweepAxis &axis : Sweeps) {
        std::vector<std::string> fields = {"sweep", axis.Section, axis.Ident};
        fields.insert(fields.end(), axis.Values.begin(), axis.Values.end());
        text += JoinFields(fields);
    }
    return text;
}

EnsemblePlan ReadEnsemblePlan(const std::string &path)
{
    std::ifstream in(path);
    if (!in)
        throw std::runtime_error("cannot read the ensemble plan '" + path + "'");
    const auto bad = [&](const std::string &what) {
        return std::runtime_error("the ensemble plan '" + path + "' has " + what);
    };
    EnsemblePlan plan;
    std::set<std::string> seen;
    for (std::string line; std::getline(in, line);) {
        const auto fields = SplitFields(line);
        const auto badLine = [&] { return bad("a bad line '" + line + "'"); };
        const auto whole = [&](double least, double most) {
            std::optional<double> value;
            try {
                value = fields.size() == 2 ? ParseField(fields[1]) : std::nullopt;
            } catch (const std::runtime_error &) {
            }
            if (!value || *value < least || *value > most || *value != std::floor(*value))
                throw badLine();
            return *value;
        };
        const auto text = [&] {
            if (fields.size() != 2)
                throw badLine();
            return fields[1];
        };
        if (fields[0] != "sweep" && !seen.insert(fields[0]).second)
            throw bad("'" + fields[0] + "' twice");
        if (fields[0] == "base_seed")
            plan.BaseSeed = static_cast<std::uint32_t>(whole(0, 0xffffffffu));
        else if (fields[0] == "replicas")
            plan.Replicas = static_cast<std::int64_t>(whole(1, kMostEnsembleRuns));
        else if (fields[0] == "settings_hash")
            plan.SettingsHash = text();
        else if (fields[0] == "method")
            plan.Method = text();
        else if (fields[0] == "time")
            plan.EndTime = text();
        else if (fields[0] == "mechanics" && (text() == "on" || text() == "off"))
            plan.Mechanics = text() == "on";
        else if (fields[0] == "settings")
            plan.SettingsPath = text();
        else if (fields[0] == "sweep" && fields.size() >= 4)
            plan.Sweeps.push_back({fields[1], fields[2], {fields.begin() + 3, fields.end()}});
        else
            throw badLine();
    }
    for (const char *const key : {"base_seed", "replicas", "settings_hash", "method", "time", "mechanics"})
        if (!seen.count(key))
            throw bad(std::string("no line '") + key + "' (a plan of an older version?)");
    CheckPlanSize(plan);
    return plan;
}

std::string PlanDifference(const EnsemblePlan &plan, const EnsemblePlan &there)
{
    const auto here = Items(plan), other = Items(there);
    std::string difference;
    for (std::size_t i = 0; i < here.size(); ++i)
        if (here[i].second != other[i].second)
            difference += (difference.empty() ? "" : "; ") + here[i].first + " " + here[i].second +
                          " here, " + other[i].second + " there";
    return difference;
}

std::string ContentHash(const std::string &text)
{
    std::uint64_t hash = 0xcbf29ce484222325u;
    for (const unsigned char byte : text)
        hash = (hash ^ byte) * 0x100000001b3u;
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
    return hex;
}

std::string RunFolderName(std::int64_t run)
{
    char name[32];
    std::snprintf(name, sizeof name, "run-%04lld", static_cast<long long>(run));
    return name;
}
