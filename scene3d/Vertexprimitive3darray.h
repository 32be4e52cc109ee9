#pragma once

#include "Object3d.h"

#include <memory>

// Coloured vertices in one block of fixed size addressed by index, joined as
// points, lines or triangles.
class TVertexPrimitive3DArray : public TObject3D {
public:
    void OGL_Paint() override;
    // Recounts the primitives for the current Kind and redraws when changes is
    // not 0.
    virtual void ApplyChanges(int changes);
    virtual int VerticesCountToPrimitivesCount(int n);
    unsigned OGL_PrimitiveType() const;

    // Resizes the block to n vertices, keeping the first ones and zero-filling
    // the rest; n < 1 empties it. If the new block cannot be allocated the
    // array keeps its old block and count.
    void CreateVertices(int n);
    void DestroyVertices();
    void SetVerticesCount(int n);
    // Vertex i for reading and writing; 0 <= i < VerticesCount is not checked.
    TXYZC &GetVertex(int i) { return Vertices[i]; }
    const TXYZC &GetVertex(int i) const { return Vertices[i]; }
    int GetVerticesCount() const { return VerticesCount; }
    int GetPrimitivesCount() const { return PrimitivesCount; }

    TRGBA Color = MakeRGBA(128, 128, 128, 255);
    bool VertexColors = false;
    int Kind = pkPoints;

private:
    int VerticesCount = 0;
    int PrimitivesCount = 0;
    std::unique_ptr<TXYZC[]> Vertices;
};
