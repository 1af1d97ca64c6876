#include "app/application.h"

#include "app/brikka.h"
#include "app/game_screen.h"
#include "engine/bitmap_font.h"
#include "engine/camera.h"
#include "engine/dx_driver.h"
#include "engine/engine_state.h"
#include "engine/material.h"
#include "engine/primitive.h"
#include "engine/texture.h"
#include "io/phile.h"
#include "player/script_player.h"

namespace mirva {

namespace {

constexpr float kStartUpTextDepth = 0.12f;
constexpr float kStartUpTextScale = 0.002f;
constexpr int kCentred = 4;
constexpr int kTopLeft = 0;

// The board quad: half-width 0.25, half-height 1.0 around its origin, facing the camera,
// wound clockwise on the screen; texture row 0 along the top edge.
std::unique_ptr<Primitive> makeBoardQuad(Material& material)
{
    auto quad = std::make_unique<Primitive>(Primitive::TRIANGLELIST, 6, 4);
    const float w = kBoardHalfWidth, h = kBoardHalfHeight;
    const Primitive::Vertex corners[4] = {
        {.x = -w, .y = h, .nz = -1, .diffuse = 0xFFFFFFFF, .u = 0, .v = 0},
        {.x = w, .y = h, .nz = -1, .diffuse = 0xFFFFFFFF, .u = 1, .v = 0},
        {.x = w, .y = -h, .nz = -1, .diffuse = 0xFFFFFFFF, .u = 1, .v = 1},
        {.x = -w, .y = -h, .nz = -1, .diffuse = 0xFFFFFFFF, .u = 0, .v = 1},
    };
    std::span<Primitive::Vertex> vertices = quad->vertices();
    for (int i = 0; i < 4; ++i)
        vertices[static_cast<std::size_t>(i)] = corners[i];
    const WORD indices[6] = {0, 1, 2, 0, 2, 3};
    std::span<WORD> target = quad->indices();
    for (int i = 0; i < 6; ++i)
        target[static_cast<std::size_t>(i)] = indices[i];
    quad->setMaterial(&material);
    return quad;
}

}  // namespace

Application::Application(bool recordUsedFiles, const std::string& scriptFile)
{
    if (recordUsedFiles && !Phile::isRecording())
        Phile::enableUsedFiles();

    font_ = std::make_unique<BitmapFont>(kFontFile);
    font_->material().filter = Material::POINTSAMPLING;
    font_->spacing = kGameScreenTextSpacing;

    camera_ = std::make_unique<Camera>();
    camera_->depthMode = Camera::DEPTH_TEST_AND_WRITE;
    camera_->farPlane = 1000.0f;

    drawStartUpScreen();
    font_->horizontalScale = font_->verticalScale = kGameScreenTextScale;

    boardMaterial_ = std::make_unique<Material>(Material::TEXTURE, Material::COPY);
    boardMaterial_->filter = Material::POINTSAMPLING;
    boardMaterial_->createTexture(kBoardTexture, kBoardColumns, kBoardRows, TextureEntry::A8R8G8B8, false);
    boardQuad_ = makeBoardQuad(*boardMaterial_);

    game_ = std::make_unique<Brikka>(kBoardColumns, kBoardRows);
    gameScreen_ = std::make_unique<GameScreen>(
        *camera_, *game_, [this](Camera& camera, const Brikka& game) { decorate(camera, game); });

    scriptPlayer_ = std::make_unique<ScriptPlayer>(scriptFile);
}

Application::~Application()
{
    gameScreen_.reset();
    camera_.reset();
    scriptPlayer_.reset();  // frees the sound library
    boardMaterial_.reset();
    boardQuad_.reset();
    font_.reset();
    game_.reset();
    shutDownEngine();
}

void Application::drawStartUpScreen()
{
    // Three times, so that every back buffer shows it while the game and the script load.
    for (int i = 0; i < 3; ++i) {
        camera_->beginScene();
        camera_->clear(kStartUpColor, true, true, 1.0f);
        font_->transformation = camera_->placement.withTranslationAt(0.0f, 0.0f, kStartUpTextDepth);
        font_->horizontalScale = font_->verticalScale = kStartUpTextScale;
        font_->drawString(*camera_, kCentred, kStartUpText);
        camera_->endScene();
        flip();
    }
}

void Application::frame(float seconds, const KeyStates& keys, bool& gameMode)
{
    if (keys[vk::KEY_9])
        gameMode = false;
    if (keys[vk::KEY_0])
        gameMode = true;
    if (gameMode)
        gameScreen_->frame(seconds, keys);
    else
        scriptPlayer_->frameUpdate(seconds);
}

void Application::decorate(Camera& camera, const Brikka& game)
{
    boardQuad_->transformation = camera.placement.withTranslationAt(0.0f, 0.0f, kGameScreenDepth);
    boardQuad_->draw(camera);
    for (const GameScreenText& text : gameScreenTexts(game)) {
        font_->transformation = camera.placement.withTranslationAt(text.x, text.y, kGameScreenDepth);
        font_->drawString(camera, kTopLeft, text.text);
    }
}

}  // namespace mirva
