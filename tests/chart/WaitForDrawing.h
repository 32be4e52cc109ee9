#pragma once

#include "Chart.h"

#include <QTest>

// Lets the event loop run until a shown chart has done the drawing asked of it.
inline void WaitForDrawing(TChart &chart)
{
    QCoreApplication::processEvents();
    while (chart.DrawingPending())
        QTest::qWait(5);
}
