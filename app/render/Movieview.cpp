#include "Movieview.h"

#include <numbers>

TMatrix3D ViewMatrixOf(const MovieView &view)
{
    const double radiansPerDegree = std::numbers::pi / 180.0;
    TMatrix3D matrix = RotationYMatrix(float(view.Azimuth * radiansPerDegree));
    MatrixMultiply(matrix, RotationXMatrix(float(view.Elevation * radiansPerDegree)));
    MatrixMultiply(matrix, UniformScalingMatrix(float(view.Zoom)));
    return matrix;
}
