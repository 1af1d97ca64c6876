// The texture table: sharing by name, memory figures, locking, mip chains, registered
// render targets, and the messages for unknown names.
#include <cstring>

#include <gtest/gtest.h>

#include "engine/render_target.h"
#include "engine/texture.h"
#include "platform/d3d8/simulation.h"
#include "tests/engine/engine_fixture.h"
#include "tests/support/fatal.h"
#include "tests/support/files.h"
#include "tests/support/png_writer.h"

namespace mirva::test {
namespace {

using TextureTable = EngineTest;

// A PNG image: top half red, bottom half blue.
std::string writeImage(const TempDir& dir, const std::string& name, int width, int height)
{
    PngSpec desc;
    desc.width = width;
    desc.height = height;
    desc.colorType = 2;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const bool top = y < height / 2;
            desc.samples.insert(desc.samples.end(), {std::uint16_t(top ? 255 : 0), 0, std::uint16_t(top ? 0 : 255)});
        }
    const std::string path = dir.file(name);
    writePng(path, desc);
    return path;
}

TEST_F(TextureTable, ANameLoadedTwiceLivesUntilReleasedTwice)
{
    TempDir dir;
    const std::string path = writeImage(dir, "maps.png", 256, 256);
    Texture::load(path, 0, true);
    const int oneTexture = Texture::textureMemory();
    EXPECT_EQ(oneTexture, 349525);  // 256 * 256 * 4 * 4/3, truncated
    Texture::load(path, 1, false);  // known: only counted
    EXPECT_EQ(Texture::textureMemory(), oneTexture);
    EXPECT_EQ(Texture::getD3DSurface(path).referenceCount, 2);
    EXPECT_EQ(Texture::getD3DSurface(path).format, 0);
    Texture::release(path);
    EXPECT_TRUE(Texture::exists(path));
    EXPECT_EQ(Texture::textureMemory(), oneTexture);
    Texture::release(path);
    EXPECT_FALSE(Texture::exists(path));
    EXPECT_EQ(Texture::textureMemory(), 0);
}

TEST_F(TextureTable, NamesDifferingInCaseAreDifferentTextures)
{
    Texture::create("Sky", 4, 4, 0, false);
    Texture::create("sky", 4, 4, 0, false);
    EXPECT_NE(Texture::getD3DSurface("Sky").texture(), Texture::getD3DSurface("sky").texture());
    EXPECT_EQ(Texture::textureMemory(), 2 * 64);
}

TEST_F(TextureTable, MemoryFiguresFollowFormatAndMipmaps)
{
    Texture::create("a", 256, 256, 0, true);
    EXPECT_EQ(Texture::textureMemory(), 349525);
    Texture::create("b", 256, 256, 0, false);
    EXPECT_EQ(Texture::textureMemory(), 349525 + 262144);
    Texture::create("c", 256, 256, 1, false);
    EXPECT_EQ(Texture::textureMemory(), 349525 + 262144 + 131072);
    Texture::create("d", 256, 256, 2, false);
    EXPECT_EQ(Texture::textureMemory(), 349525 + 262144 + 2 * 131072);
    EXPECT_EQ(Texture::levelCount("a"), 9);
    EXPECT_EQ(Texture::levelCount("b"), 1);
    Texture::releaseAll();
    EXPECT_EQ(Texture::textureMemory(), 0);
    EXPECT_FALSE(Texture::exists("a"));
}

TEST_F(TextureTable, UnknownNamesEndTheProgramWithTheirMessages)
{
    EXPECT_FATAL(Texture::release("maps/never.png"), "(Texture::release) Texture 'maps/never.png' doesn't exist");
    EXPECT_FATAL(Texture::getD3DSurface("maps/never.png"), "(getD3DSurface) Texture 'maps/never.png' doesn't exist");
    EXPECT_FATAL(Texture::load("maps/missing.png", 0, false), "couldn't load 'maps/missing.png'");
    EXPECT_FATAL(Texture::create("odd", 4, 4, 7, false), "Texture: unknown format code 7 for 'odd'");
    EXPECT_FALSE(Texture::exists("odd"));
}

TEST_F(TextureTable, SizesTheDeviceCantTakeAreRefusedNotCutDown)
{
    d3dSimulation().largestTexture = 64;
    openScreen(64, 48);
    Texture::create("edge", 64, 64, 0, true);
    D3DSURFACE_DESC desc;
    Texture::getD3DSurface("edge").texture()->GetLevelDesc(0, &desc);
    EXPECT_EQ(desc.Width, 64u);
    struct Case {
        int width, height;
        const char* message;
    };
    for (const Case& c : {Case{65, 1, "Texture: 'big' is 65 x 1 pixels, larger than the 64 x 64 the device can use"},
                          Case{1, 2000000000, "Texture: 'big' is 1 x 2000000000 pixels, larger than the 64 x 64 the "
                                              "device can use"},
                          Case{0, 4, "Texture: 'big' would be 0 x 4 pixels; a texture has at least 1 x 1"},
                          Case{4, -3, "Texture: 'big' would be 4 x -3 pixels; a texture has at least 1 x 1"}}) {
        EXPECT_FATAL(Texture::create("big", c.width, c.height, 0, false), c.message);
        EXPECT_FALSE(Texture::exists("big"));
    }
    // An image is held to the device's size as it loads, before its pixels are made.
    TempDir dir;
    const std::string path = writeImage(dir, "wide.png", 65, 2);
    EXPECT_FATAL(Texture::load(path, 0, false),
                 "Surface: image '" + path + "' is 65 x 2 pixels, larger than the 64 x 64 the device can use");
}

TEST_F(TextureTable, LoadedImagesAreUpright)
{
    TempDir dir;
    const std::string path = writeImage(dir, "halves.png", 8, 8);
    Texture::load(path, 0, true);
    drawTexture(Texture::getD3DSurface(path).texture());
    const Picture picture = flipAndRead();
    EXPECT_COLOR(picture.at(30, 5), 0xFFFF0000u);
    EXPECT_COLOR(picture.at(30, 42), 0xFF0000FFu);
}

TEST_F(TextureTable, LockedLevelsHaveARowPitchAndShowWhatWasWritten)
{
    Texture::create("pattern", 3, 2, 1, false);  // R5G6B5: 6 bytes a row, padded to 8
    int pitch = 0;
    auto* bits = static_cast<BYTE*>(Texture::lock("pattern", 0, pitch));
    EXPECT_EQ(pitch, 8);
    const WORD red = 31 << 11, green = 63 << 5;
    for (int x = 0; x < 3; ++x) {
        std::memcpy(bits + x * 2, &red, 2);
        std::memcpy(bits + pitch + x * 2, &green, 2);
    }
    Texture::unlock("pattern", 0);
    drawTexture(Texture::getD3DSurface("pattern").texture());
    const Picture picture = flipAndRead();
    EXPECT_COLOR(picture.at(30, 5), 0xFFFF0000u);
    EXPECT_COLOR(picture.at(30, 42), 0xFF00FF00u);
}

TEST_F(TextureTable, MipChainsAreBoxFilteredFromTheImage)
{
    Surface image(2, 2);
    image.setPixel(0, 0, 0xFF000000);
    image.setPixel(1, 0, 0xFFFF0000);
    image.setPixel(0, 1, 0xFFFF0000);
    image.setPixel(1, 1, 0xFFFF0000);
    Texture::createFromSurface("chain", image, 0, true);
    ASSERT_EQ(Texture::levelCount("chain"), 2);
    int pitch = 0;
    D3DCOLOR level1 = 0;
    std::memcpy(&level1, Texture::lock("chain", 1, pitch), 4);
    Texture::unlock("chain", 1);
    EXPECT_EQ(level1, 0xFFBF0000u);  // red (0 + 3 * 255) / 4 = 191.25
}

TEST_F(TextureTable, ARegisteredRenderTargetReplacesTheEntryAndCountsNoMemory)
{
    Texture::create("screen", 16, 16, 0, false);
    const int before = Texture::textureMemory();
    RenderTarget target(32, 32, false, false);
    Texture::registerRenderTarget("screen", target);
    const TextureEntry& entry = Texture::getD3DSurface("screen");
    EXPECT_EQ(entry.format, 3);
    EXPECT_EQ(entry.referenceCount, 1);
    EXPECT_EQ(entry.memorySize, 0);
    EXPECT_EQ(entry.width, 32);
    EXPECT_EQ(entry.texture(), target.texture());
    EXPECT_EQ(Texture::textureMemory(), before);
    Texture::release("screen");
    EXPECT_FALSE(Texture::exists("screen"));
    EXPECT_EQ(Texture::textureMemory(), before);
    ASSERT_NE(target.texture(), nullptr);
    EXPECT_EQ(target.texture()->GetLevelCount(), 1u);  // the target's texture lives on
}

TEST_F(TextureTable, ATextureReplacedByARenderTargetIsReleasedWithAllTheOthers)
{
    Texture::create("screen", 16, 16, 0, false);
    IDirect3DTexture8* old = Texture::getD3DSurface("screen").texture();
    {
        RenderTarget target(16, 16, false, false);
        Texture::registerRenderTarget("screen", target);
        EXPECT_EQ(old->GetLevelCount(), 1u);  // still usable by whoever holds it
        Texture::release("screen");
    }
    Texture::releaseAll();
    // Nothing is left holding the device.
    EXPECT_EQ(restoreScreenModeLog(), "");
}

TEST_F(TextureTable, AnEntryOfADestroyedRenderTargetYieldsNoTexture)
{
    {
        RenderTarget target(16, 16, false, false);
        Texture::registerRenderTarget("gone", target);
    }
    EXPECT_EQ(Texture::getD3DSurface("gone").texture(), nullptr);
    Texture::release("gone");
}

}  // namespace
}  // namespace mirva::test
