#pragma once
// SongSource: the time source of `Song file`, a tracker module played by the sound
// library. The script time is the module's position (order, row and 1/256 of the row);
// the end of the module ends the script. Instances listen to its instruments through
// sample synchronizers, one per instrument number however many instances listen.
#include <array>
#include <string>

#include "player/channel_source.h"
#include "player/instruction.h"
#include "player/sample_triggers.h"

namespace mirva {

class SongSource final : public ChannelSource {
public:
    // Loads the module, starts the output and sets the position scaler to 256 (the
    // library must be initialised). Fatal with the library's message when one fails.
    explicit SongSource(const std::string& file);

    std::string describe() const override;
    Time readTime(float seconds) override;
    bool ended() const override { return channelEnded(); }
    void rewind() override;
    Time endOfMusic() const override;
    void skipTo(Time target) override;
    float timeMultiplier() const override { return 1.0f; }
    double lengthSeconds() const override { return seconds_; }
    std::optional<Time> timeAtSeconds(double seconds) const override;
    void setSampleSync(int sample, SampleTriggers& triggers) override;
    void removeSampleSync(int sample) override;

    // Plays from the current position and sets the end synchronizer; returns the length
    // in orders.
    int start();

    HMUSIC music() const { return channel(); }
    // The synchronizer of instrument `sample`; 0 when none.
    HSYNC sampleSync(int sample) const;

    // A module position (scaler 256) as a script time. The row is ORed into the time, so
    // rows from 64 on spill into the order.
    static Time timeOf(DWORD position);

private:
    std::string file_;
    double seconds_ = -1.0;  // one play of the module, from its file
    std::array<HSYNC, SampleTriggers::kSamples> sampleSync_{};
};

// Plays the module at 0:0:0 of every play of the script.
class SongStartInstruction final : public Instruction {
public:
    SongStartInstruction(ScriptPlayer& player, SongSource& song);
    void execute() override;

private:
    SongSource& song_;
};

}  // namespace mirva
