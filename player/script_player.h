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
// Playback: the program calls frameUpdate(seconds) once per displayed frame with the
// wall-clock seconds of the frame (a screen mode must be set). In this order it limits
// the seconds to 0.5, reads the script time, executes the instructions that have come
// due, sorts the instances by Layer (stable: equal layers keep construction order),
// takes the sample-trigger snapshot, begins the scene, and for each constructed
// instance: applies its sample block once per triggered sample number, skips it unless
// Enabled, advances its common envelopes, counts the rows for RowsToShow, sets the
// camera up from its common variables and calls its update, which renders it. Then the
// info overlay (info mode), the end of the scene, the present, and the restart when the
// time source has ended: every instance destructed, the list replayed from the start on
// the next frame.
//
// The steps of one frame that belong to the time source, on the main thread:
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
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "components/component.h"
#include "components/component_type.h"
#include "player/info_overlay.h"
#include "player/instruction.h"
#include "player/sample_triggers.h"
#include "player/sound_library.h"
#include "player/time_source.h"
#include "script/script_builder.h"

namespace mirva {

class Camera;

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

    // One frame of the show: time, instructions, every visible instance rendered in layer
    // order, the info overlay, present, and the restart after the end. `seconds` is the
    // wall-clock time of the frame; more than 0.5 counts as 0.5. Needs a screen mode.
    void frameUpdate(float seconds);
    // One line of info-overlay text at a grid cell of the overlay; nothing unless the
    // script is in info mode.
    void infoPrint(int column, int row, const char* format, ...) __attribute__((format(printf, 4, 5)));
    // How many times the script has restarted since it was loaded (each end of the time
    // source seen by a frame update counts once).
    int restarts() const { return restarts_; }
    // The script time of the last frame update (0 after the load and after a restart).
    Time previousTime() const { return previousTime_; }
    // The camera every instance is rendered with; null before a screen mode was set.
    Camera* camera() const { return camera_.get(); }
    // The info mode's overlay; null unless in info mode (or shown) with a screen mode set.
    InfoOverlay* infoOverlay() const { return infoOverlay_.get(); }
    // Shows or hides the overlay whether or not the script is in info mode (a screen
    // mode must be set to show it).
    void showInfoOverlay(bool shown);

    // For people writing a show (`mirva play`). The play jumps to `target` now: going
    // back replays the script from its start (every instance destructed, the time source
    // rewound, the instructions of 0:0:0 run at once) up to there; going forward works
    // like the script's Skip, except that the sound jumps too. What lies between runs at
    // the next frame update. A paused player stays paused.
    void seek(Time target);
    // A paused player's frames show the same moment: no seconds reach the clock or the
    // components, and the music stands still.
    void setPaused(bool paused);
    bool paused() const { return paused_; }
    // The script time `seconds` after the start; nothing past the end.
    std::optional<Time> timeAtSeconds(double seconds) const { return timeSource_->timeAtSeconds(seconds); }
    // After a frame update that ended in an error someone caught: the render-target pass
    // it left open is ended before its target goes, so the device draws to the screen
    // again (the scene still open is closed by shutDownEngine).
    void abandonFrame();

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
    // The camera, and in info mode the overlay's font, once a screen mode is set.
    void prepareGraphics();
    // Step 8 of the frame for one instance: sample block, Enabled, envelopes, rows, render.
    void renderInstance(Component& instance, std::int32_t rowsElapsed, float movementSeconds);
    void restart();
    // What a restart and a jump back share: every instance destructed, the time source
    // rewound, the instruction list at its start.
    void rewindPlay();
    // The checks every block of Set, Begin and SampleMessageBegin goes through: known,
    // not a construction parameter, a usable SampleNumber. Fills in the identifiers.
    void checkBlock(const char* command, Component& instance, std::vector<Variable>& block, int line) const;
    void checkSampleNumbers(const char* command, const std::string& name, const Variable& record, int line) const;
    void append(std::unique_ptr<Instruction> instruction);

    std::vector<std::unique_ptr<Component>> instances_;
    std::unordered_map<std::string, Component*> instancesByName_;
    std::vector<std::unique_ptr<Instruction>> instructions_;
    std::unique_ptr<TimeSource> timeSource_;
    SampleTriggers sampleTriggers_;
    std::size_t nextInstruction_ = 0;
    Time previousTime_ = 0;
    int restarts_ = 0;
    bool infoMode_ = false;
    bool paused_ = false;
    std::unique_ptr<Camera> camera_;
    std::unique_ptr<InfoOverlay> infoOverlay_;
    TraceSink traceSink_;
    // Last, so that it is freed first: the mixing thread calls the synchronizers of the
    // time source and the sample triggers until the library is freed.
    SoundLibrary sound_;
};

}  // namespace mirva
