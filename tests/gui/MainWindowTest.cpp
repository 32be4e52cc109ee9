// Drives the real main window: first show, runs started and stopped from the
// toolbar on the run's thread, extension of a finished run, refused starts,
// failed applies, pending edits, the 3D navigation, the settings written on
// close, and the same end state as the runner's.

#include "MainWindow.h"
#include "WindowSession.h"

#include "Cell.h"
#include "Chart.h"
#include "Numbertext.h"
#include "Random.h"
#include "Scene3d.h"
#include "Sphere3d.h"
#include "ValueListEditor.h"
#include "Vertexprimitive3dlist.h"
#include "Window3d.h"

#include <qcustomplot.h>

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QDir>
#include <QGroupBox>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QProcess>
#include <QProgressBar>
#include <QLabel>
#include <QRegularExpression>
#include <QSplitter>
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
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>

#include <csignal>

#include "Statereport.h"

namespace {

constexpr double Avogadro = 6.0221415e23;
constexpr double Pi = 3.14159265358979323846;

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

// The smallest rectangle around the pixels of the given colour.
QRect DrawnBox(const QImage &image, QColor color)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) == color)
                box |= QRect(x, y, 1, 1);
    return box;
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
        QVERIFY(!(state->model()->flags(state->model()->index(0, 1)) & Qt::ItemIsEditable));
        QCOMPARE(state->model()->headerData(0, Qt::Horizontal).toString(), QString("Parameter"));
        QCOMPARE(state->Caption(state->RowOfKey("STATE_VALUME")), QString("Volume [litres]"));
        QCOMPARE(s.State("STATE_VALUME"), QString("8E-15"));
        QCOMPARE(s.State("STATE_MAXTIME"), QString("100"));
        QCOMPARE(s.State("STATE_TIME"), QString("0"));
        QCOMPARE(s.State("STATE_REACTIONS"), QString("0"));

        // Populations: StochasticRound of C x 8e-18 m3 x 1000 x Avogadro x 1e-6.
        TValueListEditor *species = s.Grid("ValueListNi");
        QCOMPARE(species->model()->headerData(0, Qt::Horizontal).toString(), QString("Species"));
        QCOMPARE(species->model()->headerData(1, Qt::Horizontal).toString(), QString("Molecules"));
        const char *names[] = {"ACG", "ACF", "FIB", "FIP", "CAP", "CAF", "ARP", "ARF", "ARB", "ADC"};
        const double concentrations[] = {12, 0, 0, 0, 1, 0, 0.3, 0, 0, 1};
        QCOMPARE(species->RowCount(), 10);
        for (int i = 0; i < 10; ++i) {
            QCOMPARE(species->Caption(i), QString(names[i]));
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
        QCOMPARE(rates->model()->headerData(0, Qt::Horizontal).toString(), QString("Reaction"));
        QCOMPARE(rates->model()->headerData(1, Qt::Horizontal).toString(), QString("Rate constant c [1/s]"));
        QCOMPARE(rates->Caption(8), QString("FORM2"));
        QVERIFY(std::abs(rates->Value(0).toDouble() / formRate - 1) < 1e-12);
        // ASSB: 11.6 / (Avogadro 1e-6 8e-15) with the volume exponent 1.
        QVERIFY(std::abs(rates->Value(1).toDouble() / (11.6 / (Avogadro * 1e-6 * 8e-15)) - 1) < 1e-12);
        // At 0 s only nucleation can happen; the channels of filament ends
        // have none to act on.
        QVERIFY(s.Grid("ValueListAi")->Value(0).toDouble() > 0.0);
        for (int i = 1; i < 8; ++i)
            QCOMPARE(s.Grid("ValueListAi")->Value(i), QString("0"));

        // Ten status panels and the speed and time left of a run; time and
        // reaction count show the world.
        const QList<QLabel *> panels =
            s.window->statusBar()->findChildren<QLabel *>(Qt::FindDirectChildrenOnly);
        QCOMPARE(panels.size(), 10);
        QCOMPARE(panels[1]->text(), QString("Time:"));
        QCOMPARE(panels[2]->text(), QString("0"));
        QCOMPARE(panels[3]->text(), QString("s"));
        QCOMPARE(panels[5]->text(), QString("Number of reactions:"));
        QCOMPARE(panels[6]->text(), QString("0"));

        QVERIFY(s.Button("BtnStart")->isEnabled());
        QVERIFY(!s.Button("BtnStop")->isEnabled());
        QVERIFY(s.Button("BtnResertAndApply")->isEnabled());
        QVERIFY(s.Button("BtnTextInfoT")->isChecked());
        QVERIFY(s.Button("Btn2DInfoT")->isChecked());
        QVERIFY(s.Button("Btn3DInfoT")->isChecked());
        QVERIFY(s.Button("Btn2DLegend")->isChecked());
        QVERIFY(s.Chart("Chart2DA")->LegendVisible());
        QVERIFY(!s.Button("BtnSimChem")->isChecked());
        QVERIFY(s.Button("BtnSimMech")->isChecked());
        QCOMPARE(s.Find<QTabWidget>("PageControlMain")->currentIndex(), 1);
        QCOMPARE(s.Find<QTabWidget>("PageControlParameters")
                     ->tabToolTip(s.Find<QTabWidget>("PageControlParameters")->currentIndex()),
                 QString("Simulation"));

        TChart *n = s.Chart("Chart2DN");
        QCOMPARE(n->SeriesCount(), 10);
        QCOMPARE(n->Series(9)->Title(), QString("ADC"));
        QCOMPARE(s.Chart("Chart2DReactProb")->SeriesCount(), 9);
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
        s.DuringRun([&] {
            QVERIFY(s.window->RunInProgress());
            QVERIFY(!s.Button("BtnStart")->isEnabled());
            QVERIFY(!s.Button("BtnResertAndApply")->isEnabled());
            QVERIFY(s.Button("BtnStop")->isEnabled());
            QVERIFY(!s.Grid("ValueListConcentrations")->isEnabled());
            QVERIFY(!s.Grid("ValueListSimulation")->isEnabled());
            QVERIFY(s.Grid("ValueListMechanics")->isEnabled());
            QVERIFY(s.Grid("ValueListBacterium")->isEnabled());
            checkedRunningControls = true;
            // Some observations first.
            QTest::qWait(300);
            s.Click("BtnStop");
        });
        s.Run();
        QVERIFY(checkedRunningControls);
        QVERIFY(s.Button("BtnStart")->isEnabled());
        QVERIFY(!s.Button("BtnStop")->isEnabled());
        QVERIFY(s.Grid("ValueListConcentrations")->isEnabled());

        // The starting point at 0, then one point per observation up to the
        // stop, none dropped.
        const double stoppedAt = s.Cell().Time;
        TChartSeries *acg = s.Chart("Chart2DN")->Series(0);
        QVERIFY(acg->Count() >= 2);
        QCOMPARE(acg->XValue(0), 0.0);
        for (int k = 1; k < acg->Count(); ++k)
            QVERIFY(std::abs(acg->XValue(k) - 0.01 * k) < 1e-9);
        const double lastObservation = acg->XValue(acg->Count() - 1);
        QVERIFY(lastObservation <= stoppedAt);
        for (const char *chart : {"Chart2DNumOfReactions", "Chart2DA", "Chart2DSizeOfFilament"})
            QCOMPARE(s.Points(chart), acg->Count());
        // The world shows its own time, which a stop may leave between two
        // observations, in the digits of the observation step.
        const QString shownTime = QString::fromStdString(FormatOnGrid(stoppedAt, 0.01));
        QCOMPARE(s.Find<QLabel>("StatusTime")->text(), shownTime);
        QCOMPARE(s.State("STATE_TIME"), shownTime);
        QCOMPARE(s.State("STATE_MAXTIME"), QString("100"));
        const int reactions = s.Cell().ReactionCount;
        QVERIFY(reactions > 0);

        // Starting again continues the same world towards the same end.
        const int points = acg->Count();
        s.DuringRun([&] {
            QTRY_VERIFY_WITH_TIMEOUT(acg->Count() > points, 10000);
            s.Click("BtnStop");
        });
        s.Run();
        QVERIFY(acg->Count() > points);
        // On the same grid: no second starting point.
        QVERIFY(std::abs(acg->XValue(points) - 0.01 * points) < 1e-9);
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
        s.Run();
        QCOMPARE(s.window->CurrentTargetTime(), 0.05);
        QCOMPARE(s.Cell().Time, 0.05);
        const double lastObservation = s.Cell().ObsTime;
        const int points = s.Points("Chart2DN");
        QVERIFY(points >= 5);
        QVERIFY(s.Button("BtnStart")->isEnabled());

        // SIM_TIME is read again at the restart of a finished run.
        s.SetParameter("ValueListSimulation", "SIM_TIME", "0.03");
        s.Run();
        QVERIFY(std::abs(s.window->CurrentTargetTime() - 0.08) < 1e-15);
        QCOMPARE(s.State("STATE_MAXTIME"), QString("0.08"));
        QVERIFY(s.Cell().Time >= 0.08);
        // No starting point: the next point is the next observation on the
        // finished run's grid.
        TChartSeries *acg = s.Chart("Chart2DN")->Series(0);
        QVERIFY(acg->Count() > points);
        QVERIFY(std::abs(acg->XValue(points) - (lastObservation + 0.01)) < 1e-12);
    }

    void ChartHiddenDuringTheRunIsTickedForItsSizeWhenShown()
    {
        Session s;
        s.Open();
        s.QuickChemistry("0.3");
        s.Run(); // on the 3D page: the charts are drawn only when shown
        s.Find<QTabWidget>("PageControlMain")->setCurrentIndex(0);
        TChart *n = s.Chart("Chart2DN");
        QTest::qWait(300);
        const QVector<double> ticks = n->Plot()->yAxis->tickVector();
        QVERIFY(ticks.size() >= 2);
        QCOMPARE(ticks[1] - ticks[0], n->LeftAxis().CalcIncrement());
    }

    void EachChartHasItsOwnTitlesAndTheSizeDistributionItsOwnChart()
    {
        Session s;
        s.Open();
        s.QuickChemistry("0.2");
        s.Run();
        s.window->AddChartPoints(); // the sizes of the cell as it is now
        s.Find<QTabWidget>("PageControlMain")->setCurrentIndex(0);
        auto *tabs = s.Find<QTabWidget>("PageControl2D");
        QCOMPARE(tabs->count(), 7);
        const struct {
            const char *chart, *x, *y, *firstCurve;
            int curves;
        } expected[] = {
            {"Chart2DN", "Time [s]", "Molecules", "ACG", 10},
            {"Chart2DNumOfReactions", "Time [s]", "Reactions", "FORM", 9},
            {"Chart2DA", "Time [s]", "Propensity [1/s]", "FORM", 9},
            {"Chart2DReactProb", "Time [s]", "Probability", "FORM", 9},
            {"Chart2DSizeOfFilament", "Time [s]", "Mean size [monomers]", "MeanFilamentSize", 1},
            {"Chart2DSizeDistribution", "Size [monomers]", "Filaments", "FilamentSizeDistrib", 1},
            {"Chart2DBacterium", "Time [s]", "Displacement [m]", "bact_disp", 1},
        };
        for (int i = 0; i < 7; ++i) {
            TChart *chart = s.Chart(expected[i].chart);
            QCOMPARE(tabs->widget(i), chart);
            tabs->setCurrentIndex(i);
            QTRY_VERIFY(!chart->DrawingPending());
            QCOMPARE(chart->BottomAxis().Title(), QString(expected[i].x));
            QCOMPARE(chart->LeftAxis().Title(), QString(expected[i].y));
            QCOMPARE(chart->SeriesCount(), expected[i].curves);
            QCOMPARE(chart->Series(0)->Title(), QString(expected[i].firstCurve));
        }

        // The mean size spans the run's time only; the distribution spans
        // the filament sizes, far beyond it.
        TChart *meanSize = s.Chart("Chart2DSizeOfFilament");
        const QCPRange time = meanSize->Plot()->xAxis->range();
        const TChartSeries *mean = meanSize->Series(0);
        QVERIFY(mean->Count() > 10);
        QVERIFY(time.contains(mean->XValue(mean->Count() - 1)));
        QVERIFY(time.upper < 1);
        int largest = 0;
        for (const auto &f : s.Cell().Filaments)
            largest = std::max(largest, f.Monomers);
        QVERIFY(largest > 1);
        QVERIFY(s.Chart("Chart2DSizeDistribution")->Plot()->xAxis->range().contains(largest));
    }

    void ObservationTogglesAndDisplaysFollowTheCell()
    {
        Session s;
        s.Open();
        s.QuickChemistry("0.2");
        s.Click("Btn2DInfoT"); // charts off for the whole run
        s.Run();
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
        TChartSeries *distribution = s.Chart("Chart2DSizeDistribution")->Series(0);
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
        for (const char *chart : {"Chart2DN", "Chart2DNumOfReactions", "Chart2DA", "Chart2DReactProb",
                                  "Chart2DSizeOfFilament", "Chart2DSizeDistribution", "Chart2DBacterium"})
            QCOMPARE(s.Points(chart), 0);
        QCOMPARE(s.Chart("Chart2DN")->SeriesCount(), 10);
    }

    void BacteriumListAndChartFollowItsMotion()
    {
        Session s;
        s.Open();
        // A small box where filaments soon push the bacterium.
        s.SetParameter("ValueListSimulation", "SIM_CUBESIZE", "0.5");
        s.SetParameter("ValueListRates", "RATE_FORM", "1E-5");
        s.SetParameter("ValueListSimulation", "SIM_TIME", "0.1");
        s.Click("BtnResertAndApply");
        TValueListEditor *list = s.Grid("ValueListBacteriumMotion");
        QCOMPARE(list->model()->headerData(0, Qt::Horizontal).toString(), QString("Quantity"));
        const QString captions[] = {"Position x [µm]",   "Position y [µm]",
                                    "Position z [µm]",   "Displacement [µm]",
                                    "Net speed since reset [µm/min]", "Touching filaments"};
        QCOMPARE(list->RowCount(), 6);
        for (int i = 0; i < 6; ++i)
            QCOMPARE(list->Caption(i), captions[i]);
        // At reset: in the middle of the box, not moved, no time to move in.
        QCOMPARE(list->Value(0), QString("0.25"));
        QCOMPARE(list->Value(3), QString("0"));
        QCOMPARE(list->Value(4), QString());
        QVERIFY(list->model()->index(4, 0).data(Qt::ToolTipRole).toString().contains("falls as 1/√t"));

        s.Run();
        const CBacterium &bacterium = *s.Cell().Bacterium;
        const CVector moved = bacterium.Center - CVector(0.25e-6);
        const double distance = Length(moved);
        QVERIFY(distance > 0);
        // Lengths in µm to 1 nm, the net speed in µm/min to three digits.
        QCOMPARE(list->Value(1), QString::fromStdString(FormatOnGrid(bacterium.Center.y * 1e6, 0.001)));
        QVERIFY(std::abs(list->Value(3).toDouble() - distance * 1e6) <= 0.0005);
        const double speed = distance / s.Cell().ObsTime * 60e6; // µm/min
        QVERIFY2(std::abs(list->Value(4).toDouble() / speed - 1) < 0.005, qPrintable(list->Value(4)));
        QCOMPARE(list->Value(5).toInt(), s.Cell().FilamentsTouchingBacterium());
        // One point per observation and the starting one.
        TChartSeries *curve = s.Chart("Chart2DBacterium")->Series(0);
        QCOMPARE(curve->Count(), s.Points("Chart2DN"));
        QCOMPARE(curve->YValue(0), 0.0);
        QVERIFY(curve->YValue(curve->Count() - 1) > 0);

        // A world without a bacterium shows none and draws no point.
        s.Cell().Bacterium.reset();
        s.window->ShowCurrentState(RecordObservation(s.Cell()));
        s.window->AddChartPoints();
        for (int i = 0; i < 6; ++i)
            QCOMPARE(list->Value(i), QString());
        QCOMPARE(curve->Count(), s.Points("Chart2DN") - 1);
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
        // Shown with the run's displays, on the window's thread.
        QTRY_COMPARE(warning->text(), QString("Bodies far outside the box"));
        QTRY_VERIFY(!s.window->RunInProgress());
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
        QCOMPARE(s.errors, QStringList{"Concentrations, \"Concentration of G-actin [uM]\": "
                                       "'abc' is not a valid floating point value"});
        // The box was rebuilt before the concentrations, nothing after them;
        // the displays show no world, and say so, with the value at fault
        // selected.
        QCOMPARE(s.Cell().Size.x, 3e-6);
        QCOMPARE(s.Cell().Species[CCell::ACG], 0);
        QCOMPARE(s.State("STATE_VALUME"), QString());
        QCOMPARE(s.Grid("ValueListNi")->Value(0), QString());
        QCOMPARE(s.Find<QLabel>("StatusTime")->text(), QString());
        QCOMPARE(s.Find<QLabel>("StatusWarning")->text(), QString("No world: \"Reset and apply\" failed"));
        QCOMPARE(s.Find<QGroupBox>("GroupBoxParameters")->title(),
                 QString("Parameters: not applied, no world built from them"));
        auto *tabs = s.Find<QTabWidget>("PageControlParameters");
        QCOMPARE(tabs->currentWidget(), s.Grid("ValueListConcentrations"));
        QCOMPARE(s.Grid("ValueListConcentrations")->currentIndex().row(),
                 s.Grid("ValueListConcentrations")->RowOfKey("C_ACG"));

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
        QCOMPARE(s.Find<QLabel>("StatusWarning")->text(), QString());
        QCOMPARE(s.Find<QGroupBox>("GroupBoxParameters")->title(), QString("Parameters:"));
        s.Run();
        QCOMPARE(s.warnings.size(), 1);
        QVERIFY(s.Cell().Time >= 0.02);
    }

    void StartsThatCouldNeverEndAreRefused()
    {
        Session s;
        s.Open();
        s.SetParameter("ValueListSimulation", "SIM_OBSERVTIMESTEP", "0");
        s.Click("BtnResertAndApply");
        s.Click("BtnStart");
        QCOMPARE(s.warnings.size(), 1);
        QVERIFY(s.warnings.last().contains("Observation Time step [s]"));

        s.SetParameter("ValueListSimulation", "SIM_OBSERVTIMESTEP", "0.01");
        s.SetParameter("ValueListSimulation", "SIM_TIMESTEP", "-1");
        s.Click("BtnResertAndApply");
        s.Click("BtnStart"); // with mechanics
        QCOMPARE(s.warnings.size(), 2);
        QVERIFY(s.warnings.last().contains("Time step [s]"));
        QCOMPARE(s.Cell().ObsTime, 0.0);

        // Chemistry alone needs no mechanics step.
        s.QuickChemistry("0.02");
        s.Run();
        QCOMPARE(s.warnings.size(), 2);
        QVERIFY(s.Cell().Time >= 0.02);
        QVERIFY(s.errors.isEmpty());
    }

    void StartDuringAStoppingRunIsNotNested()
    {
        Session s;
        s.Open();
        int deepest = 0;
        bool stopped = false;
        s.DuringRun([&] {
            s.Click("BtnStop");
            // Start is enabled again at once; its click arrives before the
            // stopped run has returned.
            s.Click("BtnStart");
            deepest = std::max(deepest, s.window->RunNesting());
            stopped = true;
        });
        s.Click("BtnStart");
        QTRY_VERIFY(stopped);
        // The second run starts once the first has returned.
        QTRY_VERIFY_WITH_TIMEOUT(s.Button("BtnStop")->isEnabled(), 10000);
        deepest = std::max(deepest, s.window->RunNesting());
        s.Run("BtnStop");
        QCOMPARE(deepest, 1);
        // One starting point at 0; the second run went on on the grid of
        // the first one's observations.
        TChartSeries *acg = s.Chart("Chart2DN")->Series(0);
        QCOMPARE(acg->XValue(0), 0.0);
        int startingPoints = 1;
        for (int k = 1; k < acg->Count(); ++k)
            startingPoints += std::abs(acg->XValue(k) - acg->XValue(k - 1) - 0.01) > 1e-9;
        QCOMPARE(startingPoints, 1);
        QVERIFY(s.Button("BtnStart")->isEnabled());
        QVERIFY(s.errors.isEmpty());
    }

    void ResetDuringAStoppingRunWaitsForItToReturn()
    {
        Session s;
        s.Open();
        s.DuringRun([&] {
            QTest::qWait(100);
            s.Click("BtnStop");
            // Enabled again at once, while the run is still returning with a
            // reaction picked from the old world.
            s.Click("BtnResertAndApply");
            QVERIFY(s.window->RunInProgress());
        });
        s.Run();
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
        s.Run();
        QCOMPARE(s.errors, QStringList{"Floating point division by zero"});
        QVERIFY(!s.Button("BtnStart")->isEnabled());
        QVERIFY(s.Button("BtnStop")->isEnabled());
        s.Click("BtnStop");
        QVERIFY(s.Button("BtnStart")->isEnabled());
        QVERIFY(!s.Button("BtnStop")->isEnabled());
    }

    void StopEndsTheRunBetweenObservationsWithNothingCountedAfterIt()
    {
        Session s;
        s.Open();
        // Observations a simulated day apart, a run of ten days: a stop that
        // waited for an observation would let the run go on for hours.
        s.SetParameter("ValueListSimulation", "SIM_OBSERVTIMESTEP", "86400");
        s.SetParameter("ValueListSimulation", "SIM_TIME", "864000");
        s.Click("BtnResertAndApply");
        s.Click("BtnStart");
        QTest::qWait(300);
        QVERIFY(s.window->RunInProgress());
        s.Click("BtnStop");
        // A bound against a hang, not a speed.
        s.WaitForRunEnd();

        const CCell &cell = s.Cell();
        QCOMPARE(cell.ObsTime, 0.0);
        QVERIFY(cell.Time < 86400);
        QVERIFY(cell.MechTime <= cell.Time);
        // Every counted reaction is a fired one; one drawn for later is left
        // for the next run, due after where the clocks stopped.
        std::int64_t fired = 0;
        for (const CChemReaction &reaction : cell.Reactions)
            fired += reaction.Count;
        QCOMPARE(fired, cell.ReactionCount);
        if (cell.Pending)
            QVERIFY(cell.Pending->Time >= cell.Time);
    }

    void ModalDialogDoesNotPauseTheRun()
    {
        Session s;
        s.Open();
        double before = -1, during = -1;
        s.DuringRun([&] {
            // Past the design text "0.01" of the status panel.
            QTRY_VERIFY(s.Find<QLabel>("StatusTime")->text().toDouble() > 0.01);
            before = s.Find<QLabel>("StatusTime")->text().toDouble();
            QDialog dialog(s.window.get());
            QTimer::singleShot(500, &dialog, [&] {
                during = s.Find<QLabel>("StatusTime")->text().toDouble();
                dialog.accept();
            });
            dialog.exec();
            s.Click("BtnStop");
        });
        s.Run();
        QVERIFY(during > before);
    }

    void PendingEditIsAppliedWithoutEnter()
    {
        Session s;
        s.Open();
        TValueListEditor *grid = s.Grid("ValueListSimulation");
        const QModelIndex cube = grid->model()->index(grid->RowOfKey("SIM_CUBESIZE"), 1);
        grid->setCurrentIndex(cube);
        grid->edit(cube);
        auto *line = qobject_cast<QLineEdit *>(grid->indexWidget(cube));
        QVERIFY(line != nullptr);
        line->selectAll();
        QTest::keyClicks(line, "3");
        s.Click("BtnResertAndApply");
        QCOMPARE(s.Cell().Size.x, 3e-6);
        QCOMPARE(grid->Value(cube.row()), QString("3"));
        QVERIFY(grid->indexWidget(cube) == nullptr);
    }

    void WindowAndRunnerEndInTheSameState()
    {
        for (const char *mode : {"Ch", "M"}) {
            Session s;
            const bool chemistryOnly = QString(mode) == "Ch";
            QFile settings(s.settingsPath);
            QVERIFY(settings.open(QIODevice::WriteOnly));
            settings.write(chemistryOnly ? "[ValueListSimulation]\nSIM_TIME=0.5\n"
                                         : "[ValueListSimulation]\nSIM_TIME=0.03\n");
            settings.close();
            s.Open(4242);
            s.Click(chemistryOnly ? "BtnSimChem" : "BtnSimMech");
            s.Run();
            QVERIFY(s.errors.isEmpty());
            char *text = nullptr;
            std::size_t length = 0;
            std::FILE *out = open_memstream(&text, &length);
            PrintState(out, s.Cell());
            std::fclose(out);
            const QByteArray windowState(text, qsizetype(length));
            std::free(text);

            QProcess runner;
            QStringList arguments{"--settings", s.settingsPath, "--seed", "4242", "--quiet"};
            if (chemistryOnly)
                arguments << "--chemistry-only";
            runner.start(FILONEX_BATCH, arguments);
            QVERIFY(runner.waitForFinished(120000));
            QCOMPARE(runner.exitCode(), 0);
            QCOMPARE(windowState, runner.readAllStandardOutput());
        }
    }

    void CubeIsDrawnSquareInAWideAndATallPanel()
    {
        Session s;
        s.Open();
        auto *view = s.Find<TWindow3D>("Window3D");
        const QColor frameGrey(0x80, 0x80, 0x80);
        for (const QSize windowSize : {QSize(1500, 600), QSize(700, 950)}) {
            s.window->resize(windowSize);
            QTest::qWait(100);
            const QRect box = DrawnBox(view->GrabFramebuffer(), frameGrey);
            const QString shapes = QString("panel %1x%2, box %3x%4")
                                       .arg(view->width())
                                       .arg(view->height())
                                       .arg(box.width())
                                       .arg(box.height());
            QVERIFY2(std::abs(view->width() - view->height()) > 100, qPrintable(shapes));
            QVERIFY2(box.width() > 50 && std::abs(box.width() - box.height()) <= 2, qPrintable(shapes));
        }
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
        QWheelEvent wheel({60, 60}, view->mapToGlobal(QPoint(60, 60)), {}, {0, 120}, Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
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
        // The five tables and the window's own section.
        QCOMPARE(text.count(QRegularExpression("^\\[", QRegularExpression::MultilineOption)), 6);
        // The parameters; the layout, the page, the 3D view and six entries
        // per chart.
        QCOMPARE(text.count(QRegularExpression("^[A-Za-z_0-9.]+=", QRegularExpression::MultilineOption)),
                 41 + 4 + 2 + 7 * 6);
        QVERIFY(text.contains("C_ARP=0.5"));
        QVERIFY(text.contains("SIM_METHOD=Next reaction"));

        // Read back: the value returns, the method always starts as the first.
        s.Open();
        TValueListEditor *concentrations = s.Grid("ValueListConcentrations");
        QCOMPARE(concentrations->Value(concentrations->RowOfKey("C_ARP")), QString("0.5"));
        TValueListEditor *simulation = s.Grid("ValueListSimulation");
        QCOMPARE(simulation->Value(simulation->RowOfKey("SIM_METHOD")), QString("First reaction"));
    }

    void WindowLayoutIsRemembered()
    {
        Session s;
        s.Open();
        QCOMPARE(s.window->size(), QSize(669, 501));
        s.window->resize(800, 560);
        auto *main = s.Find<QSplitter>("SplitterMain");
        main->setSizes({400, 400});
        QTRY_COMPARE(s.window->size(), QSize(800, 560));
        const QList<int> sizes = main->sizes();
        s.Click("BtnExit");
        s.Open();
        QCOMPARE(s.window->size(), QSize(800, 560));
        QCOMPARE(s.Find<QSplitter>("SplitterMain")->sizes(), sizes);
    }

    void UnwritableSettingsFolderAsksAtClosing()
    {
        Session s;
        s.settingsPath = s.folder.filePath("missing-folder/filonex.ini");
        s.Open();
        QStringList asked;
        QList<TfmMain::SaveFailureChoice> answers{TfmMain::SaveFailureChoice::Cancel};
        s.window->SetSaveFailurePrompt([&](const QString &error) {
            asked << error;
            return answers.takeFirst();
        });
        s.Click("BtnExit");
        QCOMPARE(asked.size(), 1);
        QVERIFY(asked[0].startsWith("Unable to write to "));
        QVERIFY(s.window->isVisible());

        // Retrying once the folder is there saves and closes.
        answers = {TfmMain::SaveFailureChoice::Retry};
        s.SetParameter("ValueListConcentrations", "C_CAP", "2");
        s.window->SetSaveFailurePrompt([&](const QString &error) {
            asked << error;
            QDir(s.folder.path()).mkdir("missing-folder");
            return answers.takeFirst();
        });
        s.Click("BtnExit");
        QCOMPARE(asked.size(), 2);
        QVERIFY(!s.window->isVisible());
        QVERIFY(QFile::exists(s.settingsPath));

        // Closing without saving leaves the file as it was.
        s.settingsPath = s.folder.filePath("another-missing-folder/filonex.ini");
        s.Open();
        s.window->SetSaveFailurePrompt(
            [](const QString &) { return TfmMain::SaveFailureChoice::CloseWithoutSaving; });
        s.Click("BtnExit");
        QVERIFY(!s.window->isVisible());
        QVERIFY(!QFile::exists(s.settingsPath));
    }

    void SettingsLieBesideTheProgram()
    {
        QCOMPARE(TfmMain::SettingsFileBesideExecutable(),
                 QCoreApplication::applicationDirPath() + "/MainWindowTest.ini");
    }

    void StatusBarShowsTheWorldAsItIs()
    {
        Session s;
        s.Open();
        const auto status = [&s] {
            return QStringList{s.Find<QLabel>("StatusTime")->text(),
                               s.Find<QLabel>("StatusReactions")->text()};
        };
        QCOMPARE(status(), (QStringList{"0", "0"}));
        // Stopped between observations: the world has gone on after the last.
        s.QuickChemistry("100000");
        QTimer::singleShot(300, s.window.get(), [&s] { s.Click("BtnStop"); });
        s.Run();
        QCOMPARE(status()[1], QString::number(s.Cell().ReactionCount));
        QCOMPARE(status()[0], s.State("STATE_TIME"));
        s.Click("BtnResertAndApply");
        QCOMPARE(status(), (QStringList{"0", "0"}));
    }

    // Sums of observation steps carry rounding noise in their last digits.
    void TimesAreShownAsTheObservationStepResolvesThem()
    {
        Session s;
        s.Open();
        s.SetParameter("ValueListSimulation", "SIM_OBSERVTIMESTEP", "0.001");
        s.QuickChemistry("0.9");
        s.Run();
        const double observed = s.Cell().ObsTime; // s, on a 1-ms grid
        const auto onGrid = [](const QString &text, double time, double within = 5e-4) {
            static const QRegularExpression milliseconds(R"(^\d+(\.\d{1,3})?$)");
            return milliseconds.match(text).hasMatch() && std::abs(text.toDouble() - time) < within;
        };
        QVERIFY2(onGrid(s.Find<QLabel>("StatusTime")->text(), observed),
                 qPrintable(s.Find<QLabel>("StatusTime")->text()));
        QVERIFY2(onGrid(s.State("STATE_TIME"), observed), qPrintable(s.State("STATE_TIME")));
        // The hint near a point of the first curve late in the run (the
        // nearest of the points a pixel apart).
        s.Find<QTabWidget>("PageControlMain")->setCurrentIndex(0);
        TChart *chart = s.Chart("Chart2DN");
        QCustomPlot *plot = chart->findChild<QCustomPlot *>();
        plot->replot();
        const QCPGraphData late = *(plot->graph(0)->data()->end() - 3);
        const QString hint = chart->HoverText(
            QPoint(int(plot->xAxis->coordToPixel(late.key)), int(plot->yAxis->coordToPixel(late.value))));
        const QRegularExpressionMatch time = QRegularExpression(R"(^[^\n]*\n[^\n]*: (\S+))").match(hint);
        QVERIFY2(time.hasMatch() && onGrid(time.captured(1), late.key, 0.02), qPrintable(hint));
    }

    void ProgressShowsTimeOfTheEndSpeedAndTimeLeft()
    {
        Session s;
        s.Open();
        auto *progress = s.Find<QProgressBar>("StatusProgress");
        s.QuickChemistry("0.5");
        QCOMPARE(progress->value(), 0);
        QCOMPARE(progress->text(), QString("0 of 0.5 s"));
        s.Run();
        // The time of the last observation, at or next to the end.
        const double observed = s.Cell().ObsTime;
        QVERIFY(observed > 0.48);
        QCOMPARE(progress->value(), int(std::lround(observed / 0.5 * progress->maximum())));
        QCOMPARE(progress->text(), QString::fromStdString(FormatOnGrid(observed, 0.01)) + " of 0.5 s");
        const QString speed = s.Find<QLabel>("StatusSpeed")->text();
        QVERIFY2(speed.endsWith(" s/s") && speed.chopped(4).toDouble() > 0.0, qPrintable(speed));
        QVERIFY(s.Find<QLabel>("StatusTimeLeft")->text().endsWith(" s left"));

        // Stopped early in an extension: progress within the extension.
        s.SetParameter("ValueListSimulation", "SIM_TIME", "100000");
        QTimer::singleShot(300, s.window.get(), [&s] { s.Click("BtnStop"); });
        s.Run();
        const double time = s.Cell().ObsTime;
        QCOMPARE(progress->value(), int(std::lround((time - 0.5) / 100000 * progress->maximum())));
        QVERIFY(progress->text().endsWith(" of 0.5–100000.5 s"));
        QVERIFY(s.Find<QLabel>("StatusTimeLeft")->text().endsWith(" left"));
        s.Click("BtnResertAndApply");
        QCOMPARE(progress->value(), 0);
        QVERIFY(s.Find<QLabel>("StatusSpeed")->text().isEmpty());
    }

    void ClosingDuringARunAsksAndStopAndCloseStopsSavesAndCloses()
    {
        Session s;
        s.Open();
        s.QuickChemistry("100000");
        s.Click("BtnStart");
        QStringList asked;
        s.AnswerRunQuestion("Stop and close", asked);
        s.window->close();
        QCOMPARE(asked, QStringList{"A run is in progress."});
        QTRY_VERIFY_WITH_TIMEOUT(!s.window->isVisible(), 60000);
        QVERIFY(!s.window->RunInProgress());
        QFile file(s.settingsPath);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().contains("SIM_TIME=100000"));
    }

    void ClosingDuringARunCancelledLeavesTheRunGoing()
    {
        Session s;
        s.Open();
        s.QuickChemistry("100000");
        s.Click("BtnStart");
        QStringList asked;
        s.AnswerRunQuestion("Cancel", asked);
        s.window->close();
        QCOMPARE(asked.size(), 1);
        QVERIFY(s.window->isVisible());
        QVERIFY(s.window->RunInProgress());
        QVERIFY(!s.window->Session().Returning());
        s.Click("BtnStop");
        s.WaitForRunEnd();
        QVERIFY(s.window->isVisible());
    }

    void ClosingARunThatQuitsWhenDoneAsksNothing()
    {
        Session s;
        s.Open();
        s.QuickChemistry("100000");
        s.window->CloseWhenRunEnds();
        s.Click("BtnStart");
        QStringList asked;
        s.AnswerRunQuestion("Cancel", asked);
        s.window->close();
        QTRY_VERIFY_WITH_TIMEOUT(!s.window->isVisible(), 60000);
        QVERIFY(asked.isEmpty());
        QVERIFY(QFile::exists(s.settingsPath));
    }

    // Closing during a run waits for the run to return, for nothing more:
    // not for its next observation, nor for a last drawing of the displays.
    void ClosingDuringARunWaitsForNoObservationNorDrawing()
    {
        Session s;
        s.Open();
        s.SetParameter("ValueListSimulation", "SIM_OBSERVTIMESTEP", "1000");
        s.QuickChemistry("100000");
        QStringList events;
        QObject::connect(&s.window->Session(), &RunSession::Observed, s.window.get(),
                         [&events] { events << "observed"; });
        QObject::connect(&s.window->Session(), &RunSession::Finished, s.window.get(),
                         [&events, &s] { events << "returned at " + s.Find<QLabel>("StatusTime")->text(); });
        s.window->CloseWhenRunEnds();
        s.Click("BtnStart");
        // Well into the run (earlier is as good).
        QTest::qWait(200);
        events << "close";
        s.window->close();
        QTRY_VERIFY_WITH_TIMEOUT(!s.window->isVisible(), 60000);
        events << "closed at " + s.Find<QLabel>("StatusTime")->text();
        const QStringList afterClose = events.mid(events.indexOf("close"));
        QCOMPARE(afterClose, (QStringList{"close", "returned at 0", "closed at 0"}));
        QVERIFY(s.Cell().Time > 0.0);
        QVERIFY(s.Cell().Time < 1000.0);
    }

    void StopBeforeTheRunBeginsEndsIt()
    {
        Session s;
        s.Open();
        s.QuickChemistry("100000");
        for (int i = 0; i < 20; ++i) {
            s.window->Session().Start(100000, false);
            s.window->Session().Stop();
            s.WaitForRunEnd();
        }
    }

    // The program itself, as a desktop logout or `kill` ends it.
    void TerminationSignalsStopSaveAndClose()
    {
        for (const int signal : {SIGTERM, SIGHUP}) {
            for (const bool writable : {true, false}) {
                QTemporaryDir folder;
                QVERIFY(QDir(folder.path()).mkdir("settings"));
                const QString settingsPath = folder.filePath("settings/filonex.ini");
                QFile settings(settingsPath);
                QVERIFY(settings.open(QIODevice::WriteOnly));
                settings.write("[ValueListSimulation]\nSIM_TIME=100000\n");
                settings.close();
                QProcess window;
                window.start(FILONEX_WINDOW, {"--settings", settingsPath, "--run"});
                QVERIFY(window.waitForStarted());
                // Well into the run (a guess; earlier is as good).
                QTest::qWait(1500);
                if (!writable)
                    QVERIFY(QDir(folder.filePath("settings")).removeRecursively());
                ::kill(pid_t(window.processId()), signal);
                QVERIFY(window.waitForFinished(60000));
                QCOMPARE(window.exitStatus(), QProcess::NormalExit);
                const QByteArray errors = window.readAllStandardError();
                if (writable) {
                    QVERIFY(settings.open(QIODevice::ReadOnly));
                    QVERIFY(settings.readAll().contains("[Window]"));
                } else {
                    QVERIFY2(errors.contains("were not saved"), errors.constData());
                }
            }
        }
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
