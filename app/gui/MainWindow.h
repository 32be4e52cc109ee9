#pragma once

#include "Parameters.h"
#include "ViewNavigation.h"

#include <QMainWindow>

#include <array>
#include <functional>
#include <memory>
#include <vector>

class CCell;
class CSolidFilament;
class QLabel;
class QSplitter;
class QTabWidget;
class QToolBar;
class QToolButton;
class TChart;
class TScene3D;
class TSphere3D;
class TValueListEditor;
class TVertexPrimitive3DArray;
class TVertexPrimitive3DList;
class TWindow3D;

// The main window of Filonex: the parameter tables, the read-out lists, the
// charts and the 3D view of the one simulated world it owns, and the run
// control that drives that world.
//
// A run is a loop inside the start button's handler on the one user-interface
// thread. The window stays responsive because the cell calls OnObservation at
// every observation step, which refreshes the displays and then processes the
// pending window events (stop, toggles, chart tools, 3D navigation, edits).
class TfmMain : public QMainWindow {
    Q_OBJECT

public:
    enum class MessageKind { Error, Warning };
    // Shows a message to the user; the default is a message box titled
    // "Filonex". Tests pass a sink that records instead of blocking.
    using MessageSink = std::function<void(MessageKind, const QString &)>;

    // settingsPath: the settings file read now and written on close.
    explicit TfmMain(const QString &settingsPath, MessageSink messages = {},
                     QWidget *parent = nullptr);
    ~TfmMain() override;

    // "filonex.ini" beside the running executable.
    static QString SettingsFileBesideExecutable();

    // Run control.
    void FormShow();
    // Rebuilds the world from the parameter tables and refreshes the
    // displays and the scene; false (after reporting why) when a parameter
    // could not be applied.
    bool ResetAndApply();
    void BtnResertAndApplyClick();
    void BtnStartClick();
    void BtnStopClick();
    void SetRunningState(bool running);
    void OnObservation();

    // Observation displays.
    void ShowStatus();
    void ShowCurrentState();
    void ShowRateConstants();
    void ShowPropensities();
    void AddChartPoints();
    void ClearCharts();

    // The 3D scene.
    void BuildSpaceFrame();
    void UpdateBacteriumSphere();
    void AddFilamentLine(const CSolidFilament &filament);
    void RefreshScene();

    // Read access for tests and measurements.
    CCell &World() { return *Cell; }
    const ParameterStore &Parameters() const { return Store; }
    double CurrentTargetTime() const { return TargetTime; }
    bool RunInProgress() const { return RunDepth > 0; }
    // How many runs are active at once; never more than 1.
    int RunNesting() const { return RunDepth; }
    TScene3D &Scene();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    // Building the window (MainWindowLayout.cpp).
    void CreateToolBar();
    QWidget *CreateParameterPanel();
    QWidget *CreateInfoPanel();
    QWidget *Create2DPage();
    QWidget *Create3DPage();
    void CreateStatusBar();
    void CreateSceneObjects();
    TValueListEditor *CreateGrid(const ParameterTable &table, const QString &nameTitle);

    // Run control (RunControl.cpp).
    // Whether a run may start; reports why not.
    bool StartAllowed(bool withMechanics);
    void Run();
    void RefreshAfterApply(double volumeLitres);

    // Observation displays (ObservationDisplays.cpp).
    void SetStateRow(const char *key, const QString &value);
    void ShowSpeciesAndReactionCounts();
    void AddFilamentSizeDistribution();

    // The 3D page (SceneView.cpp).
    void Window3DMouseDown(QMouseEvent *event);
    void Window3DMouseMove(QMouseEvent *event);
    void Window3DMouseUp();
    void Window3DMouseWheel(QWheelEvent *event);
    void Btn3DChartResertClick();
    void SpeedButton1Click();
    void ChangeView(const std::vector<TMatrix3D> &changes);
    TXYZ BoxSize() const;

