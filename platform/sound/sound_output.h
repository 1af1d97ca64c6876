#pragma once
// SoundOutput: where the sound library's mix goes, chosen before BASS_Init.
//
//   Device   the sound card, through SDL2 audio; the mixer runs on SDL's audio thread.
//   Null     no sound card: a thread of ours mixes and drops the samples in real time, so
//            positions and synchronizers advance exactly as with a card.
//   Offline  nothing runs by itself: the caller pulls the samples of each video frame
//            (mix / mixTo) and the synchronizers run on the caller's thread. The same calls
//            give the same samples on every run; they may be written to a WAV file and
//            handed to a sink (a video encoder) as they are mixed.
//   Automatic (the default) opens the sound card and, when there is none (or SDL was told
//            to use its dummy driver), the null device, with one line on the console.
//
// BASS_Init(BASS_DEVICE_DEFAULT, ...) opens the chosen kind; BASS_Init(BASS_DEVICE_NOSOUND,
// ...) always the null device.
//
// Module and stream positions are those of the mixer: with a sound card, at most one
// device buffer (about 12 ms) ahead of what is heard.
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace mirva {

class SoundOutput {
public:
    enum class Kind { Automatic, Device, Null, Offline };
    // Receives interleaved 16-bit stereo samples on the mixing caller's thread.
    using Sink = std::function<void(std::span<const std::int16_t> samples)>;

    // For the next BASS_Init with the default device. With Offline, `wavFile` names a
    // 16-bit stereo WAV file and `sink` a receiver; both get every frame mixed until
    // BASS_Free, in the order they are mixed.
    static void choose(Kind kind, const std::string& wavFile = "", Sink sink = {});
    // The output the library runs now; Automatic while it is not initialised.
    static Kind current();

    // Offline only (fatal otherwise): mixes the next `frames` frames on this thread and
    // returns them as interleaved 16-bit stereo.
    static std::vector<std::int16_t> mix(std::size_t frames);
    // Mixes until `frame` frames have been mixed in all (nothing when that many are).
    static void mixTo(std::uint64_t frame);
    // Frames mixed since BASS_Init.
    static std::uint64_t mixedFrames();
    // The first sample frame of video frame `frame` at `fps` frames a second.
    static std::uint64_t frameStart(std::uint64_t frame, double fps);
};

}  // namespace mirva
