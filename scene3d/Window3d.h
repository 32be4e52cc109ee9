#pragma once

#include "Customwindow3d.h"
#include "Scene3d.h"

#include <functional>

class QMouseEvent;
class QWheelEvent;

// The view control with its own scene, which it creates and owns for its whole
// life. Mouse handlers are set by the form that uses it.
class TWindow3D : public TCustomWindow3D {
public:
    explicit TWindow3D(QWidget *parent = nullptr);
    // Destroys the scene and every object in it before the control.
    ~TWindow3D() override;

    TScene3D *GetScene3D() const override { return Scene; }

    std::function<void(QMouseEvent *)> OnMouseDown;
    std::function<void(QMouseEvent *)> OnMouseMove;
    std::function<void(QMouseEvent *)> OnMouseUp;
    // The wheel event is left unhandled, so it still travels to the parents.
    std::function<void(QWheelEvent *)> OnMouseWheel;

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    TScene3D *Scene;
};
