#include "platform/sound/stream_channel.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include <sndfile.h>

namespace mirva {

namespace {

constexpr sf_count_t kDecodeFrames = 4096;

using Memory = StreamChannel::Memory;

sf_count_t memoryLength(void* user)
{
    return static_cast<sf_count_t>(static_cast<Memory*>(user)->bytes.size());
}

sf_count_t memorySeek(sf_count_t offset, int whence, void* user)
{
    Memory& m = *static_cast<Memory*>(user);
    const sf_count_t size = static_cast<sf_count_t>(m.bytes.size());
    const sf_count_t base = whence == SEEK_CUR ? m.at : whence == SEEK_END ? size : 0;
    m.at = std::clamp<sf_count_t>(base + offset, 0, size);
    return m.at;
}

sf_count_t memoryRead(void* to, sf_count_t count, void* user)
{
    Memory& m = *static_cast<Memory*>(user);
    const sf_count_t n = std::clamp<sf_count_t>(static_cast<sf_count_t>(m.bytes.size()) - m.at, 0, count);
    if (n > 0)
        std::memcpy(to, m.bytes.data() + m.at, static_cast<std::size_t>(n));
    m.at += n;
    return n;
}

sf_count_t memoryWrite(const void*, sf_count_t, void*)
{
    return 0;
}

sf_count_t memoryTell(void* user)
{
    return static_cast<Memory*>(user)->at;
}

SF_VIRTUAL_IO memoryIo = {memoryLength, memorySeek, memoryRead, memoryWrite, memoryTell};

bool isStreamFormat(int format)
{
    switch (format & SF_FORMAT_TYPEMASK) {
    case SF_FORMAT_WAV:
    case SF_FORMAT_WAVEX:
    case SF_FORMAT_RF64:
    case SF_FORMAT_MPEG:
        return true;
    default:
        return false;
    }
}

}  // namespace

std::unique_ptr<StreamChannel> StreamChannel::open(std::vector<std::uint8_t> bytes, DWORD freq, int& error)
{
    auto memory = std::make_unique<Memory>();
    memory->bytes = std::move(bytes);
    std::unique_ptr<StreamChannel> stream(new StreamChannel(std::move(memory), freq));
    SF_INFO info{};
    stream->file_ = sf_open_virtual(&memoryIo, SFM_READ, &info, stream->memory_.get());
    if (!stream->file_ || !isStreamFormat(info.format) || info.channels < 1 || info.samplerate < 1) {
        error = BASS_ERROR_FILEFORM;
        return nullptr;
    }
    stream->fileRate_ = info.samplerate;
    stream->fileChannels_ = info.channels;
    stream->fileFrames_ = info.frames > 0 ? static_cast<std::uint64_t>(info.frames) : 0;
    return stream;
}

StreamChannel::StreamChannel(std::unique_ptr<Memory> memory, DWORD freq) : memory_(std::move(memory)), freq_(freq)
{
}

StreamChannel::~StreamChannel()
{
    if (file_)
        sf_close(file_);
}

std::size_t StreamChannel::framesBeforeCheck() const
{
    // Up to the expected end, so that the end is found on its exact frame when the file
    // knows its length (MPEG files may be a little longer or shorter).
    const std::uint64_t end = length() / 4;
    if (played_ < end)
        return static_cast<std::size_t>(std::min<std::uint64_t>(end - played_, std::numeric_limits<std::size_t>::max()));
    return 1;
}

bool StreamChannel::fileFrame(std::uint64_t index, float& left, float& right)
{
    if (index < decodedStart_)
        seekFile(index);
    while (index >= decodedStart_ + decoded_.size() / 2) {
        if (fileEnded_)
            return false;
        // Keep `index` and the frame before it (the one being interpolated from), drop the
        // rest, and decode the next block after what is kept.
        const std::uint64_t drop =
            std::min<std::uint64_t>(index > decodedStart_ ? index - 1 - decodedStart_ : 0, decoded_.size() / 2);
        decoded_.erase(decoded_.begin(), decoded_.begin() + static_cast<std::ptrdiff_t>(drop * 2));
        decodedStart_ += drop;
        readBuffer_.resize(static_cast<std::size_t>(kDecodeFrames * fileChannels_));
        const sf_count_t got = sf_readf_float(file_, readBuffer_.data(), kDecodeFrames);
        if (got <= 0) {
            fileEnded_ = true;
            continue;
        }
        for (sf_count_t f = 0; f < got; ++f) {
            const float* frame = &readBuffer_[static_cast<std::size_t>(f * fileChannels_)];
            decoded_.push_back(frame[0]);
            decoded_.push_back(fileChannels_ > 1 ? frame[1] : frame[0]);
        }
    }
    const std::size_t at = static_cast<std::size_t>(index - decodedStart_) * 2;
    left = decoded_[at];
    right = decoded_[at + 1];
    return true;
}

void StreamChannel::seekFile(std::uint64_t index)
{
    decoded_.clear();
    fileEnded_ = sf_seek(file_, static_cast<sf_count_t>(index), SEEK_SET) < 0;
    decodedStart_ = index;
}

void StreamChannel::render(float* mix, std::size_t frames, std::vector<Event>& events)
{
    for (std::size_t k = 0; k < frames && !ended_; ++k) {
        const std::uint64_t at = played_ * static_cast<std::uint64_t>(fileRate_);
        const std::uint64_t index = at / freq_;
        const float t = static_cast<float>(at % freq_) / static_cast<float>(freq_);
        float left0 = 0, right0 = 0;
        if (!fileFrame(index, left0, right0)) {
            ended_ = true;
            events.push_back({.type = BASS_SYNC_END});
            break;
        }
        float left1 = left0, right1 = right0;
        if (t > 0 && !fileFrame(index + 1, left1, right1)) {
            left1 = left0;   // the last frame of the file is held
            right1 = right0;
        }
        mix[2 * k] += left0 + (left1 - left0) * t;
        mix[2 * k + 1] += right0 + (right1 - right0) * t;
        ++played_;
    }
}

DWORD StreamChannel::position() const
{
    return static_cast<DWORD>(std::min<std::uint64_t>(played_ * 4, 0xFFFFFFFE));
}

bool StreamChannel::setPosition(DWORD position)
{
    const std::uint64_t played = position / 4;
    const std::uint64_t index = played * static_cast<std::uint64_t>(fileRate_) / freq_;
    if (fileFrames_ > 0 && index > fileFrames_)
        return false;
    seekFile(index);
    if (fileEnded_)
        return false;
    played_ = played;
    ended_ = false;
    return true;
}

DWORD StreamChannel::length() const
{
    const std::uint64_t frames = (fileFrames_ * freq_ + static_cast<std::uint64_t>(fileRate_) - 1) /
                                 static_cast<std::uint64_t>(fileRate_);
    return static_cast<DWORD>(std::min<std::uint64_t>(frames * 4, 0xFFFFFFFE));
}

}  // namespace mirva
