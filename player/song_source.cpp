#include "player/song_source.h"

#include "io/console.h"
#include "io/phile.h"
#include "platform/sound/module_info.h"
#include "player/script_player.h"
#include "player/sound_library.h"

namespace mirva {

namespace {

constexpr DWORD kMusicFlags = 0x20;
constexpr DWORD kPositionScaler = 256;
constexpr DWORD kFailed = static_cast<DWORD>(-1);

HMUSIC loadModule(const std::string& file)
{
    const HMUSIC music = BASS_MusicLoad(false, file.c_str(), 0, 0, kMusicFlags);
    if (!music)
        Console::error("File %s loading failed (BASS message: %s)", file.c_str(), bassMessage());
    return music;
}

}  // namespace

SongSource::SongSource(const std::string& file) : ChannelSource(loadModule(file)), file_(file)
{
    if (!BASS_Start())
        Console::error("Music output initialization failed (BASS message: %s)", bassMessage());
    if (!BASS_MusicSetPositionScaler(music(), kPositionScaler))
        Console::error("Music setPositionScaling failed (BASS message: %s)", bassMessage());
    // The length is only for people (the renderer's progress); the file loaded above.
    if (PhileBlock bytes; Phile::tryLoad(file, bytes))
        if (const std::optional<ModuleInfo> info = describeModule(bytes.data(), bytes.size()))
            seconds_ = info->seconds;
}

std::string SongSource::describe() const
{
    return formatText("Song %s, %d orders", file_.c_str(), static_cast<int>(BASS_MusicGetLength(music())));
}

Time SongSource::timeOf(DWORD position)
{
    const DWORD order = position & 0xFFFF;
    return static_cast<Time>(order << 14 | (position >> 24) << 8 | ((position >> 16) & 0xFF));
}

Time SongSource::readTime(float /*seconds*/)
{
    return timeOf(BASS_ChannelGetPosition(music()));
}

// The end synchronizer already set the module back to its start and stopped it; the
// instrument synchronizers go now, on the main thread that set them.
void SongSource::rewind()
{
    for (HSYNC& sync : sampleSync_) {
        if (sync == 0)
            continue;
        SampleTriggers::removeSync(music(), sync);
        sync = 0;
    }
    clearChannelEnded();
}

Time SongSource::endOfMusic() const
{
    const DWORD length = BASS_MusicGetLength(music());
    if (length == kFailed)
        Console::error("Getting mod length failed (BASS message: %s)", bassMessage());
    return static_cast<Time>(length << 14);
}

// The decimals are dropped: a module starts only at the beginning of a row.
void SongSource::skipTo(Time target)
{
    const DWORD order = static_cast<DWORD>(target >> 14) & 0xFFFF;
    const DWORD row = static_cast<DWORD>(target >> 8) & 63;
    if (!BASS_ChannelSetPosition(music(), order | row << 16))
        Console::error("Setting song position %d:%d failed (BASS message: %s)", static_cast<int>(order),
                       static_cast<int>(row), bassMessage());
}

std::optional<Time> SongSource::timeAtSeconds(double seconds) const
{
    PhileBlock bytes;
    if (!Phile::tryLoad(file_, bytes))
        return std::nullopt;
    const std::optional<ModulePosition> at = modulePositionAt(bytes.data(), bytes.size(), seconds);
    if (!at)
        return std::nullopt;
    return static_cast<Time>(at->order << 14 | (at->row & 63) << 8);
}

void SongSource::setSampleSync(int sample, SampleTriggers& triggers)
{
    const HSYNC sync = triggers.setSync(music(), sample);
    if (SampleTriggers::valid(sample))
        sampleSync_[static_cast<std::size_t>(sample)] = sync;
}

void SongSource::removeSampleSync(int sample)
{
    if (!SampleTriggers::valid(sample))
        return;
    HSYNC& sync = sampleSync_[static_cast<std::size_t>(sample)];
    SampleTriggers::removeSync(music(), sync);
    sync = 0;
}

HSYNC SongSource::sampleSync(int sample) const
{
    return SampleTriggers::valid(sample) ? sampleSync_[static_cast<std::size_t>(sample)] : 0;
}

int SongSource::start()
{
    if (!BASS_MusicPlay(music()))
        Console::error("Music playing failed (BASS message: %s)", bassMessage());
    setEndSync();
    return static_cast<int>(BASS_MusicGetLength(music()));
}

SongStartInstruction::SongStartInstruction(ScriptPlayer& player, SongSource& song) : Instruction(player, 0), song_(song)
{
}

void SongStartInstruction::execute()
{
    const int length = song_.start();
    player_.trace("Song  length %d\n", length);
}

}  // namespace mirva
