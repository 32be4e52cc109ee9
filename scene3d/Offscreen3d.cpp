// The framebuffer functions are declared only when asked for before GL's
// headers are first included (Qt's headers include them too).
#define EGL_EGLEXT_PROTOTYPES
#define GL_GLEXT_PROTOTYPES

#include "Offscreen3d.h"

#include "Scenepaint.h"

#include <QOpenGLContext>

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <GL/glext.h>

#include <string>

namespace {

[[noreturn]] void Fail(const char *step)
{
    throw Offscreen3DError(std::string("no offscreen OpenGL: ") + step + " failed (EGL error 0x" +
                           QString::number(eglGetError(), 16).toStdString() + ")");
}

// The surfaceless platform of Mesa: a render node if there is one, else
// software rendering; no window system is asked.
EGLDisplay SurfacelessDisplay()
{
    const auto getPlatformDisplay =
        reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (!getPlatformDisplay)
        Fail("eglGetPlatformDisplayEXT");
    const EGLDisplay display =
        getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    // Initialising an initialised display only counts it; it is never
    // terminated, since other views may share it.
    if (display == EGL_NO_DISPLAY || !eglInitialize(display, nullptr, nullptr))
        Fail("eglInitialize on the surfaceless platform");
    return display;
}

} // namespace

// The context and the framebuffer it draws into: colour and depth
// renderbuffers of the view's size, as the on-screen surface has.
struct TOffscreen3D::Context {
    EGLDisplay Display = EGL_NO_DISPLAY;
    EGLContext Handle = EGL_NO_CONTEXT;
    GLuint Framebuffer = 0;
    GLuint Renderbuffers[2] = {0, 0};
};

TOffscreen3D::TOffscreen3D(int width, int height)
    : PixelWidth(width), PixelHeight(height), GL(std::make_unique<Context>())
{
    if (width < 1 || height < 1)
        throw Offscreen3DError("no offscreen OpenGL: the picture has no pixels");
    GL->Display = SurfacelessDisplay();
    if (!eglBindAPI(EGL_OPENGL_API))
        Fail("eglBindAPI");
    // The fixed-function pipeline of the scene's leaves, as on screen.
    const EGLint attributes[] = {EGL_CONTEXT_MAJOR_VERSION, 2, EGL_CONTEXT_MINOR_VERSION, 1, EGL_NONE};
    GL->Handle = eglCreateContext(GL->Display, EGL_NO_CONFIG_KHR, EGL_NO_CONTEXT, attributes);
    if (GL->Handle == EGL_NO_CONTEXT)
        Fail("eglCreateContext");
    MakeCurrent();
    glGenFramebuffers(1, &GL->Framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, GL->Framebuffer);
    glGenRenderbuffers(2, GL->Renderbuffers);
    const GLenum formats[2] = {GL_RGBA8, GL_DEPTH_COMPONENT24};
    const GLenum attachments[2] = {GL_COLOR_ATTACHMENT0, GL_DEPTH_ATTACHMENT};
    for (int i = 0; i < 2; ++i) {
        glBindRenderbuffer(GL_RENDERBUFFER, GL->Renderbuffers[i]);
        glRenderbufferStorage(GL_RENDERBUFFER, formats[i], width, height);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, attachments[i], GL_RENDERBUFFER, GL->Renderbuffers[i]);
    }
    const bool complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    glViewport(0, 0, width, height);
    OGL_PrepareContext();
    Release();
    if (!complete)
        throw Offscreen3DError("no offscreen OpenGL: a framebuffer of " + std::to_string(width) + "x" +
                               std::to_string(height) + " pixels cannot be made");
}

TOffscreen3D::~TOffscreen3D()
{
    // The scene's objects hold their GLU quadrics until the scene goes.
    Scene3D.DeleteChildren();
    if (GL->Handle != EGL_NO_CONTEXT &&
        eglMakeCurrent(GL->Display, EGL_NO_SURFACE, EGL_NO_SURFACE, GL->Handle)) {
        glDeleteRenderbuffers(2, GL->Renderbuffers);
        glDeleteFramebuffers(1, &GL->Framebuffer);
        Release();
    }
    if (GL->Handle != EGL_NO_CONTEXT)
        eglDestroyContext(GL->Display, GL->Handle);
}

void TOffscreen3D::MakeCurrent()
{
    // A thread has one current context of any window system: a context of
    // the window's that is current here gives way.
    if (QOpenGLContext *current = QOpenGLContext::currentContext())
        current->doneCurrent();
    if (!eglMakeCurrent(GL->Display, EGL_NO_SURFACE, EGL_NO_SURFACE, GL->Handle))
        Fail("eglMakeCurrent");
}

void TOffscreen3D::Release()
{
    eglMakeCurrent(GL->Display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
}

QImage TOffscreen3D::Render()
{
    MakeCurrent();
    glBindFramebuffer(GL_FRAMEBUFFER, GL->Framebuffer);
    Scene3D.OGL_Connect();
    const TMatrix3D correction =
        Proportional ? ProportionalCorrection(PixelWidth, PixelHeight) : IdentityMatrix();
    OGL_PaintScene(&Scene3D, BgColor, correction);
    QImage picture(PixelWidth, PixelHeight, QImage::Format_RGB32);
    // Rows come bottom up; BGRA bytes are Format_RGB32's 0xffRRGGBB words.
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, PixelWidth, PixelHeight, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, picture.bits());
    Release();
    return picture.mirrored(false, true);
}
