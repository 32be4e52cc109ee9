#pragma once

#include "Frameoverlay.h"
#include "Offscreen3d.h"
#include "Worldscene.h"

// Pictures of a world without a display: its 3D scene as the window's 3D
// page draws it (black background, aspect kept) under a view transform, with
// the caption of the time, the filaments and a scale bar.
class WorldPicture {
public:
    // width x height pixels; raises Offscreen3DError.
    WorldPicture(int width, int height, const TMatrix3D &view);

    // The box from the origin to size (m).
    void SetBox(const TXYZ &size);
    // time: the simulated time as the caption shows it, without the unit.
    QImage Draw(const ObservedScene &observed, const QString &time);
    // Across the picture at the view's zoom.
    double PixelsPerMetre() const;

private:
    TOffscreen3D View;
    TWorldScene Objects;
};

// A time (s) with the decimals that step (s) resolves, or in full without a
// step (0).
QString TimeCaption(double seconds, double step);
