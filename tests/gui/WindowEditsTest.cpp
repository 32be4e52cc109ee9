// What the window keeps for the user beside the world: parameters edited but
// not applied are marked and asked about at "Start", the views are remembered
// from one session to the next, and the world is read only by the window's
// thread between runs.

#include "WindowSession.h"

#include "ParameterTableModel.h"
#include "Window3d.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTabWidget>

#include <clocale>

namespace {

// Total actin (free and in filaments), which every reaction conserves.
int Actin(const CCell &cell)
{
    return cell.Species[CCell::ACG] + cell.Species[CCell::ACF];
}

} // namespace

class WindowEditsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { std::setlocale(LC_NUMERIC, "C"); }

    void EditsNotAppliedAreMarkedAndAskedAboutAtStart()
    {
        Session s;
        s.Open();
        s.QuickChemistry("0.02");
        const int applied = Actin(s.Cell());
        TValueListEditor *grid = s.Grid("ValueListConcentrations");
        auto *tabs = s.Find<QTabWidget>("PageControlParameters");
        auto *title = s.Find<QGroupBox>("GroupBoxParameters");
        const int row = grid->RowOfKey("C_ACG");
        const auto bold = [&] {
            return grid->model()->index(row, 1).data(Qt::FontRole).value<QFont>().bold();
        };
        QVERIFY(!bold());
        QVERIFY(!tabs->tabText(0).contains('*'));
        QCOMPARE(title->title(), QString("Parameters:"));

        // Typed, not confirmed with Enter, as a user does before "Start".
        const QModelIndex cell = grid->model()->index(row, 1);
        grid->setCurrentIndex(cell);
        grid->edit(cell);
        auto *line = qobject_cast<QLineEdit *>(grid->indexWidget(cell));
        QVERIFY(line != nullptr);
        line->selectAll();
        QTest::keyClicks(line, "30");
        QStringList asked;
        s.AnswerQuestion("NotAppliedQuestion", "Cancel", asked);
        s.Click("BtnStart");
        QTRY_COMPARE(asked.size(), 1);
        QVERIFY(asked[0].contains("Concentration of G-actin"));
        QVERIFY(!s.window->RunInProgress());
        QCOMPARE(s.Cell().Time, 0.0);
        QVERIFY(bold());
        // The window's first size shows the brief captions.
        QCOMPARE(tabs->tabText(0), QString("* Conc"));
        QVERIFY(tabs->tabToolTip(0).startsWith("Concentrations: Changed values not applied"));
        QCOMPARE(title->title(), QString("Parameters: not applied"));

        s.AnswerQuestion("NotAppliedQuestion", "Continue with the applied ones", asked);
        s.Run();
        QCOMPARE(asked.size(), 2);
        QCOMPARE(s.Cell().Time, 0.02);
        QCOMPARE(Actin(s.Cell()), applied);
        QVERIFY(bold());

        s.AnswerQuestion("NotAppliedQuestion", "Apply the changed parameters (a new run)", asked);
        s.Run();
        QCOMPARE(asked.size(), 3);
        QCOMPARE(s.Cell().Time, 0.02); // a new run from 0
        // Populations are drawn around the concentration's mean: far apart.
        QVERIFY(std::abs(Actin(s.Cell()) / (applied * 30.0 / 12.0) - 1) < 0.02);
        QVERIFY(!bold());
        QCOMPARE(tabs->tabText(0), QString("Conc"));
        QCOMPARE(tabs->tabToolTip(0), QString("Concentrations"));
        QCOMPARE(title->title(), QString("Parameters:"));
    }

    void SameValueWrittenOtherwiseAndAMaximumTimeThatExtendsAreNotAsked()
    {
        Session s;
        s.Open();
        s.QuickChemistry("0.02");
        TValueListEditor *grid = s.Grid("ValueListConcentrations");
        s.SetParameter("ValueListConcentrations", "C_ACG", "12.0");
        QVERIFY(!grid->Model().NotApplied(grid->RowOfKey("C_ACG")));
        s.Run();
        // At its end the run is extended by the grid's maximum time.
        s.SetParameter("ValueListSimulation", "SIM_TIME", "0.03");
        s.Run();
        QCOMPARE(s.Cell().Time, 0.05);
        QVERIFY(s.warnings.isEmpty());
        QCOMPARE(s.Find<QGroupBox>("GroupBoxParameters")->title(), QString("Parameters:"));
    }

    void ViewsAreRememberedInTheSettingsFile()
    {
        Session s;
        s.Open();
        TChart *chart = s.Chart("Chart2DA");
        chart->Series(2)->SetColor(QColor("#123456"));
        chart->Series(3)->SetActive(false);
        chart->SetBackColor(QColor("#fedcba"));
        chart->LeftAxis().SetMinMax(-1, 1000.5);
        chart->BottomAxis().SetLogarithmic(true);
        s.Find<QTabWidget>("PageControlMain")->setCurrentIndex(0);
        auto *view = s.Find<TWindow3D>("Window3D");
        s.Find<QTabWidget>("PageControlMain")->setCurrentIndex(1);
        QTest::mousePress(view, Qt::LeftButton, {}, QPoint(50, 50));
        QMouseEvent drag(QEvent::MouseMove, QPointF(90, 70), QPointF(view->mapToGlobal(QPoint(90, 70))),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view, &drag);
        QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(90, 70));
        const TMatrix3D turned = s.window->Scene().ViewMatrix;
        QVERIFY(turned != IdentityMatrix());
        s.Find<QTabWidget>("PageControlMain")->setCurrentIndex(0);
        QVERIFY(s.window->close());

        s.Open();
        chart = s.Chart("Chart2DA");
        QCOMPARE(chart->Series(2)->Color(), QColor("#123456"));
        QVERIFY(!chart->Series(3)->Active());
        QVERIFY(chart->Series(4)->Active());
        QCOMPARE(chart->BackColor(), QColor("#fedcba"));
        QVERIFY(!chart->LeftAxis().Automatic());
        QCOMPARE(chart->LeftAxis().Minimum(), -1.0);
        QCOMPARE(chart->LeftAxis().Maximum(), 1000.5);
        QVERIFY(chart->BottomAxis().Automatic());
        QVERIFY(chart->BottomAxis().Logarithmic());
        QVERIFY(!chart->LeftAxis().Logarithmic());
        QCOMPARE(s.Find<QTabWidget>("PageControlMain")->currentIndex(), 0);
        QCOMPARE(s.window->Scene().ViewMatrix, turned);
        // Another chart keeps its own.
        QVERIFY(s.Chart("Chart2DN")->Series(2)->Color() != QColor("#123456"));
        QVERIFY(s.Chart("Chart2DN")->Series(3)->Active());
    }

    void DraggingTheViewDuringARunReadsNothingOfTheWorld()
    {
        Session s;
        s.Open();
        s.SetParameter("ValueListSimulation", "SIM_TIME", "1000");
        s.Click("BtnResertAndApply");
        auto *view = s.Find<TWindow3D>("Window3D");
        const TMatrix3D before = s.window->Scene().ViewMatrix;
        s.Click("BtnStart");
        QVERIFY(s.window->RunInProgress());
        // The world belongs to the run's thread now.
        QVERIFY_THROWS_EXCEPTION(std::logic_error, s.window->World());
        const QPoint from = view->rect().center();
        QTest::mousePress(view, Qt::LeftButton, {}, from);
        QMouseEvent move(QEvent::MouseMove, QPointF(from + QPoint(40, 0)), QPointF(view->mapToGlobal(from)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view, &move);
        QTest::mouseRelease(view, Qt::LeftButton, {}, from + QPoint(40, 0));
        QVERIFY(s.window->Scene().ViewMatrix != before);
        s.Click("BtnStop");
        s.WaitForRunEnd();
        QVERIFY(s.errors.isEmpty());
    }
};

QTEST_MAIN(WindowEditsTest)
#include "WindowEditsTest.moc"
