// Drives the real main window: first show, runs started and stopped from the
// toolbar, extension of a finished run, refused starts, failed applies, the
// 3D navigation and the settings written on close.

#include "MainWindow.h"

#include "Cell.h"
#include "Chart.h"
#include "Scene3d.h"
#include "Sphere3d.h"
#include "ValueListEditor.h"
#include "Vertexprimitive3dlist.h"
#include "Window3d.h"

#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QRegularExpression>
#include <QStatusBar>
#include <QMouseEvent>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWheelEvent>

#include <clocale>
#include <cmath>
#include <functional>
#include <memory>

namespace {

constexpr double Avogadro = 6.0221415e23;
constexpr double Pi = 3.14159265358979323846;

// One window on a settings file in a fresh folder, with its messages recorded.
struct Session {
    QTemporaryDir folder;
    QString settingsPath = folder.filePath("filonex.ini");
    QStringList errors;
    QStringList warnings;
    std::unique_ptr<TfmMain> window;

    void Open()
    {
        window = std::make_unique<TfmMain>(settingsPath, [this](TfmMain::MessageKind kind,
                                                                const QString &text) {
            (kind == TfmMain::MessageKind::Error ? errors : warnings) << text;
        });
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }

    template <class T> T *Find(const char *name) const
    {
        T *widget = window->findChild<T *>(name);
        if (!widget)
            qFatal("no widget %s", name);
        return widget;
    }
    TValueListEditor *Grid(const char *name) const { return Find<TValueListEditor>(name); }
    QToolButton *Button(const char *name) const { return Find<QToolButton>(name); }
    TChart *Chart(const char *name) const { return Find<TChart>(name); }
    CCell &Cell() const { return window->World(); }

    void Click(const char *name) const { QTest::mouseClick(Button(name), Qt::LeftButton); }

    // Types into a parameter grid the way an edit arrives from the user.
    void SetParameter(const char *grid, const char *key, const QString &text) const
    {
        TValueListEditor *editor = Grid(grid);
        const int row = editor->RowOfKey(key);
        QVERIFY(row >= 0);
        editor->item(row, 1)->setText(text);
        QCOMPARE(QString::fromStdString(ParameterText(window->Parameters(), grid, key)), text);
    }

    QString State(const char *key) const
    {
        TValueListEditor *state = Grid("ValueListCurrentState");
        return state->Value(state->RowOfKey(key));
    }

    // Runs action from inside the next observation of a run (the window
    // processes its pending events there).
    void AtNextObservation(std::function<void()> action) const
    {
        QTimer::singleShot(0, window.get(), std::move(action));
    }

    // A quick world: chemistry alone, short maximum time.
    void QuickChemistry(const QString &maxTime) const
    {
        SetParameter("ValueListSimulation", "SIM_TIME", maxTime);
        if (!Button("BtnSimChem")->isChecked())
            Click("BtnSimChem");
        Click("BtnResertAndApply");
    }

    int Points(const char *chart, int curve = 0) const
    {
        return Chart(chart)->Series(curve)->Count();
    }
};

double SphereVolume(double radius)
{
    return 4.0 / 3.0 * Pi * radius * radius * radius;
}

void CompareMatrices(const TMatrix3D &actual, const TMatrix3D &expected, float tolerance)
{
    for (int i = 0; i < 16; ++i)
        if (std::abs(actual[i] - expected[i]) > tolerance)
            QFAIL(qPrintable(QString("element %1: %2, expected %3")
                                 .arg(i)
                                 .arg(double(actual[i]))
                                 .arg(double(expected[i]))));
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // Expected texts are written with a decimal point, whatever the
        // machine's locale (the application object adopted it).
        std::setlocale(LC_NUMERIC, "C");
    }

