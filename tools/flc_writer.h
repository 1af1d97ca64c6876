#pragma once
// FlcWriter: FLC animations (8-bit indexed, magic 0xAF12) made of frames drawn in code.
//
// The file is what Animator Pro's format asks for and other FLC readers expect: a 128-byte
// header (frame count, size, depth 8, speed, the offsets of the first and second frames),
// then one frame chunk per frame: the first with the whole 256-level palette and the
// picture run-length coded (byte run), every later one with the palette entries that
// changed and the pixel pairs that changed (word delta, always beginning with the top-left
// pair, so that the first pixel of every picture chunk is the background; pixels whose
// palette entry changed count as changed, for players that keep colours rather than
// indices); last the ring frame, the change
// from the last frame back to the first, which readers play to loop.
//
// The chunk builders below are open to tests, which assemble files with chunk kinds the
// writer does not choose itself (64-level colours, black, copy).
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace mirva {

struct FlcColour {
    std::uint8_t red = 0, green = 0, blue = 0;
    bool operator==(const FlcColour&) const = default;
};
using FlcPalette = std::array<FlcColour, 256>;
using FlcBytes = std::vector<std::uint8_t>;

class FlcWriter {
public:
    // `speed`: milliseconds a frame is shown, as the header records it.
    FlcWriter(int width, int height, int speed = 40);

    // A frame of width x height colour indices, rows top first, shown with `palette`.
    void addFrame(FlcBytes indices, const FlcPalette& palette);
    int frameCount() const { return static_cast<int>(frames_.size()); }

    // The whole file; at least one frame must have been added.
    FlcBytes bytes() const;
    // Writes bytes() to `file`; fatal when it cannot be written.
    void write(const std::string& file) const;

private:
    struct Frame {
        FlcBytes indices;
        FlcPalette palette;
    };
    FlcBytes frameChunk(const Frame* previous, const Frame& frame) const;

    int width_, height_, speed_;
    std::vector<Frame> frames_;
};

// A subchunk of a frame: its 6-byte header, `data`, and a pad byte to an even size.
FlcBytes flcSubchunk(std::uint16_t type, const FlcBytes& data);
// A frame chunk holding these subchunks (each made by flcSubchunk).
FlcBytes flcFrameChunk(const std::vector<FlcBytes>& subchunks);
// A file of these chunks after the header, the second frame at the second chunk: the
// header counts `frameCount` frames (the chunks less the ring frame, as a rule).
FlcBytes flcFile(int width, int height, int speed, int frameCount, const std::vector<FlcBytes>& chunks);

// The data of a 256-level colour subchunk holding the entries of `palette` that differ
// from `previous` (every entry when `previous` is null); empty when none differ.
FlcBytes flcColourData(const FlcPalette* previous, const FlcPalette& palette);
// The data of a byte-run subchunk: the whole picture.
FlcBytes flcByteRunData(const FlcBytes& indices, int width, int height);
// The data of a word-delta subchunk turning `previous` into `next`. It begins with the
// top-left pixel pair, changed or not: a player that makes the first pixel of a chunk its
// transparent colour (ours does) then finds the background there. (Not where the width
// is odd and the top row's last pixel changes: the format writes that pixel first.)
FlcBytes flcWordDeltaData(const FlcBytes& previous, const FlcBytes& next, int width, int height);

}  // namespace mirva
