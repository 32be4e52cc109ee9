#include "Ensembleplan.h"

#include "Batchoptions.h"
#include "Parameters.h"
#include "Runseed.h"
#include "Tidytable.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <limits>
#include <stdexcept>

namespace {

std::uint64_t SplitMix64(std::uint64_t x)
{
    x += 0x9e3779b97f4a7c15u;
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9u;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebu;
    return x ^ (x >> 31);
}

const ParameterRow *FindParameter(const ParameterStore &store, const std::string &ident,
                                  std::string &section)
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

} // namespace

SweepAxis ParseSweep(const std::string &text, const ParameterStore &store)
{
    const std::size_t equals = text.find('=');
    if (equals == std::string::npos)
        throw UsageError("--sweep needs IDENT=v1,v2,..., not '" + text + "'");
    SweepAxis axis;
    axis.Ident = text.substr(0, equals);
    const ParameterRow *row = FindParameter(store, axis.Ident, axis.Section);
    if (!row)
        throw UsageError("--sweep: '" + axis.Ident + "' is not a parameter of the settings file");
    std::string values = text.substr(equals + 1);
    for (std::size_t at = 0;;) {
        const std::size_t comma = values.find(',', at);
        axis.Values.push_back(values.substr(at, comma - at));
        const std::string &value = axis.Values.back();
        if (!IsValueOf(*row, value))
            throw UsageError("--sweep: '" + value + "' is not a value of " + axis.Ident);
        if (std::count(axis.Values.begin(), axis.Values.end(), value) > 1)
            throw UsageError("--sweep: " + axis.Ident + " has the value '" + value + "' twice");
        if (comma == std::string::npos)
            return axis;
        at = comma + 1;
    }
}

int EnsemblePlan::PointCount() const
{
    int points = 1;
    for (const SweepAxis &axis : Sweeps)
        points *= static_cast<int>(axis.Values.size());
    return points;
}

int EnsemblePlan::RunCount() const
{
    return PointCount() * Replicas;
}

std::vector<std::string> EnsemblePlan::PointValues(int point) const
{
    std::vector<std::string> values(Sweeps.size());
    for (std::size_t i = Sweeps.size(); i-- > 0;) {
        const int size = static_cast<int>(Sweeps[i].Values.size());
        values[i] = Sweeps[i].Values[point % size];
        point /= size;
    }
    return values;
}

std::uint32_t ReplicaSeed(std::uint32_t baseSeed, int replica)
{
    const std::uint64_t key = (std::uint64_t{baseSeed} << 32) | static_cast<std::uint32_t>(replica);
    return static_cast<std::uint32_t>(SplitMix64(key) % (kLargestSeed + 1));
}

std::uint32_t EnsemblePlan::SeedOf(int run) const
{
    return ReplicaSeed(BaseSeed, ReplicaOf(run));
}

std::string EnsemblePlan::Text() const
{
    std::string text = JoinFields({"base_seed", std::to_string(BaseSeed)}) +
                       JoinFields({"replicas", std::to_string(Replicas)});
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
    bool seeded = false;
    for (std::string line; std::getline(in, line);) {
        const auto fields = SplitFields(line);
        const auto whole = [&](double max) {
            std::optional<double> value;
            try {
                value = fields.size() == 2 ? ParseField(fields[1]) : std::nullopt;
            } catch (const std::runtime_error &) {
            }
            if (!value || *value < 0 || *value > max || *value != std::floor(*value))
                throw bad("a bad line '" + line + "'");
            return *value;
        };
        if (fields[0] == "base_seed") {
            plan.BaseSeed = static_cast<std::uint32_t>(whole(0xffffffffu));
            seeded = true;
        } else if (fields[0] == "replicas") {
            plan.Replicas = static_cast<int>(whole(std::numeric_limits<int>::max()));
        } else if (fields[0] == "sweep" && fields.size() >= 4) {
            plan.Sweeps.push_back({fields[1], fields[2], {fields.begin() + 3, fields.end()}});
        } else {
            throw bad("a bad line '" + line + "'");
        }
    }
    if (!seeded || plan.Replicas < 1)
        throw bad("no base seed or no replicas");
    return plan;
}

std::string RunFolderName(int run)
{
    char name[32];
    std::snprintf(name, sizeof name, "run-%04d", run);
    return name;
}
