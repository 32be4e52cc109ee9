#include "Vertexprimitive3dlist.h"

#include "Ogl3d.h"

void TVertexPrimitive3DList::OGL_Paint()
{
    if (Vertices.empty())
        return;
    TObject3D::OGL_Paint();
    OGL_DrawVertices(Vertices, Kind, VertexColors, Color);
}

void TVertexPrimitive3DList::ApplyChanges(int changes)
{
    if (changes != 0)
        Redraw();
}

int TVertexPrimitive3DList::VerticesCountToPrimitivesCount(int n)
{
    return PrimitivesOfKind(Kind, n);
}

unsigned TVertexPrimitive3DList::OGL_PrimitiveType() const
{
    return OGL_PrimitiveOfKind(Kind);
}
