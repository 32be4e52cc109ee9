#pragma once

// The view control that shows a scene in an OpenGL context. It is a plain
// widget holding an OpenGL surface that fills it: the surface draws the scene,
// and when no usable context can be had the surface is hidden and the control
// paints the reason as text instead.

#include "Types3d.h"

#include <QImage>
#include <QMetaObject>
#include <QStringList>
#include <QWidget>

class QPainter;
class TCustomScene3D;
class TOpenGLSurface;

// The steps of setting up and using a context, each of which can fail.
enum class TOpenGLStep {
    None,
    WindowDC,
    ChoosePixelFormat,
    SetPixelFormat,
    RenderingContext,
    MakeCurrent,
};

class TCustomWindow3D : public QWidget {
public:
    explicit TCustomWindow3D(QWidget *parent = nullptr);
    ~TCustomWindow3D() override;

    virtual TCustomScene3D *GetScene3D() const = 0;

    // The background: the clear colour of the scene and the brush of the
    // error text.
    TColor GetBgColor() const { return BgColor; }
    void SetBgColor(TColor color);
    // Keep the aspect ratio of the projection by squeezing the longer side.
    bool GetProportional() const { return Proportional; }
    void SetProportional(bool proportional);

    // Batching: while locked, Render does nothing and is not remembered; the
    // last UnLockRender paints. Both return the new count.
    int LockRender();
    int UnLockRender();
    int GetRenderLock() const { return RenderLock; }
    // Paints the scene at once unless rendering is locked.
    void Render();

    bool Create3D();
    void Destroy3D();
    void ResizeViewport();
    // Correction becomes the identity, or squeezes the longer side of the
    // client area when Proportional is set.
    void MakeProportionalCorrection();
    const TMatrix3D &GetCorrection() const { return Correction; }

    // The lines shown when OpenGL is unusable; only the latest failure's.
    const QStringList &GetErrors() const { return Errors; }
    // Whether the error text is shown in place of the scene.
    bool ShowsErrorText() const;
    // The scene drawn as it stands and read back from the surface (null
    // without a context).
    QImage GrabFramebuffer();
    // Diagnostics: makes the given step fail from now on (None for no
    // failure); the creation steps take effect when the context is next made.
    void SimulateFailure(TOpenGLStep step) { FailingStep = step; }

protected:
    // The render pass: make the context current, clear to BgColor, load the
    // projection, paint the scene. Without a usable context it shows the
    // error text instead.
    virtual void OGL_Paint();
    bool OGL_Create3D();
    bool OGL_SetupPixelFormat();
    bool OGL_Connect();
    void OGL_Disconnect();
    void OGL_Destroy3D();
    void OGL_ResizeViewport();
    // Fills the control with BgColor and writes Errors from its top-left
    // corner, white on any background but white, black there.
    void GDI_ErrorPaint(QPainter &painter);

    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    friend class TOpenGLSurface;

    bool Fails(TOpenGLStep step) const { return FailingStep == step; }
    void SetErrors(const char *operation, const char *reason);
    void ShowErrorText();
    // Events of the surface: its context was made, cannot be made, resized.
    void SurfaceCreated();
    void SurfaceUnavailable();
    void SurfaceResized();

    // None when this process cannot make OpenGL contexts at all.
    TOpenGLSurface *Surface;
    QMetaObject::Connection ContextTeardown;
    TColor BgColor = 0;
    bool Proportional = false;
    QStringList Errors;
    int RenderLock = 0;
    TMatrix3D Correction = IdentityMatrix();
    // The window-system handles of the original binding: a native window to
    // draw on and a rendering context.
    bool HasDeviceContext = false;
    bool HasRenderingContext = false;
    bool CreationAttempted = false;
    bool ShowingErrors = false;
    TOpenGLStep FailingStep = TOpenGLStep::None;
};
