#include "Types3d.h"

#include "MatrixExpectations.h"

#include <QGuiApplication>
#include <QPalette>

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

TRGBA PaletteRGB(QPalette::ColorGroup group, QPalette::ColorRole role)
{
    const QColor c = QGuiApplication::palette().color(group, role);
    return TRGBA(c.blue()) << 16 | TRGBA(c.green()) << 8 | TRGBA(c.red());
}

} // namespace

TEST(Types3d, PointArithmetic)
{
    const TXYZ a(1.0, -2.0, 3.5);
    const TXYZ b(0.5, 4.0, -1.0);
    ExpectNear(a + b, {1.5, 2.0, 2.5}, 0.0);
    ExpectNear(a - b, {0.5, -6.0, 4.5}, 0.0);
    ExpectNear(-a, {-1.0, 2.0, -3.5}, 0.0);
    ExpectNear(a * 2.0, {2.0, -4.0, 7.0}, 0.0);
    ExpectNear(TXYZ(7.0), {7.0, 7.0, 7.0}, 0.0);
    EXPECT_EQ(MaxComponent(a), 3.5);
    EXPECT_EQ(MaxComponent({-4.0, -1.0, -9.0}), -1.0);
}

TEST(Types3d, VertexDefaultsAndLayout)
{
    const TXYZC origin;
    ExpectNear(origin.Position, {0.0, 0.0, 0.0}, 0.0);
    EXPECT_EQ(origin.Color, 0u);
    const TXYZC v(1.0, 2.0, 3.0, MakeRGBA(10, 20, 30, 40));
    // glVertex3dv reads three consecutive doubles from the position.
    const double *xyz = &v.Position.x;
    EXPECT_EQ(xyz[0], 1.0);
    EXPECT_EQ(xyz[1], 2.0);
    EXPECT_EQ(xyz[2], 3.0);
    EXPECT_EQ(RedOf(v.Color), 10);
    EXPECT_EQ(GreenOf(v.Color), 20);
    EXPECT_EQ(BlueOf(v.Color), 30);
    EXPECT_EQ(AlphaOf(v.Color), 40);
}

TEST(Types3d, MakeRGBAPacksRedLowest)
{
    EXPECT_EQ(MakeRGBA(0x12, 0x34, 0x56, 0x78), 0x78563412u);
    EXPECT_EQ(MakeRGBA(255, 0, 0, 0), 0xFFu);
}

TEST(Types3d, ColorToRGBAKeepsLow24BitsAndPutsAlphaOnTop)
{
    EXPECT_EQ(ColorToRGBA(0x123456, 0x80), 0x80123456u);
    EXPECT_EQ(ColorToRGBA(0x7F123456, 0xFF), 0xFF123456u);
    EXPECT_EQ(ColorToRGBA(0, 0), 0u);
}

TEST(Types3d, ColorToRGBAResolvesSystemColorsThroughThePalette)
{
    const auto system = [](int index) { return TColor(0x80000000u | unsigned(index)); };
    EXPECT_EQ(ColorToRGBA(system(5), 0xFF), PaletteRGB(QPalette::Active, QPalette::Base) | 0xFF000000u);
    EXPECT_EQ(ColorToRGBA(system(15), 0x00), PaletteRGB(QPalette::Active, QPalette::Button));
    EXPECT_EQ(ColorToRGBA(system(13), 0x40), PaletteRGB(QPalette::Active, QPalette::Highlight) | 0x40000000u);
    // Only the low byte names the colour.
    EXPECT_EQ(ColorToRGBA(TColor(0xFF00FF05u), 0), ColorToRGBA(system(5), 0));
    // Indices the platform does not know give black.
    EXPECT_EQ(ColorToRGBA(system(25), 0xFF), 0xFF000000u);
    EXPECT_EQ(ColorToRGBA(system(200), 0xFF), 0xFF000000u);
}

