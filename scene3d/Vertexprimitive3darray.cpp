#include "Vertexprimitive3darray.h"

#include "Ogl3d.h"

#include <algorithm>
#include <new>
#include <span>

void TVertexPrimitive3DArray::OGL_Paint()
{
    if (VerticesCount <= 0)
        return;
    TObject3D::OGL_Paint();
    OGL_DrawVertices(std::span<const TXYZC>(Vertices.get(), VerticesCount), Kind, VertexColors, Color);
}

void TVertexPrimitive3DArray::ApplyChanges(int changes)
{
    if (changes == 0)
        return;
    PrimitivesCount = VerticesCountToPrimitivesCount(VerticesCount);
    Redraw();
}

int TVertexPrimitive3DArray::VerticesCountToPrimitivesCount(int n)
{
    return PrimitivesOfKind(Kind, n);
}

unsigned TVertexPrimitive3DArray::OGL_PrimitiveType() const
{
    return OGL_PrimitiveOfKind(Kind);
}

void TVertexPrimitive3DArray::CreateVertices(int n)
{
    if (n == VerticesCount)
        return;
    if (n < 1) {
        DestroyVertices();
        return;
    }
    std::unique_ptr<TXYZC[]> block(new (std::nothrow) TXYZC[n]);
    if (!block)
        return;
    std::copy_n(Vertices.get(), std::min(VerticesCount, n), block.get());
    Vertices = std::move(block);
    VerticesCount = n;
    PrimitivesCount = VerticesCountToPrimitivesCount(n);
}

void TVertexPrimitive3DArray::DestroyVertices()
{
    VerticesCount = 0;
    PrimitivesCount = 0;
    Vertices.reset();
}

void TVertexPrimitive3DArray::SetVerticesCount(int n)
{
    if (n != VerticesCount)
        CreateVertices(n);
}
