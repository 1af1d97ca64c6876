#pragma once
// LightWave scene text written in tests: envelope blocks and nine-channel motions.
#include <array>
#include <map>
#include <string>
#include <vector>

namespace mirva::test {

// One envelope block: keys as (value, time, shape) with zero parameters.
inline std::string envelope(const std::vector<std::array<float, 3>>& keys, int pre = 1, int post = 1)
{
    std::string text = "{ Envelope\n  " + std::to_string(keys.size()) + "\n";
    for (const auto& key : keys)
        text += "  Key " + std::to_string(key[0]) + " " + std::to_string(key[1]) + " " +
                std::to_string(static_cast<int>(key[2])) + " 0 0 0 0 0 0\n";
    return text + "  Behaviors " + std::to_string(pre) + " " + std::to_string(post) + "\n}\n";
}

// A motion of nine channels holding these values, but for the channels given keys of their
// own; channels 3-5 are written in radians.
inline std::string motion(const std::array<float, 9>& values,
                          const std::map<int, std::vector<std::array<float, 3>>>& keyed = {})
{
    std::string text = "NumChannels 9\n";
    for (int i = 0; i < 9; ++i) {
        const auto keys = keyed.find(i);
        text += "Channel " + std::to_string(i) + "\n" +
                (keys != keyed.end() ? envelope(keys->second)
                                     : envelope({{{values[static_cast<std::size_t>(i)], 0, 0}}}));
    }
    return text;
}

}  // namespace mirva::test
