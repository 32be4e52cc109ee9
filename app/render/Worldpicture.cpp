#include "Worldpicture.h"

#include "Numbertext.h"
#include "Scenepaint.h"

#include <algorithm>
#include <cmath>

WorldPicture::WorldPicture(int width, int height, const TMatrix3D &view)
    : View(width, height), Objects(View.Scene())
{
    View.Scene().ViewMatrix = view;
    View.Scene().UpdateMatrix();
}

void WorldPicture::SetBox(const TXYZ &size)
{
    Objects.SetBox(size);
}

QImage WorldPicture::Draw(const ObservedScene &observed, const QString &time)
{
    Objects.Show(observed);
    QImage picture = View.Render();
    DrawFrameCaption(picture, {time, int(observed.Filaments.size()), PixelsPerMetre()});
    return picture;
}

double WorldPicture::PixelsPerMetre() const
{
    // Normalised device x spans the width: two units. The view is a turn
    // and a uniform zoom, so the length of a row is its zoom.
    const TOffscreenScene3D &scene = View.Scene();
    const TMatrix3D &v = scene.ViewMatrix;
    const double zoom = std::hypot(v[0], v[1], v[2]);
    const double squeeze = ProportionalCorrection(View.Width(), View.Height())[0];
    return View.Width() / 2.0 * std::abs(scene.ProjectionMatrix[0]) * squeeze * zoom;
}

QString TimeCaption(double seconds, double step)
{
    if (!(step > 0.0))
        return QString::fromStdString(FormatNumber(seconds));
    const int decimals = std::clamp(int(std::ceil(-std::log10(step) - 1e-9)), 0, 12);
    return QString::number(seconds, 'f', decimals);
}