    void FirstShowWithDefaults()
    {
        Session s;
        s.Open();
        QVERIFY(s.errors.isEmpty());
        QCOMPARE(s.window->windowTitle(), QString("Filonex"));

        TValueListEditor *state = s.Grid("ValueListCurrentState");
        QVERIFY(!state->isEnabled());
        QCOMPARE(state->horizontalHeaderItem(0)->text(), QString("Parameter"));
        QCOMPARE(state->item(state->RowOfKey("STATE_VALUME"), 0)->text(),
                 QString("Volume [litres]"));
        QCOMPARE(s.State("STATE_VALUME"), QString("8E-15"));
        QCOMPARE(s.State("STATE_TIME"), QString("0"));
        QCOMPARE(s.State("STATE_REACTIONS"), QString("0"));

        // Populations: StochasticRound of C x 8e-18 m3 x 1000 x Avogadro x 1e-6.
        TValueListEditor *species = s.Grid("ValueListNi");
        QCOMPARE(species->horizontalHeaderItem(0)->text(), QString("Player"));
        const char *names[] = {"ACG", "ACF", "FIB", "FIP", "CAP", "CAF", "ARP", "ARF", "ARB", "ADC"};
        const double concentrations[] = {12, 0, 0, 0, 1, 0, 0.3, 0, 0, 1};
        QCOMPARE(species->RowCount(), 10);
        for (int i = 0; i < 10; ++i) {
            QCOMPARE(species->item(i, 0)->text(), QString(names[i]));
            const double expected = concentrations[i] * 8e-18 * 1000 * Avogadro * 1e-6;
            const double shown = species->Value(i).toDouble();
            QVERIFY2(shown == std::floor(expected) || shown == std::floor(expected) + 1,
                     qPrintable(names[i]));
        }

        // The stochastic rate constant of FORM: k / (Avogadro 1e-6 V)^2 with
        // V the box less the bacterium and its shell, in litres.
        const double bodyVolume = SphereVolume(2e-7);
        const double shellVolume = SphereVolume(2.2e-7) - bodyVolume;
        const double formLitres = (8e-18 - bodyVolume - shellVolume) * 1000;
        const double formRate = 1e-6 / std::pow(Avogadro * 1e-6 * formLitres, 2);
        TValueListEditor *rates = s.Grid("ValueListA1i");
        QCOMPARE(rates->horizontalHeaderItem(0)->text(), QString("Reaction"));
        QCOMPARE(rates->item(8, 0)->text(), QString("FORM2"));
        QVERIFY(std::abs(rates->Value(0).toDouble() / formRate - 1) < 1e-12);
        // ASSB: 11.6 / (Avogadro 1e-6 8e-15) with the volume exponent 1.
        QVERIFY(std::abs(rates->Value(1).toDouble() / (11.6 / (Avogadro * 1e-6 * 8e-15)) - 1) <
                1e-12);
        for (int i = 0; i < 9; ++i)
            QCOMPARE(s.Grid("ValueListAi")->Value(i), QString("0"));

        // Ten status panels; time and reaction count keep their design texts
        // until the first observation.
        const QList<QLabel *> panels =
            s.window->statusBar()->findChildren<QLabel *>(Qt::FindDirectChildrenOnly);
        QCOMPARE(panels.size(), 10);
        QCOMPARE(panels[1]->text(), QString("Time:"));
        QCOMPARE(panels[2]->text(), QString("0.01"));
        QCOMPARE(panels[3]->text(), QString("s"));
        QCOMPARE(panels[5]->text(), QString("Number of reactions:"));
        QCOMPARE(panels[6]->text(), QString("123400"));

        QVERIFY(s.Button("BtnStart")->isEnabled());
        QVERIFY(!s.Button("BtnStop")->isEnabled());
        QVERIFY(s.Button("BtnResertAndApply")->isEnabled());
        QVERIFY(s.Button("BtnTextInfoT")->isChecked());
        QVERIFY(s.Button("Btn2DInfoT")->isChecked());
        QVERIFY(s.Button("Btn3DInfoT")->isChecked());
        QVERIFY(!s.Button("BtnSimChem")->isChecked());
        QVERIFY(s.Button("BtnSimMech")->isChecked());
        QCOMPARE(s.Button("BtnExit")->toolTip(), QString("Exit the program"));
        QCOMPARE(s.Find<QTabWidget>("PageControlMain")->currentIndex(), 1);
        QCOMPARE(s.Find<QTabWidget>("PageControlParameters")->tabText(
                     s.Find<QTabWidget>("PageControlParameters")->currentIndex()),
                 QString("Simulation"));

        TChart *n = s.Chart("Chart2DN");
        QCOMPARE(n->SeriesCount(), 10);
        QCOMPARE(n->Series(9)->Title(), QString("ADC"));
        QCOMPARE(n->BottomAxis().Title(), QString("Time"));
        QCOMPARE(n->LeftAxis().Title(), QString("Number of molecules"));
        QCOMPARE(s.Chart("Chart2DReactProb")->SeriesCount(), 9);
        QCOMPARE(s.Chart("Chart2DSizeOfFilament")->Series(1)->Title(),
                 QString("FilamentSizeDistrib"));
        QCOMPARE(s.Points("Chart2DN"), 0);

        // The scene: box and projection of the 2 um cube.
        TScene3D &scene = s.window->Scene();
        QCOMPARE(scene.Count(), 3);
        QCOMPARE(scene.BoxMax.x, 2e-6);
        QVERIFY(std::abs(scene.ProjectionMatrix[0] - float(2 / 4e-6)) < 1.0f);
        QVERIFY(std::abs(scene.ProjectionMatrix[10] - float(2 / 2e-4)) < 1e-3f);
    }

