#include "tools/divido_music.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>
#include <vector>

#include "tools/sample_synth.h"

namespace mirva {

namespace {

enum Channel { kKickCh, kSnareCh, kHatCh, kBassCh, kLeadCh, kPadCh, kArpCh, kCrashCh, kChannels };
enum Instrument { kKick = 1, kSnare, kHat, kBass, kLead, kPad, kArp, kCrash };

constexpr int kSetVolume = 0xC;
constexpr int kVolumeSlide = 0xA;
constexpr int kSetPanning = 0x8;

// A chord: its root as semitones above C-1 (bass and pad play it there) and its third.
struct Chord {
    int root;
    int third;   // 3 minor, 4 major
};
using Progression = std::array<Chord, 4>;   // 16 rows each

constexpr Progression kMain = {{{9, 3}, {5, 4}, {12, 4}, {7, 4}}};      // Am F C G
constexpr Progression kPainted = {{{5, 4}, {7, 4}, {4, 3}, {9, 3}}};    // F G Em Am
constexpr Progression kBreak = {{{14, 3}, {5, 4}, {7, 4}, {4, 4}}};     // Dm F G E
constexpr Progression kHome = {{{9, 3}, {9, 3}, {9, 3}, {9, 3}}};       // Am

// A melody: notes on rows, "" stops the note.
using Phrase = std::vector<std::pair<int, const char*>>;

const Phrase kCall = {{0, "E-3"}, {12, ""}, {16, "C-3"}, {28, ""}, {32, "G-3"}, {40, "E-3"}, {44, ""},
                      {48, "D-3"}, {60, ""}};
const Phrase kFlight = {{0, "E-3"}, {6, "D-3"}, {8, "C-3"}, {12, "B-2"}, {14, "C-3"}, {16, "A-2"},
                        {24, "C-3"}, {28, "F-3"}, {32, "E-3"}, {38, "D-3"}, {40, "C-3"}, {44, "G-3"},
                        {48, "D-3"}, {56, "B-2"}, {60, "D-3"}, {63, ""}};
const Phrase kAnswer = {{0, "A-3"}, {4, "G-3"}, {6, "E-3"}, {8, "C-3"}, {14, "E-3"}, {16, "F-3"},
                        {22, "E-3"}, {24, "C-3"}, {28, "A-2"}, {32, "G-3"}, {38, "E-3"}, {40, "G-3"},
                        {44, "C-3"}, {48, "B-2"}, {52, "D-3"}, {56, "G-3"}, {62, ""}};
const Phrase kPaintedTune = {{0, "C-3"}, {4, "F-3"}, {8, "E-3"}, {12, "C-3"}, {16, "D-3"}, {24, "B-2"},
                             {28, "D-3"}, {32, "G-3"}, {38, "E-3"}, {40, "B-2"}, {46, ""}, {48, "C-3"},
                             {52, "E-3"}, {56, "A-2"}, {62, ""}};

enum Layer : unsigned {
    kKicks = 1u << 0,      // every 8th row
    kKickOnce = 1u << 1,   // row 0 only
    kSnares = 1u << 2,
    kHats = 1u << 3,
    kBusyHats = 1u << 4,
    kBassLine = 1u << 5,
    kLightBass = 1u << 6,
    kPads = 1u << 7,
    kArps = 1u << 8,
    kSparseArps = 1u << 9,
    kCrashes = 1u << 10,
    kFadeOut = 1u << 11,
    kBig = 1u << 12,       // the finale: lead and arp louder
};

// What one order plays.
struct Part {
    const Progression* chords;
    unsigned layers;
    const Phrase* melody = nullptr;
    int rollFrom = -1;   // first row of a snare roll to the order's end
};

constexpr unsigned kFlowers = kKicks | kHats | kBassLine | kPads;
constexpr unsigned kFeedback = kFlowers | kSnares | kArps;
constexpr unsigned kLight = kLightBass | kArps;

const std::array<Part, 20> kSong = {{
    {&kMain, kPads | kSparseArps},
    {&kMain, kPads | kArps},
    {&kMain, kFlowers | kCrashes},
    {&kMain, kFlowers},
    {&kMain, kFlowers},
    {&kMain, kFeedback | kCrashes},
    {&kMain, kFeedback, &kCall},
    {&kMain, kFeedback, &kCall},
    {&kMain, kFeedback | kCrashes, &kFlight},
    {&kMain, kFeedback, &kAnswer},
    {&kMain, kFeedback, &kFlight},
    {&kBreak, kPads, nullptr, 48},
    {&kPainted, kFeedback | kCrashes, &kPaintedTune},
    {&kPainted, kFeedback, &kPaintedTune},
    {&kPainted, kFeedback, &kPaintedTune},
    {&kMain, kLight},
    {&kMain, kLight, nullptr, 56},
    {&kMain, kFeedback | kBusyHats | kBig | kCrashes, &kFlight},
    {&kMain, kFeedback | kBusyHats | kBig, &kAnswer},
    {&kHome, kKickOnce | kPads | kCrashes | kFadeOut},
}};

// Where each channel sits: the kick, snare and bass in the middle, the rest spread out.
constexpr std::array<int, kChannels> kPanning = {0x80, 0x78, 0xB0, 0x80, 0x60, 0x90, 0xC0, 0x50};

class Writer {
public:
    Writer(ModuleWriter& mod, int pattern) : mod_(mod), pattern_(pattern) {}

