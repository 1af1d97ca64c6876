#pragma once
// SampleTriggers: which sample (instrument) numbers instances listen to, and how often
// each played since the last frame.
//
// One synchronizer on the music serves every instance that listens to the same number:
// the first listener sets it, the last one to stop removes it. The synchronizer runs on
// the sound library's mixing thread and counts the plays under the mutex
// "MutexToProtectSynccounter"; once a frame the main thread takes the counts as the
// frame's snapshot and clears them. Both sides wait at most 500 ms for the mutex:
//   - a play whose count can't be had in time is not counted;
//   - a snapshot that can't be had in time is all 0, and the counts wait for the next.
// Everything else here belongs to the main thread.
#include <array>
#include <cstdint>
#include <mutex>
#include <vector>

#include "platform/sound/bass.h"

namespace mirva {

class TimeSource;

class SampleTriggers {
public:
    static constexpr int kSamples = 128;

    SampleTriggers();
    SampleTriggers(const SampleTriggers&) = delete;
    SampleTriggers& operator=(const SampleTriggers&) = delete;

    static bool valid(std::int32_t sample) { return sample >= 0 && sample < kSamples; }

    // Registration and release for SampleMessageBegin and SampleMessageEnd.
    void listen(const std::vector<std::int32_t>& samples, TimeSource& source);
    void stopListening(const std::vector<std::int32_t>& samples, TimeSource& source);
    int listeners(std::int32_t sample) const { return valid(sample) ? listeners_[index(sample)] : 0; }

    // The synchronizer of instrument `sample` (every note) on `music` that counts into
    // these triggers; fatal when the sound library refuses it.
    HSYNC setSync(HMUSIC music, int sample);
    // Fatal when the sound library refuses.
    static void removeSync(HMUSIC music, HSYNC sync);

    // One more play of `sample` (the mixing thread). False when it was not counted.
    bool count(int sample);
    // The frame's snapshot (the main thread, once a frame).
    void takeSnapshot();
    int snapshot(std::int32_t sample) const { return valid(sample) ? snapshot_[index(sample)] : 0; }
    // Plays counted since the last snapshot.
    int pending(std::int32_t sample);

    // Nobody listens and nothing is counted any more: the music ended and its
    // synchronizers are gone.
    void reset();

    // The mutex, for tests that hold it.
    std::timed_mutex& mutex() { return mutex_; }

private:
    static std::size_t index(std::int32_t sample) { return static_cast<std::size_t>(sample); }
    static void syncProc(HSYNC handle, DWORD channel, DWORD data, void* user);

    // The user value of sample s's synchronizer.
    struct Slot {
        SampleTriggers* triggers;
        int sample;
    };

    std::array<int, kSamples> listeners_{};
    std::array<Slot, kSamples> slots_{};
    std::timed_mutex mutex_;   // "MutexToProtectSynccounter"
    std::array<int, kSamples> counts_{};
    std::array<int, kSamples> snapshot_{};
};

}  // namespace mirva
