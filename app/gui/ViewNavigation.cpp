#include "ViewNavigation.h"

namespace {

// One full turn, as the view has always used it.
constexpr double FullTurn = 6.28318;

} // namespace

std::vector<TMatrix3D> DragMatrices(DragMode mode, int dx, int dy, int windowWidth, int windowHeight,
                                    const TXYZ &boxSize)
{
    const float fx = float(double(dx) / double(windowWidth));
    const float fy = float(double(dy) / double(windowHeight));
    switch (mode) {
    case DragMode::MoveXY:
        return {TranslationMatrix(float(fx * boxSize.x), float(fy * boxSize.y), 0.0f)};
    case DragMode::MoveZ:
        return {TranslationMatrix(0.0f, 0.0f, float(fy * boxSize.z))};
    case DragMode::Rotate:
        break;
    }
    return {RotationXMatrix(float(FullTurn * fy)), RotationYMatrix(float(-FullTurn * fx))};
}

TMatrix3D WheelZoomMatrix(int wheelDelta)
{
    return UniformScalingMatrix(float(1.0 + 0.001 * wheelDelta));
}

std::array<TXYZ, 24> SpaceFrameVertices(const TXYZ &c)
{
    const TXYZ o(0.0, 0.0, 0.0);
    return {{
        // The face at z = 0.
        o,
        TXYZ(c.x, 0, 0),
        TXYZ(c.x, c.y, 0),
        TXYZ(c.x, 0, 0),
        TXYZ(c.x, c.y, 0),
        TXYZ(0, c.y, 0),
        TXYZ(0, c.y, 0),
        o,
        // The face at z = Z.
        TXYZ(0, 0, c.z),
        TXYZ(c.x, 0, c.z),
        TXYZ(c.x, c.y, c.z),
        TXYZ(c.x, 0, c.z),
        TXYZ(c.x, c.y, c.z),
        TXYZ(0, c.y, c.z),
        TXYZ(0, c.y, c.z),
        TXYZ(0, 0, c.z),
        // The four edges between them.
        TXYZ(0, 0, c.z),
        o,
        TXYZ(c.x, 0, 0),
        TXYZ(c.x, 0, c.z),
        TXYZ(c.x, c.y, c.z),
        TXYZ(c.x, c.y, 0),
        TXYZ(0, c.y, c.z),
        TXYZ(0, c.y, 0),
    }};
}
