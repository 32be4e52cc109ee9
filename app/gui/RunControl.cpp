// Run control: building the world from the parameters, starting, stopping
// and extending runs on the run thread, and what happens when a run returns.

#include "MainWindow.h"

#include "Boxescape.h"
#include "Cell.h"
#include "Chart.h"
#include "CompactTabWidget.h"
#include "DisplayText.h"
#include "ParameterTableModel.h"
#include "RunProgress.h"
#include "Parameters.h"
#include "Resetandapply.h"
#include "ValueListEditor.h"
#include "Window3d.h"
#include "Worldscene.h"

#include <QLabel>
#include <QTabWidget>
#include <QToolButton>

void TfmMain::FormShow()
{
    if (ResetAndApply())
        SetRunningState(false);
}

bool TfmMain::RunInProgress() const
{
    return Simulation->Active();
}

bool TfmMain::ResetAndApply()
{
    // Until an apply completes the world may be half-built (no bacterium,
    // rates of the previous parameters), so no run may start from it.
    WorldApplied = false;
    try {
        const AppliedWorld world = ::ResetAndApply(Store, World());
        TargetTime = world.TargetTime;
        AppliedParameters = Store;
        ApplyFailed = false;
        MarkNotApplied();
        RefreshAfterApply(world.VolumeLitres);
        Simulation->ForgetBodiesFarOutside();
        StatusWarning->clear();
        StatusWarning->setToolTip({});
    } catch (const std::exception &error) {
        ShowApplyFailed(QString::fromUtf8(error.what()));
        Report(MessageKind::Error, QString::fromUtf8(error.what()));
        return false;
    }
    WorldApplied = true;
    return true;
}

void TfmMain::ShowApplyFailed(const QString &error)
{
    // The cell is half-built now; no display may pass the world it showed
    // before for the one in the grids.
    ApplyFailed = true;
    RunClock.invalidate();
    RunTable.clear();
    ClearCharts();
    for (TValueListEditor *list : {CurrentStateList, SpeciesList, ReactionCountList, RateConstantList,
                                   PropensityList, ProbabilityList, BacteriumList})
        for (int row = 0; row < list->RowCount(); ++row)
            list->SetValue(row, {});
    ShowScene({});
    StatusTime->clear();
    StatusReactions->clear();
    Progress->Clear();
    StatusWarning->setText(tr("No world: \"Reset and apply\" failed"));
    StatusWarning->setToolTip(error);
    ShowNotAppliedNotes();
    // The value at fault, in sight and selected.
    for (std::size_t t = 0; t < Store.Tables.size() && t < ParameterGrids.size(); ++t)
        for (std::size_t row = 0; row < Store.Tables[t].Rows.size(); ++row)
            if (error.startsWith(Text(ParameterName(Store.Tables[t], Store.Tables[t].Rows[row])))) {
                ParameterTabs->setCurrentIndex(int(t));
                TValueListEditor *grid = ParameterGrids[t];
                grid->setCurrentIndex(grid->model()->index(int(row), TParameterTableModel::ValueColumn));
                grid->setFocus();
                return;
            }
}

void TfmMain::RefreshAfterApply(double volumeLitres)
{
    RunClock.invalidate();
    ProgressFrom = 0.0;
    RunTable.clear();
    ObservationStep = World().ObsTimeStep;
    // Times are read to the observation step; the size distribution's x is
    // in whole monomers.
    for (TChart *chart : Charts())
        if (chart != SizeDistributionChart)
            chart->SetXResolution(ObservationStep);
    const ObservationRecord record = RecordObservation(World());
    ShowRateConstants();
    ShowPropensities(record);
    ClearCharts();
    ShowStatus(record);
    ShowCurrentState(record);
    SetStateRow("STATE_VALUME", NumberText(volumeLitres));
    SetStateRow("STATE_MAXTIME", TimeText(TargetTime));

    // The view transform is kept, so the user's rotation and zoom survive.
    AppliedBoxSize = {World().Size.x, World().Size.y, World().Size.z};
    WorldObjects->SetBox(BoxSize());
    RefreshScene();
}

void TfmMain::SetRunningState(bool running)
{
    StartButton->setEnabled(!running);
    ResetAndApplyButton->setEnabled(!running);
    SaveWorldButton->setEnabled(!running);
    OpenWorldButton->setEnabled(!running);
    RecordButton->setEnabled(!running);
    StopButton->setEnabled(running);
    // Concentrations, rates and simulation settings are fixed during a run;
    // mechanics and bacterium values stay editable for the next apply.
    for (int table = 0; table < 3; ++table)
        ParameterGrids[std::size_t(table)]->setEnabled(!running);
}

void TfmMain::CommitPendingEdits()
{
    for (TValueListEditor *grid : ParameterGrids)
        grid->CommitPendingEdit();
}

