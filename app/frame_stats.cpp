#include "app/frame_stats.h"

#include <algorithm>
#include <cmath>

#include "io/console.h"

namespace mirva {

void FrameStats::add(const std::string& section, double milliseconds, Time time)
{
    auto found = std::find_if(sections_.rbegin(), sections_.rend(), [&](const Section& s) { return s.name == section; });
    if (found == sections_.rend()) {
        sections_.push_back({section, {}});
        found = sections_.rbegin();
    }
    found->frames.push_back({milliseconds, time});
}

std::string FrameStats::line(const std::string& name, const std::vector<Frame>& frames)
{
    std::vector<double> times;
    times.reserve(frames.size());
    for (const Frame& frame : frames)
        times.push_back(frame.milliseconds);
    std::sort(times.begin(), times.end());
    const std::size_t n = times.size();
    const double median = n % 2 == 1 ? times[n / 2] : (times[n / 2 - 1] + times[n / 2]) / 2;
    const auto rank = static_cast<std::size_t>(std::ceil(0.99 * static_cast<double>(n)));
    const double p99 = times[std::max<std::size_t>(rank, 1) - 1];
    const Frame& slowest = *std::max_element(frames.begin(), frames.end(), [](const Frame& a, const Frame& b) {
        return a.milliseconds < b.milliseconds;
    });
    return formatText("%-12s %8zu %10.2f %7.2f %11.2f  %s\n", name.c_str(), n, median, p99, slowest.milliseconds,
                      timeText(slowest.time).c_str());
}

std::string FrameStats::table() const
{
    if (sections_.empty())
        return "no frames\n";
    std::string text = formatText("%-12s %8s %10s %7s %11s  %s\n", "section", "frames", "median ms", "99% ms",
                                  "slowest ms", "at");
    std::vector<Frame> all;
    for (const Section& section : sections_) {
        text += line(section.name, section.frames);
        all.insert(all.end(), section.frames.begin(), section.frames.end());
    }
    return text + line("all", all);
}

}  // namespace mirva
