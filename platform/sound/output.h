#pragma once
// The outputs behind SoundOutput: each feeds the mixer's frames somewhere. Internal to the
// sound library.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/sound/bass.h"
#include "platform/sound/sound_output.h"

namespace mirva {

class Mixer;

class Output {
public:
    virtual ~Output() = default;
    virtual SoundOutput::Kind kind() const = 0;
    // Begins asking the mixer for frames (the device and null outputs).
    virtual void start() = 0;
    // Returns once the mixer is no longer called. Never called with the library locked.
    virtual void stop() = 0;
};

// The sound card; null with `problem` saying why there is none.
std::unique_ptr<Output> openDeviceOutput(Mixer& mixer, DWORD freq, std::string& problem);
std::unique_ptr<Output> openNullOutput(Mixer& mixer, DWORD freq);

class OfflineOutput : public Output {
public:
    OfflineOutput(Mixer& mixer, DWORD freq);
    ~OfflineOutput() override;
    // Fatal, naming the file and the reason, when it can't be written; so are writes
    // that fail later (a full disk).
    void writeTo(const std::string& wavFile);
    // Every pulled frame also goes to `sink` (when it is set), after the WAV file.
    void handTo(SoundOutput::Sink sink) { sink_ = std::move(sink); }

    SoundOutput::Kind kind() const override { return SoundOutput::Kind::Offline; }
    void start() override {}
    void stop() override;
    std::vector<std::int16_t> pull(std::size_t frames);

private:
    Mixer& mixer_;
    DWORD freq_;
    struct Wav;
    std::unique_ptr<Wav> wav_;
    SoundOutput::Sink sink_;
    std::vector<float> buffer_;
};

// Float samples to 16 bits, clipped; exact for samples that came from 16 bits.
std::int16_t toSample16(float value);

}  // namespace mirva
