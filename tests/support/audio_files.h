#pragma once
// Sound files for tests: WAV written byte by byte, MP3 encoded by libsndfile.
#include <cstdint>
#include <string>
#include <vector>

namespace mirva::test {

// A 16-bit PCM WAV file; `samples` interleaved over `channels`.
void writeWav(const std::string& path, int rate, int channels, const std::vector<std::int16_t>& samples);
// An MP3 file (MPEG layer III) of `seconds` of a stereo sine tone at half of full scale.
// False when this libsndfile cannot encode MPEG.
bool writeMp3Tone(const std::string& path, double seconds, double hertz, int rate = 44100);

}  // namespace mirva::test
