#include "Cylinder3d.h"

#include "Ogl3d.h"

int TCylinder3D::DefSlices = 10;
int TCylinder3D::DefStacks = 3;

TCylinder3D::TCylinder3D() : Slices(DefSlices), Stacks(DefStacks)
{
}

void TCylinder3D::OGL_Connect()
{
    OGL_AcquireQuadric(Connected, Quadric);
}

void TCylinder3D::OGL_Disconnect()
{
    OGL_ReleaseQuadric(Connected, Quadric);
}

void TCylinder3D::OGL_Paint()
{
    if (!Quadric)
        return;
    TObject3D::OGL_Paint();
    OGL_Color(Color);
    gluCylinder(Quadric, Radius, Radius, Height, Slices, Stacks);
}

TCylinder3D::~TCylinder3D()
{
    OGL_Disconnect();
}

void TCylinder3D::ApplyChanges(int changes)
{
    if (changes != 0)
        Redraw();
}
