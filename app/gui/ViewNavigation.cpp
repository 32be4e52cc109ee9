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
