#pragma once
// The sound library running offline at 44100 Hz, freed after each test, and the test
// module whose rows and instruments every music test knows by heart.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "platform/sound/bass.h"
#include "platform/sound/sound_output.h"
#include "tests/support/files.h"
#include "tools/module_writer.h"

namespace mirva::test {

// At speed 6 and tempo 125 a tick is 44100 * 2.5 / 125 = 882 frames, a row 6 ticks.
inline constexpr std::uint64_t kRowFrames = 5292;

// A call's result and the error code it left, to compare as one (the call runs first).
using Coded = std::pair<std::int64_t, int>;
inline Coded coded(std::int64_t result)
{
    return {result, BASS_ErrorGetCode()};
}
inline constexpr std::int64_t kFailed = 0xFFFFFFFF;   // the DWORD -1 of a failed query

class OfflineSound : public testing::Test {
protected:
    void SetUp() override
    {
        SoundOutput::choose(SoundOutput::Kind::Offline);
        restart();
    }
    void TearDown() override
    {
        BASS_Free();
        SoundOutput::choose(SoundOutput::Kind::Automatic);
    }

    HMUSIC load(const ModuleWriter& module, const std::string& name = "song.mod")
    {
        module.write(dir.file(name));
        return BASS_MusicLoad(false, dir.file(name).c_str(), 0, 0, 0x20);
    }
    // Frees the library (when it runs) and starts it, offline as chosen.
    static void restart()
    {
        BASS_Free();
        ASSERT_TRUE(BASS_Init(BASS_DEVICE_DEFAULT, 44100, 0, nullptr));
        ASSERT_TRUE(BASS_Start());
    }

    TempDir dir;
};

// Three orders: A, B, A. Pattern A has instrument 3 on rows 0, 5, 17 (at volume 32) and 63,
// instrument 1 on rows 5 and 30, and instrument 3 without a note on row 40. Pattern B has
// instrument 3 on row 2 and breaks to the next order after row 3. 4 + 64 + 64 + 64 rows.
inline ModuleWriter threeOrderModule()
{
    ModuleWriter mod(4);
    mod.addSample(ModuleWriter::squareWave(32));
    mod.addSample(ModuleWriter::squareWave(64));
    mod.addSample(ModuleWriter::squareWave(16));
    const int a = mod.addPattern();
    const int b = mod.addPattern();
    mod.setCell(a, 0, 0, {.note = "C-2", .sample = 3});
    mod.setCell(a, 5, 0, {.note = "E-2", .sample = 1});
    mod.setCell(a, 5, 1, {.note = "C-3", .sample = 3});
    mod.setCell(a, 17, 3, {.note = "G-2", .sample = 3, .effect = 0xC, .param = 0x20});
    mod.setCell(a, 30, 0, {.note = "C-1", .sample = 1});
    mod.setCell(a, 40, 1, {.sample = 3});
    mod.setCell(a, 63, 2, {.note = "A-1", .sample = 3});
    mod.setCell(b, 2, 0, {.note = "D-2", .sample = 3});
    mod.setCell(b, 3, 1, {.effect = 0xD, .param = 0});
    mod.setOrders({a, b, a});
    return mod;
}

// A module loaded from memory.
inline HMUSIC loadFromMemory(const ModuleWriter& module)
{
    const std::vector<std::uint8_t> bytes = module.bytes();
    return BASS_MusicLoad(true, bytes.data(), 0, static_cast<DWORD>(bytes.size()), 0);
}

// Rows from the start of the song, counting through the break in order 1.
inline constexpr std::uint64_t kSongRows = 64 + 4 + 64;

}  // namespace mirva::test
