// The run session without any widget: every observation handed over in
// order before Finished, and a stop that ends the run.

#include "Cell.h"
#include "Parameters.h"
#include "Random.h"
#include "Resetandapply.h"
#include "RunSession.h"

#include <QTest>

#include <cmath>
#include <vector>

namespace {

// A session on the default world, recording what it hands over.
struct WatchedSession {
    RunSession session;
    std::vector<double> observedTimes; // s, of every observation handed over
    bool sizesHandedOver = false;
    double latestTime = -1; // s
    bool finished = false;
    QString error = "none yet";

    WatchedSession()
    {
        ParameterStore store;
        CreateParameterTables(store, nullptr);
        session.World().Random.SeedWith(1);
        ResetAndApply(store, session.World());
        QObject::connect(&session, &RunSession::Observed, [this](const auto &records) {
            QVERIFY(!finished);
            for (const ObservationRecord &point : records.Observations)
                observedTimes.push_back(point.Time);
            latestTime = records.Latest().Time;
            sizesHandedOver = sizesHandedOver || records.HasSizes;
        });
        QObject::connect(&session, &RunSession::Finished, [this](const QString &message) {
            finished = true;
            error = message;
        });
    }
};

} // namespace

class RunSessionTest : public QObject {
    Q_OBJECT

private slots:
    void EveryObservationIsHandedOverBeforeFinished()
    {
        WatchedSession w;
        w.session.SetRecording(true, false);
        w.session.Start(0.2, false); // s
        QTRY_VERIFY_WITH_TIMEOUT(w.finished, 60000);
        QCOMPARE(w.error, QString());
        QVERIFY(!w.session.Active());
        const double end = w.session.World().Time;
        QCOMPARE(end, 0.2);
        // One point at each k × 0.01 s up to the end, the last at the end.
        QCOMPARE(w.observedTimes.size(), std::size_t(20));
        for (std::size_t k = 0; k < w.observedTimes.size(); ++k)
            QCOMPARE(w.observedTimes[k], 0.01 * double(k + 1));
        QCOMPARE(w.observedTimes.back(), 0.2);
        QCOMPARE(w.latestTime, w.observedTimes.back());
    }

    void StopEndsTheRunThenFinishedFollows()
    {
        WatchedSession w;
        w.session.SetRecording(false, false);
        w.session.Start(100, false); // s, far longer than the test
        QTRY_VERIFY_WITH_TIMEOUT(w.latestTime > 0, 10000);
        w.session.Stop();
        QVERIFY(w.session.Returning());
        QTRY_VERIFY_WITH_TIMEOUT(w.finished, 10000);
        QCOMPARE(w.error, QString());
        QVERIFY(!w.session.Active());
        QVERIFY(w.session.World().Time < 100);
        QVERIFY(!w.observedTimes.empty());
        QVERIFY(!w.sizesHandedOver); // not asked for
    }
};

QTEST_GUILESS_MAIN(RunSessionTest)
#include "RunSessionTest.moc"