    void play(int row, Channel channel, int note, int sample, int volume = -1)
    {
        play(row, channel, ModuleWriter::noteName(note), sample, volume);
    }
    void play(int row, Channel channel, const std::string& note, int sample, int volume = -1)
    {
        ModuleWriter::Cell cell{.note = note, .sample = sample};
        if (volume >= 0) {
            cell.effect = kSetVolume;
            cell.param = volume;
        }
        set(row, channel, cell);
    }
    void effect(int row, Channel channel, int effect, int param) { set(row, channel, {.effect = effect, .param = param}); }

    // Pans every channel on row 0 where no other effect sits (else on the first free row),
    // so the order plays the same wherever playing starts.
    void pan()
    {
        for (int channel = 0; channel < kChannels; ++channel)
            for (int row = 0; row < ModuleWriter::kRows; ++row)
                if (cells_[row][channel].effect == 0) {
                    ModuleWriter::Cell& cell = cells_[row][channel];
                    cell.effect = kSetPanning;
                    cell.param = kPanning[static_cast<std::size_t>(channel)];
                    mod_.setCell(pattern_, row, channel, cell);
                    break;
                }
    }

private:
    void set(int row, int channel, const ModuleWriter::Cell& cell)
    {
        cells_[row][channel] = cell;
        mod_.setCell(pattern_, row, channel, cell);
    }

