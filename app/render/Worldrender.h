#pragma once

#include "Movieoptions.h"

#include <string>
#include <vector>

// filonex-render: pictures of saved worlds without a display.
struct RenderOptions {
    std::vector<std::string> Worlds;
    std::string OutPath;
    MovieOptions Movie; // the size, the view and the frame rate
    bool Help = false;
};

// Raises UsageError.
RenderOptions ParseRenderOptions(const std::vector<std::string> &arguments);
std::string RenderHelp();

// One world gives a PNG picture at OutPath (or a movie of one frame when
// OutPath ends in .mp4 or .gif), several a movie of them in the order of
// their simulated times. Returns the exit status (Exitstatus.h), having
// reported every problem on standard error. Needs a QGuiApplication.
int RenderWorlds(const RenderOptions &options);
