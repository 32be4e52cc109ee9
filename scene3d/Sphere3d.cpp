#include "Sphere3d.h"

#include "Ogl3d.h"

int TSphere3D::DefSlices = 12;
int TSphere3D::DefStacks = 10;

TSphere3D::TSphere3D() : Slices(DefSlices), Stacks(DefStacks)
{
}

void TSphere3D::OGL_Connect()
{
    OGL_AcquireQuadric(Connected, Quadric);
}

void TSphere3D::OGL_Disconnect()
{
    OGL_ReleaseQuadric(Connected, Quadric);
}

void TSphere3D::OGL_Paint()
{
    if (!Quadric)
        return;
    TObject3D::OGL_Paint();
    glPolygonMode(GL_FRONT_AND_BACK, Solid ? GL_FILL : GL_LINE);
    OGL_Color(Color);
    gluSphere(Quadric, Radius, Slices, Stacks);
}

// The base destructor can no longer reach this class's OGL_Disconnect, so the
// quadric is released here.
TSphere3D::~TSphere3D()
{
    OGL_Disconnect();
}

void TSphere3D::ApplyChanges(int)
{
    Redraw();
}
