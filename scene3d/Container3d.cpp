#include "Container3d.h"

#include <algorithm>

void TContainer3D::UpdateMatrix()
{
    TObject3D::UpdateMatrix();
    UpdateChildMatrices();
}

void TContainer3D::UpdateChildMatrices()
{
    for (TObject3D *child : Children)
        child->UpdateMatrix();
}

void TContainer3D::OGL_Connect()
{
    if (Connected)
        return;
    TObject3D::OGL_Connect();
    for (TObject3D *child : Children)
        child->OGL_Connect();
}

void TContainer3D::OGL_Disconnect()
{
    if (!Connected)
        return;
    TObject3D::OGL_Disconnect();
    for (TObject3D *child : Children)
        child->OGL_Disconnect();
}

void TContainer3D::OGL_Paint()
{
    for (TObject3D *child : Children)
        child->OGL_Paint();
}

TContainer3D::~TContainer3D()
{
    DeleteChildren();
}

void TContainer3D::Add(TObject3D *child)
{
    if (!child || IndexOf(child) >= 0)
        return;
    Children.push_back(child);
    child->Parent = this;
    if (Connected)
        child->OGL_Connect();
}

void TContainer3D::Remove(TObject3D *child)
{
    const auto found = std::find(Children.begin(), Children.end(), child);
    if (!child || found == Children.end())
        return;
    child->OGL_Disconnect();
    child->Parent = nullptr;
    Children.erase(found);
}

int TContainer3D::IndexOf(const TObject3D *child) const
{
    const auto found = std::find(Children.begin(), Children.end(), child);
    return child && found != Children.end() ? int(found - Children.begin()) : -1;
}

void TContainer3D::DeleteChildren()
{
    // A child removes itself from the list while it is destroyed.
    while (!Children.empty())
        delete Children.back();
}
