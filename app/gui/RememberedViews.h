#pragma once

#include "Types3d.h"

class SettingsFile;
class TChart;

// The views as the user left them, kept in the settings file's [Window]
// section beside the layout: per chart (by its object name) the colours of
// the configuration dialog's "Window" page and of every curve, the ranges of
// the bottom and left axes, and which curves are shown; the page shown; and
// the 3D view's rotation, shift and zoom. A value that is missing or cannot be
// read leaves that part of the view as it is.

void WriteChartView(SettingsFile &settings, const TChart &chart);
void ReadChartView(const SettingsFile &settings, TChart &chart);

// The page shown: 0 for "2D", 1 for "3D"; `shown` when not kept.
void WritePageShown(SettingsFile &settings, int page);
int ReadPageShown(const SettingsFile &settings, int shown);

void WriteViewMatrix(SettingsFile &settings, const TMatrix3D &view);
// False, with view unchanged, when none is kept.
bool ReadViewMatrix(const SettingsFile &settings, TMatrix3D &view);
