#include "Movieview.h"

#include <cmath>
#include <numbers>

TMatrix3D ViewMatrixOf(const MovieView &view)
{
    const double radiansPerDegree = std::numbers::pi / 180.0;
    TMatrix3D matrix = RotationYMatrix(float(view.Azimuth * radiansPerDegree));
    MatrixMultiply(matrix, RotationXMatrix(float(view.Elevation * radiansPerDegree)));
    MatrixMultiply(matrix, UniformScalingMatrix(float(view.Zoom)));
    return matrix;
}

MovieView MovieViewOf(const TMatrix3D &view)
{
    // Rows of the turn: (cos a, sin a sin e, -sin a cos e), (0, cos e,
    // sin e), (sin a, -cos a sin e, cos a cos e), all times the zoom.
    const double degreesPerRadian = 180.0 / std::numbers::pi;
    return {std::atan2(view[8], view[0]) * degreesPerRadian, std::atan2(view[6], view[5]) * degreesPerRadian,
            std::hypot(view[4], view[5], view[6])};
}
