#include "player/script_player.h"

#include <cstdarg>
#include <cstdio>
#include <utility>

#include <algorithm>

#include "components/component_registry.h"
#include "engine/camera.h"
#include "engine/dx_driver.h"
#include "io/console.h"
#include "io/phile.h"
#include "player/audio_stream_source.h"
#include "player/instance_camera.h"
#include "player/script_instructions.h"
#include "player/song_source.h"
#include "player/timer_source.h"
#include "script/include_pass.h"
#include "script/parameter_reference.h"
#include "script/script_parser.h"

namespace mirva {

namespace {

Component& component(ScriptInstance& instance)
{
    // Every instance the parser hands back was created by Construct below.
    return static_cast<Component&>(instance);
}

// At tempo 0 or below the clock would never reach an instruction (and Skip would divide
// by zero).
void checkTempo(const char* source, int tempo, int line)
{
    if (tempo <= 0)
        Console::error("line %d %s: tempo must be above 0", line, source);
}

}  // namespace

ScriptPlayer::ScriptPlayer(const std::string& scriptPath)
{
    load(scriptPath);
}

ScriptPlayer::~ScriptPlayer()
{
    sound_.free();
    for (const auto& instance : instances_)
        instance->destruct();
}

void ScriptPlayer::load(const std::string& scriptPath)
{
    ComponentRegistry& registry = ComponentRegistry::instance();
    registry.enums().clearUserEnums();
    Phile::record(scriptPath);
    std::string script;
    if (!readTextFile(scriptPath, script))
        Console::fatal("script file '" + excerpt(scriptPath) + "' not found");
    std::string text;
    IncludePass::run(script, text, scriptPath);
    script.clear();
    ScriptParser(text, *this, registry.enums()).parse();

    // From here on the states follow playback, not the script order.
    for (const auto& instance : instances_) {
        instance->setLifecycleState(LifecycleState::NotConstructed);
        instance->setSampleTriggering(false);
    }
    sampleTriggers_.reset();
    nextInstruction_ = 0;

    if (infoMode_)
        writeParameterReference(registry.scriptTypes(), registry.enums());
    prepareGraphics();
}

void ScriptPlayer::prepareGraphics()
{
    // `mirva check` loads scripts with no graphics at all; the program sets its screen
    // mode first, so its player has both from the start.
    if (camera_ || !screenModeSet())
        return;
    camera_ = std::make_unique<Camera>();
    if (infoMode_)
        infoOverlay_ = std::make_unique<InfoOverlay>(*camera_);
}

void ScriptPlayer::frameUpdate(float seconds)
{
    prepareGraphics();
    if (!camera_)
        DXDriver::fatalError("ScriptPlayer::frameUpdate - screen mode must be set before the first frame");
    // A long stall (loading, a window in the background) moves the show by half a second
    // at most; a clock that went backwards does not move it at all.
    const float dt = paused_ ? 0.0f : std::clamp(seconds, 0.0f, 0.5f);
    const Time time = readTime(dt);
    const float fps = dt == 0.0f ? 0.0f : 1.0f / dt;
    const float movementSeconds = dt * timeMultiplier();
    const std::int32_t rowsElapsed = (time >> 8) - (previousTime_ >> 8);

    executeDueInstructions(time);
    std::stable_sort(instances_.begin(), instances_.end(),
                     [](const auto& a, const auto& b) { return a->layer() < b->layer(); });
    sampleTriggers_.takeSnapshot();

    camera_->beginScene();
    for (const auto& instance : instances_)
        if (instance->lifecycleState() == LifecycleState::Constructed)
            renderInstance(*instance, rowsElapsed, movementSeconds);
    // A render-target pass that no RenderTargetEnd closed ends here, so the overlay and
    // the next frame go to the screen.
    camera_->endPass();
    if (infoOverlay_)
        infoOverlay_->draw(*camera_, fps, time, instances_);
    camera_->endScene();
    flip();

    if (endReached())
        restart();
    else
        previousTime_ = time;
}

void ScriptPlayer::renderInstance(Component& instance, std::int32_t rowsElapsed, float movementSeconds)
{
    if (instance.sampleTriggering()) {
        // A copy: the block may assign SampleNumber while the numbers are walked.
        const std::vector<std::int32_t> numbers = instance.sampleNumbers();
        for (const std::int32_t s : numbers)
            if (sampleTriggers_.snapshot(s) != 0)
                instance.applyVariables(instance.sampleBlock());
    }
    if (!instance.enabled())
        return;
    instance.advanceBaseRecords(movementSeconds);
    instance.setRowsShown(instance.rowsShown() + rowsElapsed);
    if (instance.rowsShown() > instance.rowsToShow()) {
        instance.setEnabled(false);
        trace("Disable %s (rowsToShow expired)\n", instance.name().c_str());
        return;
    }
    setUpCamera(*camera_, instance);
    instance.update(*camera_, movementSeconds);
}

void ScriptPlayer::restart()
{
    rewindPlay();
    ++restarts_;
    trace("LOOPING\n");
}

void ScriptPlayer::rewindPlay()
{
    for (const auto& instance : instances_) {
        instance->setSampleTriggering(false);
        instance->setEnabled(false);
        instance->destruct();
    }
    rewindTimeSource();
    previousTime_ = 0;
    nextInstruction_ = 0;
}

void ScriptPlayer::seek(Time target)
{
    target = std::max(target, Time{0});
    if (target < previousTime_ || nextInstruction_ == 0) {
        if (nextInstruction_ > 0)
            rewindPlay();
        // The start instruction sets the clock to 0 and plays the music: it must run
        // before the jump, not after it.
        executeDueInstructions(0);
    }
    timeSource_->seek(target);
    timeSource_->pause(paused_);
    previousTime_ = target;
}

void ScriptPlayer::setPaused(bool paused)
{
    paused_ = paused;
    timeSource_->pause(paused);
}

void ScriptPlayer::showInfoOverlay(bool shown)
{
    if (!shown)
        infoOverlay_.reset();
    else if (!infoOverlay_ && camera_)
        infoOverlay_ = std::make_unique<InfoOverlay>(*camera_);
}

void ScriptPlayer::abandonFrame()
{
    if (!camera_)
        return;
    camera_->endPass();
}

void ScriptPlayer::infoPrint(int column, int row, const char* format, ...)
{
    if (!infoMode_ || !infoOverlay_ || !camera_)
        return;
    va_list args;
    va_start(args, format);
    const std::string text = formatTextV(format, args);
    va_end(args);
    infoOverlay_->print(*camera_, column, row, text);
}

void ScriptPlayer::trace(const char* format, ...) const
{
    if (!traceSink_)
        return;
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    const int length = std::vsnprintf(nullptr, 0, format, args);
    std::string text(length > 0 ? static_cast<std::size_t>(length) : 0, '\0');
    std::vsnprintf(text.data(), text.size() + 1, format, again);
    va_end(again);
    va_end(args);
    traceSink_(text);
}

void ScriptPlayer::append(std::unique_ptr<Instruction> instruction)
{
    instructions_.push_back(std::move(instruction));
}

void ScriptPlayer::rewindTimeSource()
{
    timeSource_->rewind();
    sampleTriggers_.reset();
}

void ScriptPlayer::executeDueInstructions(Time time)
{
    while (nextInstruction_ < instructions_.size() && instructions_[nextInstruction_]->time() <= time) {
        instructions_[nextInstruction_]->execute();
        ++nextInstruction_;
    }
}

Component* ScriptPlayer::findInstance(const std::string& name)
{
    const auto found = instancesByName_.find(name);
    return found == instancesByName_.end() ? nullptr : found->second;
}

const ComponentType* ScriptPlayer::findComponentType(const std::string& name)
{
    return ComponentRegistry::instance().find(name);
}

void ScriptPlayer::Song(const std::string& file, int /*line*/)
{
    sound_.init();
    Phile::record(file);
    auto song = std::make_unique<SongSource>(file);
    append(std::make_unique<SongStartInstruction>(*this, *song));
    timeSource_ = std::move(song);
}

void ScriptPlayer::AudioStream(const std::string& file, int tempo, float timeMultiplier, int line)
{
    checkTempo("AudioStream", tempo, line);
    sound_.init();
    Phile::record(file);
    auto stream = std::make_unique<AudioStreamSource>(file, tempo, timeMultiplier);
    append(std::make_unique<AudioStreamStartInstruction>(*this, *stream));
    timeSource_ = std::move(stream);
}

void ScriptPlayer::Timer(Time endTime, int tempo, float timeMultiplier, int line)
{
    checkTempo("Timer", tempo, line);
    auto timer = std::make_unique<TimerSource>(endTime, tempo, timeMultiplier);
    append(std::make_unique<TimerStartInstruction>(*this, *timer, endTime, tempo, timeMultiplier));
    timeSource_ = std::move(timer);
}

void ScriptPlayer::checkSampleNumbers(const char* command, const std::string& name, const Variable& record,
                                      int line) const
{
    if (record.identifier != CommonVariable::SampleNumber)
        return;
    for (const std::int32_t s : record.integerList)
        if (!SampleTriggers::valid(s))
            Console::error("line %d %s %s: SampleNumber %d is not a sample number 0..127", line, command,
                           excerpt(name).c_str(), s);
}

void ScriptPlayer::Construct(Time time, const ScriptType& scriptType, const std::string& name,
                             std::vector<Variable> block, int line)
{
    const auto& type = static_cast<const ComponentType&>(scriptType);
    if (findInstance(name))
        Console::error("line %d Construct: component named '%s' already exists", line, excerpt(name).c_str());
    for (Variable& record : block) {
        const Variable* declaration = type.declaration(record.name);
        if (!declaration)
            Console::error("line %d Construct %s: component doesn't have variable named '%s'", line,
                           excerpt(name).c_str(),
                           excerpt(record.name).c_str());
        record.identifier = declaration->identifier;
        record.constructionParameter = declaration->constructionParameter;
        checkSampleNumbers("Construct", name, record, line);
    }
    for (const Variable& declaration : type.declarations()) {
        if (!declaration.constructionParameter)
            continue;
        bool given = false;
        for (const Variable& record : block)
            given = given || record.name == declaration.name;
        if (!given)
            Console::error("line %d Construct %s: variable '%s' must be set in construct", line, excerpt(name).c_str(),
                           excerpt(declaration.name).c_str());
    }

    std::unique_ptr<Component> instance = type.createInstance();
    instance->setName(name);
    instance->setLifecycleState(LifecycleState::Constructed);
    instance->checkValues(block, formatText("line %d Construct %s", line, excerpt(name).c_str()));
    Component& created = *instance;
    instancesByName_.emplace(name, &created);
    instances_.push_back(std::move(instance));

    std::vector<Variable> constructionParameters;
    std::vector<Variable> others;
    for (Variable& record : block)
        (record.constructionParameter ? constructionParameters : others).push_back(std::move(record));
    append(std::make_unique<ConstructInstruction>(*this, time, created, std::move(constructionParameters),
                                                  std::move(others)));
}

void ScriptPlayer::checkBlock(const char* command, Component& instance, std::vector<Variable>& block,
                              int line) const
{
    const ComponentType& type = instance.getType();
    for (Variable& record : block) {
        const Variable* declaration = type.declaration(record.name);
        if (!declaration)
            Console::error("line %d %s %s: component doesn't have variable named '%s'", line, command,
                           excerpt(instance.name()).c_str(), excerpt(record.name).c_str());
        if (declaration->constructionParameter)
            Console::error("line %d %s %s: variable '%s' is construction parameter and can only be set in Construct",
                           line, command, excerpt(instance.name()).c_str(), excerpt(record.name).c_str());
        record.identifier = declaration->identifier;
        checkSampleNumbers(command, instance.name(), record, line);
    }
    instance.checkValues(block, formatText("line %d %s %s", line, command, excerpt(instance.name()).c_str()));
}

void ScriptPlayer::Destruct(Time time, ScriptInstance& instance, int /*line*/)
{
    append(std::make_unique<DestructInstruction>(*this, time, component(instance)));
    instance.setLifecycleState(LifecycleState::Destructed);
}

void ScriptPlayer::Set(Time time, ScriptInstance& instance, std::vector<Variable> block, int line)
{
    checkBlock("Set", component(instance), block, line);
    append(std::make_unique<SetInstruction>(*this, time, component(instance), std::move(block)));
}

void ScriptPlayer::Begin(Time time, ScriptInstance& instance, std::vector<Variable> block, int line)
{
    for (const Variable& record : block)
        if (record.name == "Enabled")
            Console::error("line %d Begin %s: variable 'Enabled' can't be set in Begin (for Begin, Enabled = true always)",
                           line, excerpt(instance.name()).c_str());
    checkBlock("Begin", component(instance), block, line);
    Variable& enabled = block.emplace_back();
    enabled.name = "Enabled";
    enabled.type = ValueType::Bool;
    enabled.identifier = CommonVariable::Enabled;
    enabled.constant.boolean = true;
    append(std::make_unique<SetInstruction>(*this, time, component(instance), std::move(block)));
}

void ScriptPlayer::End(Time time, ScriptInstance& instance, int /*line*/)
{
    append(std::make_unique<EndInstruction>(*this, time, component(instance)));
}

void ScriptPlayer::SampleMessageBegin(Time time, ScriptInstance& instance, std::vector<Variable> block, int line)
{
    Component& target = component(instance);
    checkBlock("SampleMessageBegin", target, block, line);
    if (target.sampleTriggering())
        Console::error("line %d SampleMessageBegin %s: sample triggering is already on for '%s'", line,
                       excerpt(target.name()).c_str(), excerpt(target.name()).c_str());
    target.setSampleTriggering(true);
    std::vector<Variable> sampleNumbers;
    std::vector<Variable> sampleBlock;
    for (Variable& record : block)
        (record.name == "SampleNumber" ? sampleNumbers : sampleBlock).push_back(std::move(record));
    append(std::make_unique<SampleMessageBeginInstruction>(*this, time, target, std::move(sampleNumbers),
                                                           std::move(sampleBlock)));
}

void ScriptPlayer::SampleMessageEnd(Time time, ScriptInstance& instance, int line)
{
    Component& target = component(instance);
    if (!target.sampleTriggering())
        Console::error("line %d SampleMessageEnd %s: sample triggering is not on for '%s'", line,
                       excerpt(target.name()).c_str(), excerpt(target.name()).c_str());
    target.setSampleTriggering(false);
    append(std::make_unique<SampleMessageEndInstruction>(*this, time, target));
}

void ScriptPlayer::EndAll(Time time, int /*line*/)
{
    append(std::make_unique<EndAllInstruction>(*this, time));
}

void ScriptPlayer::Skip(Time time, Time target, int line)
{
    if (target <= time)
        Console::error("line %d Skip: skip time <= instruction's time. must skip forward.", line);
    if (timeSource_->endOfMusic() <= target)
        Console::error("line %d Skip: song end time <= skip time", line);
    append(std::make_unique<SkipInstruction>(*this, time, target));
}

}  // namespace mirva
