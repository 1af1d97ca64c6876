#pragma once
// ScriptPlayer: one loaded script, its component instances, its time-ordered instructions
// and its time source.
//
// The constructor does the whole load: the include/comment pass, then the parser, whose
// actions call the builders below in script order. Every builder checks its input,
// creates the instances at once (without resources) and appends one instruction. Any
// error ends the program with a message naming the script line; there is no partly
// loaded script. Loading needs no window or graphics device, which is what `mirva check`
// relies on (it picks the offline sound output, so a `Song` or `AudioStream` script needs
// no sound card either); a script that begins with `Info` writes "parameters.txt".
//
// Playback then executes the instructions in list order as the script time reaches them
// (executeDueInstructions); the frame update drives that, renders the instances and
// replays the list from the start when the time source has ended. One frame, as far as
// the time source goes, on the main thread:
//
//   mixOfflineSound(n, fps)           offline only: the sound up to video frame n
//   Time t = readTime(seconds)        the script time (seconds already limited)
//   executeDueInstructions(t)
//   sampleTriggers().takeSnapshot()   then sampleTriggers().snapshot(s) per number
//   ... render ...
//   if (endReached()) { ...destruct the instances, replay from instruction 0...;
//                       rewindTimeSource(); }
//
// `Song` and `AudioStream` start the sound library while loading, with the output that
// SoundOutput::choose picked (the sound card by default). With SoundOutput::Kind::Offline
// nothing plays by itself: the caller mixes each video frame's samples with
// mixOfflineSound before reading the time, so the module's position and the sample
// triggers come out the same on every run. The end of the music is noticed on the sound
// library's mixing thread, which stops and rewinds the music there; endReached reads the
// request safely.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "components/component.h"
#include "components/component_type.h"
#include "player/instruction.h"
#include "player/sample_triggers.h"
#include "player/sound_library.h"
#include "player/time_source.h"
#include "script/script_builder.h"

namespace mirva {

class ScriptPlayer final : public ScriptBuilder {
public:
    using TraceSink = std::function<void(const std::string& text)>;

    explicit ScriptPlayer(const std::string& scriptPath);
    ~ScriptPlayer() override;
    ScriptPlayer(const ScriptPlayer&) = delete;
    ScriptPlayer& operator=(const ScriptPlayer&) = delete;

    // Builders, called by the parser.
    void setInfoMode(bool on) override { infoMode_ = on; }
    void Song(const std::string& file, int line) override;
    void Timer(Time endTime, int tempo, float timeMultiplier, int line) override;
    void AudioStream(const std::string& file, int tempo, float timeMultiplier, int line) override;
    void Construct(Time time, const ScriptType& type, const std::string& name, std::vector<Variable> block,
                   int line) override;
    void Destruct(Time time, ScriptInstance& instance, int line) override;
    void Set(Time time, ScriptInstance& instance, std::vector<Variable> block, int line) override;
    void Begin(Time time, ScriptInstance& instance, std::vector<Variable> block, int line) override;
    void End(Time time, ScriptInstance& instance, int line) override;
    void SampleMessageBegin(Time time, ScriptInstance& instance, std::vector<Variable> block, int line) override;
    void SampleMessageEnd(Time time, ScriptInstance& instance, int line) override;
    void EndAll(Time time, int line) override;
    void Skip(Time time, Time target, int line) override;
    Component* findInstance(const std::string& name) override;
    const ComponentType* findComponentType(const std::string& name) override;

    // Executes, in list order, every instruction not yet executed whose time is at most
    // `time`.
    void executeDueInstructions(Time time);
    std::size_t nextInstruction() const { return nextInstruction_; }

    // The script time after another frame of `seconds`.
    Time readTime(float seconds) { return timeSource_->readTime(seconds); }
    // The restart request: the music or the timer has passed its end.
    bool endReached() const { return timeSource_->ended(); }
    // The time source's part of the restart: the clock back at 0, the synchronizers of
    // the samples gone, nobody listening, nothing counted, the request cleared. The start
    // instruction at 0:0:0 plays the music again when the list is replayed.
    void rewindTimeSource();
    // Offline output: mixes the sound up to the first sample of video frame
    // `videoFrame` (0 = the first frame) at `fps` frames a second. Nothing for a Timer.
    void mixOfflineSound(std::uint64_t videoFrame, double fps) const { sound_.mixTo(videoFrame, fps); }
    bool soundStarted() const { return sound_.started(); }

    bool infoMode() const { return infoMode_; }
    TimeSource& timeSource() { return *timeSource_; }
    const TimeSource& timeSource() const { return *timeSource_; }
    float timeMultiplier() const { return timeSource_->timeMultiplier(); }
    SampleTriggers& sampleTriggers() { return sampleTriggers_; }
    const std::vector<std::unique_ptr<Component>>& instances() const { return instances_; }
    const std::vector<std::unique_ptr<Instruction>>& instructions() const { return instructions_; }

    // Execution traces ("Construct name", "Set name", ...) go to the sink; without one
    // they are dropped.
    void setTraceSink(TraceSink sink) { traceSink_ = std::move(sink); }
    void trace(const char* format, ...) const __attribute__((format(printf, 2, 3)));

private:
    void load(const std::string& scriptPath);
    // The checks every block of Set, Begin and SampleMessageBegin goes through: known,
    // not a construction parameter, a usable SampleNumber. Fills in the identifiers.
    void checkBlock(const char* command, const Component& instance, std::vector<Variable>& block, int line) const;
    void checkSampleNumbers(const char* command, const std::string& name, const Variable& record, int line) const;
    void append(std::unique_ptr<Instruction> instruction);

    std::vector<std::unique_ptr<Component>> instances_;
    std::unordered_map<std::string, Component*> instancesByName_;
    std::vector<std::unique_ptr<Instruction>> instructions_;
    std::unique_ptr<TimeSource> timeSource_;
    SampleTriggers sampleTriggers_;
    std::size_t nextInstruction_ = 0;
    bool infoMode_ = false;
    TraceSink traceSink_;
    // Last, so that it is freed first: the mixing thread calls the synchronizers of the
    // time source and the sample triggers until the library is freed.
    SoundLibrary sound_;
};

}  // namespace mirva
