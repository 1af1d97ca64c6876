#pragma once
// FlicPlayer: an FLC animation decoded frame by frame into 16-bit A4R4G4B4 pixels.
//
// The file is read whole and kept. `decodeFrame` draws the next frame over what the
// destination holds (the frames after the first are changes to the one before) and moves
// on; after the last frame comes the file's ring frame, which turns the picture back into
// the first one, and playing goes on from the second frame.
//
// Each pixel is the 16-bit palette entry of its colour index. The first colour index that
// a byte-run, word-delta or copy subchunk uses turns transparent (its entry's alpha is
// cleared) until a colour subchunk sets that entry again: animations keep their
// background in the first pixel.
//
// What a file may hold, and what the player makes of it:
// - not an FLC (too short for the magic, a magic other than 0xAF12, width or height 0):
//   the player stays unloaded and decodes nothing;
// - an FLC whose structure lies (a header cut short, a chunk smaller than its header or
//   running past the end of the file, a frame whose subchunks run past the frame, a
//   second-frame offset that neither starts a chunk nor is the end of the file, fewer
//   frames than the header counts): refused
//   at load, fatally, the message naming the file;
// - a subchunk whose contents lie (counts beyond its data, pixels beyond the frame): that
//   subchunk ends where its data or the frame ends, and what it drew until then stays.
// So no file makes the player read outside its bytes or write outside the frame, and every
// frame is decoded in a number of steps bounded by the file's size and the frame's.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "io/phile.h"

namespace mirva {

class FlicPlayer {
public:
    // Reads the file through Phile (a missing file is fatal) and loads it.
    void load(const std::string& name);
    // Loads bytes already in memory; `name` is the file that messages name.
    void load(const std::string& name, PhileBlock bytes);
    // Back to the first frame; the palettes keep what they hold.
    void rewind();

    // Decodes the next frame into `width() x height()` 16-bit pixels at `destination`,
    // rows `pitch` bytes apart, and moves on. Unloaded: nothing.
    void decodeFrame(void* destination, std::ptrdiff_t pitch);

    bool loaded() const { return loaded_; }
    int width() const { return width_; }
    int height() const { return height_; }
    int frameCount() const { return frameCount_; }
    // Frames decoded since the start or since the animation last came round (1 after the
    // first frame).
    int currentFrame() const { return currentFrame_; }
    // Blue, green, red, alpha 255 (0xAARRGGBB values); opaque black until set.
    const std::array<std::uint32_t, 256>& palette32() const { return palette32_; }
    // The A4R4G4B4 entries the pixels are written with; opaque black until set.
    const std::array<std::uint16_t, 256>& palette16() const { return palette16_; }

private:
    [[noreturn]] void refuse(const std::string& problem) const;
    void checkStructure();
    void checkFrame(std::size_t start, std::size_t size);

    std::string name_;
    PhileBlock bytes_;
    bool loaded_ = false;
    int width_ = 0, height_ = 0;
    int frameCount_ = 0;
    int currentFrame_ = 0;
    std::size_t secondFrame_ = 0;
    std::size_t position_ = 0;
    std::array<std::uint32_t, 256> palette32_{};
    std::array<std::uint16_t, 256> palette16_{};
};

}  // namespace mirva
