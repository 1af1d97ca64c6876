#pragma once
// Mixer: the channels and synchronizers of the sound library, and the mixing of the next
// frames. It mixes in slices that end wherever a channel must look at its position, and
// after each slice runs the synchronizers of what happened in it, on the mixing thread.
//
// Everything is guarded by the library's one recursive lock; `mix` takes it for each
// slice, so the library's calls wait at most for one slice, and synchronizer callbacks
// (which run inside the lock) may call the library again.
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/sound/bass.h"
#include "platform/sound/channel.h"

namespace mirva {

class Mixer {
public:
    explicit Mixer(std::recursive_mutex& lock) : lock_(lock) {}

    // Adds the next `frames` stereo frames of every playing channel into `out`
    // (interleaved, cleared first).
    void mix(float* out, std::size_t frames);
    std::uint64_t mixedFrames() const;

    // The rest is called with the lock held.
    DWORD add(std::unique_ptr<Channel> channel);
    Channel* channel(DWORD handle) const;
    HSYNC addSync(DWORD channel, DWORD type, DWORD param, SYNCPROC* proc, void* user);
    bool removeSync(DWORD channel, HSYNC sync);

private:
    struct Sync {
        HSYNC handle;
        DWORD channel;
        DWORD type;
        DWORD param;
        SYNCPROC* proc;
        void* user;
    };
    struct Happened {
        DWORD channel;
        Channel::Event event;
    };

    static bool matches(const Sync& sync, const Channel::Event& event);
    void runSyncs(const std::vector<Happened>& happened);

    std::recursive_mutex& lock_;
    std::map<DWORD, std::unique_ptr<Channel>> channels_;
    std::vector<Sync> syncs_;
    DWORD nextHandle_ = 1;
    std::uint64_t mixed_ = 0;
};

}  // namespace mirva
