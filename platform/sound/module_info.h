#pragma once
// Facts about a tracker module file, for `mirva inspect` and for people choosing music.
#include <cstddef>
#include <optional>
#include <string>

namespace mirva {

struct ModuleInfo {
    std::string format;       // "mod", "xm", "s3m" or "it"
    std::string formatName;   // as the format calls itself, e.g. "ProTracker MOD (M.K.)"
    std::string title;
    int channels = 0;
    int orders = 0;           // the song's length in orders
    int patterns = 0;
    int instruments = 0;      // what synchronizers number: instruments, or samples without them
    int samples = 0;
    double seconds = 0;       // playing once from the start
};

// Nothing when the bytes are no MOD, XM, S3M or IT module.
std::optional<ModuleInfo> describeModule(const void* data, std::size_t size);

// Where a module playing from its start is after `seconds`: the order and row that start
// nearest to that moment. Nothing when the bytes are no module or the time lies past its
// end.
struct ModulePosition {
    int order = 0;
    int row = 0;
};
std::optional<ModulePosition> modulePositionAt(const void* data, std::size_t size, double seconds);

}  // namespace mirva