    void RunStartedAndStoppedFromTheToolbarContinuesOnRestart()
    {
        Session s;
        s.Open();
        bool checkedRunningControls = false;
        s.AtNextObservation([&] {
            QVERIFY(s.window->RunInProgress());
            QVERIFY(!s.Button("BtnStart")->isEnabled());
            QVERIFY(!s.Button("BtnResertAndApply")->isEnabled());
            QVERIFY(s.Button("BtnStop")->isEnabled());
            QVERIFY(!s.Grid("ValueListConcentrations")->isEnabled());
            QVERIFY(!s.Grid("ValueListSimulation")->isEnabled());
            QVERIFY(s.Grid("ValueListMechanics")->isEnabled());
            QVERIFY(s.Grid("ValueListBacterium")->isEnabled());
            checkedRunningControls = true;
            s.Click("BtnStop");
        });
        s.Click("BtnStart");
        QVERIFY(checkedRunningControls);
        QVERIFY(!s.window->RunInProgress());
        QVERIFY(s.Button("BtnStart")->isEnabled());
        QVERIFY(!s.Button("BtnStop")->isEnabled());
        QVERIFY(s.Grid("ValueListConcentrations")->isEnabled());

        // The starting point at 0 and the observation at 0.01 s.
        TChartSeries *acg = s.Chart("Chart2DN")->Series(0);
        QCOMPARE(acg->Count(), 2);
        QCOMPARE(acg->XValue(0), 0.0);
        QVERIFY(std::abs(acg->XValue(1) - 0.01) < 1e-12);
        for (const char *chart : {"Chart2DNumOfReactions", "Chart2DA", "Chart2DSizeOfFilament"})
            QCOMPARE(s.Points(chart), 2);
        QCOMPARE(s.Find<QLabel>("StatusTime")->text(), QString("0.01"));
        QCOMPARE(s.State("STATE_MAXTIME"), QString("100"));
        const double stoppedAt = s.Cell().Time;
        const int reactions = s.Cell().ReactionCount;
        QVERIFY(reactions > 0);
        QVERIFY(stoppedAt >= 0.01);

        // Starting again continues the same world towards the same end.
        s.AtNextObservation([&] { s.Click("BtnStop"); });
        s.Click("BtnStart");
        QCOMPARE(acg->Count(), 4);
        QCOMPARE(acg->XValue(2), stoppedAt);
        QVERIFY(std::abs(acg->XValue(3) - (stoppedAt + 0.01)) < 1e-12);
        QVERIFY(s.Cell().Time > stoppedAt);
        QVERIFY(s.Cell().ReactionCount > reactions);
        QCOMPARE(s.window->CurrentTargetTime(), 100.0);
        QVERIFY(s.errors.isEmpty());
        QVERIFY(s.warnings.isEmpty());
    }

