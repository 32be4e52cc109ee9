#include "Progressbar.h"

#include "Cell.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

namespace {

constexpr int kBarWidth = 24;
constexpr auto kRedrawInterval = std::chrono::milliseconds(100);

// The longest time ClockText spells out: a century, far beyond any run
// that a progress bar would be watched for.
constexpr double kLongestClock = 100 * 365.25 * 24 * 3600; // s

} // namespace

std::string ClockText(double seconds)
{
    if (std::isnan(seconds))
        return "?";
    if (seconds > kLongestClock)
        return ">" + ClockText(kLongestClock);
    const long long total = std::llround(std::max(seconds, 0.0));
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", total / 3600, total / 60 % 60, total % 60);
    return text;
}

ProgressBar::ProgressBar(bool enabled, double startTime, double endTime)
    : enabled_(enabled), startTime_(startTime), endTime_(endTime), started_(std::chrono::steady_clock::now()),
      lastDrawn_(started_)
{
}

void ProgressBar::Update(const CCell &cell)
{
    if (!enabled_)
        return;
    const auto now = std::chrono::steady_clock::now();
    if (now - lastDrawn_ < kRedrawInterval)
        return;
    lastDrawn_ = now;
    Draw(cell);
}

void ProgressBar::ClearLine()
{
    if (enabled_)
        std::fputs("\r\033[K", stderr);
}

void ProgressBar::Finish(const CCell &cell)
{
    if (!enabled_)
        return;
    Draw(cell);
    std::fputc('\n', stderr);
}

void ProgressBar::Draw(const CCell &cell)
{
    const double span = endTime_ - startTime_;
    const double done = span > 0 ? std::clamp((cell.ObsTime - startTime_) / span, 0.0, 1.0) : 1.0;
    const int filled = static_cast<int>(done * kBarWidth);
    const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - started_).count();
    const std::string remaining = done > 0 ? ClockText(elapsed * (1 - done) / done) : "?";
    // "\033[K" clears what a longer previous line left on the right.
    std::fprintf(stderr,
                 "\r%.6g / %.6g s [%s%s] reactions %lld  filaments %zu  "
                 "elapsed %s  remaining %s\033[K",
                 cell.ObsTime, endTime_, std::string(filled, '#').c_str(),
                 std::string(kBarWidth - filled, '-').c_str(), static_cast<long long>(cell.ReactionCount),
                 cell.Filaments.size(), ClockText(elapsed).c_str(), remaining.c_str());
    std::fflush(stderr);
}
