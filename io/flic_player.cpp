#include "io/flic_player.h"

#include "io/console.h"
#include "io/flic_chunks.h"

namespace mirva {

namespace {

constexpr std::size_t kChunkHeaderSize = 6;
constexpr std::size_t kFrameHeaderSize = 16;

std::uint16_t u16At(const PhileBlock& bytes, std::size_t at)
{
    return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

std::uint32_t u32At(const PhileBlock& bytes, std::size_t at)
{
    return static_cast<std::uint32_t>(u16At(bytes, at)) | static_cast<std::uint32_t>(u16At(bytes, at + 2)) << 16;
}

}  // namespace

void FlicPlayer::load(const std::string& name)
{
    load(name, Phile::load(name));
}

void FlicPlayer::load(const std::string& name, PhileBlock bytes)
{
    name_ = name;
    bytes_ = std::move(bytes);
    loaded_ = false;
    width_ = height_ = frameCount_ = 0;
    palette32_.fill(0xFF000000u);
    palette16_.fill(0xF000);
    if (bytes_.size() < 6 || u16At(bytes_, 4) != kFlicMagic)
        return;
    if (bytes_.size() < kFlicHeaderSize)
        refuse(formatText("the header is cut short (%zu of %zu bytes)", bytes_.size(), kFlicHeaderSize));
    width_ = u16At(bytes_, 8);
    height_ = u16At(bytes_, 10);
    if (width_ == 0 || height_ == 0) {
        width_ = height_ = 0;
        return;
    }
    frameCount_ = u16At(bytes_, 6);
    secondFrame_ = u32At(bytes_, 84);
    checkStructure();
    loaded_ = true;
    rewind();
}

void FlicPlayer::rewind()
{
    currentFrame_ = 0;
    position_ = kFlicHeaderSize;
}

void FlicPlayer::refuse(const std::string& problem) const
{
    Console::fatal("FlicPlayer: invalid FLC file '" + name_ + "': " + problem);
}

// The chunks from the first frame on must follow one another to the end of the file, so
// that decoding can step from chunk to chunk without looking back.
void FlicPlayer::checkStructure()
{
    const std::size_t size = bytes_.size();
    int frames = 0;
    // A file of one frame and no ring frame may name its end: playing it stays still.
    bool secondFound = secondFrame_ == size;
    for (std::size_t at = kFlicHeaderSize; at < size;) {
        if (size - at < kChunkHeaderSize)
            refuse(formatText("the chunk at offset %zu is cut short", at));
        const std::uint32_t chunkSize = u32At(bytes_, at);
        if (chunkSize < kChunkHeaderSize)
            refuse(formatText("the chunk at offset %zu claims %u bytes, less than its header", at, chunkSize));
        if (chunkSize > size - at)
            refuse(formatText("the chunk at offset %zu claims %u bytes, but only %zu remain", at, chunkSize, size - at));
        secondFound = secondFound || at == secondFrame_;
        if (u16At(bytes_, at + 4) == FlicChunk::Frame) {
            checkFrame(at, chunkSize);
            ++frames;
        }
        at += chunkSize;
    }
    if (!secondFound)
        refuse(formatText("the second frame's offset %zu starts no chunk", secondFrame_));
    if (frames < frameCount_)
        refuse(formatText("the header counts %d frames, the file holds %d", frameCount_, frames));
}

void FlicPlayer::checkFrame(std::size_t start, std::size_t size)
{
    if (size < kFrameHeaderSize)
        refuse(formatText("the frame at offset %zu is %zu bytes, less than its header", start, size));
    const std::size_t end = start + size;
    std::size_t at = start + kFrameHeaderSize;
    const int subchunks = u16At(bytes_, start + 6);
    for (int i = 0; i < subchunks; ++i) {
        if (end - at < kChunkHeaderSize)
            refuse(formatText("subchunk %d of the frame at offset %zu runs past the frame", i + 1, start));
        const std::uint32_t subchunkSize = u32At(bytes_, at);
        if (subchunkSize < kChunkHeaderSize || subchunkSize > end - at)
            refuse(formatText("subchunk %d of the frame at offset %zu claims %u bytes, but the frame has %zu left",
                              i + 1, start, subchunkSize, end - at));
        at += subchunkSize;
    }
}

void FlicPlayer::decodeFrame(void* destination, std::ptrdiff_t pitch)
{
    if (!loaded_)
        return;
    const std::size_t size = bytes_.size();
    // Chunks other than frames are stepped over; the chunk sizes were checked at load.
    while (size - position_ >= kChunkHeaderSize) {
        const std::size_t chunkSize = u32At(bytes_, position_);
        const std::size_t start = position_;
        position_ += chunkSize;
        if (u16At(bytes_, start + 4) != FlicChunk::Frame)
            continue;
        FlicFrameDecoder decoder(destination, pitch, width_, height_, {palette32_, palette16_});
        std::size_t at = start + kFrameHeaderSize;
        for (int i = u16At(bytes_, start + 6); i > 0; --i) {
            const std::size_t subchunkSize = u32At(bytes_, at);
            decoder.decode(u16At(bytes_, at + 4), bytes_.data() + at + kChunkHeaderSize,
                           subchunkSize - kChunkHeaderSize);
            at += subchunkSize;
        }
        break;
    }
    if (++currentFrame_ > frameCount_) {
        currentFrame_ = 1;
        position_ = secondFrame_;
    }
}

}  // namespace mirva
