#include "player/audio_stream_source.h"

#include <algorithm>
#include <cmath>

#include "io/console.h"
#include "player/script_player.h"
#include "player/sound_library.h"

namespace mirva {

namespace {

constexpr DWORD kStreamFlags = 0x20000;
// Bytes of one second of the library's 16-bit stereo output.
constexpr double kBytesPerSecond = kOutputRate * 4.0;

HSTREAM openStream(const std::string& file)
{
    const HSTREAM stream = BASS_StreamCreateFile(false, file.c_str(), 0, 0, kStreamFlags);
    if (!stream)
        Console::error("File %s loading failed (BASS message: %s)", file.c_str(), bassMessage());
    return stream;
}

}  // namespace

AudioStreamSource::AudioStreamSource(const std::string& file, std::int32_t tempo, float timeMultiplier)
    : ChannelSource(openStream(file)), file_(file), timeMultiplier_(timeMultiplier), clock_(kEndTime, tempo)
{
    if (!BASS_Start())
        Console::error("AudioStream output initialization failed (BASS message: %s)", bassMessage());
}

std::string AudioStreamSource::describe() const
{
    return formatText("AudioStream %s, %.2f s, tempo %d, time multiplier %g", file_.c_str(),
                      BASS_StreamGetLength(stream()) / kBytesPerSecond, clock_.tempo(),
                      static_cast<double>(timeMultiplier_));
}

double AudioStreamSource::lengthSeconds() const
{
    return std::min(BASS_StreamGetLength(stream()) / kBytesPerSecond,
                    FrameClock::secondsOf(kEndTime, clock_.tempo()));
}

void AudioStreamSource::seek(Time target)
{
    clock_.skipTo(target);
    // Whole frames of 16-bit stereo; a moment past the file's end leaves it where it is.
    const double bytes = std::floor(FrameClock::secondsOf(target, clock_.tempo()) * kBytesPerSecond / 4.0) * 4.0;
    if (bytes < static_cast<double>(BASS_StreamGetLength(stream())))
        BASS_ChannelSetPosition(stream(), static_cast<DWORD>(bytes));
}

std::optional<Time> AudioStreamSource::timeAtSeconds(double seconds) const
{
    if (!(seconds >= 0.0) || seconds > lengthSeconds())
        return std::nullopt;
    return FrameClock::timeOf(seconds, clock_.tempo());
}

void AudioStreamSource::rewind()
{
    clock_.rewind();
    clearChannelEnded();
}

int AudioStreamSource::start()
{
    if (!BASS_StreamPlay(stream(), true, 0))
        Console::error("AudioStream playing failed (BASS message: %s)", bassMessage());
    setEndSync();
    return static_cast<int>(BASS_StreamGetLength(stream()));
}

AudioStreamStartInstruction::AudioStreamStartInstruction(ScriptPlayer& player, AudioStreamSource& stream)
    : Instruction(player, 0), stream_(stream)
{
}

void AudioStreamStartInstruction::execute()
{
    const int length = stream_.start();
    player_.trace("AudioStream  length %d\n", length);
}

}  // namespace mirva
