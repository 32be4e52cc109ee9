// "Record" on the 3D page: a movie of the next run, a frame at each
// observation step, written beside the run.

#include "MainWindow.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

class RecordingTest : public QObject {
    Q_OBJECT

private slots:
    void RecordsTheNextRunWithAFrameAtEachObservation()
    {
        const QTemporaryDir folder;
        QFile settings(folder.filePath("filonex.ini"));
        QVERIFY(settings.open(QIODevice::WriteOnly));
        settings.write("[ValueListSimulation]\nSIM_TIME=0.05\n");
        settings.close();
        QStringList errors;
        TfmMain window(folder.filePath("filonex.ini"),
                       [&errors](TfmMain::MessageKind, const QString &text) { errors << text; });
        const QString frames = folder.filePath("frames");
        window.SetMoviePathPrompt([&frames] { return frames; });
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto *record = window.findChild<QToolButton *>("Btn3DRecord");
        QVERIFY(record);

        record->click();
        QVERIFY(record->isChecked());
        window.StartClicked();
        QVERIFY(!record->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(!window.RunInProgress(), 120000);
        QVERIFY(!record->isChecked());
        // The start and each 0.01-s observation up to 0.05 s.
        const auto count = [&frames] { return QDir(frames).entryList({"frame-*.png"}).size(); };
        QTRY_COMPARE_WITH_TIMEOUT(count(), 6, 20000);
        QCOMPARE(QImage(frames + "/frame-000005.png").size(), QSize(1280, 720));

        // One movie per press: a run that continues is not recorded over it.
        window.StartClicked();
        QTRY_VERIFY_WITH_TIMEOUT(!window.RunInProgress(), 120000);
        QTest::qWait(200);
        QCOMPARE(count(), 6);
        QVERIFY2(errors.isEmpty(), qPrintable(errors.join('\n')));
    }

    void CancelledQuestionLeavesRecordUp()
    {
        const QTemporaryDir folder;
        TfmMain window(folder.filePath("filonex.ini"), [](TfmMain::MessageKind, const QString &) {});
        window.SetMoviePathPrompt([] { return QString(); });
        auto *record = window.findChild<QToolButton *>("Btn3DRecord");
        record->click();
        QVERIFY(!record->isChecked());
    }
};

QTEST_MAIN(RecordingTest)
#include "RecordingTest.moc"
