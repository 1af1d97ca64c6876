#pragma once
// MusicChannel: a tracker module played by libopenmpt, with the module's own position
// (order, row, fraction of the row) and the notes of every row it starts.
//
// libopenmpt tells only which row is playing, so the channel follows the ticks itself: a
// tick lasts 2.5 / tempo seconds, with the tempo libopenmpt reports after the tick's first
// frame, and a row ends after `speed` ticks or, with a pattern delay, a multiple of them.
// The channel renders whole ticks, the first frame of each on its own, and around the end
// of the row's last tick single frames until the row changes. Rows thus start on their
// exact frame, also in offline rendering.
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/sound/channel.h"

namespace openmpt {
class module;
}

namespace mirva {

class MusicChannel : public Channel {
public:
    // The module in `bytes`, or null with `error` set when they are no MOD, XM, S3M or IT.
    static std::unique_ptr<MusicChannel> load(const std::vector<std::uint8_t>& bytes, DWORD freq, int& error);
    ~MusicChannel() override;

    std::size_t framesBeforeCheck() const override;
    void render(float* mix, std::size_t frames, std::vector<Event>& events) override;
    DWORD position() const override;
    bool setPosition(DWORD position) override;

    // 1..256: the steps of a row in the position.
    void setScaler(DWORD scaler) { scaler_ = scaler; }
    DWORD length() const;

    // The decoder for any module file, or null when the bytes are no module we play.
    static std::unique_ptr<openmpt::module> open(const void* data, std::size_t size);

private:
    MusicChannel(std::unique_ptr<openmpt::module> module, DWORD freq);
    void reportRow(std::vector<Event>& events) const;
    double tickFrames() const;
    double rowFrames() const;
    std::uint64_t nextTickLength();
    void startTick(std::uint64_t start);
    bool tickMayEndRow() const;

    std::unique_ptr<openmpt::module> module_;
    DWORD freq_;
    DWORD scaler_ = 1;
    std::vector<float> scratch_;
    std::uint64_t rendered_ = 0;   // frames rendered since loading
    std::uint64_t rowStart_ = 0;   // the frame the current row started on
    int order_ = 0;
    int row_ = 0;
    bool rowPending_ = true;       // the next frame starts the row at order_, row_
    std::uint64_t tickStart_ = 0;  // the frame the current tick started on
    std::uint64_t tickEnd_ = 0;    // the frame the next tick should start on
    int tickInRow_ = 0;
    bool tickPending_ = false;     // the next frame starts a tick
    double carry_ = 0;             // the fraction of a frame the ticks so far left over
};

}  // namespace mirva
