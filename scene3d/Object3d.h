#pragma once

#include "Types3d.h"

class TContainer3D;
class TCustomWindow3D;

// A node of the scene graph: its own transform relative to its parent and the
// absolute transform loaded into OpenGL before it draws. Nodes are created
// with new and deleted through a base pointer.
class TObject3D {
public:
    TObject3D() = default;
    TObject3D(const TObject3D &) = delete;
    TObject3D &operator=(const TObject3D &) = delete;

    // The view control that shows this node, or none.
    virtual TCustomWindow3D *GetWindow3D() const;
    // Refreshes everything derived from the node's fields.
    virtual void Update();
    virtual void UpdateMatrix();
    // Acquire and release OpenGL-side resources; the view's context is current.
    virtual void OGL_Connect();
    virtual void OGL_Disconnect();
    // Draws with the model-view matrix mode set; the base only loads the
    // absolute matrix.
    virtual void OGL_Paint();
    // Detaches from the parent, which disconnects the node first.
    virtual ~TObject3D();

    TContainer3D *GetParent() const { return Parent; }
    // Moves the node to the end of another container (none detaches it).
    void SetParent(TContainer3D *container);
    bool IsConnected() const { return Connected; }
    // Asks the showing control to render at once (unless it is locked).
    void Redraw();

    TMatrix3D LocalMatrix = IdentityMatrix();
    TMatrix3D AbsoluteMatrix = IdentityMatrix();

protected:
    bool Connected = false;

private:
    friend class TContainer3D;
    TContainer3D *Parent = nullptr;
};