    void FinishedRunIsExtendedByTheMaximumTime()
    {
        Session s;
        s.Open();
        s.QuickChemistry("0.05");
        s.Click("BtnStart");
        QCOMPARE(s.window->CurrentTargetTime(), 0.05);
        const double endedAt = s.Cell().ObsTime;
        QVERIFY(endedAt >= 0.05);
        const int points = s.Points("Chart2DN");
        QVERIFY(points >= 5);
        QVERIFY(s.Button("BtnStart")->isEnabled());

        // SIM_TIME is read again at the restart of a finished run.
        s.SetParameter("ValueListSimulation", "SIM_TIME", "0.03");
        s.Click("BtnStart");
        QVERIFY(std::abs(s.window->CurrentTargetTime() - 0.08) < 1e-15);
        QCOMPARE(s.State("STATE_MAXTIME"), QString("0.08"));
        QVERIFY(s.Cell().ObsTime >= 0.08);
        // No starting point: the next point is the first observation after
        // the end of the finished run.
        TChartSeries *acg = s.Chart("Chart2DN")->Series(0);
        QVERIFY(acg->Count() > points);
        QVERIFY(std::abs(acg->XValue(points) - (endedAt + 0.01)) < 1e-12);
    }

    void ObservationTogglesAndDisplaysFollowTheCell()
    {
        Session s;
        s.Open();
        s.QuickChemistry("0.2");
        s.Click("Btn2DInfoT"); // charts off for the whole run
        s.Click("BtnStart");
        QCOMPARE(s.Points("Chart2DN"), 1);
        QCOMPARE(s.Points("Chart2DSizeOfFilament", 0), 1);

        // The lists and the 3D lines show the last observation; the final
        // chart points are taken now from the cell as it is.
        CCell &cell = s.Cell();
        QVERIFY(!cell.Filaments.empty());
        s.window->AddChartPoints();
        int smallest = cell.Filaments.front().Monomers, largest = smallest;
        for (const auto &f : cell.Filaments) {
            smallest = std::min(smallest, f.Monomers);
            largest = std::max(largest, f.Monomers);
        }
        TChartSeries *distribution = s.Chart("Chart2DSizeOfFilament")->Series(1);
        QCOMPARE(distribution->Count(), largest - smallest + 1);
        double total = 0;
        for (int k = 0; k < distribution->Count(); ++k) {
            QCOMPARE(distribution->XValue(k), double(smallest + k));
            int expected = 0;
            for (const auto &f : cell.Filaments)
                expected += f.Monomers == smallest + k;
            QCOMPARE(distribution->YValue(k), double(expected));
            total += distribution->YValue(k);
        }
        QCOMPARE(total, double(cell.Filaments.size()));
        double sizes = 0;
        for (const auto &f : cell.Filaments)
            sizes += f.Monomers;
        QCOMPARE(s.Chart("Chart2DSizeOfFilament")->Series(0)->YValue(1),
                 sizes / double(cell.Filaments.size()));

        s.window->RefreshScene();
        auto *lines = dynamic_cast<TVertexPrimitive3DList *>(s.window->Scene().Item(0));
        QVERIFY(lines != nullptr);
        QCOMPARE(lines->Vertices.size(), 2 * cell.Filaments.size());
        auto vertex = lines->Vertices.begin();
        for (const auto &f : cell.Filaments) {
            const CVector barbed = f.GetBarbedEnd();
            QCOMPARE(vertex->Position.x, barbed.x);
            QCOMPARE(vertex->Color, f.Capped ? TRGBA(0xFFFF) : TRGBA(0xFF0000));
            ++vertex;
            QCOMPARE(vertex->Position.z, f.GetPointedEnd().z);
            QCOMPARE(vertex->Color, TRGBA(0xFF));
            ++vertex;
        }

        s.Click("Btn2DChartClear");
        for (const char *chart : {"Chart2DN", "Chart2DNumOfReactions", "Chart2DA",
                                  "Chart2DReactProb", "Chart2DSizeOfFilament"})
            QCOMPARE(s.Points(chart), 0);
        QCOMPARE(s.Chart("Chart2DN")->SeriesCount(), 10);
    }

    void BodiesFlungOutOfTheBoxAreWarnedOfInTheStatusBar()
    {
        Session s;
        s.Open();
        s.SetParameter("ValueListMechanics", "MECH_BROWNIANFORCE", "1E-8");
        s.SetParameter("ValueListMechanics", "MECH_FRICCOEF", "1E20");
        s.SetParameter("ValueListSimulation", "SIM_TIME", "0.05");
        s.Click("BtnResertAndApply");
        s.Click("BtnStart");
        QLabel *warning = s.window->findChild<QLabel *>("StatusWarning");
        QCOMPARE(warning->text(), QString("Bodies far outside the box"));
        QVERIFY(warning->toolTip().startsWith("A body lies more than one box size outside"));
        s.Click("BtnResertAndApply");
        QVERIFY(warning->text().isEmpty());
    }

