#pragma once
// The subchunks of an FLC frame, decoded into 16-bit pixels (FlicPlayer's inner part).
//
// A decoder is made for one frame: the destination, its size and the player's palettes.
// `decode` takes one subchunk's data (the bytes after its 6-byte header) and never reads
// beyond them nor writes beyond the frame: where a count runs past the data or a pixel
// past the frame, the subchunk ends there.
#include <array>
#include <cstddef>
#include <cstdint>

namespace mirva {

// The file: a header of this size with this magic at offset 4, then the chunks.
inline constexpr std::size_t kFlicHeaderSize = 128;
inline constexpr std::uint16_t kFlicMagic = 0xAF12;

namespace FlicChunk {
enum : std::uint16_t {
    Colour256 = 4,    // palette, 8-bit components
    WordDelta = 7,    // changes to the previous frame, line by line in pixel pairs
    Colour64 = 11,    // palette, 6-bit components
    Black = 13,       // every pixel 0
    ByteRun = 15,     // the whole frame, run-length coded
    Copy = 16,        // the whole frame, uncompressed
    Frame = 0xF1FA,   // a frame: subchunks follow its 16-byte header
};
}

// The A4R4G4B4 entry of an 8-bit colour.
constexpr std::uint16_t flicEntry16(std::uint32_t red, std::uint32_t green, std::uint32_t blue)
{
    return static_cast<std::uint16_t>(0xF000 | (red >> 4) << 8 | (green >> 4) << 4 | blue >> 4);
}

class FlicFrameDecoder {
public:
    struct Palettes {
        std::array<std::uint32_t, 256>& colours32;
        std::array<std::uint16_t, 256>& colours16;
    };

    FlicFrameDecoder(void* destination, std::ptrdiff_t pitch, int width, int height, Palettes palettes)
        : pixels_(static_cast<std::uint8_t*>(destination)), pitch_(pitch), width_(width), height_(height),
          palettes_(palettes)
    {
    }

    // Decodes one subchunk of that type; other types are skipped.
    void decode(std::uint16_t type, const std::uint8_t* data, std::size_t size);

private:
    class Input;

    void colours(Input& in, int shift);
    void black();
    void byteRun(Input& in);
    void wordDelta(Input& in);
    void copy(Input& in);

    std::uint16_t* row(int y) const;
    // The palette entry of `index`, clearing its alpha when it is the subchunk's first.
    std::uint16_t entry(std::uint8_t index);

    std::uint8_t* pixels_;
    std::ptrdiff_t pitch_;
    int width_, height_;
    Palettes palettes_;
    bool first_ = true;
};

}  // namespace mirva
