#pragma once
// StreamChannel: a WAV or MPEG audio file (MP3, MP2, MP1) decoded by libsndfile while it
// plays, made stereo (mono on both sides, beyond two channels the first two) and brought
// to the output rate by linear interpolation. The file is held in memory, so the mixing
// thread never waits for the disk.
//
// Output frame j plays the file at frame j * fileRate / outputRate; the position is kept
// as j so that seeking and long files never drift.
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/sound/channel.h"

struct sf_private_tag;

namespace mirva {

class StreamChannel : public Channel {
public:
    // The stream in `bytes`, or null with `error` set when they are no WAV or MPEG audio.
    static std::unique_ptr<StreamChannel> open(std::vector<std::uint8_t> bytes, DWORD freq, int& error);
    ~StreamChannel() override;

    std::size_t framesBeforeCheck() const override;
    void render(float* mix, std::size_t frames, std::vector<Event>& events) override;
    DWORD position() const override;   // bytes
    bool setPosition(DWORD position) override;

    // Bytes of 16-bit stereo at the output rate.
    DWORD length() const;

    // The memory the decoder reads, with its read position.
    struct Memory {
        std::vector<std::uint8_t> bytes;
        std::int64_t at = 0;
    };

private:
    StreamChannel(std::unique_ptr<Memory> memory, DWORD freq);
    // The file's frame `index` as stereo, decoding ahead as needed; false after the end.
    bool fileFrame(std::uint64_t index, float& left, float& right);
    void seekFile(std::uint64_t index);

    std::unique_ptr<Memory> memory_;
    sf_private_tag* file_ = nullptr;
    DWORD freq_;
    int fileRate_ = 0;
    int fileChannels_ = 0;
    std::uint64_t fileFrames_ = 0;
    std::uint64_t played_ = 0;            // output frames since the beginning
    std::vector<float> decoded_;          // stereo frames from decodedStart_ on
    std::uint64_t decodedStart_ = 0;
    std::vector<float> readBuffer_;
    bool fileEnded_ = false;
};

}  // namespace mirva
