#include "platform/sound/sound_output.h"

#include <cmath>

#include "io/console.h"
#include "platform/sound/library.h"

namespace mirva {

namespace {

OfflineOutput& offline(const char* call)
{
    Library& lib = library();
    std::lock_guard lock(lib.lock);
    auto* output = lib.initialized ? dynamic_cast<OfflineOutput*>(lib.output.get()) : nullptr;
    if (!output)
        Console::error("SoundOutput::%s - the sound library is not running offline", call);
    return *output;
}

}  // namespace

void SoundOutput::choose(Kind kind, const std::string& wavFile, Sink sink)
{
    Library& lib = library();
    std::lock_guard lock(lib.lock);
    lib.chosen = kind;
    lib.wavFile = kind == Kind::Offline ? wavFile : std::string();
    lib.sink = kind == Kind::Offline ? std::move(sink) : Sink();
}

SoundOutput::Kind SoundOutput::current()
{
    Library& lib = library();
    std::lock_guard lock(lib.lock);
    return lib.initialized ? lib.output->kind() : Kind::Automatic;
}

std::vector<std::int16_t> SoundOutput::mix(std::size_t frames)
{
    return offline("mix").pull(frames);
}

void SoundOutput::mixTo(std::uint64_t frame)
{
    OfflineOutput& output = offline("mixTo");
    const std::uint64_t mixed = mixedFrames();
    if (frame > mixed)
        output.pull(static_cast<std::size_t>(frame - mixed));
}

std::uint64_t SoundOutput::mixedFrames()
{
    Library& lib = library();
    std::lock_guard lock(lib.lock);
    return lib.initialized ? lib.mixer->mixedFrames() : 0;
}

std::uint64_t SoundOutput::frameStart(std::uint64_t frame, double fps)
{
    Library& lib = library();
    std::lock_guard lock(lib.lock);
    if (!lib.initialized || !(fps > 0))
        Console::error("SoundOutput::frameStart - no sound library running, or %g frames a second", fps);
    return static_cast<std::uint64_t>(std::llround(static_cast<double>(frame) * lib.freq / fps));
}

}  // namespace mirva
