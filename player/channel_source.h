#pragma once
// ChannelSource: what the `Song` and `AudioStream` sources share, a channel of the sound
// library whose end ends the script.
//
// The end synchronizer runs on the sound library's mixing thread. There it sets the
// channel back to its start, removes itself and stops the channel, and then raises the
// restart request, an atomic flag that the main thread reads at the end of its frame.
// What the main thread owns (the sample synchronizers of a module, the listeners and the
// trigger counts) is left to the main thread's rewind: the channel is stopped by then,
// so nothing plays and nothing is counted in between.
#include <atomic>

#include "platform/sound/bass.h"
#include "player/time_source.h"

namespace mirva {

class ChannelSource : public TimeSource {
public:
    DWORD channel() const { return channel_; }
    // The end synchronizer; 0 before the start and after the end.
    HSYNC endSync() const { return endSync_.load(); }
    void pause(bool paused) override;

protected:
    explicit ChannelSource(DWORD channel) : channel_(channel) {}

    // Sets the end synchronizer (the start instructions). Fatal "Setting a end
    // synchronizer failed (BASS message: %s)" when the library refuses.
    void setEndSync();
    bool channelEnded() const { return channelEnded_.load(); }
    void clearChannelEnded() { channelEnded_.store(false); }

private:
    static void endProc(HSYNC handle, DWORD channel, DWORD data, void* user);
    void end(HSYNC handle);

    DWORD channel_;
    std::atomic<HSYNC> endSync_{0};
    std::atomic<bool> channelEnded_{false};
};

}  // namespace mirva
