#pragma once
// ChunkReader: the one cursor over an IFF file's bytes (big-endian, as IFF writes them).
//
// Every read is checked against a limit, the end of the chunk being read, so no file can
// make the loader read outside its bytes: a read past the limit is fatal with a message
// naming the file and the chunk. The owner moves the limit from chunk to chunk.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "lightwave/vector3.h"

namespace mirva {

// The 32-bit number of a four-character identifier, as IFF compares them.
constexpr std::uint32_t makeId(const char (&s)[5])
{
    return static_cast<std::uint32_t>(static_cast<unsigned char>(s[0])) << 24 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(s[1])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(s[2])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(s[3]));
}

// The four characters of an identifier; characters that are not printable become '?'.
std::string idText(std::uint32_t id);

class ChunkReader {
public:
    // `form` names the file kind in messages ("LWO2", "LWOB").
    ChunkReader(const std::uint8_t* data, std::size_t size, const std::string& fileName);

    void setForm(const std::string& form) { form_ = form; }
    // The chunk being read, named in the message of a read past the limit.
    void setChunk(std::uint32_t id) { chunk_ = id; }

    std::size_t position() const { return pos_; }
    void seek(std::size_t position) { pos_ = position; }
    std::size_t limit() const { return limit_; }
    void setLimit(std::size_t limit) { limit_ = limit < size_ ? limit : size_; }
    std::size_t size() const { return size_; }
    bool before(std::size_t end) const { return pos_ < end; }
    std::size_t remaining() const { return pos_ < limit_ ? limit_ - pos_ : 0; }

    // The fixed-size reads are inline: the loader calls them for every point and index.
    std::uint32_t id4() { return u4(); }
    std::uint32_t u4()
    {
        need(4);
        const std::uint8_t* p = data_ + pos_;
        pos_ += 4;
        return static_cast<std::uint32_t>(p[0]) << 24 | static_cast<std::uint32_t>(p[1]) << 16 |
               static_cast<std::uint32_t>(p[2]) << 8 | static_cast<std::uint32_t>(p[3]);
    }
    std::uint16_t u2()
    {
        need(2);
        const std::uint8_t* p = data_ + pos_;
        pos_ += 2;
        return static_cast<std::uint16_t>(p[0] << 8 | p[1]);
    }
    std::int16_t i2() { return static_cast<std::int16_t>(u2()); }
    std::uint8_t u1()
    {
        need(1);
        return data_[pos_++];
    }
    float f4()
    {
        const std::uint32_t bits = u4();
        float value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    Vector3 vec12()
    {
        const float x = f4();
        const float y = f4();
        const float z = f4();
        return {x, y, z};
    }
    // Zero-terminated string, then one pad byte when string and terminator have odd length.
    std::string s0();
    // Index: 2 bytes when the first byte is below 0xFF, else 4 bytes of which the last
    // three are the index.
    std::uint32_t vx()
    {
        need(1);
        if (data_[pos_] < 0xFF)
            return u2();
        return u4() & 0x00FFFFFFu;
    }
    void skip(std::size_t bytes);

    // Walks the chunks from the cursor up to `end`: each is an ID4, a U4 size and its
    // data, padded to an even length. For each, `visit(id, dataEnd)` runs with the cursor
    // at the data and reads limited to the chunk; the cursor then moves to the next
    // chunk whatever the visitor read. A header or size that runs past `end` is fatal.
    template <typename Visit>
    void forEachChunk(std::size_t end, Visit visit)
    {
        walk(end, 4, visit);
    }
    // The same for the sub-chunks of a chunk, whose sizes are U2.
    template <typename Visit>
    void forEachSubChunk(std::size_t end, Visit visit)
    {
        walk(end, 2, visit);
    }

    // The bytes from the cursor to the limit, for a look ahead that moves nothing.
    const std::uint8_t* cursor() const { return data_ + pos_; }

    // "invalid <form> file '<name>': <problem>"
    [[noreturn]] void fail(const std::string& problem) const;
    const std::string& fileName() const { return fileName_; }

private:
    void need(std::size_t bytes) const
    {
        if (pos_ > limit_ || limit_ - pos_ < bytes) [[unlikely]]
            truncated();
    }
    // "truncated <chunk> chunk"
    [[noreturn]] void truncated() const;
    // Reads one chunk header at the cursor; returns the data end, or fails.
    std::size_t header(std::size_t end, int sizeBytes, std::uint32_t& id);

    template <typename Visit>
    void walk(std::size_t end, int sizeBytes, Visit& visit)
    {
        const std::uint32_t outer = chunk_;
        const std::size_t outerLimit = limit_;
        while (pos_ < end) {
            std::uint32_t id = 0;
            const std::size_t dataEnd = header(end, sizeBytes, id);
            const std::size_t next = dataEnd + ((dataEnd - pos_) & 1);
            chunk_ = id;
            limit_ = dataEnd;
            visit(id, dataEnd);
            chunk_ = outer;
            limit_ = outerLimit;
            pos_ = next;
        }
    }

    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
    std::size_t limit_;
    std::string fileName_;
    std::string form_ = "IFF";
    std::uint32_t chunk_ = makeId("FORM");
};

}  // namespace mirva
