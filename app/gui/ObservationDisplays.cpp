// The read-outs of the cell: status bar, value lists and chart points, shown
// from observations (see Observation.h), and their refresh during a run.

#include "MainWindow.h"

#include "Chart.h"
#include "DisplayText.h"
#include "ValueListEditor.h"
#include "Window3d.h"

#include <QLabel>
#include <QToolButton>

void TfmMain::RefreshDisplays()
{
    if (!Handover.Take(Taken))
        return;
    ShowStatus(Taken.Latest);
    if (BtnTextInfoT->isChecked())
        ShowCurrentState(Taken.Latest);
    for (const ObservedCounts &point : Taken.ChartPoints)
        AddChartPoint(point);
    if (Taken.HasSizes)
        ShowSizeDistribution(Taken.Sizes);
    if (Taken.HasScene)
        ShowScene(Taken.Scene);
    ShowFarOutsideWarning();
}

void TfmMain::ShowStatus(const ObservedCounts &counts)
{
    for (auto [label, text] : {std::pair{StatusTime, NumberText(counts.Time)},
                               std::pair{StatusReactions, QString::number(counts.ReactionCount)}}) {
        label->setText(text);
        label->setToolTip(text);
    }
}

void TfmMain::SetStateRow(const char *key, const QString &value)
{
    ValueListCurrentState->SetValueByKey(key, value);
}

void TfmMain::ShowCurrentState(const ObservedCounts &counts)
{
    SetStateRow("STATE_TIME", NumberText(counts.Time));
    SetStateRow("STATE_REACTIONS", QString::number(counts.ReactionCount));
    ShowPropensities(counts);
    for (int i = 0; i < CCell::REACTION_COUNT; ++i)
        ValueListNumOfReactions->SetValue(i, QString::number(counts.Occurrences[std::size_t(i)]));
    for (int i = 0; i < CCell::SPECIES_COUNT; ++i)
        ValueListNi->SetValue(i, QString::number(counts.Species[std::size_t(i)]));
}

void TfmMain::ShowRateConstants()
{
    for (int i = 0; i < CCell::REACTION_COUNT; ++i)
        ValueListA1i->SetValue(i, NumberText(Cell->Reactions[std::size_t(i)].StochasticRate));
}

void TfmMain::ShowPropensities(const ObservedCounts &counts)
{
    for (int i = 0; i < CCell::REACTION_COUNT; ++i)
        ValueListAi->SetValue(i, NumberText(counts.Propensities[std::size_t(i)]));
    // With no reaction possible the probabilities are undefined; the list
    // keeps the last ones it had.
    const double sum = PropensitySum(counts);
    if (sum == 0.0)
        return;
    for (int i = 0; i < CCell::REACTION_COUNT; ++i)
        ValueListReactProb->SetValue(i, NumberText(counts.Propensities[std::size_t(i)] / sum));
}

void TfmMain::AddChartPoints()
{
    AddChartPoint(ObserveCounts(*Cell));
    FilamentSizeHistogram sizes;
    ObserveSizes(*Cell, sizes);
    ShowSizeDistribution(sizes);
}

void TfmMain::AddChartPoint(const ObservedCounts &counts)
{
    const double t = counts.Time;
    for (int i = 0; i < CCell::SPECIES_COUNT; ++i)
        Chart2DN->Series(i)->AddXY(t, double(counts.Species[std::size_t(i)]));
    for (int i = 0; i < CCell::REACTION_COUNT; ++i)
        Chart2DNumOfReactions->Series(i)->AddXY(t, double(counts.Occurrences[std::size_t(i)]));
    for (int i = 0; i < CCell::REACTION_COUNT; ++i)
        Chart2DA->Series(i)->AddXY(t, counts.Propensities[std::size_t(i)]);
    const double sum = PropensitySum(counts);
    if (sum != 0.0)
        for (int i = 0; i < CCell::REACTION_COUNT; ++i)
            Chart2DReactProb->Series(i)->AddXY(t, counts.Propensities[std::size_t(i)] / sum);
    Chart2DSizeOfFilament->Series(0)->AddXY(t, counts.MeanFilamentSize);
}

// The histogram of filament sizes over the whole range between the smallest
// and the largest, empty sizes included, with the size on the x axis.
void TfmMain::ShowSizeDistribution(const FilamentSizeHistogram &sizes)
{
    TChartSeries *distribution = Chart2DSizeOfFilament->Series(1);
    distribution->Clear();
    for (std::size_t k = 0; k < sizes.Counts.size(); ++k)
        distribution->AddXY(double(sizes.Smallest) + double(k), sizes.Counts[k]);
}

void TfmMain::ClearCharts()
{
    for (TChart *chart :
         {Chart2DN, Chart2DNumOfReactions, Chart2DA, Chart2DReactProb, Chart2DSizeOfFilament})
        for (int i = 0; i < chart->SeriesCount(); ++i)
            chart->Series(i)->Clear();
}