    void InvalidParameterIsReportedAndStopsTheApply()
    {
        Session s;
        s.Open();
        s.SetParameter("ValueListSimulation", "SIM_CUBESIZE", "3");
        s.SetParameter("ValueListConcentrations", "C_ACG", "abc");
        s.Click("BtnResertAndApply");
        QCOMPARE(s.errors, QStringList{"Concentrations, \"Concentration of G-actine [uM]\": "
                                       "'abc' is not a valid floating point value"});
        // The box was rebuilt before the concentrations; nothing after them
        // and no display.
        QCOMPARE(s.Cell().Size.x, 3e-6);
        QCOMPARE(s.Cell().Species[CCell::ACG], 0);
        QCOMPARE(s.State("STATE_VALUME"), QString("8E-15"));

        // No run from a half-built world.
        s.Click("BtnStart");
        QCOMPARE(s.warnings.size(), 1);
        QVERIFY(!s.window->RunInProgress());
        QCOMPARE(s.Points("Chart2DN"), 0);
        QCOMPARE(s.Cell().ObsTime, 0.0);
        QVERIFY(s.Button("BtnStart")->isEnabled());

        s.SetParameter("ValueListConcentrations", "C_ACG", "12");
        s.QuickChemistry("0.02");
        QCOMPARE(s.errors.size(), 1);
        QCOMPARE(s.State("STATE_VALUME"), QString("2.7E-14"));
        s.Click("BtnStart");
        QCOMPARE(s.warnings.size(), 1);
        QVERIFY(s.Cell().ObsTime >= 0.02);
    }

    void StartsThatCouldNeverEndAreRefused()
    {
        Session s;
        s.Open();
        s.SetParameter("ValueListSimulation", "SIM_METHOD", "Tau-leap");
        s.Click("BtnResertAndApply");
        QVERIFY(s.errors.isEmpty());
        s.Click("BtnStart");
        QCOMPARE(s.warnings.size(), 1);
        QVERIFY(s.warnings.last().contains("Simulation method"));
        QCOMPARE(s.Points("Chart2DN"), 0);
        QVERIFY(s.Button("BtnStart")->isEnabled());
        QVERIFY(!s.Button("BtnStop")->isEnabled());

        s.SetParameter("ValueListSimulation", "SIM_METHOD", "First reaction");
        s.SetParameter("ValueListSimulation", "SIM_OBSERVTIMESTEP", "0");
        s.Click("BtnResertAndApply");
        s.Click("BtnStart");
        QCOMPARE(s.warnings.size(), 2);
        QVERIFY(s.warnings.last().contains("Observation Time step [s]"));

        s.SetParameter("ValueListSimulation", "SIM_OBSERVTIMESTEP", "0.01");
        s.SetParameter("ValueListSimulation", "SIM_TIMESTEP", "-1");
        s.Click("BtnResertAndApply");
        s.Click("BtnStart"); // with mechanics
        QCOMPARE(s.warnings.size(), 3);
        QVERIFY(s.warnings.last().contains("Time step [s]"));
        QCOMPARE(s.Cell().ObsTime, 0.0);

        // Chemistry alone needs no mechanics step.
        s.QuickChemistry("0.02");
        s.Click("BtnStart");
        QCOMPARE(s.warnings.size(), 3);
        QVERIFY(s.Cell().ObsTime >= 0.02);
        QVERIFY(s.errors.isEmpty());
    }

