#include "ViewNavigation.h"
#include "Worldscene.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <tuple>

namespace {

// The view matrix after applying the given changes to the identity.
TMatrix3D Applied(const std::vector<TMatrix3D> &changes)
{
    TMatrix3D view = IdentityMatrix();
    for (const TMatrix3D &change : changes)
        MatrixMultiply(view, change);
    return view;
}

void ExpectMatrixNear(const TMatrix3D &actual, const TMatrix3D &expected, float tolerance)
{
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(actual[i], expected[i], tolerance) << "element " << i;
}

TMatrix3D Diagonal(float x, float y, float z)
{
    TMatrix3D m{};
    m[0] = x;
    m[5] = y;
    m[10] = z;
    m[15] = 1.0f;
    return m;
}

} // namespace

TEST(DragMatrices, HorizontalRotateDragTurnsAboutYByTheFractionOfAFullTurn)
{
    // 100 px across a 669 px wide window: about -0.939 rad about the y axis.
    const double angle = -6.28318 * 100.0 / 669.0;
    EXPECT_NEAR(angle, -0.939, 5e-4);
    const TMatrix3D view = Applied(DragMatrices(DragMode::Rotate, 100, 0, 669, 501, TXYZ(2e-6, 2e-6, 2e-6)));
    TMatrix3D expected = Diagonal(float(std::cos(angle)), 1.0f, float(std::cos(angle)));
    expected[2] = float(-std::sin(angle));
    expected[8] = float(std::sin(angle));
    ExpectMatrixNear(view, expected, 1e-6f);
}

TEST(DragMatrices, VerticalRotateDragTurnsAboutX)
{
    const double angle = 6.28318 * 50.0 / 501.0;
    const TMatrix3D view = Applied(DragMatrices(DragMode::Rotate, 0, 50, 669, 501, TXYZ(2e-6, 2e-6, 2e-6)));
    TMatrix3D expected = Diagonal(1.0f, float(std::cos(angle)), float(std::cos(angle)));
    expected[6] = float(std::sin(angle));
    expected[9] = float(-std::sin(angle));
    ExpectMatrixNear(view, expected, 1e-6f);
}

TEST(DragMatrices, MoveXYShiftsByTheDraggedFractionOfTheBox)
{
    const TMatrix3D view =
        Applied(DragMatrices(DragMode::MoveXY, 200, -100, 800, 500, TXYZ(2e-6, 4e-6, 8e-6)));
    TMatrix3D expected = IdentityMatrix();
    expected[12] = 0.25f * 2e-6f;
    expected[13] = -0.2f * 4e-6f;
    ExpectMatrixNear(view, expected, 1e-12f);
}

TEST(DragMatrices, MoveZUsesOnlyTheVerticalDragAndTheDepthOfTheBox)
{
    const TMatrix3D view = Applied(DragMatrices(DragMode::MoveZ, 300, 250, 800, 500, TXYZ(2e-6, 4e-6, 8e-6)));
    TMatrix3D expected = IdentityMatrix();
    expected[14] = 0.5f * 8e-6f;
    ExpectMatrixNear(view, expected, 1e-12f);
}

TEST(WheelZoomMatrix, OneNotchScalesByOnePointOneTwoAndBack)
{
    ExpectMatrixNear(WheelZoomMatrix(120), Diagonal(1.12f, 1.12f, 1.12f), 1e-6f);
    ExpectMatrixNear(WheelZoomMatrix(-120), Diagonal(0.88f, 0.88f, 0.88f), 1e-6f);
    ExpectMatrixNear(WheelZoomMatrix(0), IdentityMatrix(), 0.0f);
}

TEST(SpaceFrameVertices, TwelveDistinctAxisParallelEdgesOfTheBox)
{
    const double X = 2.0, Y = 3.0, Z = 5.0;
    const std::array<TXYZ, 24> v = SpaceFrameVertices(TXYZ(X, Y, Z));
    using Point = std::tuple<double, double, double>;
    std::set<std::pair<Point, Point>> edges;
    int alongX = 0, alongY = 0, alongZ = 0;
    for (int i = 0; i < 24; i += 2) {
        const TXYZ &a = v[std::size_t(i)];
        const TXYZ &b = v[std::size_t(i + 1)];
        for (const TXYZ &p : {a, b}) {
            EXPECT_TRUE(p.x == 0 || p.x == X);
            EXPECT_TRUE(p.y == 0 || p.y == Y);
            EXPECT_TRUE(p.z == 0 || p.z == Z);
        }
        const int differing = (a.x != b.x) + (a.y != b.y) + (a.z != b.z);
        EXPECT_EQ(differing, 1) << "pair " << i;
        alongX += a.x != b.x;
        alongY += a.y != b.y;
        alongZ += a.z != b.z;
        Point p{a.x, a.y, a.z}, q{b.x, b.y, b.z};
        edges.insert(std::minmax(p, q));
    }
    EXPECT_EQ(edges.size(), 12u);
    EXPECT_EQ(alongX, 4);
    EXPECT_EQ(alongY, 4);
    EXPECT_EQ(alongZ, 4);
    // The first pair runs from the origin along x, the last closes the
    // vertical edge at (0, Y).
    EXPECT_EQ(v[0].x, 0.0);
    EXPECT_EQ(v[1].x, X);
    EXPECT_EQ(v[22].z, Z);
    EXPECT_EQ(v[23].y, Y);
    EXPECT_EQ(v[23].z, 0.0);
}
