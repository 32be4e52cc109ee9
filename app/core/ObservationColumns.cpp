#include "ObservationColumns.h"

#include "Cell.h"

namespace {

using Reader = std::function<std::optional<double>(const ObservationRecord &)>;

// One of the bacterium's values; none without a bacterium.
template <typename Get>
Reader BacteriumValue(Get get)
{
    return [get](const ObservationRecord &record) -> std::optional<double> {
        if (!record.Bacterium)
            return std::nullopt;
        return get(*record.Bacterium);
    };
}

ObservationColumns MakeStandardColumns()
{
    ObservationColumns table;
    table.Charts = {
        {"N", "Chart2DN", kTimeTitle, "Molecules"},
        {"Num of reactions", "Chart2DNumOfReactions", kTimeTitle, "Reactions"},
        {"A", "Chart2DA", kTimeTitle, "Propensity [1/s]"},
        {"React prob", "Chart2DReactProb", kTimeTitle, "Probability"},
        {"Filament size", "Chart2DSizeOfFilament", kTimeTitle, "Mean size [monomers]"},
        // Sizes, not times, on its bottom axis: the window draws it from the
        // filament list, no column.
        {"Size distribution", "Chart2DSizeDistribution", "Size [monomers]", "Filaments"},
        {"Bacterium", "Chart2DBacterium", kTimeTitle, "Displacement [m]"},
    };
    auto &columns = table.Columns;
    for (std::size_t i = 0; i < CCell::SpeciesNames.size(); ++i)
        columns.push_back({CCell::SpeciesNames[i], CCell::SpeciesNames[i], "Molecules", "", "N", true, {}, true,
                           [i](const ObservationRecord &r) { return double(r.Species[i]); }});

    // The channels' counts, propensities and shares of the summed propensity
    // (none while that sum is 0).
    struct PerChannel {
        const char *Prefix, *Caption, *Unit, *Chart;
        bool Whole;
        Reader (*Read)(std::size_t);
    };
    const PerChannel perChannel[] = {
        {"n_", "Reactions", "", "Num of reactions", true,
         [](std::size_t i) -> Reader {
             return [i](const ObservationRecord &r) -> std::optional<double> {
                 if (i >= r.Occurrences.size()) // a world without that channel
                     return std::nullopt;
                 return double(r.Occurrences[i]);
             };
         }},
        {"a_", "Propensity", "1/s", "A", false,
         [](std::size_t i) -> Reader {
             return [i](const ObservationRecord &r) -> std::optional<double> {
                 if (i >= r.Propensities.size())
                     return std::nullopt;
                 return r.Propensities[i];
             };
         }},
        {"p_", "Probability", "", "React prob", false,
         [](std::size_t i) -> Reader {
             return [i](const ObservationRecord &r) -> std::optional<double> {
                 if (!r.HasProbabilities() || i >= r.Probabilities.size())
                     return std::nullopt;
                 return r.Probabilities[i];
             };
         }},
    };
    const std::vector<const char *> channels = ChannelNames();
    for (const PerChannel &kind : perChannel)
        for (std::size_t i = 0; i < channels.size(); ++i)
            columns.push_back({kind.Prefix + std::string(channels[i]), channels[i], kind.Caption, kind.Unit,
                               kind.Chart, true, {}, kind.Whole, kind.Read(i)});

    columns.push_back({"mean_size", "MeanFilamentSize", "Mean size", "monomers", "Filament size", true, 0x0000ff,
                       false, [](const ObservationRecord &r) { return r.MeanFilamentSize; }});
    // The bacterium's centre, its distance from its position at reset, and
    // that squared (whose ensemble mean is the mean squared displacement).
    using Motion = ObservationRecord::BacteriumMotion;
    const auto bacterium = [&columns](const char *name, const char *caption, const char *unit, bool charted,
                                      std::optional<unsigned> colour, Reader read) {
        columns.push_back({name, name, caption, unit, "Bacterium", charted, colour, false, std::move(read)});
    };
    bacterium("bact_x", "Position", "m", false, {}, BacteriumValue([](const Motion &m) { return m.Position.x; }));
    bacterium("bact_y", "Position", "m", false, {}, BacteriumValue([](const Motion &m) { return m.Position.y; }));
    bacterium("bact_z", "Position", "m", false, {}, BacteriumValue([](const Motion &m) { return m.Position.z; }));
    for (auto axis = columns.end() - 3; axis != columns.end(); ++axis)
        axis->Signed = true;
    bacterium("bact_disp", "Displacement", "m", true, 0x008000,
              BacteriumValue([](const Motion &m) { return m.Distance; }));
    bacterium("bact_disp2", "Squared displacement", "m^2", false, {},
              BacteriumValue([](const Motion &m) { return m.SquaredDistance; }));
    return table;
}

} // namespace

std::string ObservationColumn::Title() const
{
    return Unit.empty() ? Caption : Caption + " [" + Unit + "]";
}

const ObservationColumn *ObservationColumns::Find(std::string_view name) const
{
    for (const ObservationColumn &column : Columns)
        if (column.Name == name)
            return &column;
    return nullptr;
}

std::string ObservationColumns::NameList() const
{
    std::string text;
    const auto add = [&text](const std::string &item) { text += (text.empty() ? "" : ", ") + item; };
    for (std::size_t from = 0; from < Columns.size();) {
        std::size_t to = from + 1;
        while (to < Columns.size() && Columns[to].Chart == Columns[from].Chart)
            ++to;
        if (to - from >= 4) {
            add(Columns[from].Name);
            add("...");
            add(Columns[to - 1].Name);
        } else {
            for (std::size_t i = from; i < to; ++i)
                add(Columns[i].Name);
        }
        from = to;
    }
    return text;
}

const ObservationColumns &StandardColumns()
{
    static const ObservationColumns table = MakeStandardColumns();
    return table;
}