    ModuleWriter& mod_;
    int pattern_;
    std::array<std::array<ModuleWriter::Cell, kChannels>, ModuleWriter::kRows> cells_{};
};

const Chord& chordAt(const Part& part, int row)
{
    return (*part.chords)[static_cast<std::size_t>(row / 16)];
}

void drums(Writer& w, const Part& part)
{
    for (int row = 0; row < ModuleWriter::kRows; ++row) {
        if ((part.layers & kKicks && row % 8 == 0) || (part.layers & kKickOnce && row == 0))
            w.play(row, kKickCh, "C-2", kKick);
        if (part.layers & kSnares && row % 16 == 8)
            w.play(row, kSnareCh, "C-3", kSnare);
        if (part.layers & kBusyHats)
            w.play(row, kHatCh, "B-3", kHat, row % 4 == 2 ? 60 : row % 2 == 0 ? 36 : 24);
        else if (part.layers & kHats && row % 2 == 0)
            w.play(row, kHatCh, "B-3", kHat, row % 4 == 2 ? 60 : 32);
    }
    if (part.layers & kCrashes)
        w.play(0, kCrashCh, "B-3", kCrash);
}

// Hits closer and closer together, growing louder, up to the order's end.
void snareRoll(Writer& w, int from)
{
    std::vector<int> rows;
    const int length = ModuleWriter::kRows - from;
    for (int row = from; row < ModuleWriter::kRows;) {
        rows.push_back(row);
        const int left = ModuleWriter::kRows - row;
        row += left > length / 2 ? 4 : left > length / 4 ? 2 : 1;
    }
    for (std::size_t i = 0; i < rows.size(); ++i)
        w.play(rows[i], kSnareCh, "C-3", kSnare, 20 + static_cast<int>(44 * i / (rows.size() - 1)));
}

void bassLine(Writer& w, const Part& part)
{
    static constexpr std::array<int, 8> kOctaves = {0, 0, 12, 0, 0, 12, 0, 12};
    static constexpr std::array<int, 4> kLightRows = {0, 6, 10, 12};
    for (int row = 0; row < ModuleWriter::kRows; ++row) {
        const int root = chordAt(part, row).root;
        const int step = row % 16;
        if (part.layers & kBassLine && step % 2 == 0)
            w.play(row, kBassCh, root + kOctaves[static_cast<std::size_t>(step / 2)], kBass);
        else if (part.layers & kLightBass && std::find(kLightRows.begin(), kLightRows.end(), step) != kLightRows.end())
            w.play(row, kBassCh, root + (step == 10 ? 12 : 0), kBass, 40);
    }
}

// Root, third, fifth and octave up and down, an octave above the bass; every second row in
// the sparse kind, fading in.
void arpeggio(Writer& w, const Part& part)
{
    static constexpr std::array<int, 6> kWalk = {0, 1, 2, 3, 2, 1};
    for (int row = 0; row < ModuleWriter::kRows; ++row) {
        const Chord& chord = chordAt(part, row);
        const std::array<int, 4> tones = {0, chord.third, 7, 12};
        const int note = chord.root % 12 + 12 + tones[static_cast<std::size_t>(kWalk[static_cast<std::size_t>(row % 6)])];
        if (part.layers & kSparseArps && row % 2 == 0)
            w.play(row, kArpCh, note, kArp, 12 + row * 24 / 64);
        else if (part.layers & kArps)
            w.play(row, kArpCh, note, kArp, (row % 4 == 0 ? 42 : 30) + (part.layers & kBig ? 12 : 0));
    }
}

// A chord every 16 rows; fading out means sliding the volume down to follow a line from
// full to silent over the order.
void pads(Writer& w, const Part& part)
{
    constexpr int full = 42;
    for (int row = 0; row < ModuleWriter::kRows; row += 16)
        if (!(part.layers & kFadeOut) || row == 0)
            w.play(row, kPadCh, chordAt(part, row).root, kPad);
    if (!(part.layers & kFadeOut))
        return;
    int volume = full;
    for (int row = 1; row < ModuleWriter::kRows; ++row) {
        const int target = full * (60 - std::min(row, 60)) / 60;
        if (volume - target >= 5) {
            w.effect(row, kPadCh, kVolumeSlide, 0x01);   // 5 ticks of 1 down
            volume -= 5;
        }
    }
}

void melody(Writer& w, const Phrase& phrase, bool big)
{
    for (const auto& [row, note] : phrase) {
        if (*note == 0)
            w.effect(row, kLeadCh, kSetVolume, 0);
        else
            w.play(row, kLeadCh, note, kLead, big ? 60 : -1);
    }
}

void writeOrder(ModuleWriter& mod, int pattern, const Part& part)
{
    Writer w(mod, pattern);
    drums(w, part);
    if (part.rollFrom >= 0)
        snareRoll(w, part.rollFrom);
    bassLine(w, part);
    arpeggio(w, part);
    if (part.layers & kPads)
        pads(w, part);
    if (part.melody)
        melody(w, *part.melody, part.layers & kBig);
    w.pan();
}

}  // namespace

ModuleWriter composeDivido()
{
    ModuleWriter mod(kChannels);
    mod.setTitle("divido");
    for (const ModuleWriter::Sample& s : {synth::kick(), synth::snare(), synth::hat(), synth::bass(), synth::lead(),
                                          synth::pad(), synth::pluck(), synth::crash()})
        mod.addSample(s);
    std::vector<int> orders;
    for (const Part& part : kSong) {
        const int pattern = mod.addPattern();
        writeOrder(mod, pattern, part);
        orders.push_back(pattern);
    }
    mod.setOrders(orders);
    return mod;
}

}  // namespace mirva
