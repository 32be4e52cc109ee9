// The headless view and the pieces of a movie, without a display.

#include "Movierecorder.h"
#include "Movieview.h"
#include "Worldpicture.h"

#include "WithoutDisplay.h"

#include <gtest/gtest.h>

namespace {

constexpr double Micrometre = 1e-6; // m

// A 2 µm box with a bacterium of radius 0.25 µm at its centre and one
// uncapped filament along x, in front of it.
ObservedScene Cube(TWorldScene &objects)
{
    objects.SetBox(TXYZ(2 * Micrometre));
    ObservedScene observed;
    observed.HasBacterium = true;
    observed.BacteriumCentre = {Micrometre, Micrometre, Micrometre};
    observed.BacteriumRadius = 0.25 * Micrometre;
    observed.Filaments.push_back({{1.6 * Micrometre, 0.4 * Micrometre, 1.9 * Micrometre},
                                  {0.4 * Micrometre, 0.4 * Micrometre, 1.9 * Micrometre}});
    objects.Show(observed);
    return observed;
}

bool Is(const QImage &picture, int x, int y, QColor color)
{
    return picture.pixelColor(x, y) == color;
}

// The columns of the leftmost and rightmost grey pixel of a row.
std::pair<int, int> GreyExtent(const QImage &picture, int row)
{
    int left = picture.width(), right = -1;
    for (int x = 0; x < picture.width(); ++x)
        if (Is(picture, x, row, QColor(128, 128, 128))) {
            left = std::min(left, x);
            right = std::max(right, x);
        }
    return {left, right};
}

TEST(Offscreen, DrawsTheBoxTheBacteriumAndTheFilamentWhereTheyAre)
{
    TOffscreen3D view(200, 200);
    TWorldScene objects(view.Scene());
    Cube(objects);
    const QImage picture = view.Render();
    // The box fills the middle half of the view: 1 µm is 50 px.
    const auto [left, right] = GreyExtent(picture, 100);
    EXPECT_NEAR(left, 50, 1);
    EXPECT_NEAR(right, 150, 1);
    int silver = 0;
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 200; ++x)
            silver += Is(picture, x, y, QColor(192, 192, 192));
    EXPECT_NEAR(silver, 3.14159 * 12.5 * 12.5, 0.1 * 3.14159 * 12.5 * 12.5);
    // The filament, blue to red: y is mirrored, as on screen, so 0.4 µm
    // from the box's y = 0 face is row 50 + 20; x runs from column 70 to 130.
    for (int x = 72; x <= 128; ++x) {
        bool drawn = false;
        for (int y = 68; y <= 72; ++y)
            drawn = drawn || (picture.pixelColor(x, y).blue() > 0 && picture.pixelColor(x, y).green() == 0);
        EXPECT_TRUE(drawn) << x;
    }
    EXPECT_TRUE(Is(picture, 5, 5, Qt::black));
}

TEST(Offscreen, KeepsTheAspectOfAWidePicture)
{
    TOffscreen3D view(400, 200);
    TWorldScene objects(view.Scene());
    Cube(objects);
    const QImage picture = view.Render();
    const auto [left, right] = GreyExtent(picture, 100);
    int top = 200, bottom = -1;
    for (int y = 0; y < 200; ++y)
        if (Is(picture, 200, y, QColor(128, 128, 128))) {
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    EXPECT_NEAR(right - left, bottom - top, 1);
    EXPECT_NEAR(right - left, 100, 1);
}

TEST(Offscreen, AzimuthTurnsAboutTheVerticalAxis)
{
    // A quarter turn shows the box from the side: the filament, along x,
    // becomes a point, and the box is as wide as before.
    TOffscreen3D view(200, 200);
    TWorldScene objects(view.Scene());
    view.Scene().ViewMatrix = ViewMatrixOf({90, 0, 1});
    view.Scene().UpdateMatrix();
    Cube(objects);
    const QImage picture = view.Render();
    int blue = 0;
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 200; ++x)
            blue += Is(picture, x, y, QColor(0, 0, 255)) || Is(picture, x, y, QColor(255, 0, 0));
    EXPECT_LE(blue, 2);
    EXPECT_NEAR(GreyExtent(picture, 100).second - GreyExtent(picture, 100).first, 100, 1);
}

TEST(WorldPicture, ScaleFollowsTheSizeAndTheZoom)
{
    // A 2 µm box spans half the height of a wide picture.
    for (const auto &[zoom, pixelsPerMicrometre] : {std::pair{1.0, 180.0}, {2.0, 360.0}}) {
        WorldPicture picture(1280, 720, ViewMatrixOf({30, 20, zoom}));
        picture.SetBox(TXYZ(2 * Micrometre));
        EXPECT_NEAR(picture.PixelsPerMetre() * Micrometre, pixelsPerMicrometre, 1e-3) << zoom;
    }
}

TEST(MovieView, OfTheWindowsTransformGivesTheSameTransformBack)
{
    for (const MovieView view : {MovieView{0, 0, 1}, {30, 20, 1.5}, {-120, -75, 0.4}, {179, 5, 3}}) {
        const TMatrix3D matrix = ViewMatrixOf(view);
        const MovieView back = MovieViewOf(matrix);
        EXPECT_NEAR(back.Azimuth, view.Azimuth, 1e-4);
        EXPECT_NEAR(back.Elevation, view.Elevation, 1e-4);
        EXPECT_NEAR(back.Zoom, view.Zoom, 1e-5);
    }
    // A window's drags: a tilt after a turn, then a wheel notch.
    TMatrix3D dragged = RotationYMatrix(0.4f);
    MatrixMultiply(dragged, RotationXMatrix(0.2f));
    MatrixMultiply(dragged, UniformScalingMatrix(1.12f));
    const TMatrix3D again = ViewMatrixOf(MovieViewOf(dragged));
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(again[i], dragged[i], 1e-5) << i;
}

TEST(WorldPicture, ScaleBarIsARoundLengthUpToAFifthOfTheWidth)
{
    const struct {
        double Width; // µm
        double Bar;   // µm
    } cases[] = {{7.11, 1}, {10, 2}, {9.99, 1}, {25, 5}, {1, 0.2}, {400, 50}};
    for (const auto &[width, bar] : cases)
        EXPECT_NEAR(ScaleBarMicrometres(width * Micrometre), bar, bar * 1e-9) << width;
}

TEST(WorldPicture, TimeCaptionHasTheDecimalsOfTheStep)
{
    EXPECT_EQ(TimeCaption(0.30000000000000004, 0.05), "0.30");
    EXPECT_EQ(TimeCaption(12.0, 0.1), "12.0");
    EXPECT_EQ(TimeCaption(3.0, 1.0), "3");
}

TEST(FrameClock, TakesAFrameAtEachMultipleOfThePeriodSeenAtObservations)
{
    const struct {
        double Period;
        double Step; // of the observations
        double End;
        int Frames;
    } cases[] = {{0.05, 0.01, 0.5, 11}, {0.01, 0.01, 0.5, 51}, {0.1, 0.03, 0.3, 4}, {1e-4, 1e-4, 0.01, 101}};
    for (const auto &[period, step, end, frames] : cases) {
        FrameClock clock(period, step / 2);
        int due = 0;
        // Observation times as the run accumulates them, rounding included.
        for (double time = 0.0; time <= end + step / 2; time += step)
            due += clock.Due(time);
        EXPECT_EQ(due, frames) << period << " " << step;
    }
}

} // namespace