    void StartDuringAStoppingRunIsNotNested()
    {
        Session s;
        s.Open();
        s.QuickChemistry("0.05");
        int deepest = 0;
        s.AtNextObservation([&] {
            s.Click("BtnStop");
            // Probes the depth from inside whichever run observes next.
            s.AtNextObservation([&] { deepest = std::max(deepest, s.window->RunNesting()); });
            // Start is enabled again at once; its click arrives before the
            // stopped run has returned.
            s.Click("BtnStart");
            deepest = std::max(deepest, s.window->RunNesting());
        });
        s.Click("BtnStart");
        QCOMPARE(deepest, 1);
        QVERIFY(!s.window->RunInProgress());
        // Two runs one after the other: each added its starting point, and
        // the second ran to the end.
        TChartSeries *acg = s.Chart("Chart2DN")->Series(0);
        QCOMPARE(acg->XValue(0), 0.0);
        QVERIFY(std::abs(acg->XValue(1) - 0.01) < 1e-12);
        QVERIFY(acg->XValue(2) >= 0.01 && acg->XValue(2) < 0.02);
        QVERIFY(s.Cell().ObsTime >= 0.05);
        QVERIFY(s.Button("BtnStart")->isEnabled());
    }

    void ResetDuringAStoppingRunWaitsForItToReturn()
    {
        Session s;
        s.Open();
        s.QuickChemistry("0.05");
        s.AtNextObservation([&] {
            s.Click("BtnStop");
            // Enabled again at once, while the cell is still inside its run
            // with a reaction picked from the old world.
            s.Click("BtnResertAndApply");
            QCOMPARE(s.Cell().ReactionCount > 0, true);
        });
        s.Click("BtnStart");
        QVERIFY(!s.window->RunInProgress());
        // The fresh world, untouched by the reaction of the stopped run.
        QCOMPARE(s.Cell().ReactionCount, 0);
        QCOMPARE(s.Cell().Time, 0.0);
        QCOMPARE(s.Cell().ObsTime, 0.0);
        QVERIFY(s.Cell().Filaments.empty());
        for (int i = 0; i < CCell::REACTION_COUNT; ++i)
            QCOMPARE(s.Cell().Reactions[i].Count, 0);
        QCOMPARE(s.Points("Chart2DN"), 0);
        QCOMPARE(s.State("STATE_REACTIONS"), QString("0"));
        QVERIFY(s.Button("BtnStart")->isEnabled());
        QVERIFY(s.errors.isEmpty());
    }

    void ErrorInsideARunLeavesTheRunningControls()
    {
        Session s;
        s.Open();
        // Nothing can react: "Next reaction" divides by a zero total.
        s.SetParameter("ValueListConcentrations", "C_ACG", "0");
        s.SetParameter("ValueListSimulation", "SIM_METHOD", "Next reaction");
        s.Click("BtnResertAndApply");
        s.Click("BtnStart");
        QCOMPARE(s.errors, QStringList{"Floating point division by zero"});
        QVERIFY(!s.window->RunInProgress());
        QVERIFY(!s.Button("BtnStart")->isEnabled());
        QVERIFY(s.Button("BtnStop")->isEnabled());
        s.Click("BtnStop");
        QVERIFY(s.Button("BtnStart")->isEnabled());
        QVERIFY(!s.Button("BtnStop")->isEnabled());
    }

