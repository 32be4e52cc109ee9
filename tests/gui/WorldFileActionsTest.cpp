// The toolbar's "Save world…" and "Open world…" on the real main window: a
// world saved, replaced and opened again is the world saved, shown with its
// parameters; bad files and a running world are refused.

#include "MainWindow.h"

#include "Cell.h"
#include "Chart.h"
#include "Numbertext.h"
#include "ValueListEditor.h"
#include "WorldFileActions.h"

#include <QFile>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <clocale>
#include <memory>

class WorldFileActionsTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir folder;
    QStringList errors;
    std::unique_ptr<TfmMain> window;

    TValueListEditor *Grid(const char *name) const { return window->findChild<TValueListEditor *>(name); }
    QToolButton *Button(const char *name) const { return window->findChild<QToolButton *>(name); }
    QString Value(const char *grid, const char *key) const
    {
        return Grid(grid)->Value(Grid(grid)->RowOfKey(key));
    }
    static QByteArray Contents(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // Runs with the toolbar until the run has returned.
    void RunToItsEnd()
    {
        QTest::mouseClick(Button("BtnStart"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!window->RunInProgress(), 20000);
    }

private slots:
    void init()
    {
        std::setlocale(LC_NUMERIC, "C");
        errors.clear();
        window =
            std::make_unique<TfmMain>(folder.filePath("filonex.ini"),
                                      [this](TfmMain::MessageKind, const QString &text) { errors << text; });
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        Grid("ValueListSimulation")->SetValueByKey("SIM_CUBESIZE", "0.5");
        Grid("ValueListSimulation")->SetValueByKey("SIM_TIME", "0.3");
        Grid("ValueListRates")->SetValueByKey("RATE_FORM", "1E-4");
        QTest::mouseClick(Button("BtnSimChem"), Qt::LeftButton);
        QTest::mouseClick(Button("BtnResertAndApply"), Qt::LeftButton);
    }

    void cleanup() { window.reset(); }

    void OpenedWorldIsTheSavedOneWithItsParameters()
    {
        RunToItsEnd();
        CCell &cell = window->World();
        QVERIFY(cell.Filaments.size() > 3);
        const double shownTime = cell.ObsTime; // the time of the last observation
        const QString saved = folder.filePath("grown.fxworld");
        QVERIFY(window->SaveWorldTo(saved));

        Grid("ValueListConcentrations")->SetValueByKey("C_ACG", "3");
        QTest::mouseClick(Button("BtnResertAndApply"), Qt::LeftButton);
        QCOMPARE(cell.Filaments.size(), std::size_t(0));

        QVERIFY(window->OpenWorldFrom(saved));
        QVERIFY2(errors.isEmpty(), qPrintable(errors.join('\n')));
        QCOMPARE(window->CurrentTargetTime(), 0.3);
        QCOMPARE(Value("ValueListConcentrations", "C_ACG"), QString("12"));
        QCOMPARE(Value("ValueListRates", "RATE_FORM"), QString("0.0001"));
        QCOMPARE(Value("ValueListCurrentState", "STATE_TIME"),
                 QString::fromStdString(FormatNumber(shownTime)));
        QCOMPARE(window->findChild<TChart *>("Chart2DN")->Series(0)->Count(), 0);

        const QString again = folder.filePath("again.fxworld");
        QVERIFY(window->SaveWorldTo(again));
        QCOMPARE(Contents(again), Contents(saved));

        QFile::resize(again, 100);
        QVERIFY(!window->OpenWorldFrom(again));
        QVERIFY2(errors.size() == 1 && errors.front().contains("truncated"), qPrintable(errors.join('\n')));
        QVERIFY(window->SaveWorldTo(again));
        QCOMPARE(Contents(again), Contents(saved));

        // A finished world extends by SIM_TIME like any finished run.
        RunToItsEnd();
        QVERIFY(cell.Time >= 0.6);
    }

    void RefusedWhileARunIsActive()
    {
        Grid("ValueListSimulation")->SetValueByKey("SIM_TIME", "1E6");
        QTest::mouseClick(Button("BtnResertAndApply"), Qt::LeftButton);
        QTest::mouseClick(Button("BtnStart"), Qt::LeftButton);
        QVERIFY(window->RunInProgress());
        QVERIFY(!Button("BtnSaveWorld")->isEnabled());
        QVERIFY(!Button("BtnOpenWorld")->isEnabled());
        QVERIFY(!window->SaveWorldTo(folder.filePath("running.fxworld")));
        // A stop before the run thread has begun its run is lost (the run
        // sets its running flag as it begins), so the run is given time.
        QTest::qWait(300);
        QTest::mouseClick(Button("BtnStop"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!window->RunInProgress(), 20000);
        QVERIFY(Button("BtnSaveWorld")->isEnabled());
    }

    void DialogsFilterWorldFiles()
    {
        std::unique_ptr<QFileDialog> dialog(CreateWorldFileDialog(window.get(), true));
        QCOMPARE(dialog->nameFilters().front(), QString("Filonex worlds (*.fxworld)"));
        QCOMPARE(dialog->defaultSuffix(), QString("fxworld"));
        QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptSave);
        dialog.reset(CreateWorldFileDialog(window.get(), false));
        QCOMPARE(dialog->fileMode(), QFileDialog::ExistingFile);
    }
};

QTEST_MAIN(WorldFileActionsTest)
#include "WorldFileActionsTest.moc"
