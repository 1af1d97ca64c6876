#pragma once
// The sound library's process-wide state, shared by its calls (bass.cpp) and the output
// choice (sound_output.cpp). Internal to the sound library.
#include <memory>
#include <mutex>
#include <string>

#include "platform/sound/mixer.h"
#include "platform/sound/output.h"

namespace mirva {

struct Library {
    std::recursive_mutex lock;   // guards everything here and in the mixer
    bool initialized = false;
    bool started = false;
    DWORD freq = 0;
    std::unique_ptr<Mixer> mixer;
    std::unique_ptr<Output> output;
    SoundOutput::Kind chosen = SoundOutput::Kind::Automatic;
    std::string wavFile;
    SoundOutput::Sink sink;
};

Library& library();

}  // namespace mirva
