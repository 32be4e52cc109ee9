// Run control: building the world from the parameters, starting, stopping
// and extending runs, and the observation callback that keeps the window
// alive during a run.

#include "MainWindow.h"

#include "Boxescape.h"
#include "Cell.h"
#include "DisplayText.h"
#include "Resetandapply.h"
#include "Scene3d.h"
#include "ValueListEditor.h"
#include "Vertexprimitive3dlist.h"
#include "Window3d.h"

#include <QCoreApplication>
#include <QLabel>
#include <QToolButton>

namespace {

// Counts the start handler in and out, also when a run ends by an error.
class RunDepthScope {
public:
    explicit RunDepthScope(int &depth) : depth_(depth) { ++depth_; }
    ~RunDepthScope() { --depth_; }
    RunDepthScope(const RunDepthScope &) = delete;
    RunDepthScope &operator=(const RunDepthScope &) = delete;

private:
    int &depth_;
};

} // namespace

void TfmMain::FormShow()
{
    if (ResetAndApply())
        SetRunningState(false);
}

bool TfmMain::ResetAndApply()
{
    // Until an apply completes the world may be half-built (no bacterium,
    // rates of the previous parameters), so no run may start from it.
    WorldApplied = false;
    try {
        const AppliedWorld world = ::ResetAndApply(Store, *Cell);
        TargetTime = world.TargetTime;
        RefreshAfterApply(world.VolumeLitres);
        FarOutsideWarned = false;
        StatusWarning->clear();
        StatusWarning->setToolTip({});
    } catch (const std::exception &error) {
        Report(MessageKind::Error, QString::fromUtf8(error.what()));
        return false;
    }
    WorldApplied = true;
    return true;
}

void TfmMain::RefreshAfterApply(double volumeLitres)
{
    ShowRateConstants();
    ShowPropensities();
    ClearCharts();
    ShowCurrentState();
    SetStateRow("STATE_VALUME", NumberText(volumeLitres));

    // The view transform is kept, so the user's rotation and zoom survive.
    FilamentLines->Vertices.clear();
    TScene3D &scene = Scene();
    const TXYZ size = BoxSize();
    scene.BoxMin = TXYZ(0.0, 0.0, 0.0);
    scene.BoxMax = size;
    scene.ProjectionMatrix = OrthoMatrix(float(-size.x), float(size.x), float(-size.y),
                                         float(size.y), float(-50 * size.z), float(50 * size.z));
    BuildSpaceFrame();
    UpdateBacteriumSphere();
    scene.ApplyBox();
    Window3D->Render();
}

void TfmMain::SetRunningState(bool running)
{
    BtnStart->setEnabled(!running);
    BtnResertAndApply->setEnabled(!running);
    BtnStop->setEnabled(running);
    // Concentrations, rates and simulation settings are fixed during a run;
    // mechanics and bacterium values stay editable for the next apply.
    for (int table = 0; table < 3; ++table)
        ParameterGrids[std::size_t(table)]->setEnabled(!running);
}

void TfmMain::BtnResertAndApplyClick()
{
    // After a stop the button is enabled while the cell is still inside its
    // run, which fires the reaction it has picked before it returns: the
    // world is rebuilt once the run has returned, not under it.
    if (RunInProgress()) {
        AfterRun.push_back(DeferredAction::ResetAndApply);
        return;
    }
    ResetAndApply();
}

void TfmMain::BtnStartClick()
{
    if (RunInProgress()) {
        // Delivered by the event processing of the run itself. After a stop
        // the run is about to return: start again once it has, instead of
        // nesting a second run inside the first.
        if (!Cell->Running)
            AfterRun.push_back(DeferredAction::Start);
        return;
    }
    Guarded([this] {
        Run();
        while (!AfterRun.empty() && !CloseAfterRun) {
            const DeferredAction action = AfterRun.front();
            AfterRun.erase(AfterRun.begin());
            if (action == DeferredAction::Start)
                Run();
            else
                ResetAndApply();
        }
    });
    AfterRun.clear();
    if (CloseAfterRun)
        close();
}

bool TfmMain::StartAllowed(bool withMechanics)
{
    if (!WorldApplied) {
        Report(MessageKind::Warning,
               tr("The parameters have not been applied completely. Correct the reported value "
                  "and press \"Reset and apply\" before starting a run."));
        return false;
    }
    const std::string problem = RunStartProblem(*Cell, withMechanics);
    if (!problem.empty()) {
        Report(MessageKind::Warning, QString::fromStdString(problem));
        return false;
    }
    return true;
}

void TfmMain::Run()
{
    // The "Ch"/"M" choice is read only here, at the start of a run.
    const bool chemistryOnly = BtnSimChem->isChecked();
    if (!StartAllowed(!chemistryOnly))
        return;
    const RunDepthScope scope(RunDepth);
    SetRunningState(true);
    if (!ExtendTargetTime(Store, *Cell, TargetTime))
        AddChartPoints(); // the starting point of every curve
    SetStateRow("STATE_MAXTIME", NumberText(TargetTime));
    ShowCurrentState();
    if (chemistryOnly)
        Cell->RunChemistry(TargetTime);
    else
        Cell->RunChemMech(TargetTime);
    // The displays keep the last observation; nothing is refreshed here.
    SetRunningState(false);
}

void TfmMain::BtnStopClick()
{
    Cell->Stop();
    SetRunningState(false);
}

void TfmMain::OnObservation()
{
    ShowStatus();
    if (BtnTextInfoT->isChecked())
        ShowCurrentState();
    if (Btn2DInfoT->isChecked())
        AddChartPoints();
    if (Btn3DInfoT->isChecked())
        RefreshScene();
    if (!FarOutsideWarned && AnyBodyFarOutsideBox(*Cell)) {
        FarOutsideWarned = true;
        QString warning = QString::fromUtf8(kBodyFarOutsideBoxWarning);
        warning[0] = warning[0].toUpper();
        StatusWarning->setText(QString::fromUtf8(kBodyFarOutsideBoxNote));
        StatusWarning->setToolTip(warning + ".");
    }
    // The only place where the window handles input during a run.
    QCoreApplication::processEvents();
}
