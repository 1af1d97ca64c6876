// Writer, Writer2 and Scroller drawn by the frame update, with a font whose glyphs are
// solid blocks so that what is drawn can be measured: Writer's fade and wobble at chosen
// phases, how many characters Writer2 has typed, where the Scroller's text stands.
#include <cmath>

#include <gtest/gtest.h>

#include "components/scroller.h"
#include "components/writer.h"
#include "components/writer2.h"
#include "tests/player/frame_fixture.h"
#include "tests/support/fatal.h"
#include "tests/support/font_image.h"

namespace mirva::test {
namespace {

// Codes 65 and up ('A' ...) up to 128 as solid blocks 8 pixels high and 4 wide, the
// pen moving 6: four lit columns, then two dark ones.
void writeBlockFont(const std::string& path)
{
    FontImage font(8);
    font.fillTo(65);
    for (int code = 65; code <= 128; ++code)
        font.add(5, 8);
    font.save(path);
}

class TextEffects : public FrameTest {
protected:
    void SetUp() override
    {
        // 128 x 96: at depth 4 one unit is 16 pixels, at depth 1 it is 64.
        openScreen(128, 96);
        writeBlockFont("block.png");
    }

    // The lit rows of column x (any channel above `threshold`).
    static int litRows(const Picture& picture, int x, int threshold = 128)
    {
        int rows = 0;
        for (int y = 0; y < picture.height; ++y)
            rows += lit(picture.at(x, y), threshold);
        return rows;
    }
    // The height of the ink in column x in pixels, blur included: the blue channel summed
    // and divided by its peak.
    static double inkHeight(const Picture& picture, int x)
    {
        double sum = 0.0, peak = 0.0;
        for (int y = 0; y < picture.height; ++y) {
            const double blue = picture.at(x, y) & 0xFF;
            sum += blue;
            peak = std::max(peak, blue);
        }
        return peak > 0.0 ? sum / peak : 0.0;
    }
    // The runs of lit pixels along row y.
    static int litRuns(const Picture& picture, int y)
    {
        int runs = 0;
        bool previous = false;
        for (int x = 0; x < picture.width; ++x) {
            const bool now = lit(picture.at(x, y), 128);
            runs += now && !previous;
            previous = now;
        }
        return runs;
    }
    // The mean x of the lit pixels of row y.
    static double litCentre(const Picture& picture, int y)
    {
        double sum = 0.0;
        int count = 0;
        for (int x = 0; x < picture.width; ++x)
            if (lit(picture.at(x, y), 128)) {
                sum += x + 0.5;
                ++count;
            }
        return count ? sum / count : -1.0;
    }
    static bool lit(std::uint32_t pixel, int threshold)
    {
        return static_cast<int>(pixel >> 16 & 0xFF) > threshold || static_cast<int>(pixel >> 8 & 0xFF) > threshold ||
               static_cast<int>(pixel & 0xFF) > threshold;
    }

