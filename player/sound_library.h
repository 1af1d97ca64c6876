#pragma once
// SoundLibrary: the sound library as the script player holds it. The `Song` and
// `AudioStream` builders initialise it while the script loads (default device, 44100 Hz,
// the output that SoundOutput::choose picked); it is freed with the player, and also
// when loading ends in a fatal error that tests catch, so the next player can start it
// again. A `Timer` script never starts it.
//
// Offline playback (mirva check, mirva render): choose SoundOutput::Kind::Offline before
// the player is made; then nothing plays by itself, and `mixTo` mixes exactly the samples
// up to a video frame, so positions and sample triggers are the same on every run.
#include <cstdint>

#include "platform/sound/bass.h"

namespace mirva {

class SoundLibrary {
public:
    SoundLibrary() = default;
    ~SoundLibrary() { free(); }
    SoundLibrary(const SoundLibrary&) = delete;
    SoundLibrary& operator=(const SoundLibrary&) = delete;

    // Fatal "Music player initialization failed (BASS message: %s)" when it can't start.
    void init();
    // Stops the output and frees every channel and synchronizer; nothing when not started.
    void free();
    bool started() const { return started_; }

    // Offline output only: mixes up to the first sample of video frame `videoFrame` at
    // `fps` frames a second. Does nothing when the library was not started.
    void mixTo(std::uint64_t videoFrame, double fps) const;

private:
    bool started_ = false;
};

inline constexpr DWORD kOutputRate = 44100;

// The library's text for the error of this thread's last call, for "BASS message: %s".
const char* bassMessage();

}  // namespace mirva
