#include "player/sound_library.h"

#include "io/console.h"
#include "platform/sound/sound_output.h"

namespace mirva {

void SoundLibrary::init()
{
    if (!BASS_Init(BASS_DEVICE_DEFAULT, kOutputRate, 0, nullptr))
        Console::error("Music player initialization failed (BASS message: %s)", bassMessage());
    started_ = true;
}

void SoundLibrary::free()
{
    if (!started_)
        return;
    started_ = false;
    BASS_Free();
}

void SoundLibrary::mixTo(std::uint64_t videoFrame, double fps) const
{
    if (started_)
        SoundOutput::mixTo(SoundOutput::frameStart(videoFrame, fps));
}

const char* bassMessage()
{
    return bassErrorText(BASS_ErrorGetCode());
}

}  // namespace mirva
