#include "CompactTabWidget.h"

#include <QLabel>
#include <QSplitter>
#include <QTabBar>
#include <QTest>

class CompactTabWidgetTest : public QObject {
    Q_OBJECT

private:
    static QList<int> TabWidths(const QTabBar &bar)
    {
        QList<int> widths;
        for (int i = 0; i < bar.count(); ++i)
            widths << bar.tabRect(i).width();
        return widths;
    }

private slots:
    // As in the window: a splitter pane narrowed until the captions are cut
    // short, then widened again.
    void CaptionsComeBackWholeWhenThePaneGrowsAgain()
    {
        QSplitter splitter;
        auto *tabs = new TCompactTabWidget;
        for (const char *caption : {"Current state", "N", "Num of reactions", "A1", "A", "React prob"})
            tabs->addTab(new QLabel, caption);
        splitter.addWidget(tabs);
        splitter.addWidget(new QLabel);
        splitter.resize(1000, 300);
        splitter.setSizes({600, 400});
        splitter.show();
        QVERIFY(QTest::qWaitForWindowExposed(&splitter));
        const QList<int> whole = TabWidths(*tabs->tabBar());

        splitter.setSizes({150, 850});
        QTRY_VERIFY(tabs->width() < 300);
        QVERIFY(tabs->tabBar()->tabRect(2).width() < whole[2]);
        splitter.setSizes({600, 400});
        QTRY_COMPARE(TabWidths(*tabs->tabBar()), whole);
    }
};

QTEST_MAIN(CompactTabWidgetTest)
#include "CompactTabWidgetTest.moc"
