#pragma once
// Channel: one thing the mixer plays, a module or an audio stream. The mixer asks how far
// the channel may render before it must look at its position again, renders that many
// frames, and turns the events the channel reports into synchronizer callbacks.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/sound/bass.h"

namespace mirva {

class Channel {
public:
    // Something a synchronizer may wait for.
    struct Event {
        DWORD type = 0;         // BASS_SYNC_MUSICINST or BASS_SYNC_END
        DWORD instrument = 0;   // instrument played: its number (first = 1)
        DWORD note = 0;         // and its note (0 = C-0)
        DWORD volume = 0;       // and the note's volume 0..64
    };

    virtual ~Channel() = default;

    // Frames that may be rendered before the channel must check its position (at least 1).
    virtual std::size_t framesBeforeCheck() const = 0;
    // Adds the next `frames` stereo frames to `mix` (interleaved) and appends what happened
    // to `events`. A channel that reaches its end appends BASS_SYNC_END and adds nothing
    // more; ended() is true from then on.
    virtual void render(float* mix, std::size_t frames, std::vector<Event>& events) = 0;
    virtual DWORD position() const = 0;
    // False for a position outside the channel.
    virtual bool setPosition(DWORD position) = 0;

    bool ended() const { return ended_; }
    bool playing() const { return playing_; }
    // Playing or stopped; either way a pause is over.
    void setPlaying(bool playing)
    {
        playing_ = playing;
        paused_ = false;
    }
    // Stopped where it is, to go on from there at the resume.
    bool paused() const { return paused_; }
    void pause()
    {
        playing_ = false;
        paused_ = true;
    }

protected:
    bool ended_ = false;

private:
    bool playing_ = false;
    bool paused_ = false;
};

}  // namespace mirva
