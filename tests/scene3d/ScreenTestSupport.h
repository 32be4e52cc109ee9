#pragma once

// A view control shown on screen, and checks on the pixels it shows.

#include "CountingWindow3d.h"

#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <cstdlib>

inline QColor ColorOf(TRGBA c)
{
    return QColor(RedOf(c), GreenOf(c), BlueOf(c));
}

inline bool SameColor(QColor a, QColor b, int tolerance = 2)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

// The control inside a layout of a top-level window, shown and painted.
struct TShownWindow {
    static constexpr int Side = 400;

    QWidget Host;
    TCountingWindow3D *Window;

    explicit TShownWindow(TOpenGLStep failure = TOpenGLStep::None)
    {
        auto *layout = new QVBoxLayout(&Host);
        layout->setContentsMargins(0, 0, 0, 0);
        Window = new TCountingWindow3D;
        Window->SimulateFailure(failure);
        layout->addWidget(Window);
        Host.resize(Side, Side);
        Host.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&Host));
        Settle();
    }

    static void Settle() { QTest::qWait(50); }
};

// The control shows text in the given colour in the top left, within two
// lines, and only the background below them.
inline void ExpectErrorText(TWindow3D &window, QColor text, QColor background)
{
    EXPECT_TRUE(window.ShowsErrorText());
    const QImage image = window.grab().toImage();
    EXPECT_TRUE(SameColor(image.pixelColor(image.width() - 5, image.height() - 5), background, 0));
    const int lineHeight = window.fontMetrics().lineSpacing();
    bool textDrawn = false;
    for (int y = 0; y < 2 * lineHeight; ++y)
        for (int x = 0; x < image.width(); ++x)
            textDrawn = textDrawn || SameColor(image.pixelColor(x, y), text, 40);
    EXPECT_TRUE(textDrawn);
    bool belowDrawn = false;
    for (int y = 2 * lineHeight + 2; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            belowDrawn = belowDrawn || !SameColor(image.pixelColor(x, y), background, 0);
    EXPECT_FALSE(belowDrawn) << "only the two lines of the failure are shown";
}
