#pragma once

#include "Parameters.h"
#include "RunSession.h"
#include "ViewNavigation.h"

#include <QElapsedTimer>
#include <QKeySequence>
#include <QSize>
#include <QMainWindow>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class CCell;
class SettingsFile;
class QLabel;
class QSplitter;
class QTabWidget;
class QToolBar;
class QToolButton;
class RunRecording;
class TChart;
class TChartSeries;
class TCompactTabWidget;
class TRunProgress;
class TScene3D;
class TValueListEditor;
class TWindow3D;
class TWorldScene;

// The main window of Filonex: the parameter tables, the read-out lists, the
// charts and the 3D view of the one simulated world, and the run control that
// drives that world.
//
// The world and its runs belong to a run session (RunSession), which the
// window makes and subscribes to. From the start of a run until it has
// returned only the run's thread touches the cell; the window shows the
// copies the session hands over at display rate (ShowObservations): every
// observation adds its point to every chart, the lists and the status bar
// show the latest one, the 3D view one at most a hand-over old (and, once the
// run has returned, the world as the run left it). The window's own thread
// never waits on the run.
class TfmMain : public QMainWindow {
    Q_OBJECT

public:
    enum class MessageKind { Error, Warning };
    // Shows a message to the user; the default is a message box titled
    // "Filonex". Tests pass a sink that records instead of blocking.
    using MessageSink = std::function<void(MessageKind, const QString &)>;

    // The answer to a settings file that could not be written at closing.
    enum class SaveFailureChoice { Retry, CloseWithoutSaving, Cancel };
    using SaveFailurePrompt = std::function<SaveFailureChoice(const QString &error)>;

    // settingsPath: the settings file read now and written on close.
    explicit TfmMain(const QString &settingsPath, MessageSink messages = {}, QWidget *parent = nullptr);
    ~TfmMain() override;

    // "filonex.ini" beside the running executable.
    static QString SettingsFileBesideExecutable();

    // Replaces the question asked when the settings cannot be written at
    // closing (a message box by default).
    void SetSaveFailurePrompt(SaveFailurePrompt prompt) { AskAfterFailedSave = std::move(prompt); }
    // "Record" asks where the next run's movie goes (a file dialog by
    // default); tests answer instead.
    using MoviePathPrompt = std::function<QString()>;
    void SetMoviePathPrompt(MoviePathPrompt prompt) { AskMoviePath = std::move(prompt); }
    // The results `--run --quit-when-done` writes as the window closes.
    struct ResultFiles {
        std::optional<std::string> Table; // the observation table of the run
        std::optional<std::string> World; // the world at the end of the run
    };
    // Closes the window once the next run has returned, having written the
    // results; closing during a run then stops it without asking.
    void CloseWhenRunEnds(ResultFiles results = {})
    {
        CloseAfterRun = true;
        QuitResults = std::move(results);
    }
    // The runner's exit status for the run and the results at closing: a
    // failed run, a result not written, a run stopped by a signal.
    int ExitStatus() const { return ResultStatus; }
    // Closes without asking anything (SIGTERM, SIGHUP): open dialogs are
    // cancelled, a run is stopped, and settings that cannot be saved are
    // reported on standard error.
    void CloseOnSignal(int signal);
    // Once the window has closed: until the results still being written are
    // complete (a movie being encoded); everything else was written before
    // the window closed.
    void WaitForResults();

    // Run control.
    void FormShow();
    // Rebuilds the world from the parameter tables and refreshes the
    // displays and the scene; false (after reporting why) when a parameter
    // could not be applied.
    bool ResetAndApply();
    void ResetAndApplyClicked();
    void StartClicked();
    void StopClicked();
    void SetRunningState(bool running);
    // Shows what the session has handed over from the run.
    void ShowObservations(const ObservationHandover::Records &records);
    // Once after an apply, when the run has seen a body far outside.
    void ShowFarOutsideWarning();
    // Every open grid editor hands its text to the parameters.
    void CommitPendingEdits();

    // Observation displays.
    void ShowStatus(const ObservationRecord &record);
    void ShowCurrentState(const ObservationRecord &record);
    void ShowRateConstants();
    void ShowPropensities(const ObservationRecord &record);
    // Position, displacement, net speed and touching filaments; empty
    // rows in a world without a bacterium.
    void ShowBacterium(const ObservationRecord &record);
    // The cell as it is now (not during a run) as one point on every curve.
    void AddChartPoints();
    void AddChartPoint(const ObservationRecord &record);
    void ShowSizeDistribution(const FilamentSizeHistogram &sizes);
    void ClearCharts();

    // The 3D scene.
    void ShowScene(const ObservedScene &scene);
    // The scene from the cell as it is now (not during a run).
    void RefreshScene();

