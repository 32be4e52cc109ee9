#include "Window3d.h"

#include <QMouseEvent>
#include <QWheelEvent>

TWindow3D::TWindow3D(QWidget *parent) : TCustomWindow3D(parent), Scene(new TScene3D)
{
    Scene->Window = this;
    // Moves are reported with or without a button down, as the handlers expect.
    setMouseTracking(true);
}

TWindow3D::~TWindow3D()
{
    delete Scene;
    Scene = nullptr;
}

void TWindow3D::mousePressEvent(QMouseEvent *event)
{
    if (OnMouseDown)
        OnMouseDown(event);
}

void TWindow3D::mouseMoveEvent(QMouseEvent *event)
{
    if (OnMouseMove)
        OnMouseMove(event);
}

void TWindow3D::mouseReleaseEvent(QMouseEvent *event)
{
    if (OnMouseUp)
        OnMouseUp(event);
}

void TWindow3D::wheelEvent(QWheelEvent *event)
{
    if (OnMouseWheel)
        OnMouseWheel(event);
    event->ignore();
}
