#include "Object3d.h"

#include "Container3d.h"
#include "Customwindow3d.h"

#include <GL/gl.h>

TCustomWindow3D *TObject3D::GetWindow3D() const
{
    return Parent ? Parent->GetWindow3D() : nullptr;
}

void TObject3D::Update()
{
    UpdateMatrix();
}

void TObject3D::UpdateMatrix()
{
    // A node outside any container has no transform above its own.
    AbsoluteMatrix = Parent ? MatrixProduct(LocalMatrix, Parent->AbsoluteMatrix) : LocalMatrix;
}

void TObject3D::OGL_Connect()
{
    Connected = true;
    Update();
}

void TObject3D::OGL_Disconnect()
{
    Connected = false;
}

void TObject3D::OGL_Paint()
{
    glLoadMatrixf(AbsoluteMatrix.data());
}

TObject3D::~TObject3D()
{
    SetParent(nullptr);
}

void TObject3D::SetParent(TContainer3D *container)
{
    if (container == Parent)
        return;
    if (Parent)
        Parent->Remove(this);
    if (container)
        container->Add(this);
}

void TObject3D::Redraw()
{
    if (TCustomWindow3D *window = GetWindow3D())
        window->Render();
}
