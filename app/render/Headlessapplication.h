#pragma once

#include <QGuiApplication>

// The GUI application that pictures need for their fonts, on Qt's offscreen
// platform: no display is asked for. Qt's note that a batch job has no
// XDG_RUNTIME_DIR (a desktop session's folder, unused here) is left out of
// its messages.
class HeadlessApplication {
public:
    HeadlessApplication(int &argc, char **argv);

private:
    QGuiApplication Application;
};
