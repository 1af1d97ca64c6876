#pragma once
// ModuleWriter: composes ProTracker MOD files (4 to 32 channels) from notes, samples and
// orders written in code, so tests and benchmarks can build modules whose rows, notes and
// instruments are known exactly.
//
//   ModuleWriter mod(4);
//   const int bass = mod.addSample(ModuleWriter::squareWave(32));
//   const int pattern = mod.addPattern();
//   mod.setCell(pattern, 0, 0, {.note = "C-2", .sample = bass});
//   mod.setOrders({pattern, pattern});
//   mod.write("music/test.mod");
//
// Notes are written as in a tracker, "C-1" to "B-3" (ProTracker's three octaves); effects
// are the MOD effect numbers (0xC volume, 0xD pattern break, 0xF speed/tempo, ...).
// Without speed or tempo effects a module plays at speed 6, tempo 125: 6 ticks of 882
// samples at 44100 Hz, so one row is 5292 samples.
//
// Does not: read modules, play them, or write other formats. Bad input is fatal.
#include <cstdint>
#include <string>
#include <vector>

namespace mirva {

class ModuleWriter {
public:
    static constexpr int kRows = 64;
    static constexpr int kMaxSamples = 31;

    struct Sample {
        std::string name;
        std::vector<std::int8_t> data;   // signed 8-bit, an even number of bytes is stored
        int volume = 64;                 // default volume 0..64
        int finetune = 0;                // -8..7
        std::size_t loopStart = 0;       // bytes; loopLength 0 = no loop
        std::size_t loopLength = 0;
    };

    struct Cell {
        std::string note;   // "" = none, else "C-2", "F#1", ...
        int sample = 0;     // 0 = none, else 1..31
        int effect = 0;     // 0x0..0xF
        int param = 0;      // 0x00..0xFF
    };

    explicit ModuleWriter(int channels = 4);

    void setTitle(const std::string& title);
    // Returns the sample's number as trackers and the sound library count it (first = 1).
    int addSample(const Sample& sample);
    // Returns the new, empty pattern's index (first = 0).
    int addPattern();
    void setCell(int pattern, int row, int channel, const Cell& cell);
    // The song: pattern indices in playing order (1..128 entries).
    void setOrders(const std::vector<int>& orders);

    int channels() const { return channels_; }
    std::vector<std::uint8_t> bytes() const;
    void write(const std::string& path) const;

    // The period ProTracker plays a note at (finetune 0); fatal for notes it can't play.
    static int period(const std::string& note);
    // The name of the note `index` semitones above C-1 ("C-1" to "B-3"); fatal outside them.
    static std::string noteName(int index);
    // One looped cycle of a square wave, `length` bytes, amplitude +-100.
    static Sample squareWave(std::size_t length, int volume = 64);

private:
    int channels_;
    std::string title_;
    std::vector<Sample> samples_;
    std::vector<std::vector<std::uint8_t>> patterns_;   // 64 rows x channels x 4 bytes
    std::vector<int> orders_;
};

}  // namespace mirva
