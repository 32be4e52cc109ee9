#pragma once

class TChart;

// The actions of the chart toolbar for one chart. They ask for a file name
// and show their messages through ChartPrompts() (Chartprompts.h).

// Opens the configuration dialog on all four of its pages; the dialog applies
// its changes to the chart itself when confirmed.
void ShowChartConfig(TChart *chart);

// Asks for a file name and saves the chart, drawn at its current size on a
// white background, as a BMP picture. Cancelling saves nothing.
void ExportChartBitmap(TChart *chart);

// Asks for a file name and writes the active curves as tab-separated text.
// A chart without curves shows "Nothing to be export!" without asking; a file
// that cannot be created shows "Cannot create file!".
void ExportChartText(TChart *chart);
