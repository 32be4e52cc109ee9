#pragma once

#include "Types3d.h"
#include "WorldSnapshots.h"

#include <array>
#include <memory>

class TCustomScene3D;
class TSphere3D;
class TVertexPrimitive3DArray;
class TVertexPrimitive3DList;

// The world's objects in a 3D scene, as the window's 3D page and the
// pictures of a run show them: the box's edges in grey, each filament as a
// line from its barbed end (blue, yellow when capped) to its pointed end
// (red), and the bacterium as a silver sphere.
class TWorldScene {
public:
    // Adds the objects to scene, which must outlive this object.
    explicit TWorldScene(TCustomScene3D &scene);
    // The objects leave the scene.
    ~TWorldScene();
    TWorldScene(const TWorldScene &) = delete;
    TWorldScene &operator=(const TWorldScene &) = delete;

    // The box from the origin to size (m): its edges, centred in a parallel
    // projection that shows it whole. The scene's view transform is kept.
    void SetBox(const TXYZ &size);
    // The filaments and the bacterium as observed; a scene without a
    // bacterium leaves the sphere as it was.
    void Show(const ObservedScene &observed);
    void SetSolidBacterium(bool solid);

private:
    TCustomScene3D &Scene;
    std::unique_ptr<TVertexPrimitive3DList> FilamentLines;
    std::unique_ptr<TVertexPrimitive3DArray> SpaceFrame;
    std::unique_ptr<TSphere3D> BacteriumSphere;
};

// The 12 edges of the box from the origin to farCorner as 24 line vertices.
std::array<TXYZ, 24> SpaceFrameVertices(const TXYZ &farCorner);
