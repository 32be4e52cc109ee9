#pragma once

#include "Object3d.h"

#include <list>

// Coloured vertices in a linked list that is cheap to clear and refill,
// joined as points, lines or triangles.
class TVertexPrimitive3DList : public TObject3D {
public:
    void OGL_Paint() override;
    // Redraws when changes is not 0.
    virtual void ApplyChanges(int changes);
    virtual int VerticesCountToPrimitivesCount(int n);
    // The OpenGL primitive enumerator for Kind (GL_POINTS for an unknown kind).
    unsigned OGL_PrimitiveType() const;

    std::list<TXYZC> Vertices;
    TRGBA Color = MakeRGBA(128, 128, 128, 255);
    bool VertexColors = false;
    int Kind = pkPoints;
};
