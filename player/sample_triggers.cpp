#include "player/sample_triggers.h"

#include <chrono>

#include "io/console.h"
#include "player/sound_library.h"
#include "player/time_source.h"

namespace mirva {

namespace {

constexpr std::chrono::milliseconds kMutexWait(500);
constexpr DWORD kEveryNote = 0xFFFF0000;

}  // namespace

SampleTriggers::SampleTriggers()
{
    for (int s = 0; s < kSamples; ++s)
        slots_[index(s)] = {this, s};
}

// Numbers outside 0..127 are stopped at load time; they are passed over here so that no
// array is ever indexed outside.
void SampleTriggers::listen(const std::vector<std::int32_t>& samples, TimeSource& source)
{
    for (const std::int32_t s : samples) {
        if (!valid(s))
            continue;
        if (listeners_[index(s)]++ == 0)
            source.setSampleSync(s, *this);
    }
}

// A number nobody listens to (a Set may have changed the list since SampleMessageBegin)
// is passed over rather than counted below zero.
void SampleTriggers::stopListening(const std::vector<std::int32_t>& samples, TimeSource& source)
{
    for (const std::int32_t s : samples) {
        if (!valid(s) || listeners_[index(s)] == 0)
            continue;
        if (--listeners_[index(s)] == 0)
            source.removeSampleSync(s);
    }
}

HSYNC SampleTriggers::setSync(HMUSIC music, int sample)
{
    Slot* slot = valid(sample) ? &slots_[index(sample)] : nullptr;
    const HSYNC sync = BASS_ChannelSetSync(music, BASS_SYNC_MUSICINST, (static_cast<DWORD>(sample) & 0xFFFF) | kEveryNote,
                                           syncProc, slot);
    if (!sync)
        Console::error("Setting a synchronizer failed (BASS message: %s) SampleNumber = %d", bassMessage(), sample);
    return sync;
}

void SampleTriggers::removeSync(HMUSIC music, HSYNC sync)
{
    if (!BASS_ChannelRemoveSync(music, sync))
        Console::error("Removing a synchronizer failed (BASS message: %s)", bassMessage());
}

void SampleTriggers::syncProc(HSYNC, DWORD, DWORD, void* user)
{
    const auto* slot = static_cast<const Slot*>(user);
    slot->triggers->count(slot->sample);
}

bool SampleTriggers::count(int sample)
{
    if (!valid(sample) || !mutex_.try_lock_for(kMutexWait))
        return false;
    ++counts_[index(sample)];
    mutex_.unlock();
    return true;
}

void SampleTriggers::takeSnapshot()
{
    if (!mutex_.try_lock_for(kMutexWait)) {
        snapshot_ = {};
        return;
    }
    snapshot_ = counts_;
    counts_ = {};
    mutex_.unlock();
}

int SampleTriggers::pending(std::int32_t sample)
{
    std::lock_guard lock(mutex_);
    return valid(sample) ? counts_[index(sample)] : 0;
}

void SampleTriggers::reset()
{
    listeners_ = {};
    std::lock_guard lock(mutex_);
    counts_ = {};
}

}  // namespace mirva
