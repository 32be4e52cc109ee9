#pragma once

#include "Object3d.h"

#include <vector>

// A node that owns an ordered list of children; the order is the drawing order.
class TContainer3D : public TObject3D {
public:
    void UpdateMatrix() override;
    void OGL_Connect() override;
    void OGL_Disconnect() override;
    void OGL_Paint() override;
    ~TContainer3D() override;

    // Appends a node that is not yet a child and connects it if this container
    // is connected. It does not detach the node from another parent.
    void Add(TObject3D *child);
    // Disconnects the child and hands its ownership back to the caller.
    void Remove(TObject3D *child);
    int IndexOf(const TObject3D *child) const;
    int Count() const { return int(Children.size()); }
    TObject3D *Item(int i) const { return Children[i]; }
    void DeleteChildren();

protected:
    void UpdateChildMatrices();

private:
    std::vector<TObject3D *> Children;
};
