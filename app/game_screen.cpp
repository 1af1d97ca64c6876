#include "app/game_screen.h"

#include <algorithm>
#include <cstring>

#include "engine/camera.h"
#include "engine/dx_driver.h"
#include "engine/texture.h"
#include "io/console.h"

namespace mirva {

void drawBoard(const Brikka& game, void* texels, int pitch, int width, int height)
{
    const int columns = std::min(width, game.columns()), rows = std::min(height, game.rows());
    auto* bytes = static_cast<unsigned char*>(texels);
    const auto put = [&](int x, int y, std::uint32_t color) {
        std::memcpy(bytes + static_cast<std::ptrdiff_t>(y) * pitch + static_cast<std::ptrdiff_t>(x) * 4, &color, 4);
    };
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < columns; ++x)
            put(x, y, kBoardColors[game.cell(x, y)]);
    // The piece's cells off the board are skipped: a piece partly above the top shows
    // what is visible, and the waiting piece (placed left of the board) shows nothing.
    for (const Brikka::Cell& c : Brikka::shape(game.kind(), game.rotation())) {
        const int x = game.x() + c.dx, y = game.y() + c.dy;
        if (x >= 0 && x < columns && y >= 0 && y < rows)
            put(x, y, kBoardColors[game.kind() + 1]);
    }
}

void drawBoard(const Brikka& game, Surface& surface)
{
    drawBoard(game, surface.pixels(), surface.width() * 4, surface.width(), surface.height());
}

void drawBoardTexture(const Brikka& game, const std::string& textureName)
{
    const TextureEntry& entry = Texture::getD3DSurface(textureName);
    int pitch = 0;
    void* texels = Texture::lock(textureName, 0, pitch);
    drawBoard(game, texels, pitch, entry.width, entry.height);
    Texture::unlock(textureName, 0);
}

std::vector<GameScreenText> gameScreenTexts(const Brikka& game)
{
    const auto number = [](int value) { return formatText("%d", value); };
    std::vector<GameScreenText> texts = {
        {-1.4f, 0.0f, "score"},   {-0.9f, 0.0f, number(game.score())},
        {-1.4f, -0.15f, "lines"}, {-0.9f, -0.15f, number(game.lines())},
        {-1.4f, -0.3f, "level"},  {-0.9f, -0.3f, number(game.level())},
        {-1.4f, -0.45f, "hiscr"}, {-0.9f, -0.45f, number(game.highScore())},
        {-1.4f, -0.6f, "hilns"},  {-0.9f, -0.6f, number(game.highLines())},
    };
    if (!game.message().empty())
        texts.push_back({0.35f, 0.0f, game.message()});
    return texts;
}

GameScreen::GameScreen(Camera& camera, Brikka& game, Decoration decoration)
    : camera_(camera), game_(game), decoration_(std::move(decoration))
{
}

void GameScreen::frame(float frameSeconds, const KeyStates& keys)
{
    camera_.beginScene();
    camera_.clear(kGameScreenClearColor, true, true, 1.0f);
    camera_.placement = Transformation::identity();
    camera_.view = Transformation::identity();
    game_.update(2.0f * frameSeconds, keys);
    drawBoardTexture(game_, kBoardTexture);
    if (decoration_)
        decoration_(camera_, game_);
    camera_.endScene();
    flip();
}

}  // namespace mirva
