#pragma once
// TimeSource: where the script time comes from. A script names exactly one: `Song` (a
// tracker module; the time is the module's position), `Timer` (silence; the time is
// counted from frame seconds at a tempo) or `AudioStream` (a sound file; counted like a
// timer, ended by the end of the file). The script player asks it for the time once a
// frame and hands it the Skip jumps and the sample synchronizers of SampleMessageBegin.
//
// Everything here runs on the main thread. The end of a module or stream is noticed on
// the sound library's mixing thread (see ChannelSource); `ended` reads it safely.
#include <optional>
#include <string>

#include "script/script_time.h"

namespace mirva {

class SampleTriggers;

class TimeSource {
public:
    virtual ~TimeSource() = default;

    // One line for people: the kind of source and its settings.
    virtual std::string describe() const = 0;

    // The script time after another frame of `seconds` (already limited by the caller).
    virtual Time readTime(float seconds) = 0;
    // Whether the source has passed its end since the last rewind: the script's restart
    // request.
    virtual bool ended() const = 0;
    // The source's part of the restart. Called through ScriptPlayer::rewindTimeSource,
    // which also forgets the sample listeners and counts.
    virtual void rewind() = 0;

    // Where the music ends, for the checks of `Skip`.
    virtual Time endOfMusic() const = 0;
    // Jumps so that the next reading gives `target` (the script's Skip).
    virtual void skipTo(Time target) = 0;
    // The author's jump: the next reading gives `target` and the sound plays from there
    // too. The same as skipTo where the music is the time.
    virtual void seek(Time target) { skipTo(target); }
    // Stops the sound where it is, or lets it play on; the clock stands still while the
    // caller hands it no seconds. Nothing before the start or after the end.
    virtual void pause(bool /*paused*/) {}
    // The script time `seconds` after the start; nothing past the end.
    virtual std::optional<Time> timeAtSeconds(double seconds) const = 0;

    // How long one play of the script lasts, in seconds of frame clock or music, as far
    // as the source knows it (Skip jumps shorten it); below 0 when it can't tell.
    virtual double lengthSeconds() const { return -1.0; }

    // Factor on the frame seconds handed to the components for movement.
    virtual float timeMultiplier() const = 0;

    // The synchronizer that counts the plays of sample (instrument) `sample` into
    // `triggers`. Only a module has instruments: other sources ask the sound library for
    // a synchronizer on no module at all, and its refusal is fatal.
    virtual void setSampleSync(int sample, SampleTriggers& triggers);
    virtual void removeSampleSync(int sample);
};

}  // namespace mirva