    void DragAndWheelChangeTheViewByTheWindowFraction()
    {
        Session s;
        s.Open();
        auto *view = s.Find<TWindow3D>("Window3D");
        TScene3D &scene = s.window->Scene();
        const auto mouse = [&](QEvent::Type type, QPoint at) {
            QMouseEvent event(type, at, view->mapToGlobal(at), Qt::LeftButton,
                              type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                              Qt::NoModifier);
            QApplication::sendEvent(view, &event);
        };

        // Moving without a press changes nothing.
        mouse(QEvent::MouseMove, {50, 50});
        CompareMatrices(scene.ViewMatrix, IdentityMatrix(), 0.0f);

        const int width = s.window->frameGeometry().width();
        const int height = s.window->frameGeometry().height();
        mouse(QEvent::MouseButtonPress, {20, 30});
        mouse(QEvent::MouseMove, {120, 30});
        mouse(QEvent::MouseButtonRelease, {120, 30});
        mouse(QEvent::MouseMove, {200, 90});
        const double angle = -6.28318 * 100 / width;
        TMatrix3D turned = IdentityMatrix();
        turned[0] = turned[10] = float(std::cos(angle));
        turned[2] = float(-std::sin(angle));
        turned[8] = float(std::sin(angle));
        CompareMatrices(scene.ViewMatrix, turned, 1e-6f);

        // One wheel notch scales the turned view by 1.12.
        QWheelEvent wheel({60, 60}, view->mapToGlobal(QPoint(60, 60)), {}, {0, 120},
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view, &wheel);
        TMatrix3D zoomed = turned;
        for (int i : {0, 2, 5, 8, 10})
            zoomed[i] *= 1.12f;
        CompareMatrices(scene.ViewMatrix, zoomed, 1e-6f);

        // The view reset, then a vertical shift of a quarter window height.
        s.Click("Btn3DChartResert");
        CompareMatrices(scene.ViewMatrix, IdentityMatrix(), 0.0f);
        s.Click("Btn3DChartMoveXY");
        mouse(QEvent::MouseButtonPress, {40, 40});
        mouse(QEvent::MouseMove, {40, 40 + height / 4});
        mouse(QEvent::MouseButtonRelease, {40, 40 + height / 4});
        TMatrix3D shifted = IdentityMatrix();
        shifted[13] = float(double(height / 4) / height) * 2e-6f;
        CompareMatrices(scene.ViewMatrix, shifted, 1e-12f);

        // A reset with another box keeps the view.
        s.SetParameter("ValueListSimulation", "SIM_CUBESIZE", "4");
        s.Click("BtnResertAndApply");
        CompareMatrices(scene.ViewMatrix, shifted, 0.0f);
        QCOMPARE(scene.BoxMax.z, 4e-6);

        // The sphere buttons switch between filled and wire frame.
        auto *sphere = dynamic_cast<TSphere3D *>(scene.Item(2));
        QVERIFY(sphere != nullptr && sphere->Solid);
        s.Click("SpeedButton2");
        QVERIFY(!sphere->Solid);
        s.Click("SpeedButton1");
        QVERIFY(sphere->Solid);
    }

    void SettingsAreWrittenOnClose()
    {
        Session s;
        s.Open();
        s.SetParameter("ValueListConcentrations", "C_ARP", "0.5");
        s.SetParameter("ValueListSimulation", "SIM_METHOD", "Next reaction");
        s.Click("BtnExit");
        QVERIFY(!s.window->isVisible());
        QFile file(s.settingsPath);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(file.readAll());
        QCOMPARE(text.count(QRegularExpression("^\\[", QRegularExpression::MultilineOption)), 5);
        QCOMPARE(text.count(QRegularExpression("^[A-Za-z_]+=", QRegularExpression::MultilineOption)),
                 32);
        QVERIFY(text.contains("C_ARP=0.5"));
        QVERIFY(text.contains("SIM_METHOD=Next reaction"));

        // Read back: the value returns, the method always starts as the first.
        s.Open();
        TValueListEditor *concentrations = s.Grid("ValueListConcentrations");
        QCOMPARE(concentrations->Value(concentrations->RowOfKey("C_ARP")), QString("0.5"));
        TValueListEditor *simulation = s.Grid("ValueListSimulation");
        QCOMPARE(simulation->Value(simulation->RowOfKey("SIM_METHOD")), QString("First reaction"));
    }

    void RefusedSettingsWriteKeepsTheWindowOpen()
    {
        Session s;
        s.settingsPath = s.folder.filePath("missing-folder/filonex.ini");
        s.Open();
        s.Click("BtnExit");
        QCOMPARE(s.errors.size(), 1);
        QVERIFY(s.errors[0].startsWith("Unable to write to "));
        QVERIFY(s.window->isVisible());
    }

    void SettingsLieBesideTheProgram()
    {
        QCOMPARE(TfmMain::SettingsFileBesideExecutable(),
                 QCoreApplication::applicationDirPath() + "/MainWindowTest.ini");
    }

    void ClosingDuringARunSavesAtOnceAndClosesWhenItReturns()
    {
        Session s;
        s.Open();
        bool savedWhileRunning = false;
        bool openWhileRunning = false;
        s.AtNextObservation([&] {
            s.window->close();
            savedWhileRunning = QFile::exists(s.settingsPath);
            openWhileRunning = s.window->isVisible() && s.window->RunInProgress();
            s.Click("BtnStop");
        });
        s.Click("BtnStart");
        QVERIFY(savedWhileRunning);
        QVERIFY(openWhileRunning);
        QVERIFY(!s.window->isVisible());
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
