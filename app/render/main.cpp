// filonex-render: pictures and movies of saved worlds, without a display.

#include "Commandline.h"
#include "Exitstatus.h"
#include "Headlessapplication.h"
#include "Outputfile.h"
#include "Worldrender.h"

#include <cstdio>

int main(int argc, char **argv)
{
    ReserveStandardDescriptors();
    RenderOptions options;
    try {
        options = ParseRenderOptions(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const UsageError &e) {
        std::fprintf(stderr, "filonex-render: %s\nTry 'filonex-render --help'.\n", e.what());
        return kExitBadInput;
    }
    if (options.Help) {
        std::fputs(RenderHelp().c_str(), stdout);
        return kExitDone;
    }
    const HeadlessApplication application(argc, argv);
    return RenderWorlds(options);
}
