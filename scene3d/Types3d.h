#pragma once

// Value types of the 3D library: points, coloured vertices, packed colours and
// single-precision 4x4 matrices in OpenGL element order, with their builders.

#include <array>
#include <cstdint>

// A colour of the widget toolkit: 0x00BBGGRR, or a negative value naming a
// system colour by the index in its low byte.
using TColor = std::int32_t;

// Packed colour: red in the lowest byte, then green, blue, alpha on top.
using TRGBA = std::uint32_t;

struct TXYZ {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;

    TXYZ() = default;
    TXYZ(double ax, double ay, double az) : x(ax), y(ay), z(az) {}
    explicit TXYZ(double all) : x(all), y(all), z(all) {}
};

TXYZ operator+(const TXYZ &a, const TXYZ &b);
TXYZ operator-(const TXYZ &a, const TXYZ &b);
TXYZ operator-(const TXYZ &a);
TXYZ operator*(const TXYZ &a, double s);
double MaxComponent(const TXYZ &a);

// A vertex: the position is handed to glVertex3dv as three consecutive doubles,
// the colour's first three bytes (red, green, blue on a little-endian machine)
// to glColor3ubv.
struct TXYZC {
    TXYZ Position;
    TRGBA Color = 0;

    TXYZC() = default;
    TXYZC(double x, double y, double z, TRGBA color) : Position(x, y, z), Color(color) {}
};

std::uint8_t RedOf(TRGBA c);
std::uint8_t GreenOf(TRGBA c);
std::uint8_t BlueOf(TRGBA c);
std::uint8_t AlphaOf(TRGBA c);

TRGBA MakeRGBA(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a);
TRGBA ColorToRGBA(TColor color, std::uint8_t alpha);

// Column-major as OpenGL reads it: [12], [13], [14] translate, [15] is the
// homogeneous 1.
using TMatrix3D = std::array<float, 16>;

TMatrix3D ZeroMatrix();
TMatrix3D IdentityMatrix();
TMatrix3D TranslationMatrix(float x, float y, float z);
TMatrix3D TranslationMatrix(const TXYZ &shift);
TMatrix3D ScalingMatrix(float sx, float sy, float sz);
TMatrix3D UniformScalingMatrix(float s);
TMatrix3D RotationXMatrix(float angle);
TMatrix3D RotationYMatrix(float angle);
// Parallel projection that mirrors y and keeps z, a half turn about x from
// the usual OpenGL orthographic matrix.
TMatrix3D OrthoMatrix(float x1, float x2, float y1, float y2, float z1, float z2);

// Product of the arrays read row by row; in OpenGL's column-vector reading the
// result applies a first, then b.
TMatrix3D MatrixProduct(const TMatrix3D &a, const TMatrix3D &b);
// a becomes MatrixProduct(a, b).
void MatrixMultiply(TMatrix3D &a, const TMatrix3D &b);

// How the vertices of a vertex primitive are joined.
enum TPrimitiveKind : int {
    pkPoints = 1,
    pkLines = 2,
    pkLineStrip = 3,
    pkTriangles = 4,
    pkTriangleStrip = 5,
    pkTriangleFan = 6,
};

// Number of whole primitives that n vertices make; 0 for an unknown kind.
int PrimitivesOfKind(int kind, int n);
