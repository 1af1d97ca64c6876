#include "lightwave/chunk_reader.h"

#include <cstring>

#include "io/console.h"

namespace mirva {

std::string idText(std::uint32_t id)
{
    std::string text(4, '?');
    for (int i = 0; i < 4; ++i) {
        const unsigned char c = static_cast<unsigned char>(id >> (24 - 8 * i));
        if (c >= 0x20 && c < 0x7F)
            text[static_cast<std::size_t>(i)] = static_cast<char>(c);
    }
    return text;
}

ChunkReader::ChunkReader(const std::uint8_t* data, std::size_t size, const std::string& fileName)
    : data_(data), size_(size), limit_(size), fileName_(fileName)
{
}

void ChunkReader::fail(const std::string& problem) const
{
    Console::fatal("invalid " + form_ + " file '" + fileName_ + "': " + problem);
}

void ChunkReader::truncated() const
{
    fail("truncated " + idText(chunk_) + " chunk");
}

std::string ChunkReader::s0()
{
    const std::size_t start = pos_;
    const void* end = pos_ < limit_ ? std::memchr(data_ + pos_, 0, limit_ - pos_) : nullptr;
    if (!end)
        truncated();
    const std::size_t length = static_cast<std::size_t>(static_cast<const std::uint8_t*>(end) - (data_ + start));
    std::string text(reinterpret_cast<const char*>(data_ + start), length);
    pos_ = start + length + 1;
    // The pad byte of an odd-length string may be missing at the very end of a chunk.
    if ((length + 1) % 2 != 0 && pos_ < limit_)
        ++pos_;
    return text;
}

std::size_t ChunkReader::header(std::size_t end, int sizeBytes, std::uint32_t& id)
{
    const std::size_t headerSize = 4 + static_cast<std::size_t>(sizeBytes);
    if (end > size_ || pos_ > end || end - pos_ < headerSize)
        fail("truncated chunk header at byte " + std::to_string(pos_));
    limit_ = end;
    id = id4();
    const std::uint32_t size = sizeBytes == 4 ? u4() : u2();
    if (size > end - pos_) {
        const std::string where = sizeBytes == 4 ? "the file" : "the " + idText(chunk_) + " chunk";
        fail(idText(id) + " chunk of " + std::to_string(size) + " bytes runs past the end of " + where);
    }
    return pos_ + size;
}

void ChunkReader::skip(std::size_t bytes)
{
    need(bytes);
    pos_ += bytes;
}

}  // namespace mirva
