#include "script/script_time.h"

#include <charconv>

#include "io/console.h"

namespace mirva {

std::string timeText(Time t)
{
    return formatText("%d:%d:%d", (t >> 14) & 0x1FFFF, (t >> 8) & 63, t & 255);
}

std::optional<Time> parseTimeText(std::string_view text)
{
    constexpr int kLimits[3] = {1 << 17, 64, 256};
    int fields[3] = {};
    const char* at = text.data();
    const char* end = text.data() + text.size();
    for (int i = 0; i < 3; ++i) {
        if (i > 0 && (at == end || *at++ != ':'))
            return std::nullopt;
        const auto [next, error] = std::from_chars(at, end, fields[i]);
        if (error != std::errc() || next == at || fields[i] < 0 || fields[i] >= kLimits[i])
            return std::nullopt;
        at = next;
    }
    if (at != end)
        return std::nullopt;
    return static_cast<Time>(fields[0] << 14 | fields[1] << 8 | fields[2]);
}

}  // namespace mirva
