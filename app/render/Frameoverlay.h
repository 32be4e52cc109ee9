#pragma once

#include <QImage>
#include <QString>

// What every picture of a world tells besides the scene: the simulated time
// and the number of filaments in its top-left corner, and a scale bar in
// micrometres in its bottom-left one.
struct FrameCaption {
    QString Time; // as read, without the unit
    int Filaments = 0;
    double PixelsPerMetre = 0.0; // across the view, at the picture's size
};

// Draws the caption over picture; needs a QGuiApplication (for the fonts).
void DrawFrameCaption(QImage &picture, const FrameCaption &caption);

// The scale bar's length: 1, 2 or 5 times a power of ten micrometres, the
// longest of them up to a fifth of widthMetres (which must be above 0).
double ScaleBarMicrometres(double widthMetres);
