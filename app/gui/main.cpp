#include "MainWindow.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

namespace {

// Without a display Qt would fail with a message about its platform plugin;
// say plainly what to do instead.
bool DisplayAvailable()
{
    const auto set = [](const char *name) {
        const char *value = std::getenv(name);
        return value != nullptr && *value != '\0';
    };
    return set("DISPLAY") || set("WAYLAND_DISPLAY") || set("QT_QPA_PLATFORM");
}

} // namespace

int main(int argc, char *argv[])
{
    if (!DisplayAvailable()) {
        std::fprintf(stderr,
                     "No display is available, so the Filonex window cannot open.\n"
                     "Start it under a virtual display with:  xvfb-run -a filonex\n"
                     "or run simulations without a window:    filonex-batch\n");
        return 1;
    }
    QApplication application(argc, argv);
    TfmMain window(TfmMain::SettingsFileBesideExecutable());
    window.show();
    return application.exec();
}
