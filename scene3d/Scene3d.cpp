#include "Scene3d.h"

#include "Window3d.h"

TCustomWindow3D *TScene3D::GetWindow3D() const
{
    return Window;
}
