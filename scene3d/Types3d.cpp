#include "Types3d.h"

#include <QGuiApplication>
#include <QPalette>

#include <algorithm>
#include <cmath>

TXYZ operator+(const TXYZ &a, const TXYZ &b)
{
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
TXYZ operator-(const TXYZ &a, const TXYZ &b)
{
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
TXYZ operator-(const TXYZ &a)
{
    return {-a.x, -a.y, -a.z};
}
TXYZ operator*(const TXYZ &a, double s)
{
    return {a.x * s, a.y * s, a.z * s};
}
double MaxComponent(const TXYZ &a)
{
    return std::max({a.x, a.y, a.z});
}

std::uint8_t RedOf(TRGBA c)
{
    return c & 0xFF;
}
std::uint8_t GreenOf(TRGBA c)
{
    return (c >> 8) & 0xFF;
}
std::uint8_t BlueOf(TRGBA c)
{
    return (c >> 16) & 0xFF;
}
std::uint8_t AlphaOf(TRGBA c)
{
    return c >> 24;
}

TRGBA MakeRGBA(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a)
{
    return TRGBA(r) | TRGBA(g) << 8 | TRGBA(b) << 16 | TRGBA(a) << 24;
}

namespace {

struct TSystemColorRole {
    QPalette::ColorGroup Group;
    QPalette::ColorRole Role;
};

// The system colour table of the original platform, indexed by the low byte
// of a negative toolkit colour, mapped onto the application palette:
//  0 scroll bar -> Mid                 16 button shadow -> Dark
//  1 desktop -> Dark                   17 grey text -> disabled Text
//  2 active caption -> Highlight       18 button text -> ButtonText
//  3 inactive caption -> inactive Highlight
//  4 menu -> Window                    19 inactive caption text -> inactive HighlightedText
//  5 window -> Base                    20 button highlight -> Light
//  6 window frame -> Shadow            21 3D dark shadow -> Shadow
//  7 menu text -> WindowText           22 3D light -> Midlight
//  8 window text -> Text               23 tooltip text -> ToolTipText
//  9 caption text -> HighlightedText   24 tooltip background -> ToolTipBase
// 10 active border -> Window           25 (unused) -> black
// 11 inactive border -> inactive Window
// 12 application workspace -> Dark     26 hot-tracked item -> Link
// 13 highlight -> Highlight            27 active caption gradient -> Highlight
// 14 highlighted text -> HighlightedText
// 15 button face -> Button             28 inactive caption gradient -> inactive Highlight
//                                      29 menu highlight -> Highlight
//                                      30 menu bar -> Window
// Indices beyond the table give black, as the platform's query does.
constexpr int UnusedSystemColor = 25;
constexpr TSystemColorRole SystemColorRoles[] = {
    {QPalette::Active, QPalette::Mid},
    {QPalette::Active, QPalette::Dark},
    {QPalette::Active, QPalette::Highlight},
    {QPalette::Inactive, QPalette::Highlight},
    {QPalette::Active, QPalette::Window},
    {QPalette::Active, QPalette::Base},
    {QPalette::Active, QPalette::Shadow},
    {QPalette::Active, QPalette::WindowText},
    {QPalette::Active, QPalette::Text},
    {QPalette::Active, QPalette::HighlightedText},
    {QPalette::Active, QPalette::Window},
    {QPalette::Inactive, QPalette::Window},
    {QPalette::Active, QPalette::Dark},
    {QPalette::Active, QPalette::Highlight},
    {QPalette::Active, QPalette::HighlightedText},
    {QPalette::Active, QPalette::Button},
    {QPalette::Active, QPalette::Dark},
    {QPalette::Disabled, QPalette::Text},
    {QPalette::Active, QPalette::ButtonText},
    {QPalette::Inactive, QPalette::HighlightedText},
    {QPalette::Active, QPalette::Light},
    {QPalette::Active, QPalette::Shadow},
    {QPalette::Active, QPalette::Midlight},
    {QPalette::Active, QPalette::ToolTipText},
    {QPalette::Active, QPalette::ToolTipBase},
    {QPalette::Active, QPalette::NoRole},
    {QPalette::Active, QPalette::Link},
    {QPalette::Active, QPalette::Highlight},
    {QPalette::Inactive, QPalette::Highlight},
    {QPalette::Active, QPalette::Highlight},
    {QPalette::Active, QPalette::Window},
};

std::uint32_t SystemColor(int index)
{
    if (index == UnusedSystemColor || index >= int(std::size(SystemColorRoles)))
        return 0;
    const TSystemColorRole &entry = SystemColorRoles[index];
    const QColor c = QGuiApplication::palette().color(entry.Group, entry.Role);
    return MakeRGBA(c.red(), c.green(), c.blue(), 0);
}

} // namespace

TRGBA ColorToRGBA(TColor color, std::uint8_t alpha)
{
    const std::uint32_t rgb = color < 0 ? SystemColor(color & 0xFF) : std::uint32_t(color);
    return (rgb & 0xFFFFFF) | TRGBA(alpha) << 24;
}

TMatrix3D ZeroMatrix()
{
    return TMatrix3D{};
}

TMatrix3D IdentityMatrix()
{
    return ScalingMatrix(1.0f, 1.0f, 1.0f);
}

TMatrix3D TranslationMatrix(float x, float y, float z)
{
    TMatrix3D m = IdentityMatrix();
    m[12] = x;
    m[13] = y;
    m[14] = z;
    return m;
}

TMatrix3D TranslationMatrix(const TXYZ &shift)
{
    return TranslationMatrix(float(shift.x), float(shift.y), float(shift.z));
}

TMatrix3D ScalingMatrix(float sx, float sy, float sz)
{
    TMatrix3D m{};
    m[0] = sx;
    m[5] = sy;
    m[10] = sz;
    m[15] = 1.0f;
    return m;
}

TMatrix3D UniformScalingMatrix(float s)
{
    return ScalingMatrix(s, s, s);
}

TMatrix3D RotationXMatrix(float angle)
{
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    TMatrix3D m{};
    m[0] = 1.0f;
    m[5] = c;
    m[6] = s;
    m[9] = -s;
    m[10] = c;
    m[15] = 1.0f;
    return m;
}

TMatrix3D RotationYMatrix(float angle)
{
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    TMatrix3D m{};
    m[0] = c;
    m[2] = -s;
    m[5] = 1.0f;
    m[8] = s;
    m[10] = c;
    m[15] = 1.0f;
    return m;
}

TMatrix3D OrthoMatrix(float x1, float x2, float y1, float y2, float z1, float z2)
{
    TMatrix3D m{};
    m[0] = 2.0f / (x2 - x1);
    m[12] = -(x2 + x1) / (x2 - x1);
    m[5] = -2.0f / (y2 - y1);
    m[13] = -(y2 + y1) / (y2 - y1);
    m[10] = 2.0f / (z2 - z1);
    m[14] = -(z2 + z1) / (z2 - z1);
    m[15] = 1.0f;
    return m;
}

TMatrix3D MatrixProduct(const TMatrix3D &a, const TMatrix3D &b)
{
    TMatrix3D c{};
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k)
                sum += a[4 * i + k] * b[4 * k + j];
            c[4 * i + j] = sum;
        }
    return c;
}

// The product is formed apart from a, so a may be overwritten, and may even
// be b itself.
void MatrixMultiply(TMatrix3D &a, const TMatrix3D &b)
{
    a = MatrixProduct(a, b);
}

int PrimitivesOfKind(int kind, int n)
{
    switch (kind) {
    case pkPoints:
        return n;
    case pkLines:
        return n / 2;
    case pkLineStrip:
        return n > 1 ? n - 1 : 0;
    case pkTriangles:
        return n / 3;
    case pkTriangleStrip:
    case pkTriangleFan:
        return n > 2 ? n - 2 : 0;
    default:
        return 0;
    }
}
