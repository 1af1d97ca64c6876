#include "platform/sound/mixer.h"

#include <algorithm>

namespace mirva {

namespace {

// The longest slice: about 12 ms at 44100 Hz. The library's calls wait for at most this.
constexpr std::size_t kSliceFrames = 512;

}  // namespace

void Mixer::mix(float* out, std::size_t frames)
{
    std::vector<Channel::Event> events;
    std::vector<Happened> happened;
    std::size_t done = 0;
    while (done < frames) {
        std::lock_guard lock(lock_);
        std::size_t slice = std::min(frames - done, kSliceFrames);
        for (const auto& [handle, channel] : channels_)
            if (channel->playing())
                slice = std::min(slice, channel->framesBeforeCheck());
        float* at = out + done * 2;
        std::fill(at, at + slice * 2, 0.0f);
        happened.clear();
        for (const auto& [handle, channel] : channels_) {
            if (!channel->playing())
                continue;
            events.clear();
            channel->render(at, slice, events);
            if (channel->ended())
                channel->setPlaying(false);
            for (const Channel::Event& event : events)
                happened.push_back({handle, event});
        }
        mixed_ += slice;
        done += slice;
        runSyncs(happened);
    }
}

std::uint64_t Mixer::mixedFrames() const
{
    std::lock_guard lock(lock_);
    return mixed_;
}

bool Mixer::matches(const Sync& sync, const Channel::Event& event)
{
    if (sync.type != event.type)
        return false;
    if (sync.type != BASS_SYNC_MUSICINST)
        return true;
    const DWORD note = sync.param >> 16;
    return (sync.param & 0xFFFF) == event.instrument && (note == 0xFFFF || note == event.note);
}

void Mixer::runSyncs(const std::vector<Happened>& happened)
{
    for (const Happened& h : happened) {
        std::vector<HSYNC> due;
        for (const Sync& sync : syncs_)
            if (sync.channel == h.channel && matches(sync, h.event))
                due.push_back(sync.handle);
        const DWORD data = h.event.note | h.event.volume << 16;
        for (HSYNC handle : due) {
            // An earlier callback may have removed this synchronizer.
            const auto sync = std::find_if(syncs_.begin(), syncs_.end(), [&](const Sync& s) { return s.handle == handle; });
            if (sync != syncs_.end()) {
                const Sync call = *sync;
                call.proc(call.handle, call.channel, data, call.user);
            }
        }
    }
}

DWORD Mixer::add(std::unique_ptr<Channel> channel)
{
    const DWORD handle = nextHandle_++;
    channels_[handle] = std::move(channel);
    return handle;
}

Channel* Mixer::channel(DWORD handle) const
{
    const auto found = channels_.find(handle);
    return found == channels_.end() ? nullptr : found->second.get();
}

HSYNC Mixer::addSync(DWORD channel, DWORD type, DWORD param, SYNCPROC* proc, void* user)
{
    const HSYNC handle = nextHandle_++;
    syncs_.push_back({handle, channel, type, param, proc, user});
    return handle;
}

bool Mixer::removeSync(DWORD channel, HSYNC sync)
{
    const auto found =
        std::find_if(syncs_.begin(), syncs_.end(), [&](const Sync& s) { return s.handle == sync && s.channel == channel; });
    if (found == syncs_.end())
        return false;
    syncs_.erase(found);
    return true;
}

}  // namespace mirva
