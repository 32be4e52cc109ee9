// The headless picture of a world against the window's 3D view of it.

#include "Offscreen3d.h"
#include "Window3d.h"
#include "Worldscene.h"

#include "Movieview.h"

#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

constexpr double Micrometre = 1e-6; // m

// Filaments of every colour around a bacterium in a 2 µm box.
ObservedScene Network()
{
    ObservedScene observed;
    observed.HasBacterium = true;
    observed.BacteriumCentre = {Micrometre, Micrometre, Micrometre};
    observed.BacteriumRadius = 0.3 * Micrometre;
    for (int i = 0; i < 40; ++i) {
        const double a = i * 0.157, b = i * 0.61;
        const CVector barbed{(1 + 0.35 * std::cos(a) * std::cos(b)) * Micrometre,
                             (1 + 0.35 * std::sin(a)) * Micrometre,
                             (1 + 0.35 * std::cos(a) * std::sin(b)) * Micrometre};
        const CVector pointed{(1 + 0.7 * std::cos(a) * std::cos(b)) * Micrometre,
                              (1 + 0.7 * std::sin(a)) * Micrometre,
                              (1 + 0.7 * std::cos(a) * std::sin(b)) * Micrometre};
        observed.Filaments.push_back({barbed, pointed, i % 3 == 0});
    }
    return observed;
}

int Differing(const QImage &a, const QImage &b)
{
    int count = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QColor p = a.pixelColor(x, y), q = b.pixelColor(x, y);
            count += std::abs(p.red() - q.red()) + std::abs(p.green() - q.green()) +
                         std::abs(p.blue() - q.blue()) >
                     48;
        }
    return count;
}

TEST(HeadlessPicture, MatchesTheWindowsViewOfTheSameWorld)
{
    const TMatrix3D view = ViewMatrixOf({35, -25, 1.4});
    const ObservedScene observed = Network();

    QWidget host;
    auto *layout = new QVBoxLayout(&host);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *window = new TWindow3D;
    layout->addWidget(window);
    host.resize(360, 240);
    host.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    QTest::qWait(50);
    window->SetProportional(true);
    TWorldScene shown(*window->GetScene3D());
    shown.SetBox(TXYZ(2 * Micrometre));
    shown.Show(observed);
    window->GetScene3D()->ViewMatrix = view;
    window->GetScene3D()->UpdateMatrix();
    const QImage onScreen = window->GrabFramebuffer();
    ASSERT_EQ(onScreen.size(), QSize(360, 240));

    TOffscreen3D offscreen(360, 240);
    TWorldScene drawn(offscreen.Scene());
    offscreen.Scene().ViewMatrix = view;
    drawn.SetBox(TXYZ(2 * Micrometre));
    drawn.Show(observed);
    const QImage headless = offscreen.Render();

    // Both are Mesa's rasteriser; a pixel or two may fall on the other side
    // of an edge.
    EXPECT_LT(Differing(onScreen, headless), 360 * 240 / 200);
    // Not two empty pictures.
    EXPECT_GT(Differing(headless, QImage(360, 240, QImage::Format_RGB32)), 360 * 240 / 50);
}

} // namespace
