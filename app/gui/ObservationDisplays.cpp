// The read-outs of the cell: status bar, value lists and chart points, shown
// from observations (see Observationrecord.h and WorldSnapshots.h), handed
// over by the run session during a run.

#include "MainWindow.h"

#include "BacteriumReadouts.h"
#include "Chart.h"
#include "DisplayText.h"
#include "ObservationColumns.h"
#include "ValueListEditor.h"
#include "Window3d.h"

#include <QLabel>
#include "RunProgress.h"

#include <QProgressBar>
#include <QToolButton>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <optional>

void TfmMain::ShowObservations(const ObservationHandover::Records &records)
{
    RunTable.insert(RunTable.end(), records.Observations.begin(), records.Observations.end());
    // The last hand-over of a run that ends the window goes to the table only.
    if (CloseAfterRun && Simulation->Returning())
        return;
    ShowStatus(records.Latest());
    if (ListsDuringRunButton->isChecked())
        ShowCurrentState(records.Latest());
    if (ChartsDuringRunButton->isChecked())
        for (const ObservationRecord &point : records.Observations)
            AddChartPoint(point);
    if (records.HasSizes)
        ShowSizeDistribution(records.Sizes);
    if (records.HasScene)
        ShowScene(records.Scene);
}

void TfmMain::ShowStatus(const ObservationRecord &record)
{
    ShowProgress(record.Time);
    for (auto [label, text] : {std::pair{StatusTime, TimeText(record.Time)},
                               std::pair{StatusReactions, QString::number(record.ReactionCount)}}) {
        label->setText(text);
        label->setToolTip(text);
    }
}

void TfmMain::ShowProgress(double time)
{
    if (RunClock.isValid())
        Progress->ShowRun(time, double(RunClock.nsecsElapsed()) * 1e-9);
    else
        Progress->ShowWorld(time, ProgressFrom, TargetTime, ObservationStep);
}

QString TfmMain::TimeText(double seconds) const
{
    return QString::fromStdString(FormatOnGrid(seconds, ObservationStep));
}

void TfmMain::SetStateRow(const char *key, const QString &value)
{
    CurrentStateList->SetValueByKey(key, value);
}

void TfmMain::ShowCurrentState(const ObservationRecord &record)
{
    SetStateRow("STATE_TIME", TimeText(record.Time));
    SetStateRow("STATE_REACTIONS", QString::number(record.ReactionCount));
    ShowPropensities(record);
    for (int i = 0; i < CCell::REACTION_COUNT; ++i)
        ReactionCountList->SetValue(i, QString::number(record.Occurrences[std::size_t(i)]));
    for (int i = 0; i < CCell::SPECIES_COUNT; ++i)
        SpeciesList->SetValue(i, QString::number(record.Species[std::size_t(i)]));
    ShowBacterium(record);
}

void TfmMain::ShowBacterium(const ObservationRecord &record)
{
    // In the order of kBacteriumReadouts: lengths in µm to 1 nm, the speed
    // in µm/min to three significant digits.
    const auto micrometres = [](double metres) {
        return QString::fromStdString(FormatOnGrid(metres * 1e6, 0.001));
    };
    const auto perMinute = [](double metresPerSecond) {
        const double speed = metresPerSecond * 1e6 * 60; // µm/min
        const double digit = speed > 0 ? std::pow(10.0, std::floor(std::log10(speed)) - 2.0) : 1.0;
        return QString::fromStdString(FormatOnGrid(speed, digit));
    };
    QStringList values;
    if (const auto &bacterium = record.Bacterium) {
        const std::optional<double> velocity = record.BacteriumMeanVelocity();
        values = {micrometres(bacterium->Position.x),
                  micrometres(bacterium->Position.y),
                  micrometres(bacterium->Position.z),
                  micrometres(bacterium->Distance),
                  velocity ? perMinute(*velocity) : QString(),
                  QString::number(bacterium->TouchingFilaments)};
    }
    for (int i = 0; i < int(std::size(kBacteriumReadouts)); ++i)
        BacteriumList->SetValue(i, values.value(i));
}

void TfmMain::ShowRateConstants()
{
    for (int i = 0; i < CCell::REACTION_COUNT; ++i)
        RateConstantList->SetValue(i, NumberText(World().Reactions[std::size_t(i)].StochasticRate));
}

void TfmMain::ShowPropensities(const ObservationRecord &record)
{
    for (int i = 0; i < CCell::REACTION_COUNT; ++i)
        PropensityList->SetValue(i, NumberText(record.Propensities[std::size_t(i)]));
    // With no reaction possible the probabilities are undefined; the list
    // keeps the last ones it had.
    if (!record.HasProbabilities())
        return;
    for (int i = 0; i < CCell::REACTION_COUNT; ++i)
        ProbabilityList->SetValue(i, NumberText(record.Probabilities[std::size_t(i)]));
}

void TfmMain::AddChartPoints()
{
    AddChartPoint(RecordObservation(World()));
    FilamentSizeHistogram sizes;
    ObserveSizes(World(), sizes);
    ShowSizeDistribution(sizes);
}

void TfmMain::AddChartPoint(const ObservationRecord &record)
{
    const std::vector<ObservationColumn> &columns = StandardColumns().Columns;
    for (std::size_t i = 0; i < columns.size(); ++i)
        if (ColumnCurves[i])
            if (const std::optional<double> value = columns[i].Read(record))
                ColumnCurves[i]->AddXY(record.Time, *value);
}

// The histogram of filament sizes over the whole range between the smallest
// and the largest, empty sizes included, with the size on the x axis.
void TfmMain::ShowSizeDistribution(const FilamentSizeHistogram &sizes)
{
    TChartSeries *distribution = SizeDistributionChart->Series(0);
    distribution->Clear();
    for (std::size_t k = 0; k < sizes.Counts.size(); ++k)
        distribution->AddXY(double(sizes.Smallest) + double(k), sizes.Counts[k]);
}

void TfmMain::ClearCharts()
{
    for (TChart *chart : Charts())
        for (int i = 0; i < chart->SeriesCount(); ++i)
            chart->Series(i)->Clear();
}
