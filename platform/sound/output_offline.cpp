// Offline output: the caller pulls frames; they may go to a WAV file and a sink as well.
#include <sndfile.h>

#include <algorithm>
#include <cmath>

#include "io/console.h"
#include "platform/sound/mixer.h"
#include "platform/sound/output.h"

namespace mirva {

struct OfflineOutput::Wav {
    SNDFILE* file = nullptr;
    std::string name;
    ~Wav()
    {
        if (file)
            sf_close(file);
    }
};

OfflineOutput::OfflineOutput(Mixer& mixer, DWORD freq) : mixer_(mixer), freq_(freq) {}

OfflineOutput::~OfflineOutput() = default;

void OfflineOutput::writeTo(const std::string& wavFile)
{
    auto wav = std::make_unique<Wav>();
    SF_INFO info{};
    info.samplerate = static_cast<int>(freq_);
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    wav->file = sf_open(wavFile.c_str(), SFM_WRITE, &info);
    if (!wav->file)
        Console::error("sound: can't write the WAV file '%s' (%s)", excerpt(wavFile).c_str(), sf_strerror(nullptr));
    wav->name = wavFile;
    wav_ = std::move(wav);
}

void OfflineOutput::stop()
{
    wav_.reset();
    sink_ = nullptr;
}

std::vector<std::int16_t> OfflineOutput::pull(std::size_t frames)
{
    buffer_.resize(frames * 2);
    mixer_.mix(buffer_.data(), frames);
    std::vector<std::int16_t> samples(frames * 2);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = toSample16(buffer_[i]);
    if (wav_ && sf_writef_short(wav_->file, samples.data(), static_cast<sf_count_t>(frames)) !=
                    static_cast<sf_count_t>(frames))
        Console::error("sound: writing the WAV file '%s' failed (%s)", excerpt(wav_->name).c_str(),
                       sf_strerror(wav_->file));
    if (sink_)
        sink_(samples);
    return samples;
}

std::int16_t toSample16(float value)
{
    return static_cast<std::int16_t>(std::lrintf(std::clamp(value * 32768.0f, -32768.0f, 32767.0f)));
}

}  // namespace mirva