    inline static const std::string kHeader = "Enum Layers { BACK TEXT }\n"
                                           "Construct Clearer bg { Layer = BACK Enabled = true }\n";
};

// A blue line centred on the screen, its glyph 2 x 2 units at depth 4: a quad 32 pixels
// high.

std::string writerAt(float phase)
{
    return "Construct Writer w { Layer = TEXT Font = \"block.png\" MaxLines = 2 Speed = 0 Phase = " +
           std::to_string(phase) +
           " UsedLines = 1 l = 0 pos = 0, 0 size = 0.25, 0.25 col = 0, 0, 255 ref = CENTER txt = \"A\" "
           "Enabled = true }\nTimer 1:0:0 120 1.0\n";
}

TEST_F(TextEffects, WriterLineIsInvisibleAtPhaseZero)
{
    play(kHeader + writerAt(0.0f));
    const Picture picture = frame(0.5f);
    EXPECT_EQ(litRows(picture, 64, 2), 0);
}

TEST_F(TextEffects, WriterLineIsSettledInItsColourAtPhaseOne)
{
    play(kHeader + writerAt(1.0f));
    const Picture picture = frame(0.5f);
    EXPECT_COLOR(picture.at(64, 48), kBlue);
    EXPECT_GT(inkHeight(picture, 64), 28.0);
    EXPECT_LE(inkHeight(picture, 64), 32.0);
}

TEST_F(TextEffects, WriterLineFadesFromWhiteAndWobblesOnTheWay)
{
    // Phase 0.3: s = sin(0.15 pi) = 0.45399, alpha 115, the colour lifted by 140 to
    // (140, 140, 255), stretched by 1 + 15 (1 - s)^4 sin(100 s) = 2.3174.
    play(kHeader + writerAt(1.0f));
    const double settledHeight = inkHeight(frame(0.5f), 64);
    player.reset();
    play(kHeader + writerAt(0.3f));
    const Picture picture = frame(0.5f);
    // Blended over black: (140 * 115 / 255, 140 * 115 / 255, 255 * 115 / 255).
    EXPECT_PRED3([](std::uint32_t a, std::uint32_t b, int t) { return near(a, b, t); }, picture.at(64, 48),
                 0xFF3F3F73u, 3)
        << hex(picture.at(64, 48));
    EXPECT_NEAR(inkHeight(picture, 64) / settledHeight, 2.3174, 0.03);
    EXPECT_NEAR(WriterComponent::wobble(0.3f, 0), 2.3174034f, 1e-4);
    EXPECT_EQ(WriterComponent::fadedColor(0xFF0000FF, 0.3f, 0), 0x738C8CFFu);
}

TEST_F(TextEffects, WriterStartsEachLineHalfAPhaseAfterTheOneBefore)
{
    // At phase 1 line 1 is half way: t = 0.5, s = 0.70711, alpha 180, stretch 1.11036.
    EXPECT_EQ(WriterComponent::fadedColor(0xFF102030, 1.0f, 1), 0xB45B6B7Bu);
    EXPECT_NEAR(WriterComponent::wobble(1.0f, 1), 1.1103556f, 1e-4);
    EXPECT_EQ(WriterComponent::fadedColor(0xFF102030, 1.0f, 0), 0xFF102030u);
    EXPECT_FLOAT_EQ(WriterComponent::wobble(1.0f, 0), 1.0f);
    EXPECT_FLOAT_EQ(WriterComponent::wobble(0.0f, 0), 1.0f);
}

TEST_F(TextEffects, WriterPhaseMovesBySpeedPerSecond)
{
    play(kHeader +
         std::string("Construct Writer w { Layer = TEXT Font = \"block.png\" MaxLines = 1 Speed = 0.5 Enabled = true }\n"
                     "Timer 1:0:0 120 2.0\n"));
    frame(0.5f);   // constructed and drawn at phase 0
    frame(0.5f);
    const auto& writer = dynamic_cast<const WriterComponent&>(*player->instances()[1]);
    EXPECT_FLOAT_EQ(writer.phase(), 1.0f);   // two frames of 0.5 s, times 2, times 0.5
}

class Writer2Reveal : public TextEffects {
protected:
    // Two lines of solid blocks at phase `phase`: 10 characters at y = 1 (row 32), 6 at
    // y = -1 (row 64), one font pixel one screen pixel.
    Picture typedAt(float phase)
    {
        play(kHeader + "Construct Writer2 w { Layer = TEXT Font = \"block.png\" MaxLines = 2 Speed = 0 Phase = " +
             std::to_string(phase) +
             " l = 0 pos = -3.5, 1 size = 0.0625, 0.0625 col = 255, 255, 255 ref = 0 txt = \"AAAAAAAAAA\" "
             "Enabled = true }\nTimer 1:0:0 120 1.0\n"
             "0:0:0 Set w { l = 1 pos = -3.5, -1 size = 0.0625, 0.0625 col = 255, 255, 255 ref = 0 txt = \"AAAAAA\" }\n");
        return frame(0.5f);
    }
};

TEST_F(Writer2Reveal, ShowsTheRoundedPhaseOfCharactersLineAfterLine)
{
    const Picture early = typedAt(4.49f);   // rounds to 4: line 1 starts at 4
    EXPECT_EQ(litRuns(early, 32), 4);
    EXPECT_EQ(litRuns(early, 64), 0);
}

TEST_F(Writer2Reveal, TheNextLineStartsUpperAheadLater)
{
    const Picture middle = typedAt(7.4f);   // 7: line 0 has 7, line 1 has 3
    EXPECT_EQ(litRuns(middle, 32), 7);
    EXPECT_EQ(litRuns(middle, 64), 3);
}

TEST_F(Writer2Reveal, ALineStopsAtItsLength)
{
    const Picture late = typedAt(12.6f);   // 13: both lines complete
    EXPECT_EQ(litRuns(late, 32), 10);
    EXPECT_EQ(litRuns(late, 64), 6);
}

TEST_F(TextEffects, Writer2CharactersRollDownToTheirOwnCode)
{
    play(kHeader + std::string("Construct Writer2 w { Layer = TEXT Font = \"block.png\" MaxLines = 1 }\n"
                               "Timer 1:0:0 120 1.0\n"
                               "0:0:0 Set w { ChangeSpeed = 2.9 }\n"));
    frame(0.5f);
    auto& writer = dynamic_cast<Writer2Component&>(*player->instances()[1]);
    // Changing 4, ChangeSpeed 2 (2.9 truncated): at phase 1 the first character is
    // round((0 - 1 + 4) * 2) = 6 codes above its own; at phase 2 the second is 6 above.
    EXPECT_EQ(writer.shownText("AB", 0, 1.0f), "G");
    EXPECT_EQ(writer.shownText("AB", 0, 2.0f), "EH");
    EXPECT_EQ(writer.shownText("AB", 0, 9.0f), "AB");
    EXPECT_EQ(writer.shownText("~", 0, 1.0f), "\x80");   // past 127 stays at 128
    EXPECT_EQ(writer.shownText("AB", 1, 5.0f), "G");      // line 1 starts at UpperAhead
    EXPECT_EQ(writer.shownText(std::string(2000, 'A'), 0, 5000.0f), std::string(1023, 'A'));
}

TEST_F(TextEffects, Writer2WithChangeSpeedZeroTypesFinalCharacters)
{
    play(kHeader + std::string("Construct Writer2 w { Layer = TEXT Font = \"block.png\" MaxLines = 1 ChangeSpeed = 0 }\n"
                               "Timer 1:0:0 120 1.0\n"));
    frame(0.5f);
    const auto& writer = dynamic_cast<const Writer2Component&>(*player->instances()[1]);
    EXPECT_EQ(writer.shownText("HELLO", 0, 3.0f), "HEL");
}

TEST_F(TextEffects, Writer2BlendFollowsMulAddAndBlend)
{
    play(kHeader + std::string("Construct Writer2 w { Layer = TEXT Font = \"block.png\" MaxLines = 1 }\n"
                               "Timer 1:0:0 120 1.0\n"
                               "0:1:0 Set w { Blend = false }\n"
                               "0:2:0 Set w { Add = true }\n"
                               "0:3:0 Set w { Blend = true }\n"
                               "0:4:0 Set w { Mul = true }\n"));
    std::vector<int> blends;
    for (int row = 0; row <= 4; ++row) {
        frame(row == 0 ? 0.0f : 0.5f);
        blends.push_back(dynamic_cast<const Writer2Component&>(*player->instances()[1]).blend());
    }
    EXPECT_EQ(blends, (std::vector<int>{4, 0, 1, 64, 2}));   // BLEND COPY ADD BLENDADD MUL
}

TEST_F(TextEffects, Writer2RefOtherThanLeftCentreRightStops)
{
    play(kHeader + std::string("Construct Writer2 w { Layer = TEXT Font = \"block.png\" MaxLines = 1 ref = 3 }\n"
                               "Timer 1:0:0 120 1.0\n"));
    EXPECT_FATAL(frame(0.5f), "Writer ref: allowed values are 0 = left, 1 = center, 2 = right");
}

TEST_F(TextEffects, ScrollerMovesBySpeedFromItsPosition)
{
    play(kHeader + std::string("Construct Scroller s { Layer = TEXT Font = \"block.png\" Position = 0.25, 0 "
                               "Speed = -0.5 Text = \"AAA\" Size = 0.015625, 0.015625 Col = 255, 0, 0 "
                               "Enabled = true }\nTimer 1:0:0 120 1.0\n"));
    // Centred on x = 0.25 + phase at depth 1 (64 pixels a unit): the three blocks span
    // 4 + 6 + 6 = 16 pixels around the centre (the last column of the pen is empty).
    const Picture first = frame(0.5f);
    EXPECT_COLOR(first.at(static_cast<int>(64 + 16), 48), kRed);
    EXPECT_NEAR(litCentre(first, 48), 64 + 16 - 1, 1.0);
    frame(0.5f);
    const Picture third = frame(0.5f);   // phase -0.5 after two frames of 0.5 s
    EXPECT_NEAR(litCentre(third, 48), 64 + 16 - 32 - 1, 1.0);
}

TEST_F(TextEffects, ScrollerPhaseJumpsAndRestartsAtItsPosition)
{
    play(kHeader + std::string("Construct Scroller s { Layer = TEXT Font = \"block.png\" Position = 0, 0 "
                               "Speed = 0 Text = \"A\" Size = 0.015625, 0.015625 Enabled = true }\n"
                               "Timer 0:4:0 120 1.0\n"
                               "0:2:0 Set s { Phase = -0.5 }\n"));
    const Picture before = frame(0.5f);
    while (player->previousTime() < (2 << 8))
        frame(0.5f);
    const Picture jumped = frontBuffer(device());
    EXPECT_NEAR(litCentre(jumped, 48) - litCentre(before, 48), -32.0, 0.5);
    while (player->restarts() == 0)
        frame(0.5f);
    const Picture again = frame(0.5f);
    EXPECT_NEAR(litCentre(again, 48), litCentre(before, 48), 0.5);
}

}  // namespace
}  // namespace mirva::test
