#pragma once

#include <QList>

class SettingsFile;

// The window's size and splitter positions as the user left them, kept in a
// section of the settings file of their own. A first start, or a section
// that cannot be read, gives the initial layout.
struct WindowLayout {
    int Width = 669; // px
    int Height = 501;
    QList<int> MainSplitter{309, 360}; // left panel, pages
    QList<int> LeftSplitter{213, 250}; // parameters, read-outs
};

WindowLayout ReadWindowLayout(const SettingsFile &settings);
void WriteWindowLayout(SettingsFile &settings, const WindowLayout &layout);
