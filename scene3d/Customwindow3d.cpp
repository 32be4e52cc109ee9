#include "Customwindow3d.h"

#include "Customscene3d.h"
#include "Scenepaint.h"

#include <QOpenGLContext>
#include <QOpenGLWidget>
#include <QPainter>
#include <QScopedValueRollback>
#include <QWindow>

#include <GL/gl.h>

#include <utility>

namespace {

const char *const InitializationFailed = "OpenGL initialization is failed.";
const char *const OperationFailed = "OpenGL operation is failed.";

// Double-buffered RGBA with a depth buffer, in a context that still offers
// the fixed-function pipeline. The widget draws into a framebuffer object
// whose depth attachment has 24 bits, so that is what is asked for.
QSurfaceFormat RequestedFormat()
{
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setVersion(2, 1);
    format.setSwapBehavior(QSurfaceFormat::DoubleBuffer);
    format.setRedBufferSize(8);
    format.setGreenBufferSize(8);
    format.setBlueBufferSize(8);
    format.setAlphaBufferSize(0);
    format.setDepthBufferSize(24);
    format.setStencilBufferSize(0);
    return format;
}

// glBegin, glLoadMatrixf and the GLU quadrics need the fixed-function
// pipeline, which OpenGL ES and core profiles do not have.
bool IsDesktopOpenGL(const QSurfaceFormat &format)
{
    return format.renderableType() == QSurfaceFormat::OpenGL;
}

bool HasFixedFunctionPipeline(const QSurfaceFormat &format)
{
    return format.profile() != QSurfaceFormat::CoreProfile || format.version() < qMakePair(3, 2);
}

// Whether a context of the requested kind can be made at all. Without one the
// control does not even create its surface: a window holding an OpenGL
// surface cannot be put on screen when OpenGL is missing.
bool OpenGLContextsAvailable()
{
    static const bool available = [] {
        QOpenGLContext probe;
        probe.setFormat(RequestedFormat());
        return probe.create();
    }();
    return available;
}

} // namespace

