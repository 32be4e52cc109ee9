// The progress panel of the status bar, driven by simulated runs: a run that
// slows down is estimated from its recent speed, and an extension of a
// finished run fills the bar from where it began.

#include "RunProgress.h"

#include <QLabel>
#include <QProgressBar>
#include <QRegularExpression>
#include <QTest>

#include <clocale>
#include <cmath>

namespace {

constexpr double HandOver = 0.035; // s of wall time between displays

// Feeds `progress` a run at `speed` (s/s) for `wall` s of wall time from
// (*clock, *time) on, a display at every hand-over.
void Feed(TRunProgress &progress, double speed, double wall, double &clock, double &time)
{
    for (int k = 0; k < int(std::lround(wall / HandOver)); ++k) {
        clock += HandOver;
        time += speed * HandOver;
        progress.ShowRun(time, clock);
    }
}

} // namespace

class RunProgressTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { std::setlocale(LC_NUMERIC, "C"); }

    // 20 s at 0.51 s/s, then 20 s at 0.26 s/s, of a 30-s run.
    void SlowingRunIsEstimatedFromItsRecentSpeed()
    {
        TRunProgress progress;
        progress.ShowWorld(0.0, 0.0, 30.0, 0.01);
        progress.BeginRun(0.0);
        double clock = 0.0, time = 0.0;
        Feed(progress, 0.51, 20.0, clock, time);
        Feed(progress, 0.26, 20.0, clock, time);
        // Both speeds weighted by exp(-age / RecentTime) over the 40 s.
        const double tau = RunSpeed::RecentTime;
        const double older = std::exp(-20.0 / tau), oldest = std::exp(-40.0 / tau);
        const double recent = (0.26 * (1.0 - older) + 0.51 * (older - oldest)) / (1.0 - oldest);
        const QString speed = progress.findChild<QLabel *>("StatusSpeed")->text();
        QVERIFY2(std::abs(speed.chopped(4).toDouble() - recent) < 0.002, qPrintable(speed));
        // 0.385 s/s overall: unsteady.
        const QRegularExpressionMatch left =
            QRegularExpression(R"(^about (\d+) s left$)").match(progress.findChild<QLabel *>("StatusTimeLeft")->text());
        QVERIFY(left.hasMatch());
        QVERIFY(std::abs(left.captured(1).toDouble() - (30.0 - time) / recent) <= 1.0);
        // At the end nothing is left to guess.
        Feed(progress, 0.26, 60.0, clock, time);
        QCOMPARE(progress.findChild<QLabel *>("StatusTimeLeft")->text(), QString("0 s left"));
    }

    void SteadyRunShowsTheTimeLeftWithoutAbout()
    {
        TRunProgress progress;
        progress.ShowWorld(0.0, 0.0, 100.0, 0.01);
        progress.BeginRun(0.0);
        double clock = 0.0, time = 0.0;
        Feed(progress, 2.0, 20.0, clock, time);
        QCOMPARE(progress.findChild<QLabel *>("StatusSpeed")->text(), QString("2 s/s"));
        QCOMPARE(progress.findChild<QLabel *>("StatusTimeLeft")->text(), QString("30 s left"));
    }

    void ExtensionFillsTheBarFromWhereItBegan()
    {
        TRunProgress progress;
        progress.ShowWorld(10.0, 10.0, 11.0, 0.01);
        progress.BeginRun(10.0);
        progress.ShowRun(10.16, 1.0);
        auto *bar = progress.findChild<QProgressBar *>("StatusProgress");
        QCOMPARE(bar->value(), int(std::lround(0.16 * bar->maximum())));
        QCOMPARE(bar->text(), QString("10.16 of 10–11 s"));
    }
};

QTEST_MAIN(RunProgressTest)
#include "RunProgressTest.moc"
