// The window at a small and at a large size: every action in sight, every
// tab caption whole (briefly at the small size), the left pane growing with
// the window, and the grids' rows at their texts' height.

#include "WindowSession.h"

#include "CompactTabWidget.h"

#include <QHeaderView>
#include <QSplitter>
#include <QTabBar>
#include <QToolBar>

#include <clocale>

namespace {

// Every caption of every compact tab widget fits its tab uncut.
void VerifyCaptionsWhole(const Session &s)
{
    for (auto *tabs : s.window->findChildren<TCompactTabWidget *>()) {
        if (!tabs->isVisible())
            continue;
        const QTabBar *bar = tabs->tabBar();
        for (int i = 0; i < bar->count(); ++i)
            QVERIFY2(bar->fontMetrics().horizontalAdvance(bar->tabText(i)) <= bar->tabRect(i).width() - 6,
                     qPrintable(tabs->objectName() + ": " + bar->tabText(i)));
    }
}

} // namespace

class WindowSizesTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { std::setlocale(LC_NUMERIC, "C"); }

    void EveryActionAndCaptionInSightAt800x600()
    {
        Session s;
        s.Open();
        s.window->resize(800, 600);
        QTRY_COMPARE(s.window->width(), 800);
        for (int page : {0, 1}) {
            s.Find<QTabWidget>("PageControlMain")->setCurrentIndex(page);
            QTest::qWait(50);
            // No button left behind the toolbar's "››".
            for (QToolBar *bar : s.window->findChildren<QToolBar *>())
                if (bar->isVisible())
                    for (QToolButton *button : bar->findChildren<QToolButton *>("qt_toolbar_ext_button"))
                        QVERIFY2(!button->isVisible(), qPrintable(bar->objectName()));
            VerifyCaptionsWhole(s);
        }
        // The brief caption says in its hint what it stands for.
        auto *charts = s.Find<TCompactTabWidget>("PageControl2D");
        QCOMPARE(charts->tabText(1), QString("NumReact"));
        QCOMPARE(charts->tabToolTip(1), QString("Num of reactions"));
    }

    void LeftPaneGrowsWithTheWindowAndRowsKeepTheirTextsHeight()
    {
        Session s;
        s.Open();
        s.window->resize(1600, 1000);
        QTRY_COMPARE(s.window->width(), 1600);
        QTRY_VERIFY(s.Find<QSplitter>("SplitterMain")->sizes().front() > 1600 / 4);
        for (int page : {0, 1}) {
            s.Find<QTabWidget>("PageControlMain")->setCurrentIndex(page);
            QTest::qWait(50);
            VerifyCaptionsWhole(s);
        }
        QCOMPARE(s.Find<TCompactTabWidget>("PageControlInfo")->tabText(2), QString("Num of reactions"));
        for (auto *tabs : s.window->findChildren<TCompactTabWidget *>())
            for (int i = 0; i < tabs->count(); ++i) {
                auto *grid = qobject_cast<TValueListEditor *>(tabs->widget(i));
                if (!grid)
                    continue;
                tabs->setCurrentIndex(i);
                QTest::qWait(20);
                const QFontMetrics metrics = grid->fontMetrics();
                for (int row = 0; row < grid->RowCount(); ++row) {
                    const bool oneLine =
                        metrics.horizontalAdvance(grid->Caption(row)) + 12 < grid->columnWidth(0) &&
                        metrics.horizontalAdvance(grid->Value(row)) + 12 < grid->columnWidth(1);
                    if (oneLine)
                        QVERIFY2(grid->rowHeight(row) < 2 * metrics.height(),
                                 qPrintable(grid->objectName() + ": " + grid->Caption(row)));
                }
            }
    }
};

QTEST_MAIN(WindowSizesTest)
#include "WindowSizesTest.moc"
