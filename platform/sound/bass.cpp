#include "platform/sound/bass.h"

#include <sys/stat.h>

#include <cstdio>
#include <new>
#include <vector>

#include "io/console.h"
#include "platform/sound/library.h"
#include "platform/sound/music_channel.h"
#include "platform/sound/stream_channel.h"

namespace mirva {

namespace {

thread_local int lastError = BASS_OK;

// Every call ends through one of these: the result, with the code of this call.
template <typename T>
T fail(int code, T result)
{
    lastError = code;
    return result;
}

template <typename T>
T succeed(T result)
{
    lastError = BASS_OK;
    return result;
}

constexpr DWORD kFailed = static_cast<DWORD>(-1);
constexpr DWORD kLowestFreq = 8000;
constexpr DWORD kHighestFreq = 192000;

// The bytes of a module or stream named by the load calls' arguments; an error code when
// they can't be had.
int readSource(bool mem, const void* file, DWORD offset, DWORD length, std::vector<std::uint8_t>& bytes)
{
    if (!file)
        return BASS_ERROR_ILLPARAM;
    if (mem) {
        if (length == 0)
            return BASS_ERROR_ILLPARAM;
        const auto* data = static_cast<const std::uint8_t*>(file);
        bytes.assign(data, data + length);
        return BASS_OK;
    }
    const char* path = static_cast<const char*>(file);
    std::FILE* f = std::fopen(path, "rb");
    if (!f)
        return BASS_ERROR_FILEOPEN;
    struct stat info {};
    if (fstat(fileno(f), &info) != 0 || !S_ISREG(info.st_mode)) {
        std::fclose(f);
        return BASS_ERROR_FILEOPEN;
    }
    const auto size = static_cast<std::uint64_t>(info.st_size);
    if (offset > size) {
        std::fclose(f);
        return BASS_ERROR_ILLPARAM;
    }
    const std::uint64_t wanted = length == 0 ? size - offset : std::min<std::uint64_t>(length, size - offset);
    bytes.resize(static_cast<std::size_t>(wanted));
    const bool read = std::fseek(f, static_cast<long>(offset), SEEK_SET) == 0 &&
                      std::fread(bytes.data(), 1, bytes.size(), f) == bytes.size();
    std::fclose(f);
    return read ? BASS_OK : BASS_ERROR_FILEOPEN;
}

// Loads outside the lock (reading and probing a file takes a while; the mixer must not
// wait for it), then adds the channel.
template <typename Open>
DWORD loadChannel(bool mem, const void* file, DWORD offset, DWORD length, Open open)
{
    Library& lib = library();
    DWORD freq = 0;
    {
        std::lock_guard lock(lib.lock);
        if (!lib.initialized)
            return fail(BASS_ERROR_INIT, DWORD{0});
        freq = lib.freq;
    }
    try {
        std::vector<std::uint8_t> bytes;
        int error = readSource(mem, file, offset, length, bytes);
        if (error != BASS_OK)
            return fail(error, DWORD{0});
        std::unique_ptr<Channel> channel = open(std::move(bytes), freq, error);
        if (!channel)
            return fail(error, DWORD{0});
        std::lock_guard lock(lib.lock);
        if (!lib.initialized || lib.freq != freq)
            return fail(BASS_ERROR_INIT, DWORD{0});
        return succeed(lib.mixer->add(std::move(channel)));
    } catch (const std::bad_alloc&) {
        return fail(BASS_ERROR_MEM, DWORD{0});
    }
}

// The channel behind a handle, of the wanted kind; null with the error set.
template <typename Kind = Channel>
Kind* find(DWORD handle)
{
    Library& lib = library();
    if (!lib.initialized)
        return fail(BASS_ERROR_INIT, static_cast<Kind*>(nullptr));
    Kind* channel = dynamic_cast<Kind*>(lib.mixer->channel(handle));
    if (!channel)
        return fail(BASS_ERROR_HANDLE, static_cast<Kind*>(nullptr));
    return channel;
}

bool play(Channel& channel, bool fromStart)
{
    if (!library().started)
        return fail(BASS_ERROR_START, false);
    if (fromStart || channel.ended())
        channel.setPosition(0);
    channel.setPlaying(true);
    return succeed(true);
}

}  // namespace

Library& library()
{
    static Library lib;
    return lib;
}

bool BASS_Init(int device, DWORD freq, DWORD, void*)
{
    Library& lib = library();
    std::lock_guard lock(lib.lock);
    if (lib.initialized)
        return fail(BASS_ERROR_ALREADY, false);
    if (freq < kLowestFreq || freq > kHighestFreq)
        return fail(BASS_ERROR_FORMAT, false);
    SoundOutput::Kind kind = SoundOutput::Kind::Null;
    if (device == BASS_DEVICE_DEFAULT)
        kind = lib.chosen;
    else if (device == 1)
        kind = SoundOutput::Kind::Device;
    else if (device != BASS_DEVICE_NOSOUND)
        return fail(BASS_ERROR_DEVICE, false);

    auto mixer = std::make_unique<Mixer>(lib.lock);
    std::unique_ptr<Output> output;
    if (kind == SoundOutput::Kind::Device || kind == SoundOutput::Kind::Automatic) {
        std::string problem;
        output = openDeviceOutput(*mixer, freq, problem);
        if (!output && kind == SoundOutput::Kind::Device)
            return fail(BASS_ERROR_DRIVER, false);
        if (!output)
            Console::print("Sound: no sound card (%s); the music plays silently in real time\n", problem.c_str());
    } else if (kind == SoundOutput::Kind::Offline) {
        auto offline = std::make_unique<OfflineOutput>(*mixer, freq);
        if (!lib.wavFile.empty())
            offline->writeTo(lib.wavFile);
        offline->handTo(lib.sink);
        output = std::move(offline);
    }
    if (!output)
        output = openNullOutput(*mixer, freq);
    lib.mixer = std::move(mixer);
    lib.output = std::move(output);
    lib.freq = freq;
    lib.initialized = true;
    lib.started = false;
    return succeed(true);
}

HMUSIC BASS_MusicLoad(bool mem, const void* file, DWORD offset, DWORD length, DWORD)
{
    return loadChannel(mem, file, offset, length, [](std::vector<std::uint8_t> bytes, DWORD freq, int& error) {
        return std::unique_ptr<Channel>(MusicChannel::load(bytes, freq, error));
    });
}

HSTREAM BASS_StreamCreateFile(bool mem, const void* file, DWORD offset, DWORD length, DWORD)
{
    return loadChannel(mem, file, offset, length, [](std::vector<std::uint8_t> bytes, DWORD freq, int& error) {
        return std::unique_ptr<Channel>(StreamChannel::open(std::move(bytes), freq, error));
    });
}

bool BASS_Start()
{
    Library& lib = library();
    Output* output = nullptr;
    {
        std::lock_guard lock(lib.lock);
        if (!lib.initialized)
            return fail(BASS_ERROR_INIT, false);
        if (lib.started)
            return succeed(true);
        lib.started = true;
        output = lib.output.get();
    }
    // Outside the lock: the device's own lock is held while it calls the mixer.
    output->start();
    return succeed(true);
}

bool BASS_MusicSetPositionScaler(HMUSIC handle, DWORD scale)
{
    std::lock_guard lock(library().lock);
    MusicChannel* music = find<MusicChannel>(handle);
    if (!music)
        return false;
    if (scale < 1 || scale > 256)
        return fail(BASS_ERROR_ILLPARAM, false);
    music->setScaler(scale);
    return succeed(true);
}

bool BASS_MusicPlay(HMUSIC handle)
{
    std::lock_guard lock(library().lock);
    MusicChannel* music = find<MusicChannel>(handle);
    return music ? play(*music, false) : false;
}

bool BASS_StreamPlay(HSTREAM handle, bool flush, DWORD)
{
    std::lock_guard lock(library().lock);
    StreamChannel* stream = find<StreamChannel>(handle);
    return stream ? play(*stream, flush) : false;
}

HSYNC BASS_ChannelSetSync(DWORD handle, DWORD type, DWORD param, SYNCPROC* proc, void* user)
{
    Library& lib = library();
    std::lock_guard lock(lib.lock);
    Channel* channel = find(handle);
    if (!channel)
        return 0;
    const bool isMusic = dynamic_cast<MusicChannel*>(channel) != nullptr;
    if (type != BASS_SYNC_END && !(type == BASS_SYNC_MUSICINST && isMusic))
        return fail(BASS_ERROR_ILLTYPE, HSYNC{0});
    if (!proc)
        return fail(BASS_ERROR_ILLPARAM, HSYNC{0});
    return succeed(lib.mixer->addSync(handle, type, param, proc, user));
}

bool BASS_ChannelRemoveSync(DWORD handle, HSYNC sync)
{
    Library& lib = library();
    std::lock_guard lock(lib.lock);
    if (!find(handle))
        return false;
    if (!lib.mixer->removeSync(handle, sync))
        return fail(BASS_ERROR_HANDLE, false);
    return succeed(true);
}

DWORD BASS_ChannelGetPosition(DWORD handle)
{
    std::lock_guard lock(library().lock);
    Channel* channel = find(handle);
    return channel ? succeed(channel->position()) : kFailed;
}

bool BASS_ChannelSetPosition(DWORD handle, DWORD position)
{
    std::lock_guard lock(library().lock);
    Channel* channel = find(handle);
    if (!channel)
        return false;
    if (!channel->setPosition(position))
        return fail(BASS_ERROR_ILLPARAM, false);
    return succeed(true);
}

bool BASS_ChannelStop(DWORD handle)
{
    std::lock_guard lock(library().lock);
    Channel* channel = find(handle);
    if (!channel)
        return false;
    channel->setPlaying(false);
    return succeed(true);
}

bool BASS_ChannelPause(DWORD handle)
{
    std::lock_guard lock(library().lock);
    Channel* channel = find(handle);
    if (!channel)
        return false;
    if (!channel->playing())
        return fail(BASS_ERROR_NOPLAY, false);
    channel->pause();
    return succeed(true);
}

bool BASS_ChannelResume(DWORD handle)
{
    std::lock_guard lock(library().lock);
    Channel* channel = find(handle);
    if (!channel)
        return false;
    if (!channel->paused())
        return fail(BASS_ERROR_NOPAUSE, false);
    channel->setPlaying(true);
    return succeed(true);
}

DWORD BASS_ChannelIsActive(DWORD handle)
{
    std::lock_guard lock(library().lock);
    Channel* channel = find(handle);
    return channel ? succeed(DWORD{channel->playing() ? 1u : 0u}) : 0;
}

DWORD BASS_MusicGetLength(HMUSIC handle)
{
    std::lock_guard lock(library().lock);
    MusicChannel* music = find<MusicChannel>(handle);
    return music ? succeed(music->length()) : kFailed;
}

DWORD BASS_StreamGetLength(HSTREAM handle)
{
    std::lock_guard lock(library().lock);
    StreamChannel* stream = find<StreamChannel>(handle);
    return stream ? succeed(stream->length()) : kFailed;
}

int BASS_ErrorGetCode()
{
    return lastError;
}

void BASS_Free()
{
    Library& lib = library();
    std::unique_ptr<Output> output;
    {
        std::lock_guard lock(lib.lock);
        if (!lib.initialized) {
            lastError = BASS_ERROR_INIT;
            return;
        }
        output = std::move(lib.output);
    }
    // The output stops before the mixer goes; a mixing thread may be waiting for the lock.
    output->stop();
    output.reset();
    std::lock_guard lock(lib.lock);
    lib.mixer.reset();
    lib.initialized = false;
    lib.started = false;
    lastError = BASS_OK;
}

const char* bassErrorText(int code)
{
    switch (code) {
    case 1: return "There is insufficent memory.";
    case 2: return "The file could not be opened.";
    case 3: return "There is no available device driver.";
    case 4: return "Should not happen, but... PLEASE REPORT IT IF YOU DO GET THIS ERROR!";
    case 5: return "handle is not a valid MOD music handle.";
    case 6: return "The specified format is not supported by the device. Try changing the freq and flags parameters.";
    case 8: return "BASS_Init has not been successfully called.";
    case 9: return "The digital output has not been started. Use BASS_Start to do so.";
    case 14: return "BASS has already been initialized. You must call BASS_Free before calling BASS_Init again.";
    case 19: return "An illegal type was specified.";
    case 20: return "An illegal param was specified.";
    case 21: return "The device has no 3D support.";
    case 23: return "The device number specified is invalid.";
    case 24: return "The channel is not playing.";
    case 26: return "The device has no A3D support.";
    case 30: return "Synchronizers have been disabled... the BASS_DEVICE_NOSYNC flag was used with BASS_Init.";
    case 34: return "The channel is not paused.";
    default: return "Some other mystery problem!";
    }
}

}  // namespace mirva
