// Results from the window: "Save table…" and `--run --quit-when-done` with
// --table and --save-world write what filonex-batch writes for the same
// settings and seed, paths are checked before the run, the exit status is the
// runner's, and "Save 3D picture…" draws the view at the size asked for.

#include "WindowSession.h"

#include "Window3d.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>

#include <clocale>

#include <csignal>

namespace {

QByteArray Contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

void WriteSettings(const QString &path, const QByteArray &text)
{
    QFile settings(path);
    QVERIFY(settings.open(QIODevice::WriteOnly));
    settings.write(text);
}

// The runner's table and world for the settings and seed, and its status.
int RunRunner(const QString &settings, const QString &table, const QString &world)
{
    QProcess runner;
    runner.start(FILONEX_BATCH, {"--settings", settings, "--seed", "4242", "--quiet", "--table", table,
                                 "--save-world", world});
    if (!runner.waitForFinished(120000))
        return -1;
    return runner.exitCode();
}

} // namespace

class WindowResultsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { std::setlocale(LC_NUMERIC, "C"); }

    void QuitWhenDoneWritesWhatTheRunnerWrites()
    {
        QTemporaryDir folder;
        const QString settings = folder.filePath("filonex.ini");
        WriteSettings(settings, "[ValueListSimulation]\nSIM_TIME=0.03\n");
        QCOMPARE(RunRunner(settings, folder.filePath("runner.tsv"), folder.filePath("runner.fxworld")), 0);

        QProcess window;
        window.start(FILONEX_WINDOW,
                     {"--settings", settings, "--seed", "4242", "--run", "--quit-when-done", "--table",
                      folder.filePath("window.tsv"), "--save-world", folder.filePath("window.fxworld")});
        QVERIFY(window.waitForFinished(120000));
        QCOMPARE(window.exitCode(), 0);
        QCOMPARE(Contents(folder.filePath("window.tsv")), Contents(folder.filePath("runner.tsv")));
        QCOMPARE(Contents(folder.filePath("window.fxworld")), Contents(folder.filePath("runner.fxworld")));
    }

    void SavedTableIsTheRunnersTable()
    {
        Session s;
        WriteSettings(s.settingsPath, "[ValueListSimulation]\nSIM_TIME=0.5\n");
        const QString runnerTable = s.folder.filePath("runner.tsv");
        QProcess runner;
        runner.start(FILONEX_BATCH, {"--settings", s.settingsPath, "--seed", "4242", "--quiet",
                                     "--chemistry-only", "--table", runnerTable});
        QVERIFY(runner.waitForFinished(120000));
        QCOMPARE(runner.exitCode(), 0);

        s.Open(4242);
        QVERIFY(!s.window->SaveTableTo(s.folder.filePath("none.tsv"))); // no run yet
        QCOMPARE(s.warnings.size(), 1);
        s.Click("BtnSimChem");
        s.Run();
        QVERIFY(s.window->SaveTableTo(s.folder.filePath("window.tsv")));
        QCOMPARE(Contents(s.folder.filePath("window.tsv")), Contents(runnerTable));
        // Not over the settings file, as the runner refuses.
        QVERIFY(!s.window->SaveTableTo(s.settingsPath));
        QVERIFY2(s.errors.join('\n').contains("it is the settings file"), qPrintable(s.errors.join('\n')));
    }

    void ResultPathsAreCheckedBeforeTheRun()
    {
        QTemporaryDir folder;
        const QString settings = folder.filePath("filonex.ini");
        WriteSettings(settings, "[ValueListSimulation]\nSIM_TIME=100000\n");
        for (const char *option : {"--table", "--save-world"}) {
            QProcess window;
            window.start(FILONEX_WINDOW,
                         {"--settings", settings, "--run", "--quit-when-done", option, folder.path()});
            QVERIFY(window.waitForFinished(20000)); // long before the run's end
            QCOMPARE(window.exitCode(), 2);
            const QByteArray errors = window.readAllStandardError();
            QVERIFY2(errors.contains("it is not a regular file"), errors.constData());
        }
    }

    void StoppedBySignalExitsAsTheRunnerAndWritesTheTable()
    {
        QTemporaryDir folder;
        const QString settings = folder.filePath("filonex.ini");
        WriteSettings(settings, "[ValueListSimulation]\nSIM_TIME=100000\n");
        QProcess window;
        window.start(FILONEX_WINDOW, {"--settings", settings, "--run", "--quit-when-done", "--table",
                                      folder.filePath("table.tsv")});
        QVERIFY(window.waitForStarted());
        QTest::qWait(1500); // well into the run (a guess; earlier is as good)
        ::kill(pid_t(window.processId()), SIGTERM);
        QVERIFY(window.waitForFinished(60000));
        QCOMPARE(window.exitStatus(), QProcess::NormalExit);
        QCOMPARE(window.exitCode(), 128 + SIGTERM);
        QVERIFY(Contents(folder.filePath("table.tsv")).startsWith("time\t"));
    }

    void PictureIsSavedAtTheViewsSizeOrTheOneAsked()
    {
        Session s;
        s.Open();
        s.window->findChild<QTabWidget *>("PageControlMain")->setCurrentIndex(1);
        QTest::qWait(100);
        const QSize shown = s.Find<TWindow3D>("Window3D")->size();
        const QString atView = s.folder.filePath("view.png");
        QVERIFY(s.window->Save3DPictureTo(atView));
        QCOMPARE(QImage(atView).size(), shown);

        const QString asked = s.folder.filePath("asked.png");
        QVERIFY(s.window->Save3DPictureTo(asked, QSize(900, 500)));
        const QImage picture(asked);
        QCOMPARE(picture.size(), QSize(900, 500));
        // The box is drawn square at the asked shape too.
        QRect frame;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                if (picture.pixelColor(x, y) == QColor(0x80, 0x80, 0x80))
                    frame |= QRect(x, y, 1, 1);
        QVERIFY(frame.height() > 100);
        QVERIFY(std::abs(frame.width() - frame.height()) <= 2);
        // The view itself is as it was.
        QCOMPARE(s.Find<TWindow3D>("Window3D")->size(), shown);
    }
};

QTEST_MAIN(WindowResultsTest)
#include "WindowResultsTest.moc"
