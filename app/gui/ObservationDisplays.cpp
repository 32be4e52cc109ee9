// The read-outs of the cell: status bar, value lists and chart points.

#include "MainWindow.h"

#include "Cell.h"
#include "Chart.h"
#include "DisplayText.h"
#include "ValueListEditor.h"

#include <QLabel>

#include <algorithm>

namespace {

double PropensitySum(const CCell &cell)
{
    double sum = 0.0;
    for (const CChemReaction &reaction : cell.Reactions)
        sum += reaction.Propensity;
    return sum;
}

} // namespace

void TfmMain::ShowStatus()
{
    StatusTime->setText(NumberText(Cell->ObsTime));
    StatusReactions->setText(QString::number(Cell->ReactionCount));
}

void TfmMain::SetStateRow(const char *key, const QString &value)
{
    SetStateValue(Store, key, value.toStdString());
    ValueListCurrentState->SetValueByKey(key, value);
}

void TfmMain::ShowCurrentState()
{
    SetStateRow("STATE_TIME", NumberText(Cell->ObsTime));
    SetStateRow("STATE_REACTIONS", QString::number(Cell->ReactionCount));
    ShowPropensities();
    ShowSpeciesAndReactionCounts();
}

void TfmMain::ShowSpeciesAndReactionCounts()
{
    for (int i = 0; i < CCell::REACTION_COUNT; ++i)
        ValueListNumOfReactions->SetValue(i, QString::number(Cell->Reactions[i].Count));
    for (int i = 0; i < CCell::SPECIES_COUNT; ++i)
        ValueListNi->SetValue(i, QString::number(Cell->Species[i]));
}

void TfmMain::ShowRateConstants()
{
    for (int i = 0; i < CCell::REACTION_COUNT; ++i)
        ValueListA1i->SetValue(i, NumberText(Cell->Reactions[i].StochasticRate));
}

void TfmMain::ShowPropensities()
{
    for (int i = 0; i < CCell::REACTION_COUNT; ++i)
        ValueListAi->SetValue(i, NumberText(Cell->Reactions[i].Propensity));
    // With no reaction possible the probabilities are undefined; the list
    // keeps the last ones it had.
    const double sum = PropensitySum(*Cell);
    if (sum == 0.0)
        return;
    for (int i = 0; i < CCell::REACTION_COUNT; ++i)
        ValueListReactProb->SetValue(i, NumberText(Cell->Reactions[i].Propensity / sum));
}

void TfmMain::AddChartPoints()
{
    const double t = Cell->ObsTime;
    for (int i = 0; i < CCell::SPECIES_COUNT; ++i)
        Chart2DN->Series(i)->AddXY(t, Cell->Species[i]);
    for (int i = 0; i < CCell::REACTION_COUNT; ++i)
        Chart2DNumOfReactions->Series(i)->AddXY(t, Cell->Reactions[i].Count);
    for (int i = 0; i < CCell::REACTION_COUNT; ++i)
        Chart2DA->Series(i)->AddXY(t, Cell->Reactions[i].Propensity);
    const double sum = PropensitySum(*Cell);
    if (sum != 0.0)
        for (int i = 0; i < CCell::REACTION_COUNT; ++i)
            Chart2DReactProb->Series(i)->AddXY(t, Cell->Reactions[i].Propensity / sum);
    Chart2DSizeOfFilament->Series(0)->AddXY(t, Cell->MeanFilamentSize());
    AddFilamentSizeDistribution();
}

// The histogram of filament sizes over the whole range between the smallest
// and the largest, empty sizes included, with the size on the x axis.
void TfmMain::AddFilamentSizeDistribution()
{
    TChartSeries *distribution = Chart2DSizeOfFilament->Series(1);
    distribution->Clear();
    if (Cell->Filaments.empty())
        return;
    const auto [smallest, largest] = std::minmax_element(
        Cell->Filaments.begin(), Cell->Filaments.end(),
        [](const auto &a, const auto &b) { return a.Monomers < b.Monomers; });
    const std::int32_t first = smallest->Monomers;
    const std::int32_t last = largest->Monomers;
    std::vector<int> counts(std::size_t(last - first) + 1, 0);
    for (const auto &filament : Cell->Filaments)
        ++counts[std::size_t(filament.Monomers - first)];
    for (std::int32_t size = first; size <= last; ++size)
        distribution->AddXY(size, counts[std::size_t(size - first)]);
}

void TfmMain::ClearCharts()
{
    for (TChart *chart :
         {Chart2DN, Chart2DNumOfReactions, Chart2DA, Chart2DReactProb, Chart2DSizeOfFilament})
        for (int i = 0; i < chart->SeriesCount(); ++i)
            chart->Series(i)->Clear();
}
