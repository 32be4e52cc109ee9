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
#include <QProgressBar>
#include <QToolButton>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <optional>

void TfmMain::ShowObservations(const ObservationHandover::Records &records)
{
    ShowStatus(records.Latest());
    if (ListsDuringRunButton->isChecked())
        ShowCurrentState(records.Latest());
    RunTable.insert(RunTable.end(), records.Observations.begin(), records.Observations.end());
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

namespace {

// A wall-clock duration as "7 s", "2:05" or "1:02:05".
QString DurationText(double seconds)
{
    const auto whole = std::llround(std::min(seconds, 1e9));
    if (whole < 60)
        return QObject::tr("%1 s").arg(whole);
    const QString minutesSeconds = QString("%1:%2").arg((whole / 60) % 60).arg(whole % 60, 2, 10, QChar('0'));
    if (whole < 3600)
        return minutesSeconds;
    return QString("%1:%2").arg(whole / 3600).arg(minutesSeconds.rightJustified(5, '0'));
}

} // namespace

void TfmMain::ShowProgress(double time)
{
    const double fraction = TargetTime > 0.0 ? std::clamp(time / TargetTime, 0.0, 1.0) : 0.0;
    StatusProgress->setValue(int(std::lround(fraction * ProgressSteps)));
    StatusProgress->setFormat(tr("%1 of %2 s").arg(TimeText(time), TimeText(TargetTime)));
    const double elapsed = RunClock.isValid() ? double(RunClock.elapsed()) / 1000.0 : 0.0; // s
    const double simulated = time - RunStartTime;                                          // s
    if (elapsed <= 0.0 || simulated <= 0.0) {
        StatusSpeed->clear();
        StatusTimeLeft->clear();
        return;
    }
    const double speed = simulated / elapsed; // simulated s per s
    // Three significant digits.
    const double digit = std::pow(10.0, std::floor(std::log10(speed)) - 2.0);
    StatusSpeed->setText(tr("%1 s/s").arg(QString::fromStdString(FormatOnGrid(speed, digit))));
    const double left = std::max(0.0, TargetTime - time) / speed; // s
    StatusTimeLeft->setText(tr("%1 left").arg(DurationText(left)));
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
    // In the order of kBacteriumReadouts.
    QStringList values;
    if (const auto &bacterium = record.Bacterium) {
        const std::optional<double> velocity = record.BacteriumMeanVelocity();
        values = {NumberText(bacterium->Position.x),
                  NumberText(bacterium->Position.y),
                  NumberText(bacterium->Position.z),
                  NumberText(bacterium->Distance),
                  velocity ? NumberText(*velocity) : QString(),
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
