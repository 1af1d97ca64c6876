#include "player/channel_source.h"

#include "io/console.h"
#include "player/sound_library.h"

namespace mirva {

void ChannelSource::setEndSync()
{
    const HSYNC sync = BASS_ChannelSetSync(channel_, BASS_SYNC_END, 0, endProc, this);
    if (!sync)
        Console::error("Setting a end synchronizer failed (BASS message: %s)", bassMessage());
    endSync_.store(sync);
}

// A channel that does not play (or is not paused) refuses, which is all right here.
void ChannelSource::pause(bool paused)
{
    if (paused)
        BASS_ChannelPause(channel_);
    else
        BASS_ChannelResume(channel_);
}

void ChannelSource::endProc(HSYNC handle, DWORD, DWORD, void* user)
{
    static_cast<ChannelSource*>(user)->end(handle);
}

// On the mixing thread, inside the sound library: its calls may be made from here.
void ChannelSource::end(HSYNC handle)
{
    if (!BASS_ChannelSetPosition(channel_, 0))
        Console::error("Setting music to the start failed (BASS message: %s)", bassMessage());
    if (!BASS_ChannelRemoveSync(channel_, handle))
        Console::error("Removing end sync failed (BASS message: %s)", bassMessage());
    endSync_.store(0);
    if (!BASS_ChannelStop(channel_))
        Console::error("Stopping the music failed (BASS message: %s)", bassMessage());
    channelEnded_.store(true);
}

}  // namespace mirva
