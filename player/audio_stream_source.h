#pragma once
// AudioStreamSource: the time source of `AudioStream file tempo timeMultiplier`, a WAV or
// MPEG audio file (MP3, MP2, MP1) played by the sound library. The script time is counted
// from the frame seconds at the tempo, like a Timer's, up to 10000:0:0; the end of the
// file ends the script. The file has no instruments to listen to.
#include <cstdint>
#include <string>

#include "player/channel_source.h"
#include "player/frame_clock.h"
#include "player/instruction.h"

namespace mirva {

class AudioStreamSource final : public ChannelSource {
public:
    // The script time that ends an audio stream script when the file is longer.
    static constexpr Time kEndTime = 10000 << 14;
    // Where the music ends for the checks of Skip.
    static constexpr Time kEndOfMusic = 100000 << 14;

    // Opens the file and starts the output (the library must be initialised). Fatal with
    // the library's message when one fails.
    AudioStreamSource(const std::string& file, std::int32_t tempo, float timeMultiplier);

    std::string describe() const override;
    Time readTime(float seconds) override { return clock_.advance(seconds); }
    bool ended() const override { return channelEnded() || clock_.passedEnd(); }
    void rewind() override;
    Time endOfMusic() const override { return kEndOfMusic; }
    // The clock jumps; the file plays on where it is.
    void skipTo(Time target) override { clock_.skipTo(target); }
    // The clock jumps and the file plays from the same moment.
    void seek(Time target) override;
    std::optional<Time> timeAtSeconds(double seconds) const override;
    float timeMultiplier() const override { return timeMultiplier_; }
    double lengthSeconds() const override;

    // Plays the file from its beginning and sets the end synchronizer; returns its length
    // in bytes. The clock goes on from where it is.
    int start();

    HSTREAM stream() const { return channel(); }
    const FrameClock& clock() const { return clock_; }

private:
    std::string file_;
    float timeMultiplier_;
    FrameClock clock_;
};

// Plays the file at 0:0:0 of every play of the script.
class AudioStreamStartInstruction final : public Instruction {
public:
    AudioStreamStartInstruction(ScriptPlayer& player, AudioStreamSource& stream);
    void execute() override;

private:
    AudioStreamSource& stream_;
};

}  // namespace mirva