TEST(Types3d, SimpleMatrixBuilders)
{
    ExpectElements(ZeroMatrix(), {});
    ExpectElements(IdentityMatrix(), {{0, 1}, {5, 1}, {10, 1}, {15, 1}});
    ExpectElements(TranslationMatrix(1.5f, -2.0f, 3.0f),
                   {{0, 1}, {5, 1}, {10, 1}, {15, 1}, {12, 1.5f}, {13, -2.0f}, {14, 3.0f}});
    ExpectElements(TranslationMatrix(TXYZ(0.1, 0.2, 0.3)),
                   {{0, 1}, {5, 1}, {10, 1}, {15, 1}, {12, 0.1f}, {13, 0.2f}, {14, 0.3f}});
    ExpectElements(ScalingMatrix(2, 3, 4), {{0, 2}, {5, 3}, {10, 4}, {15, 1}});
    ExpectElements(UniformScalingMatrix(0.5f), {{0, 0.5f}, {5, 0.5f}, {10, 0.5f}, {15, 1}});
}

TEST(Types3d, RotationsTurnAxesTheOpenGLWay)
{
    const float a = 0.3f;
    ExpectElements(
        RotationXMatrix(a),
        {{0, 1}, {5, std::cos(a)}, {6, std::sin(a)}, {9, -std::sin(a)}, {10, std::cos(a)}, {15, 1}});
    ExpectElements(
        RotationYMatrix(a),
        {{0, std::cos(a)}, {2, -std::sin(a)}, {5, 1}, {8, std::sin(a)}, {10, std::cos(a)}, {15, 1}});
    const float quarter = std::numbers::pi_v<float> / 2;
    // Right-handed quarter turns: about x, y goes to z; about y, z goes to x.
    ExpectNear(Transform(RotationXMatrix(quarter), {0, 1, 0}), {0, 0, 1});
    ExpectNear(Transform(RotationYMatrix(quarter), {0, 0, 1}), {1, 0, 0});
    ExpectNear(Transform(RotationYMatrix(quarter), {1, 0, 0}), {0, 0, -1});
}

TEST(Types3d, OrthoMatrixMirrorsYAndKeepsZ)
{
    ExpectElements(OrthoMatrix(-2, 2, -4, 4, -100, 100), {{0, 0.5f}, {5, -0.25f}, {10, 0.01f}, {15, 1}});
    ExpectElements(OrthoMatrix(0, 4, 0, 2, 0, 10),
                   {{0, 0.5f}, {12, -1}, {5, -1}, {13, -1}, {10, 0.2f}, {14, -1}, {15, 1}});
    // With symmetric bounds the upper corner goes to x = 1, y = -1, z = 1.
    ExpectNear(Transform(OrthoMatrix(-4, 4, -2, 2, -10, 10), {4, 2, 10}), {1, -1, 1});
}

TEST(Types3d, MatrixProductAppliesTheFirstMatrixFirst)
{
    const TMatrix3D shift = TranslationMatrix(1, 2, 3);
    const TMatrix3D scale = ScalingMatrix(2, 3, 4);
    ExpectNear(Transform(MatrixProduct(shift, scale), {0, 0, 0}), {2, 6, 12});
    ExpectNear(Transform(MatrixProduct(scale, shift), {0, 0, 0}), {1, 2, 3});
    const TMatrix3D turn = RotationYMatrix(std::numbers::pi_v<float> / 2);
    ExpectNear(Transform(MatrixProduct(TranslationMatrix(1, 0, 0), turn), {0, 0, 0}), {0, 0, -1});

    const TMatrix3D a = MatrixProduct(RotationXMatrix(0.4f), TranslationMatrix(-1, 0.5f, 2));
    const TMatrix3D b = MatrixProduct(RotationYMatrix(-1.1f), ScalingMatrix(1.5f, 0.5f, 2));
    const TXYZ p(0.3, -0.7, 1.9);
    ExpectNear(Transform(MatrixProduct(a, b), p), Transform(b, Transform(a, p)), 1e-5);
}

TEST(Types3d, MatrixMultiplyReplacesTheFirstOperand)
{
    const TMatrix3D b = MatrixProduct(RotationXMatrix(0.7f), TranslationMatrix(2, -1, 0.5f));
    TMatrix3D a = MatrixProduct(RotationYMatrix(0.2f), ScalingMatrix(1, 2, 3));
    const TMatrix3D expected = MatrixProduct(a, b);
    MatrixMultiply(a, b);
    EXPECT_EQ(a, expected);

    TMatrix3D self = b;
    MatrixMultiply(self, self);
    EXPECT_EQ(self, MatrixProduct(b, b));
}