void TfmMain::ResetAndApplyClicked()
{
    CommitPendingEdits();
    // After a stop the button is enabled while the run is still returning:
    // it fires the reaction it has picked before it does. The world is
    // rebuilt once the run has returned, not under it.
    if (RunInProgress()) {
        AfterRun.push_back(DeferredAction::ResetAndApply);
        return;
    }
    ResetAndApply();
}

void TfmMain::StartClicked()
{
    CommitPendingEdits();
    if (RunInProgress()) {
        // After a stop the run is about to return: start again once it has,
        // instead of running two at once.
        if (Simulation->Returning())
            AfterRun.push_back(DeferredAction::Start);
        return;
    }
    StartAskingAboutEdits();
}

void TfmMain::StartAskingAboutEdits()
{
    if (WorldApplied) {
        const NotAppliedChoice choice = AskAboutNotApplied();
        if (choice == NotAppliedChoice::Cancel || (choice == NotAppliedChoice::Apply && !ResetAndApply()))
            return;
    }
    Guarded([this] { Run(); });
}

bool TfmMain::StartAllowed(bool withMechanics)
{
    if (!WorldApplied) {
        Report(MessageKind::Warning,
               tr("The parameters have not been applied completely. Correct the reported value "
                  "and press \"Reset and apply\" before starting a run."));
        return false;
    }
    const std::string problem = RunStartProblem(World(), withMechanics);
    if (!problem.empty()) {
        Report(MessageKind::Warning, QString::fromStdString(problem));
        return false;
    }
    return true;
}

void TfmMain::Run()
{
    // The "Ch"/"M" choice is read only here, at the start of a run.
    const bool chemistryOnly = ChemistryOnlyButton->isChecked();
    if (!StartAllowed(!chemistryOnly))
        return;
    SetRunningState(true);
    // The starting point of every curve; a stopped run continues on the grid
    // of its observations, and a finished one after its last observation.
    const double finishedEnd = TargetTime;
    if (ExtendTargetTime(Store, World(), TargetTime)) {
        ProgressFrom = finishedEnd;
        // The grid's maximum time is taken now: it is applied.
        AppliedParameters.Table(kSimulation)->Find("SIM_TIME")->Value =
            Store.Table(kSimulation)->Find("SIM_TIME")->Value;
        MarkNotApplied();
    } else if (ChartList.front()->Series(0)->Count() == 0) {
        AddChartPoints();
    }
    SetStateRow("STATE_MAXTIME", TimeText(TargetTime));
    const ObservationRecord start = RecordObservation(World());
    // The table of the run begins with the world it starts from.
    if (RunTable.empty())
        RunTable.push_back(start);
    ShowCurrentState(start);
    RunClock.invalidate();
    ShowProgress(start.Time);
    Progress->BeginRun(start.Time);
    RunClock.start();
    ShowStatus(start);
    UpdateRecordingWishes();
    StartRecording();
    Simulation->Start(TargetTime, !chemistryOnly);
}

void TfmMain::UpdateRecordingWishes()
{
    Simulation->SetRecording(ChartsDuringRunButton->isChecked(),
                             SceneDuringRunButton->isChecked() && PageControl->currentIndex() == 1);
}

void TfmMain::OnRunFinished(const QString &error)
{
    // The session has handed over the last observations; the status and the
    // scene as the run left the world (a stop ends it between observations).
    EndRecording(!error.isEmpty() || World().Time < TargetTime);
    if (CloseAfterRun) {
        // Nobody is left to answer a message: errors go to standard error.
        // Nor to see the displays, which are not drawn again (the scene of a
        // large network takes a while on a busy machine).
        WriteResultsAtClosing(error);
        AfterRun.clear();
        close();
        return;
    }
    const ObservationRecord record = RecordObservation(World());
    ShowStatus(record);
    if (ListsDuringRunButton->isChecked())
        ShowCurrentState(record);
    if (Simulation->RecordsScene())
        RefreshScene();
    if (!error.isEmpty()) {
        // The controls stay as in a run until the stop button.
        Report(MessageKind::Error, error);
        AfterRun.clear();
    } else {
        SetRunningState(false);
    }
    DoDeferredActions();
}

void TfmMain::DoDeferredActions()
{
    while (!AfterRun.empty() && !RunInProgress()) {
        const DeferredAction action = AfterRun.front();
        AfterRun.erase(AfterRun.begin());
        if (action == DeferredAction::Start)
            StartAskingAboutEdits();
        else
            ResetAndApply();
    }
}

void TfmMain::StopClicked()
{
    Simulation->Stop();
    SetRunningState(false);
}

void TfmMain::ShowFarOutsideWarning()
{
    QString warning = QString::fromUtf8(kBodyFarOutsideBoxWarning);
    warning[0] = warning[0].toUpper();
    StatusWarning->setText(QString::fromUtf8(kBodyFarOutsideBoxNote));
    StatusWarning->setToolTip(warning + ".");
}
