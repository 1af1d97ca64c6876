// The sound card through SDL2 audio: SDL's audio thread asks for float frames and the
// mixer fills them directly.
#include <SDL.h>

#include <algorithm>
#include <cstring>

#include "platform/sound/mixer.h"
#include "platform/sound/output.h"

namespace mirva {

namespace {

// About 12 ms at 44100 Hz: short enough that positions read by the show stay close to
// what is heard.
constexpr Uint16 kDeviceFrames = 512;

class DeviceOutput : public Output {
public:
    explicit DeviceOutput(Mixer& mixer) : mixer_(mixer) {}
    ~DeviceOutput() override { stop(); }

    bool open(DWORD freq, std::string& problem)
    {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
            problem = SDL_GetError();
            return false;
        }
        // SDL's dummy driver plays nothing; the null device does the same with exact timing.
        const char* driver = SDL_GetCurrentAudioDriver();
        if (driver && std::strcmp(driver, "dummy") == 0) {
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
            problem = "SDL's dummy audio driver";
            return false;
        }
        SDL_AudioSpec wanted{};
        wanted.freq = static_cast<int>(freq);
        wanted.format = AUDIO_F32SYS;
        wanted.channels = 2;
        wanted.samples = kDeviceFrames;
        wanted.callback = &DeviceOutput::fill;
        wanted.userdata = this;
        SDL_AudioSpec got{};
        device_ = SDL_OpenAudioDevice(nullptr, 0, &wanted, &got, 0);
        if (device_ == 0) {
            problem = SDL_GetError();
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
            return false;
        }
        return true;
    }

    SoundOutput::Kind kind() const override { return SoundOutput::Kind::Device; }
    void start() override { SDL_PauseAudioDevice(device_, 0); }
    void stop() override
    {
        if (device_ == 0)
            return;
        SDL_CloseAudioDevice(device_);   // waits for a callback that is running
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        device_ = 0;
    }

private:
    static void fill(void* user, Uint8* stream, int bytes)
    {
        auto* self = static_cast<DeviceOutput*>(user);
        float* out = reinterpret_cast<float*>(stream);
        const std::size_t frames = static_cast<std::size_t>(bytes) / (2 * sizeof(float));
        self->mixer_.mix(out, frames);
        for (std::size_t i = 0; i < frames * 2; ++i)
            out[i] = std::clamp(out[i], -1.0f, 1.0f);
    }

    Mixer& mixer_;
    SDL_AudioDeviceID device_ = 0;
};

}  // namespace

std::unique_ptr<Output> openDeviceOutput(Mixer& mixer, DWORD freq, std::string& problem)
{
    auto output = std::make_unique<DeviceOutput>(mixer);
    if (!output->open(freq, problem))
        return nullptr;
    return output;
}

}  // namespace mirva
