#include "platform/sound/music_channel.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <ostream>
#include <string>

#include <libopenmpt/libopenmpt.hpp>

namespace mirva {

namespace {

// libopenmpt's numbers for pattern data.
constexpr int kFirstNote = 1;      // C-0
constexpr int kLastNote = 120;     // B-9; above are note-off, note-cut and fade
constexpr int kVolumeColumnSetVolume = 1;
constexpr int kEffectSetVolume = 13;
constexpr int kFullVolume = 64;

// Around the expected end of a row the channel renders single frames this far either side,
// in case its tick lengths differ from libopenmpt's by a frame.
constexpr std::uint64_t kRowEndWindow = 2;

}  // namespace

std::unique_ptr<openmpt::module> MusicChannel::open(const void* data, std::size_t size)
{
    // The module plays once and stops at its end (no fade-out after it), without dither,
    // so offline rendering is the same on every run.
    static const std::map<std::string, std::string> settings = {{"play.at_end", "stop"}, {"dither", "0"}};
    std::ostream nowhere(nullptr);
    std::unique_ptr<openmpt::module> module;
    try {
        module = std::make_unique<openmpt::module>(data, size, nowhere, settings);
    } catch (const openmpt::exception&) {
        return nullptr;
    }
    const std::string type = module->get_metadata("type");
    if (type != "mod" && type != "xm" && type != "s3m" && type != "it")
        return nullptr;
    module->set_repeat_count(0);
    return module;
}

std::unique_ptr<MusicChannel> MusicChannel::load(const std::vector<std::uint8_t>& bytes, DWORD freq, int& error)
{
    std::unique_ptr<openmpt::module> module = open(bytes.data(), bytes.size());
    if (!module) {
        error = BASS_ERROR_FILEFORM;
        return nullptr;
    }
    return std::unique_ptr<MusicChannel>(new MusicChannel(std::move(module), freq));
}

MusicChannel::MusicChannel(std::unique_ptr<openmpt::module> module, DWORD freq)
    : module_(std::move(module)), freq_(freq)
{
}

MusicChannel::~MusicChannel() = default;

double MusicChannel::tickFrames() const
{
    return freq_ * 2.5 / std::max(1, module_->get_current_tempo());
}

double MusicChannel::rowFrames() const
{
    return std::max(1, module_->get_current_speed()) * tickFrames();
}

std::uint64_t MusicChannel::nextTickLength()
{
    // Tick lengths are whole frames; the fractions carry over to the next tick.
    const double exact = tickFrames() + carry_;
    const auto length = static_cast<std::uint64_t>(exact);
    carry_ = exact - static_cast<double>(length);
    return std::max<std::uint64_t>(length, 1);
}

void MusicChannel::startTick(std::uint64_t start)
{
    tickStart_ = start;
    tickEnd_ = start + nextTickLength();
}

bool MusicChannel::tickMayEndRow() const
{
    return tickInRow_ + 1 >= std::max(1, module_->get_current_speed());
}

std::size_t MusicChannel::framesBeforeCheck() const
{
    if (rowPending_ || tickPending_ || ended_)
        return 1;
    if (!tickMayEndRow())
        return static_cast<std::size_t>(std::max<std::uint64_t>(tickEnd_ - rendered_, 1));
    // The row should end with this tick: single frames around its end.
    if (rendered_ + kRowEndWindow < tickEnd_)
        return static_cast<std::size_t>(tickEnd_ - kRowEndWindow - rendered_);
    return 1;
}

void MusicChannel::render(float* mix, std::size_t frames, std::vector<Event>& events)
{
    if (ended_)
        return;
    scratch_.resize(frames * 2);
    const std::size_t got = module_->read_interleaved_stereo(static_cast<std::int32_t>(freq_), frames, scratch_.data());
    for (std::size_t i = 0; i < got * 2; ++i)
        mix[i] += scratch_[i];
    rendered_ += got;
    if (got < frames) {
        ended_ = true;
        events.push_back({.type = BASS_SYNC_END});
        return;
    }
    const int order = module_->get_current_order();
    const int row = module_->get_current_row();
    if (rowPending_ || order != order_ || row != row_) {
        // The row began with the last frame rendered (exactly so when that was one frame).
        order_ = order;
        row_ = row;
        rowStart_ = rendered_ - 1;
        rowPending_ = false;
        tickPending_ = false;
        tickInRow_ = 0;
        startTick(rowStart_);
        reportRow(events);
    } else if (tickPending_) {
        // The first frame of a tick: its tempo is known now.
        tickPending_ = false;
        ++tickInRow_;
        startTick(rendered_ - 1);
    } else if (!tickMayEndRow() && rendered_ >= tickEnd_) {
        tickPending_ = true;
    } else if (tickMayEndRow() && rendered_ > tickEnd_ + kRowEndWindow) {
        // No new row: the row goes on for more ticks (a pattern delay).
        ++tickInRow_;
        startTick(tickEnd_);
    }
}

void MusicChannel::reportRow(std::vector<Event>& events) const
{
    const int pattern = module_->get_order_pattern(order_);
    if (pattern < 0 || pattern >= module_->get_num_patterns())
        return;
    for (int channel = 0; channel < module_->get_num_channels(); ++channel) {
        auto cell = [&](int command) {
            return module_->get_pattern_row_channel_command(pattern, row_, channel, command);
        };
        const int note = cell(openmpt::module::command_note);
        const int instrument = cell(openmpt::module::command_instrument);
        if (note < kFirstNote || note > kLastNote || instrument == 0)
            continue;
        int volume = kFullVolume;
        if (cell(openmpt::module::command_volumeffect) == kVolumeColumnSetVolume)
            volume = cell(openmpt::module::command_volume);
        else if (cell(openmpt::module::command_effect) == kEffectSetVolume)
            volume = cell(openmpt::module::command_parameter);
        events.push_back({.type = BASS_SYNC_MUSICINST,
                          .instrument = static_cast<DWORD>(instrument),
                          .note = static_cast<DWORD>(note - kFirstNote),
                          .volume = static_cast<DWORD>(std::clamp(volume, 0, kFullVolume))});
    }
}

DWORD MusicChannel::position() const
{
    DWORD fraction = 0;
    if (!rowPending_) {
        const double part = static_cast<double>(rendered_ - rowStart_) / rowFrames();
        fraction = std::min(scaler_ - 1, static_cast<DWORD>(part * scaler_));
    }
    const DWORD high = (static_cast<DWORD>(row_) * scaler_ + fraction) & 0xFFFF;
    return (static_cast<DWORD>(order_) & 0xFFFF) | high << 16;
}

bool MusicChannel::setPosition(DWORD position)
{
    const int order = static_cast<int>(position & 0xFFFF);
    const int row = static_cast<int>(position >> 16);
    if (order >= module_->get_num_orders())
        return false;
    const int pattern = module_->get_order_pattern(order);
    if (pattern < 0 || pattern >= module_->get_num_patterns() || row >= module_->get_pattern_num_rows(pattern))
        return false;
    module_->set_position_order_row(order, row);
    order_ = order;
    row_ = row;
    rowPending_ = true;
    carry_ = 0;
    ended_ = false;
    return true;
}

DWORD MusicChannel::length() const
{
    return static_cast<DWORD>(module_->get_num_orders());
}

}  // namespace mirva
