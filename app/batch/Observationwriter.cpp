#include "Observationwriter.h"

#include "Cell.h"
#include "Charttitles.h"
#include "Numbertext.h"

#include <array>
#include <utility>

namespace {

constexpr const char *kSpeciesChart = "N";
constexpr const char *kCountChart = "Num of reactions";
constexpr const char *kPropensityChart = "A";
constexpr const char *kProbabilityChart = "React prob";
constexpr const char *kSizeChart = "Filament size";
constexpr const char *kMeanSizeCurve = "MeanFilamentSize";
constexpr const char *kBacteriumChart = "Bacterium";

template <typename Names>
void AddTitles(std::string &header, const char *chart, const Names &names)
{
    for (const char *name : names)
        header += std::string("Curve: ") + chart + ": " + name + "\t\t";
}

// The axis titles of one chart, once per curve.
void AddCaptions(std::string &header, const char *valueTitle, std::size_t curves)
{
    for (std::size_t i = 0; i < curves; ++i)
        header += std::string(kTimeTitle) + "\t" + valueTitle + "\t";
}

void AddPoint(std::string &text, double x, double y)
{
    text += FormatNumber(x);
    text += '\t';
    text += FormatNumber(y);
    text += '\t';
}

} // namespace

ObservationWriter::ObservationWriter(const std::string &path) : file_(path)
{
    std::string header;
    AddTitles(header, kSpeciesChart, CCell::SpeciesNames);
    AddTitles(header, kCountChart, CCell::ReactionNames);
    AddTitles(header, kPropensityChart, CCell::ReactionNames);
    AddTitles(header, kProbabilityChart, CCell::ReactionNames);
    AddTitles(header, kSizeChart, std::array{kMeanSizeCurve});
    AddTitles(header, kBacteriumChart, ObservationRecord::BacteriumValueNames);
    header += "\r\n";
    AddCaptions(header, kMoleculesTitle, CCell::SpeciesNames.size());
    AddCaptions(header, kReactionsTitle, CCell::ReactionNames.size());
    AddCaptions(header, kPropensityTitle, CCell::ReactionNames.size());
    AddCaptions(header, kProbabilityTitle, CCell::ReactionNames.size());
    AddCaptions(header, kMeanSizeTitle, 1);
    AddCaptions(header, kPositionTitle, 3);
    AddCaptions(header, kDisplacementTitle, 1);
    AddCaptions(header, kSquaredDisplacementTitle, 1);
    header += "\r\n";
    file_.Write(header);
}

void ObservationWriter::Add(const ObservationRecord &record)
{
    const double t = record.Time;
    Row row;
    for (const std::int32_t count : record.Species)
        AddPoint(row.Head, t, count);
    for (const std::int64_t count : record.Occurrences)
        AddPoint(row.Head, t, static_cast<double>(count));
    for (const double propensity : record.Propensities)
        AddPoint(row.Head, t, propensity);
    AddPoint(row.Tail, t, record.MeanFilamentSize);
    if (record.Bacterium)
        for (const double value : record.Bacterium->Values())
            AddPoint(row.Tail, t, value);
    row.Tail += "\r\n";

    std::string probabilities;
    if (record.HasProbabilities())
        for (const double probability : record.Probabilities)
            AddPoint(probabilities, t, probability);
    const bool isFirst = std::exchange(first_, false);

    if (probabilitiesEnded_) {
        WriteRow(row, probabilities);
    } else if (!probabilities.empty()) {
        waiting_.push_back(std::move(row));
        WriteRow(waiting_.front(), probabilities);
        waiting_.pop_front();
    } else if (isFirst) {
        waiting_.push_back(std::move(row));
    } else {
        // Propensities all 0 during a run: nothing can react any more, so
        // the probability curves gain no further point.
        probabilitiesEnded_ = true;
        for (const Row &earlier : waiting_)
            WriteRow(earlier);
        waiting_.clear();
        WriteRow(row);
    }
}

void ObservationWriter::Finish()
{
    for (const Row &row : waiting_)
        WriteRow(row);
    waiting_.clear();
    file_.Commit();
}

void ObservationWriter::WriteRow(const Row &row, const std::string &probabilities)
{
    file_.Write(row.Head);
    file_.Write(probabilities);
    file_.Write(row.Tail);
}