    // Chart toolbar.
    TChart *ActiveChart() const;

    // Runs a handler so that no exception escapes into Qt's event loop: the
    // error is shown instead, and the action stops where it was raised.
    void Guarded(const std::function<void()> &handler);
    void Report(MessageKind kind, const QString &text);

    QToolButton *AddToolButton(QToolBar *bar, const char *name, const QString &text,
                               const QString &hint, const QIcon &glyph, bool checkable);

    // The world and what the window keeps beside it.
    std::unique_ptr<CCell> Cell;
    double TargetTime = 0.0; // s
    ParameterStore Store;
    QString SettingsPath;
    MessageSink Messages;

    // Run-control state beyond the controls: whether the world was built by a
    // complete apply, how deep the start handler is nested (a run is never
    // nested in another), the starts and resets asked for while a stopped run
    // is still returning (done after it, in the order asked), and a close
    // asked for during a run.
    enum class DeferredAction { Start, ResetAndApply };
    bool WorldApplied = false;
    int RunDepth = 0;
    std::vector<DeferredAction> AfterRun;
    bool CloseAfterRun = false;
    bool ShownOnce = false;
    // Whether the status bar has warned of bodies far outside the box since
    // the last apply.
    bool FarOutsideWarned = false;

    // Toolbar.
    QToolButton *BtnStart = nullptr;
    QToolButton *BtnStop = nullptr;
    QToolButton *BtnResertAndApply = nullptr;
    QToolButton *BtnTextInfoT = nullptr;
    QToolButton *BtnSimChem = nullptr;
    QToolButton *BtnSimMech = nullptr;
    QToolButton *BtnExit = nullptr;

    // Panels.
    QSplitter *MainSplitter = nullptr;
    QSplitter *LeftSplitter = nullptr;
    QTabWidget *ParameterTabs = nullptr;
    QTabWidget *InfoTabs = nullptr;
    QTabWidget *PageControl = nullptr;
    std::vector<TValueListEditor *> ParameterGrids; // in table order
    TValueListEditor *ValueListCurrentState = nullptr;
    TValueListEditor *ValueListNi = nullptr;
    TValueListEditor *ValueListNumOfReactions = nullptr;
    TValueListEditor *ValueListA1i = nullptr;
    TValueListEditor *ValueListAi = nullptr;
    TValueListEditor *ValueListReactProb = nullptr;

    // The 2D page.
    QToolButton *Btn2DInfoT = nullptr;
    QTabWidget *ChartTabs = nullptr;
    TChart *Chart2DN = nullptr;
    TChart *Chart2DNumOfReactions = nullptr;
    TChart *Chart2DA = nullptr;
    TChart *Chart2DReactProb = nullptr;
    TChart *Chart2DSizeOfFilament = nullptr;

    // The 3D page.
    QToolButton *Btn3DInfoT = nullptr;
    QToolButton *Btn3DChartRotate = nullptr;
    QToolButton *Btn3DChartMoveXY = nullptr;
    QToolButton *Btn3DChartMoveZ = nullptr;
    QToolButton *SpeedButton1 = nullptr;
    QToolButton *SpeedButton2 = nullptr;
    TWindow3D *Window3D = nullptr;
    // Owned here; the scene holds them while they live and they leave it
    // when they are destroyed.
    std::unique_ptr<TVertexPrimitive3DList> FilamentLines;
    std::unique_ptr<TVertexPrimitive3DArray> SpaceFrame;
    std::unique_ptr<TSphere3D> BacteriumSphere;
    int MouseX = 0; // px, the last position seen while dragging
    int MouseY = 0;
    bool MouseDown = false;

    // Status bar panels 2 (time) and 6 (reaction count).
    QLabel *StatusTime = nullptr;
    QLabel *StatusReactions = nullptr;
    QLabel *StatusWarning = nullptr; // warnings of the run, right-aligned
};
