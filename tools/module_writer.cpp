#include "tools/module_writer.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <memory>

#include "io/console.h"

namespace mirva {

namespace {

// ProTracker's periods for finetune 0, C-1 to B-3.
constexpr std::array<int, 36> kPeriods = {
    856, 808, 762, 720, 678, 640, 604, 570, 538, 508, 480, 453,
    428, 404, 381, 360, 339, 320, 302, 285, 269, 254, 240, 226,
    214, 202, 190, 180, 170, 160, 151, 143, 135, 127, 120, 113,
};

constexpr const char* kNames[] = {"C-", "C#", "D-", "D#", "E-", "F-", "F#", "G-", "G#", "A-", "A#", "B-"};

constexpr std::size_t kMaxSampleBytes = 0xFFFF * 2;

void putWord(std::vector<std::uint8_t>& out, std::size_t value)
{
    out.push_back(static_cast<std::uint8_t>(value >> 8));
    out.push_back(static_cast<std::uint8_t>(value));
}

void putText(std::vector<std::uint8_t>& out, const std::string& text, std::size_t size)
{
    for (std::size_t i = 0; i < size; ++i)
        out.push_back(i < text.size() ? static_cast<std::uint8_t>(text[i]) : 0);
}

std::string channelTag(int channels)
{
    if (channels == 4)
        return "M.K.";
    char tag[8];
    std::snprintf(tag, sizeof tag, channels < 10 ? "%dCHN" : "%dCH", channels);
    return tag;
}

}  // namespace

ModuleWriter::ModuleWriter(int channels) : channels_(channels)
{
    if (channels < 1 || channels > 32)
        Console::error("ModuleWriter: %d channels (a MOD has 1 to 32)", channels);
}

void ModuleWriter::setTitle(const std::string& title)
{
    title_ = title;
}

int ModuleWriter::addSample(const Sample& sample)
{
    if (samples_.size() == kMaxSamples)
        Console::error("ModuleWriter: more than %d samples", kMaxSamples);
    if (sample.data.size() > kMaxSampleBytes)
        Console::error("ModuleWriter: sample '%s' is longer than %zu bytes", sample.name.c_str(), kMaxSampleBytes);
    if (sample.volume < 0 || sample.volume > 64 || sample.finetune < -8 || sample.finetune > 7)
        Console::error("ModuleWriter: sample '%s' has volume %d, finetune %d", sample.name.c_str(), sample.volume,
                       sample.finetune);
    if (sample.loopLength > 0 && sample.loopStart + sample.loopLength > sample.data.size())
        Console::error("ModuleWriter: the loop of sample '%s' ends after its data", sample.name.c_str());
    samples_.push_back(sample);
    return static_cast<int>(samples_.size());
}

int ModuleWriter::addPattern()
{
    patterns_.emplace_back(static_cast<std::size_t>(kRows * channels_ * 4), 0);
    return static_cast<int>(patterns_.size()) - 1;
}

void ModuleWriter::setCell(int pattern, int row, int channel, const Cell& cell)
{
    if (pattern < 0 || pattern >= static_cast<int>(patterns_.size()) || row < 0 || row >= kRows || channel < 0 ||
        channel >= channels_)
        Console::error("ModuleWriter: no cell at pattern %d, row %d, channel %d", pattern, row, channel);
    if (cell.sample < 0 || cell.sample > kMaxSamples || cell.effect < 0 || cell.effect > 0xF || cell.param < 0 ||
        cell.param > 0xFF)
        Console::error("ModuleWriter: bad cell (sample %d, effect %X, parameter %X)", cell.sample, cell.effect,
                       cell.param);
    const int p = cell.note.empty() ? 0 : period(cell.note);
    std::uint8_t* at = &patterns_[static_cast<std::size_t>(pattern)][static_cast<std::size_t>((row * channels_ + channel) * 4)];
    at[0] = static_cast<std::uint8_t>((cell.sample & 0xF0) | (p >> 8));
    at[1] = static_cast<std::uint8_t>(p);
    at[2] = static_cast<std::uint8_t>(((cell.sample & 0x0F) << 4) | cell.effect);
    at[3] = static_cast<std::uint8_t>(cell.param);
}

void ModuleWriter::setOrders(const std::vector<int>& orders)
{
    if (orders.empty() || orders.size() > 128)
        Console::error("ModuleWriter: %zu orders (a MOD has 1 to 128)", orders.size());
    for (int pattern : orders)
        if (pattern < 0 || pattern >= static_cast<int>(patterns_.size()))
            Console::error("ModuleWriter: order names pattern %d, which doesn't exist", pattern);
    orders_ = orders;
}

std::vector<std::uint8_t> ModuleWriter::bytes() const
{
    if (orders_.empty())
        Console::fatal("ModuleWriter: no orders set");
    std::vector<std::uint8_t> out;
    putText(out, title_, 20);
    for (std::size_t i = 0; i < kMaxSamples; ++i) {
        if (i >= samples_.size()) {
            putText(out, "", 22);
            out.insert(out.end(), {0, 0, 0, 0, 0, 0, 0, 1});
            continue;
        }
        const Sample& s = samples_[i];
        putText(out, s.name, 22);
        putWord(out, (s.data.size() + 1) / 2);
        out.push_back(static_cast<std::uint8_t>(s.finetune & 0x0F));
        out.push_back(static_cast<std::uint8_t>(s.volume));
        putWord(out, s.loopLength > 0 ? s.loopStart / 2 : 0);
        putWord(out, s.loopLength > 0 ? std::max<std::size_t>(s.loopLength / 2, 1) : 1);
    }
    out.push_back(static_cast<std::uint8_t>(orders_.size()));
    out.push_back(127);
    for (std::size_t i = 0; i < 128; ++i)
        out.push_back(static_cast<std::uint8_t>(i < orders_.size() ? orders_[i] : 0));
    putText(out, channelTag(channels_), 4);
    // A MOD stores every pattern up to the highest one the order list names.
    const int stored = *std::max_element(orders_.begin(), orders_.end()) + 1;
    for (int p = 0; p < stored; ++p)
        out.insert(out.end(), patterns_[static_cast<std::size_t>(p)].begin(), patterns_[static_cast<std::size_t>(p)].end());
    for (const Sample& s : samples_) {
        for (std::int8_t v : s.data)
            out.push_back(static_cast<std::uint8_t>(v));
        if (s.data.size() % 2 != 0)
            out.push_back(0);
    }
    return out;
}

void ModuleWriter::write(const std::string& path) const
{
    const std::vector<std::uint8_t> data = bytes();
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "wb"), std::fclose);
    if (!file || std::fwrite(data.data(), 1, data.size(), file.get()) != data.size() || std::fflush(file.get()) != 0)
        Console::fatal("ModuleWriter: couldn't write '" + path + "'");
}

int ModuleWriter::period(const std::string& note)
{
    if (note.size() == 3 && note[2] >= '1' && note[2] <= '3')
        for (int i = 0; i < 12; ++i)
            if (note.compare(0, 2, kNames[i]) == 0)
                return kPeriods[static_cast<std::size_t>((note[2] - '1') * 12 + i)];
    Console::fatal("ModuleWriter: '" + note + "' is no note from C-1 to B-3");
}

std::string ModuleWriter::noteName(int index)
{
    if (index < 0 || index >= static_cast<int>(kPeriods.size()))
        Console::fatal("ModuleWriter: note " + std::to_string(index) + " is outside C-1 to B-3");
    return kNames[index % 12] + std::to_string(index / 12 + 1);
}

ModuleWriter::Sample ModuleWriter::squareWave(std::size_t length, int volume)
{
    Sample s{.name = "square", .volume = volume, .loopStart = 0, .loopLength = length};
    for (std::size_t i = 0; i < length; ++i)
        s.data.push_back(static_cast<std::int8_t>(i < length / 2 ? 100 : -100));
    return s;
}

}  // namespace mirva
