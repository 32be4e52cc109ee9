#pragma once

// OpenGL drawing helpers shared by the scene's leaves; included only by the
// library's own sources so that its public headers stay free of GL.

#include "Types3d.h"

#include <GL/gl.h>
#include <GL/glu.h>

inline void OGL_Color(TRGBA color)
{
    const GLubyte rgb[3] = {RedOf(color), GreenOf(color), BlueOf(color)};
    glColor3ubv(rgb);
}

inline GLenum OGL_PrimitiveOfKind(int kind)
{
    switch (kind) {
    case pkLines:
        return GL_LINES;
    case pkLineStrip:
        return GL_LINE_STRIP;
    case pkTriangles:
        return GL_TRIANGLES;
    case pkTriangleStrip:
        return GL_TRIANGLE_STRIP;
    case pkTriangleFan:
        return GL_TRIANGLE_FAN;
    default:
        return GL_POINTS;
    }
}

// Draws the vertices as one primitive batch, each in its own colour or all in
// the given one.
template <class TVertexRange>
void OGL_DrawVertices(const TVertexRange &vertices, int kind, bool vertexColors, TRGBA color)
{
    glBegin(OGL_PrimitiveOfKind(kind));
    if (!vertexColors)
        OGL_Color(color);
    for (const TXYZC &vertex : vertices) {
        if (vertexColors)
            OGL_Color(vertex.Color);
        glVertex3dv(&vertex.Position.x);
    }
    glEnd();
}

// A solid holds its GLU quadric exactly while it is connected.
inline void OGL_AcquireQuadric(bool &connected, GLUquadric *&quadric)
{
    if (connected)
        return;
    connected = true;
    quadric = gluNewQuadric();
}

inline void OGL_ReleaseQuadric(bool &connected, GLUquadric *&quadric)
{
    if (!connected)
        return;
    gluDeleteQuadric(quadric);
    connected = false;
    quadric = nullptr;
}