    // "Save world…" and "Open world…" (WorldFileActions.cpp): a dialog, then
    // the world to or from the chosen file. Both refuse during a run; a file
    // that cannot be used is reported and changes nothing. Opening refreshes
    // every display and puts the world's parameters into the grids.
    void SaveWorldClicked();
    void OpenWorldClicked();
    bool SaveWorldTo(const QString &path);
    bool OpenWorldFrom(const QString &path);

    // "Save table…" and "Save 3D picture…" (ResultActions.cpp): the
    // observations of the run since the last apply as the runner's --table,
    // and the 3D view as PNG at the view's size or the one given.
    void SaveTableClicked();
    void Save3DPictureClicked();
    bool SaveTableTo(const QString &path);
    bool Save3DPictureTo(const QString &path, QSize size = {});

    // Read access for tests and measurements; the world only while no run
    // is in progress.
    CCell &World() { return Simulation->World(); }
    const CCell &World() const { return Simulation->World(); }
    RunSession &Session() { return *Simulation; }
    const ParameterStore &Parameters() const { return Store; }
    double CurrentTargetTime() const { return TargetTime; }
    bool RunInProgress() const;
    // How many runs are active at once; never more than 1.
    int RunNesting() const { return RunInProgress() ? 1 : 0; }
    TScene3D &Scene();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    // Building the window (MainWindowLayout.cpp).
    void CreateToolBar();
    QWidget *CreateParameterPanel();
    void CreateReadoutTables();
    QWidget *CreateInfoPanel();
    QWidget *Create2DPage();
    QWidget *Create3DPage();
    void CreateStatusBar();
    void CreateSceneObjects();
    TValueListEditor *CreateGrid(ParameterTable &table, const QString &nameTitle, const QString &valueTitle);
    // Size and splitter positions from the settings, or the initial ones.
    void RestoreLayout(const SettingsFile &settings);
    // The parameters and the layout into the settings file; raises
    // SettingsWriteError.
    void SaveSettingsFile() const;

    // Run control (RunControl.cpp).
    // Whether a run may start; reports why not.
    bool StartAllowed(bool withMechanics);
    // "Start": asks about parameters not applied, then runs.
    void StartAskingAboutEdits();
    void Run();
    void OnRunFinished(const QString &error);
    // Starts and resets asked for while the last run was returning, in order,
    // up to the next run started.
    void DoDeferredActions();
    void RefreshAfterApply(double volumeLitres);
    // After an apply that stopped at a value: every display cleared, the
    // panel's title and the status bar saying so, the value selected.
    void ShowApplyFailed(const QString &error);
    // What the run records besides the counts follows the toggles and the page.
    void UpdateRecordingWishes();

    // Observation displays (ObservationDisplays.cpp).
    void SetStateRow(const char *key, const QString &value);
    // A time (s) as read off the observation grid, without rounding noise.
    QString TimeText(double seconds) const;
    // The run's progress at simulated time `time` (s): within the stretch
    // to the end time, and during a run its recent speed and the time left.
    void ShowProgress(double time);

    // The 3D page (SceneView.cpp).
    void Window3DMouseDown(QMouseEvent *event);
    void Window3DMouseMove(QMouseEvent *event);
    void Window3DMouseUp();
    void Window3DMouseWheel(QWheelEvent *event);
    void ResetViewClicked();
    void BacteriumStyleClicked();
    void ChangeView(const std::vector<TMatrix3D> &changes);
    // "Record" pressed or released, and the recording around a run.
    void RecordToggled(bool down);
    void StartRecording();
    void EndRecording(bool stopped);
    TXYZ BoxSize() const;

    // Parameters edited since the world was built (NotAppliedParameters.cpp):
    // the grids compare with the applied ones, the tabs and the panel's title
    // say so, and a start asks whether to apply them first.
    enum class NotAppliedChoice { Apply, Continue, Cancel };
    void MarkNotApplied();
    void ShowNotAppliedNotes();
    NotAppliedChoice AskAboutNotApplied();

    // Whether a world file may be written or read now; reports why not.
    bool WorldFileAllowed();
    // The run's table to path; raises OutputError.
    void WriteTable(const std::string &path) const;
    // The results of QuitResults, reporting on standard error.
    void WriteResultsAtClosing(const QString &runError);

    // Chart toolbar.
    TChart *ActiveChart() const;
    // In the order of the observation charts (see ObservationColumns.h).
    const std::vector<TChart *> &Charts() const { return ChartList; }

    // Runs a handler so that no exception escapes into Qt's event loop: the
    // error is shown instead, and the action stops where it was raised.
    void Guarded(const std::function<void()> &handler);
    void Report(MessageKind kind, const QString &text);
    SaveFailureChoice AskWithMessageBox(const QString &error);
    // "A run is in progress": true for "Stop and close".
    bool AskStopAndClose();
    // The settings at closing, asking (or, on a signal, reporting) when they
    // cannot be written; false when the user cancels the close.
    bool SaveSettingsAtClosing();

