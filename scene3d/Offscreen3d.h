#pragma once

// A view of a scene that needs neither a display nor a GPU: Mesa's software
// OpenGL through EGL's surfaceless platform draws into a framebuffer of the
// view's own, which is read back as an image. It draws with the on-screen
// view's render pass, so the same scene at the same size gives the same
// picture. Used by one thread at a time.

#include "Customscene3d.h"

#include <QImage>

#include <memory>
#include <stdexcept>

// No context could be made; the message says which step failed.
class Offscreen3DError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A scene that belongs to no control.
class TOffscreenScene3D : public TCustomScene3D {
public:
    TCustomWindow3D *GetWindow3D() const override { return nullptr; }
};

class TOffscreen3D {
public:
    // A view of width x height pixels; raises Offscreen3DError.
    TOffscreen3D(int width, int height);
    ~TOffscreen3D();
    TOffscreen3D(const TOffscreen3D &) = delete;
    TOffscreen3D &operator=(const TOffscreen3D &) = delete;

    // Owns what is added to it, unless it is removed first.
    TOffscreenScene3D &Scene() { return Scene3D; }
    const TOffscreenScene3D &Scene() const { return Scene3D; }
    int Width() const { return PixelWidth; }
    int Height() const { return PixelHeight; }

    // The background, and whether the projection keeps the aspect (as the
    // window's 3D page does).
    TColor BgColor = 0;
    bool Proportional = true;

    // The scene as it stands, in QImage::Format_RGB32; raises
    // Offscreen3DError when the context cannot be made current.
    QImage Render();

private:
    struct Context;
    void MakeCurrent();
    void Release();

    int PixelWidth;
    int PixelHeight;
    std::unique_ptr<Context> GL;
    TOffscreenScene3D Scene3D;
};
