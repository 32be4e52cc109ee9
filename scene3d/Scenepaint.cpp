#include "Scenepaint.h"

#include "Customscene3d.h"

#include <GL/gl.h>

TMatrix3D ProportionalCorrection(int width, int height)
{
    TMatrix3D correction = IdentityMatrix();
    if (width > height)
        correction[0] = float(height) / float(width);
    else if (height != 0)
        correction[5] = float(width) / float(height);
    return correction;
}

void OGL_PrepareContext()
{
    glEnable(GL_DEPTH_TEST);
}

void OGL_PaintScene(TCustomScene3D *scene, TColor background, const TMatrix3D &correction)
{
    const TRGBA c = ColorToRGBA(background, 255);
    glClearColor(RedOf(c) / 255.0f, GreenOf(c) / 255.0f, BlueOf(c) / 255.0f, AlphaOf(c) / 255.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (!scene)
        return;
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixf(MatrixProduct(scene->ProjectionMatrix, correction).data());
    glMatrixMode(GL_MODELVIEW);
    scene->OGL_Paint();
}