    // A button named `text` whose hint starts with its name and its key; the
    // key works wherever the button is, even behind the toolbar's "››".
    QToolButton *AddToolButton(QToolBar *bar, const char *name, const QString &text, const QString &hint,
                               const QIcon &glyph, bool checkable, const QKeySequence &key = {});
    // Keys of the whole window (KeyboardAccess.cpp).
    void AddShortcut(const QKeySequence &key, const std::function<void()> &action);
    void CreatePageShortcuts();

    // The movie of a run; destroyed after the session, whose run observes it.
    std::unique_ptr<RunRecording> Recording;
    MoviePathPrompt AskMoviePath;
    // The world with its runs, and what the window keeps beside it.
    std::unique_ptr<RunSession> Simulation;
    double TargetTime = 0.0; // s
    // The applied world's observation step, kept for the displays during a
    // run (the window reads nothing of the cell then).
    double ObservationStep = 0.0; // s
    TXYZ AppliedBoxSize;          // m, the box's sides, for the same reason
    // Every observation of the run since the last apply, its start first.
    std::vector<ObservationRecord> RunTable;
    ResultFiles QuitResults;
    int ResultStatus = 0;
    ParameterStore Store;
    // The parameters as the world was built from them, for its world file.
    ParameterStore AppliedParameters;
    // The rows of the six read-out lists after "Current state", in tab order.
    std::array<ParameterTable, 6> Readouts;
    QString SettingsPath;
    MessageSink Messages;
    SaveFailurePrompt AskAfterFailedSave;

    // Run-control state beyond the controls: whether the world was built by a
    // complete apply, the starts and resets asked for while a stopped run is
    // still returning (done after it, in the order asked), a close asked for
    // during a run, and a close without saving chosen by the user.
    enum class DeferredAction { Start, ResetAndApply };
    bool WorldApplied = false;
    bool ApplyFailed = false;
    std::vector<DeferredAction> AfterRun;
    bool CloseAfterRun = false;
    bool ClosingOnSignal = false;
    bool SavingDeclined = false;
    bool ShownOnce = false;

    // Toolbar.
    QToolButton *StartButton = nullptr;
    QToolButton *StopButton = nullptr;
    QToolButton *ResetAndApplyButton = nullptr;
    QToolButton *SaveWorldButton = nullptr;
    QToolButton *OpenWorldButton = nullptr;
    QToolButton *ListsDuringRunButton = nullptr;
    QToolButton *ChemistryOnlyButton = nullptr;
    QToolButton *WithMechanicsButton = nullptr;
    QToolButton *ExitButton = nullptr;

    // Panels.
    QSplitter *MainSplitter = nullptr;
    QSplitter *LeftSplitter = nullptr;
    TCompactTabWidget *ParameterTabs = nullptr;
    TCompactTabWidget *InfoTabs = nullptr;
    QTabWidget *PageControl = nullptr;
    std::vector<TValueListEditor *> ParameterGrids; // in table order
    TValueListEditor *CurrentStateList = nullptr;
    TValueListEditor *SpeciesList = nullptr;
    TValueListEditor *ReactionCountList = nullptr;
    TValueListEditor *RateConstantList = nullptr;
    TValueListEditor *PropensityList = nullptr;
    TValueListEditor *ProbabilityList = nullptr;
    TValueListEditor *BacteriumList = nullptr;

    // The 2D page.
    QToolButton *ChartsDuringRunButton = nullptr;
    QToolButton *LegendButton = nullptr;
    TCompactTabWidget *ChartTabs = nullptr;
    std::vector<TChart *> ChartList;
    TChart *SizeDistributionChart = nullptr;
    // The window's curve of each observation column; nullptr for those it
    // does not draw.
    std::vector<TChartSeries *> ColumnCurves;

    // The 3D page.
    QToolButton *SceneDuringRunButton = nullptr;
    QToolButton *RotateViewButton = nullptr;
    QToolButton *PanViewButton = nullptr;
    QToolButton *ZoomViewButton = nullptr;
    QToolButton *SolidBacteriumButton = nullptr;
    QToolButton *WireFrameBacteriumButton = nullptr;
    QToolButton *RecordButton = nullptr;
    TWindow3D *Window3D = nullptr;
    // The world's objects in the view's scene, which they leave when they
    // are destroyed.
    std::unique_ptr<TWorldScene> WorldObjects;
    int MouseX = 0; // px, the last position seen while dragging
    int MouseY = 0;
    bool MouseDown = false;

    // Status bar panels 2 (time) and 6 (reaction count).
    QLabel *StatusTime = nullptr;
    QLabel *StatusReactions = nullptr;
    QLabel *StatusWarning = nullptr; // warnings of the run, right-aligned
    TRunProgress *Progress = nullptr;
    // Where the progress bar starts (s): 0, or the end time of a finished run
    // that "Start" extended.
    double ProgressFrom = 0.0;
    // Since the start of the last run (invalid after an apply).
    QElapsedTimer RunClock;
};
