// The 3D page: the scene objects filled from observations of the cell, and
// the mouse and toolbar navigation of the view.

#include "MainWindow.h"

#include "Cell.h"
#include "Scene3d.h"
#include "Sphere3d.h"
#include "Vertexprimitive3darray.h"
#include "Vertexprimitive3dlist.h"
#include "Window3d.h"

#include <QMouseEvent>
#include <QToolButton>
#include <QWheelEvent>

namespace {

// Colours as 0x00BBGGRR.
constexpr TRGBA Red = 0xFF;
constexpr TRGBA Yellow = 0xFFFF;
constexpr TRGBA Blue = 0xFF0000;
constexpr TRGBA Grey = 0x808080;
constexpr TRGBA Silver = 0xC0C0C0;

TXYZ ToXYZ(const CVector &v)
{
    return {v.x, v.y, v.z};
}

} // namespace

void TfmMain::CreateSceneObjects()
{
    FilamentLines = std::make_unique<TVertexPrimitive3DList>();
    FilamentLines->Kind = pkLines;
    FilamentLines->VertexColors = true;
    FilamentLines->Color = Red;

    SpaceFrame = std::make_unique<TVertexPrimitive3DArray>();
    SpaceFrame->Kind = pkLines;
    SpaceFrame->SetVerticesCount(24);
    SpaceFrame->Color = Grey;

    BacteriumSphere = std::make_unique<TSphere3D>();
    BacteriumSphere->Color = Silver;

    TScene3D &scene = Scene();
    scene.Add(FilamentLines.get());
    scene.Add(SpaceFrame.get());
    scene.Add(BacteriumSphere.get());

    Window3D->OnMouseDown = [this](QMouseEvent *event) { Window3DMouseDown(event); };
    Window3D->OnMouseMove = [this](QMouseEvent *event) { Window3DMouseMove(event); };
    Window3D->OnMouseUp = [this](QMouseEvent *) { Window3DMouseUp(); };
    Window3D->OnMouseWheel = [this](QWheelEvent *event) { Window3DMouseWheel(event); };
}

TScene3D &TfmMain::Scene()
{
    return *Window3D->GetScene3D();
}

TXYZ TfmMain::BoxSize() const
{
    return AppliedBoxSize;
}

void TfmMain::BuildSpaceFrame()
{
    AppliedBoxSize = ToXYZ(World().Size);
    const std::array<TXYZ, 24> corners = SpaceFrameVertices(ToXYZ(World().GetMax()));
    for (int i = 0; i < 24; ++i)
        SpaceFrame->GetVertex(i).Position = corners[std::size_t(i)];
    SpaceFrame->ApplyChanges(0);
}

void TfmMain::ShowScene(const ObservedScene &observed)
{
    FilamentLines->Vertices.clear();
    for (const ObservedScene::Filament &filament : observed.Filaments) {
        const CVector &barbed = filament.Barbed;
        const CVector &pointed = filament.Pointed;
        FilamentLines->Vertices.emplace_back(barbed.x, barbed.y, barbed.z, filament.Capped ? Yellow : Blue);
        FilamentLines->Vertices.emplace_back(pointed.x, pointed.y, pointed.z, Red);
    }
    if (observed.HasBacterium) {
        BacteriumSphere->Radius = observed.BacteriumRadius;
        BacteriumSphere->LocalMatrix = TranslationMatrix(ToXYZ(observed.BacteriumCentre));
        BacteriumSphere->UpdateMatrix();
    }
    Window3D->Render();
}

void TfmMain::RefreshScene()
{
    ObservedScene observed;
    ObserveScene(World(), observed);
    ShowScene(observed);
}

void TfmMain::Window3DMouseDown(QMouseEvent *event)
{
    const QPoint at = event->position().toPoint();
    MouseX = at.x();
    MouseY = at.y();
    MouseDown = true;
    Window3D->setFocus();
}

void TfmMain::Window3DMouseMove(QMouseEvent *event)
{
    if (!MouseDown)
        return;
    const QPoint at = event->position().toPoint();
    const int dx = at.x() - MouseX;
    const int dy = at.y() - MouseY;
    MouseX = at.x();
    MouseY = at.y();
    const DragMode mode = PanViewButton->isChecked()    ? DragMode::MoveXY
                          : ZoomViewButton->isChecked() ? DragMode::MoveZ
                                                        : DragMode::Rotate;
    // Measured against the whole window, so the same drag turns the view by
    // the same angle whatever the size of the 3D page.
    const QRect outer = frameGeometry();
    ChangeView(DragMatrices(mode, dx, dy, outer.width(), outer.height(), BoxSize()));
}

void TfmMain::Window3DMouseUp()
{
    MouseDown = false;
}

void TfmMain::Window3DMouseWheel(QWheelEvent *event)
{
    ChangeView({WheelZoomMatrix(event->angleDelta().y())});
}

void TfmMain::ChangeView(const std::vector<TMatrix3D> &changes)
{
    TScene3D &scene = Scene();
    for (const TMatrix3D &change : changes)
        MatrixMultiply(scene.ViewMatrix, change);
    scene.UpdateMatrix();
    Window3D->Render();
}

void TfmMain::ResetViewClicked()
{
    TScene3D &scene = Scene();
    scene.ViewMatrix = IdentityMatrix();
    scene.UpdateMatrix();
    Window3D->Render();
}

void TfmMain::BacteriumStyleClicked()
{
    BacteriumSphere->Solid = SolidBacteriumButton->isChecked();
    Window3D->Render();
}
