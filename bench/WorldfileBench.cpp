// Writing and reading a world file of 13,000 filaments, grown from a fixed
// seed under heavy severing and moved by a few mechanics steps so that every
// field holds a full-precision number.

#include "Cell.h"
#include "Parameters.h"
#include "Random.h"
#include "Resetandapply.h"
#include "Worldfile.h"

#include <benchmark/benchmark.h>

#include <filesystem>

namespace {

constexpr std::size_t kFilaments = 13000;

ParameterStore SeveringParameters()
{
    ParameterStore store;
    CreateParameterTables(store, nullptr);
    const std::pair<std::string_view, std::string_view> values[] = {{"C_ACG", "20"},
                                                                    {"C_ADC", "2"},
                                                                    {"C_CAP", "0.1"},
                                                                    {"RATE_SEVR", "1"},
                                                                    {"RATE_FORM", "1E-5"},
                                                                    {"RATE_CAPB", "0.3"},
                                                                    {"SIM_METHOD", "Next reaction"}};
    for (ParameterTable &table : store.Tables)
        for (const auto &[key, value] : values)
            if (ParameterRow *row = table.Find(key))
                row->Value = value;
    return store;
}

// Grows the world until it holds kFilaments filaments, between two reactions.
void GrowWorld(CCell &cell, const ParameterStore &store)
{
    cell.Random.SeedWith(20261207u);
    ResetAndApply(store, cell);
    cell.BetweenReactions = [&cell] {
        if (cell.Filaments.size() >= kFilaments)
            cell.Stop();
    };
    cell.RunChemistry(1e3);
    cell.BetweenReactions = nullptr;
    for (int i = 0; i < 3; ++i)
        cell.MechStep(cell.MechTimeStep);
}

struct GrownWorld {
    ParameterStore Store = SeveringParameters();
    CCell Cell;
    std::string Path = (std::filesystem::temp_directory_path() / "filonex-bench.fxworld").string();

    GrownWorld() { GrowWorld(Cell, Store); }
    ~GrownWorld() { std::filesystem::remove(Path); }
};

void Report(benchmark::State &state, const GrownWorld &world)
{
    state.counters["filaments"] = double(world.Cell.Filaments.size());
    state.counters["MB"] = double(std::filesystem::file_size(world.Path)) / 1e6;
}

void BM_SaveWorld(benchmark::State &state)
{
    GrownWorld world;
    for (auto _ : state)
        SaveWorld(world.Path, world.Cell, world.Store, 100.0);
    Report(state, world);
}

void BM_LoadWorld(benchmark::State &state)
{
    GrownWorld world;
    SaveWorld(world.Path, world.Cell, world.Store, 100.0);
    CCell loaded;
    for (auto _ : state)
        LoadWorld(world.Path, loaded);
    Report(state, world);
}

} // namespace

BENCHMARK(BM_SaveWorld)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LoadWorld)->Unit(benchmark::kMillisecond)->UseRealTime();