// The OpenGL surface that fills the control. Its context's creation, resizing,
// painting and destruction drive the control's lifecycle; mouse events pass
// through to the control.
class TOpenGLSurface : public QOpenGLWidget {
public:
    explicit TOpenGLSurface(TCustomWindow3D &owner) : QOpenGLWidget(&owner), Owner(owner)
    {
        setFormat(RequestedFormat());
        // The framebuffer keeps what was drawn into it between paints, so a
        // picture drawn on request can be presented as it is.
        setUpdateBehavior(QOpenGLWidget::PartialUpdate);
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

    // Whether the context is current with the surface's framebuffer bound
    // because the widget itself is running one of the calls below.
    bool InCallback = false;
    // The scene has been drawn into the framebuffer on request since the
    // last paint, so the widget's next paint only has to present it.
    bool DrawnOnRequest = false;

protected:
    void initializeGL() override
    {
        DrawnOnRequest = false;
        Call([this] { Owner.SurfaceCreated(); });
    }
    void resizeGL(int, int) override
    {
        // A resized surface has a new, empty framebuffer.
        DrawnOnRequest = false;
        Call([this] { Owner.SurfaceResized(); });
    }
    void paintGL() override
    {
        if (std::exchange(DrawnOnRequest, false))
            return;
        Call([this] { Owner.OGL_Paint(); });
    }

    void paintEvent(QPaintEvent *event) override
    {
        QOpenGLWidget::paintEvent(event);
        // The widget makes its context before it is first painted; a surface
        // that is painted without one will never have one.
        if (!isValid())
            Owner.SurfaceUnavailable();
    }

private:
    template <class TCall>
    void Call(TCall call)
    {
        const QScopedValueRollback<bool> inCallback(InCallback, true);
        call();
    }

    TCustomWindow3D &Owner;
};

TCustomWindow3D::TCustomWindow3D(QWidget *parent)
    : QWidget(parent), Surface(OpenGLContextsAvailable() ? new TOpenGLSurface(*this) : nullptr)
{
    // The control paints every pixel itself, so the toolkit need not erase it.
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(200, 200);
}

TCustomWindow3D::~TCustomWindow3D()
{
    // The surface outlives this part of the control; its teardown must not
    // reach for a scene that is already gone.
    QObject::disconnect(ContextTeardown);
}

void TCustomWindow3D::SetBgColor(TColor color)
{
    if (color == BgColor)
        return;
    BgColor = color;
    Render();
}

void TCustomWindow3D::SetProportional(bool proportional)
{
    if (proportional == Proportional)
        return;
    Proportional = proportional;
    MakeProportionalCorrection();
    Render();
}

int TCustomWindow3D::LockRender()
{
    return ++RenderLock;
}

int TCustomWindow3D::UnLockRender()
{
    if (RenderLock > 1)
        return --RenderLock;
    RenderLock = 0;
    Render();
    return RenderLock;
}

void TCustomWindow3D::Render()
{
    if (RenderLock <= 0)
        OGL_Paint();
}

bool TCustomWindow3D::Create3D()
{
    return OGL_Create3D();
}

void TCustomWindow3D::Destroy3D()
{
    OGL_Destroy3D();
}

void TCustomWindow3D::ResizeViewport()
{
    OGL_ResizeViewport();
}

void TCustomWindow3D::MakeProportionalCorrection()
{
    Correction = Proportional ? ProportionalCorrection(width(), height()) : IdentityMatrix();
}

bool TCustomWindow3D::ShowsErrorText() const
{
    return CreationAttempted && (!Surface || Surface->isHidden());
}

QImage TCustomWindow3D::GrabFramebuffer()
{
    if (!HasRenderingContext)
        return QImage();
    // The picture of the scene as it stands now, not of the last request.
    Surface->DrawnOnRequest = false;
    return Surface->grabFramebuffer();
}

void TCustomWindow3D::OGL_Paint()
{
    if (!OGL_Connect()) {
        ShowErrorText();
        return;
    }
    ShowingErrors = false;
    if (Surface->isHidden())
        Surface->show();
    OGL_PaintScene(GetScene3D(), BgColor, Correction);
    // Inside its own paint the widget presents the picture and releases the
    // context itself; a picture painted on request is presented by the
    // widget's next paint, without drawing the scene a second time.
    if (!Surface->InCallback) {
        Surface->DrawnOnRequest = true;
        Surface->update();
        OGL_Disconnect();
    }
}

bool TCustomWindow3D::OGL_Create3D()
{
    HasDeviceContext = window()->windowHandle() && !Fails(TOpenGLStep::WindowDC);
    if (!HasDeviceContext) {
        SetErrors(InitializationFailed, "Could not get window DC!");
        return false;
    }
    if (!OGL_SetupPixelFormat())
        return false;
    HasRenderingContext = Surface && Surface->context() && Surface->context()->isValid() &&
                          !Fails(TOpenGLStep::RenderingContext);
    if (!HasRenderingContext) {
        SetErrors(InitializationFailed, "Could not get OpenGL RC!");
        return false;
    }
    if (OGL_Connect()) {
        if (TCustomScene3D *scene = GetScene3D())
            scene->OGL_Connect();
        OGL_PrepareContext();
    }
    return true;
}

bool TCustomWindow3D::OGL_SetupPixelFormat()
{
    if (!HasDeviceContext)
        return false;
    const QSurfaceFormat format =
        Surface && Surface->context() ? Surface->context()->format() : RequestedFormat();
    if (!IsDesktopOpenGL(format) || Fails(TOpenGLStep::ChoosePixelFormat)) {
        SetErrors(InitializationFailed, "Choose PixelFormat failed.");
        return false;
    }
    if (!HasFixedFunctionPipeline(format) || Fails(TOpenGLStep::SetPixelFormat)) {
        SetErrors(InitializationFailed, "Set PixelFormat failed.");
        return false;
    }
    return true;
}

bool TCustomWindow3D::OGL_Connect()
{
    if (!HasDeviceContext || !HasRenderingContext)
        return false;
    if (!Fails(TOpenGLStep::MakeCurrent)) {
        // Making the context current also binds the surface's framebuffer;
        // inside the surface's own calls both are already in place.
        if (!Surface->InCallback)
            Surface->makeCurrent();
        if (QOpenGLContext::currentContext() == Surface->context())
            return true;
    }
    SetErrors(OperationFailed, "Can not connect to OpenGL.");
    return false;
}

void TCustomWindow3D::OGL_Disconnect()
{
    if (Surface)
        Surface->doneCurrent();
}

void TCustomWindow3D::OGL_Destroy3D()
{
    if (TCustomScene3D *scene = GetScene3D())
        scene->OGL_Disconnect();
    HasRenderingContext = false;
    HasDeviceContext = false;
    CreationAttempted = false;
}

void TCustomWindow3D::OGL_ResizeViewport()
{
    if (!OGL_Connect())
        return;
    const qreal ratio = Surface->devicePixelRatioF();
    glViewport(0, 0, int(width() * ratio), int(height() * ratio));
    MakeProportionalCorrection();
}

void TCustomWindow3D::GDI_ErrorPaint(QPainter &painter)
{
    const TRGBA background = ColorToRGBA(BgColor, 255);
    painter.fillRect(rect(), QColor(RedOf(background), GreenOf(background), BlueOf(background)));
    painter.setPen(BgColor == 0xFFFFFF ? Qt::black : Qt::white);
    painter.drawText(rect(), Qt::AlignLeft | Qt::AlignTop, Errors.join('\n'));
}

void TCustomWindow3D::resizeEvent(QResizeEvent *)
{
    if (Surface)
        Surface->setGeometry(rect());
}

void TCustomWindow3D::showEvent(QShowEvent *)
{
    if (!Surface)
        SurfaceUnavailable();
}

void TCustomWindow3D::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    GDI_ErrorPaint(painter);
}

void TCustomWindow3D::SetErrors(const char *operation, const char *reason)
{
    Errors = QStringList{QString::fromLatin1(operation), QString::fromLatin1(reason)};
}

void TCustomWindow3D::ShowErrorText()
{
    // The surface can only be hidden once it has tried to make its context,
    // and not from inside its own calls.
    ShowingErrors = true;
    if (!CreationAttempted) {
        update();
        return;
    }
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (ShowingErrors && Surface)
                Surface->hide();
            update();
        },
        Qt::QueuedConnection);
}

void TCustomWindow3D::SurfaceCreated()
{
    CreationAttempted = true;
    ContextTeardown = connect(Surface->context(), &QOpenGLContext::aboutToBeDestroyed, this, [this] {
        Surface->makeCurrent();
        Destroy3D();
        Surface->doneCurrent();
        // A new native window gets a fresh attempt, which a surface hidden
        // after a failure would never make.
        QMetaObject::invokeMethod(
            this, [this] { Surface->show(); }, Qt::QueuedConnection);
    });
    if (!Create3D())
        ShowErrorText();
}

void TCustomWindow3D::SurfaceUnavailable()
{
    if (CreationAttempted)
        return;
    CreationAttempted = true;
    HasDeviceContext = window()->windowHandle() != nullptr;
    if (HasDeviceContext)
        SetErrors(InitializationFailed, "Could not get OpenGL RC!");
    else
        SetErrors(InitializationFailed, "Could not get window DC!");
    ShowErrorText();
}

void TCustomWindow3D::SurfaceResized()
{
    ResizeViewport();
}
