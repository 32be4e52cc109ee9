// The window by keyboard: every run action has its key, named in its hint;
// Tab reaches the toolbar, the grids and the lists; a Space keeps a value.

#include "WindowSession.h"

#include <QGroupBox>
#include <QLabel>
#include <QTextBrowser>

#include <clocale>
#include <set>

class WindowKeysTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { std::setlocale(LC_NUMERIC, "C"); }

    void HintsStartWithTheNameAndTheKey_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("hintStart");
        QTest::newRow("Start") << "BtnStart" << "Start (F5): ";
        QTest::newRow("Stop") << "BtnStop" << "Stop (Shift+F5): ";
        QTest::newRow("Reset and apply") << "BtnResertAndApply" << "Reset and apply (Ctrl+R): ";
        QTest::newRow("Open world") << "BtnOpenWorld" << "Open world… (Ctrl+O): ";
        QTest::newRow("Save world") << "BtnSaveWorld" << "Save world… (Ctrl+S): ";
        QTest::newRow("Save table") << "BtnSaveTable" << "Save table… (Ctrl+Shift+S): ";
        QTest::newRow("Guide") << "BtnGuide" << "Guide (F1): ";
        QTest::newRow("Exit") << "BtnExit" << "Exit (Ctrl+Q): ";
        QTest::newRow("no key") << "Btn3DRecord" << "Record: ";
    }

    void HintsStartWithTheNameAndTheKey()
    {
        QFETCH(QString, button);
        QFETCH(QString, hintStart);
        Session s;
        s.Open();
        const QString hint = s.Button(qPrintable(button))->toolTip();
        QVERIFY2(hint.startsWith(hintStart), qPrintable(hint));
    }

    // Keys act on the window whichever control has the focus, also with the
    // window so narrow that the toolbar hides buttons behind its "››".
    void KeysRunTheActions()
    {
        Session s;
        s.Open();
        s.window->resize(500, 600);
        s.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(s.window.get()));
        s.QuickChemistry("100000");
        auto *pages = s.Find<QTabWidget>("PageControlMain");
        QTest::keyClick(s.window.get(), Qt::Key_1, Qt::ControlModifier);
        QCOMPARE(pages->currentIndex(), 0);
        QTest::keyClick(s.window.get(), Qt::Key_2, Qt::ControlModifier);
        QCOMPARE(pages->currentIndex(), 1);

        TValueListEditor *grid = s.Grid("ValueListMechanics");
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_F5);
        QVERIFY(s.window->RunInProgress());
        QTRY_VERIFY(s.Find<QLabel>("StatusTime")->text() != "0");
        QTest::keyClick(grid, Qt::Key_F5, Qt::ShiftModifier);
        s.WaitForRunEnd();
        QVERIFY(s.Cell().Time > 0.0);
        QTest::keyClick(grid, Qt::Key_R, Qt::ControlModifier);
        QCOMPARE(s.Cell().Time, 0.0);

        QTest::keyClick(s.window.get(), Qt::Key_F1);
        auto *guide = s.window->findChild<QTextBrowser *>("GuideWindow");
        QVERIFY(guide && guide->isVisible());
        QVERIFY(guide->toPlainText().contains("The window"));
        guide->close();

        s.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(s.window.get()));
        QTest::keyClick(s.window.get(), Qt::Key_Q, Qt::ControlModifier);
        QVERIFY(!s.window->isVisible());
    }

    void TabReachesTheToolbarTheGridsAndTheLists()
    {
        Session s;
        s.Open();
        s.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(s.window.get()));
        s.Grid("ValueListSimulation")->setFocus();
        std::set<QString> reached;
        for (int i = 0; i < 100; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            reached.insert(QApplication::focusWidget()->objectName());
        }
        for (const char *name : {"BtnStart", "BtnResertAndApply", "ValueListSimulation", "ValueListCurrentState"})
            QVERIFY2(reached.count(name) == 1, name);
    }

    void SpaceOnACellKeepsItsValue()
    {
        Session s;
        s.Open();
        s.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(s.window.get()));
        TValueListEditor *grid = s.Grid("ValueListSimulation");
        const int row = grid->RowOfKey("SIM_TIME");
        const QString before = grid->Value(row);
        grid->setFocus();
        grid->setCurrentIndex(grid->model()->index(row, 1));
        QTest::keyClick(grid, Qt::Key_Space);
        grid->CommitPendingEdit();
        QCOMPARE(grid->Value(row), before);
        QCOMPARE(s.Find<QGroupBox>("GroupBoxParameters")->title(), QString("Parameters:"));
    }
};

QTEST_MAIN(WindowKeysTest)
#include "WindowKeysTest.moc"
