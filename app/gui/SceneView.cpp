// The 3D page: the scene objects filled from observations of the cell, and
// the mouse and toolbar navigation of the view.

#include "MainWindow.h"

#include "Cell.h"
#include "Recording.h"
#include "Scene3d.h"
#include "Window3d.h"
#include "Worldscene.h"

#include <QMouseEvent>
#include <QToolButton>
#include <QWheelEvent>

void TfmMain::CreateSceneObjects()
{
    WorldObjects = std::make_unique<TWorldScene>(Scene());

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

void TfmMain::ShowScene(const ObservedScene &observed)
{
    WorldObjects->Show(observed);
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
    WorldObjects->SetSolidBacterium(SolidBacteriumButton->isChecked());
    Window3D->Render();
}

void TfmMain::RecordToggled(bool down)
{
    if (!down) {
        Recording->Disarm();
        return;
    }
    const QString path = AskMoviePath();
    if (path.isEmpty())
        RecordButton->setChecked(false);
    else
        Recording->Arm(path);
}

void TfmMain::StartRecording()
{
    if (!Recording->Armed())
        return;
    if (const QString problem = Recording->RunStarting(World(), Scene().ViewMatrix); !problem.isEmpty()) {
        RecordButton->setChecked(false);
        Report(MessageKind::Error, problem);
    }
}

void TfmMain::EndRecording(bool stopped)
{
    if (!Recording->Recording())
        return;
    Recording->RunEnded(World(), stopped);
    // One movie per press: the next run is not recorded over this one.
    RecordButton->setChecked(false);
}
