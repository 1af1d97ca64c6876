#pragma once
// FrameStats: how long the frames of a render took, section by section, for
// `mirva render --stats`. A section is an order of the music (a Song), or ten seconds
// of script time (a Timer or an AudioStream). Each section's line gives its frame count,
// the median and the 99th-percentile frame time (nearest rank), and its slowest frame
// with the script time it showed:
//
//   section        frames  median ms  99% ms  slowest ms  at
//   order 0           461       4.12    6.30        8.01  0:12:128
//   ...
//   all              9217       4.40    7.95       12.50  7:40:0
#include <string>
#include <vector>

#include "script/script_time.h"

namespace mirva {

class FrameStats {
public:
    // One frame of `milliseconds`, in the section called `section` (sections are listed
    // in the order they first appear), which showed script time `time`.
    void add(const std::string& section, double milliseconds, Time time);
    // The table above; "no frames" when none were added.
    std::string table() const;

private:
    struct Frame {
        double milliseconds;
        Time time;
    };
    struct Section {
        std::string name;
        std::vector<Frame> frames;
    };
    static std::string line(const std::string& name, const std::vector<Frame>& frames);

    std::vector<Section> sections_;
};

}  // namespace mirva
