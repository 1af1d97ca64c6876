#include "tests/support/audio_files.h"

#include <sndfile.h>

#include <cmath>

#include "tests/support/files.h"

namespace mirva::test {

void writeWav(const std::string& path, int rate, int channels, const std::vector<std::int16_t>& samples)
{
    std::vector<std::uint8_t> b;
    auto put = [&](std::uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    };
    auto text = [&](const char* t) { b.insert(b.end(), t, t + 4); };
    const auto dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
    const auto rate32 = static_cast<std::uint32_t>(rate), channels32 = static_cast<std::uint32_t>(channels);
    text("RIFF");
    put(36 + dataBytes, 4);
    text("WAVE");
    text("fmt ");
    // Chunk size, PCM, channels, rate, bytes a second, bytes a frame, bits a sample.
    for (const auto& [value, bytes] : {std::pair{16u, 4}, {1u, 2}, {channels32, 2}, {rate32, 4},
                                      {rate32 * channels32 * 2, 4}, {channels32 * 2, 2}, {16u, 2}})
        put(value, bytes);
    text("data");
    put(dataBytes, 4);
    for (std::int16_t s : samples)
        put(static_cast<std::uint16_t>(s), 2);
    writeFile(path, b);
}

bool writeMp3Tone(const std::string& path, double seconds, double hertz, int rate)
{
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = 2;
    info.format = SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file)
        return false;
    const auto frames = static_cast<sf_count_t>(std::llround(seconds * rate));
    std::vector<float> tone;
    tone.reserve(static_cast<std::size_t>(frames) * 2);
    for (sf_count_t i = 0; i < frames; ++i) {
        const auto v = static_cast<float>(0.5 * std::sin(2 * M_PI * hertz * static_cast<double>(i) / rate));
        tone.insert(tone.end(), {v, v});
    }
    const bool written = sf_writef_float(file, tone.data(), frames) == frames;
    return sf_close(file) == 0 && written;
}

}  // namespace mirva::test
