#include "Cell.h"
#include "Exitstatus.h"
#include "MainWindow.h"
#include "QuitSignals.h"
#include "Random.h"
#include "WindowOptions.h"

#include <QApplication>
#include <QTimer>

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
    WindowOptions options;
    try {
        options = ParseWindowOptions(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const WindowUsageError &error) {
        std::fprintf(stderr, "filonex: %s\nTry 'filonex --help'.\n", error.what());
        return kExitBadInput;
    }
    if (options.Help) {
        std::fputs(WindowHelp().c_str(), stdout);
        return 0;
    }
    if (!DisplayAvailable()) {
        std::fprintf(stderr, "No display is available, so the Filonex window cannot open.\n"
                             "Start it under a virtual display with:  xvfb-run -a filonex\n"
                             "or run simulations without a window:    filonex-batch\n");
        return 1;
    }
    // Mesa writes the shaders it compiles to a disk cache on a thread of its
    // own, which the process cannot end without: beside a busy process the
    // window's process outlived its window by 2 to 6 s, against 0.2 s
    // without the cache. The scene's few shaders are compiled at each start
    // instead. A user's own setting wins.
    if (!qEnvironmentVariableIsSet("MESA_SHADER_CACHE_DISABLE"))
        qputenv("MESA_SHADER_CACHE_DISABLE", "true");
    QApplication application(argc, argv);
    const QString settingsPath = options.SettingsPath.value_or(TfmMain::SettingsFileBesideExecutable());
    // No run is lost to a result it cannot write.
    if (const std::string problem =
            ResultPathsProblem(options.TablePath, options.SaveWorldPath, settingsPath.toStdString());
        !problem.empty()) {
        std::fprintf(stderr, "filonex: %s\n", problem.c_str());
        return kExitBadInput;
    }
    TfmMain window(settingsPath);
    // Before the first reset-and-apply (when the window is shown), as the
    // runner seeds before its own.
    if (options.Seed)
        window.World().Random.SeedWith(*options.Seed);
    if (options.QuitWhenDone)
        window.CloseWhenRunEnds({options.TablePath, options.SaveWorldPath});
    QuitSignals quitSignals;
    QObject::connect(&quitSignals, &QuitSignals::Received, &window, &TfmMain::CloseOnSignal);
    window.show();
    if (options.RunAtOnce)
        QTimer::singleShot(0, &window, [&window] { window.StartClicked(); });
    // A signal during the first apply's message closes the window before
    // the event loop runs, which would then wait for a window that is gone.
    const int status = window.isVisible() ? application.exec() : 0;
    // The parameters, the layout and the run's results were written before
    // the window closed, a movie is complete once this returns. Taking the
    // window apart (its OpenGL context with the driver's threads, the
    // charts, the world) would only keep the process alive after its window
    // has gone, for long on a busy machine: it ends here.
    window.WaitForResults();
    std::fflush(nullptr);
    std::_Exit(status != 0 ? status : window.ExitStatus());
}
