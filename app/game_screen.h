#pragma once
// The game screen: what game mode shows of the falling-block game.
//
// The board is one small texture, `brikka`, with one texel per grid cell (row 0 at the
// top), stretched over a tall quad in the middle of the screen with point sampling; a
// column of labels and numbers stands on the left and the game's message on the right.
//
// Order of one game-mode frame (GameScreen::frame): the camera's beginScene and clear,
// identity placement and view, the game's update with twice the frame seconds, the board
// texture, the board quad and the texts (drawn by the application's `Decoration`, which
// owns the board material, quad and font), endScene, flip.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/brikka.h"
#include "app/keys.h"
#include "io/surface.h"

namespace mirva {

class Camera;

constexpr const char* kBoardTexture = "brikka";
constexpr float kBoardHalfWidth = 0.25f;  // the quad is 0.5 x 2.0, the board's 1 : 4
constexpr float kBoardHalfHeight = 1.0f;
constexpr float kGameScreenDepth = 1.4f;  // camera-space depth of the quad and the texts
constexpr std::uint32_t kGameScreenClearColor = 0xFFC08000;  // red 192, green 128, blue 0
constexpr float kGameScreenTextScale = 0.003f;
constexpr float kGameScreenTextSpacing = -10.0f;

// Opaque colours by grid value: 0 empty (black), kind + 1 for the pieces.
constexpr std::uint32_t kBoardColors[8] = {0xFF000000, 0xFFFFFF00, 0xFF00FFFF, 0xFFFF0000,
                                           0xFF0000FF, 0xFF00FF00, 0xFFFF00FF, 0xFFFFFFFF};

// Writes the board into 32-bit texels, `pitch` bytes from row to row: the grid, then the
// falling piece's cells that lie on the board. At most `width` x `height` texels are
// written.
void drawBoard(const Brikka& game, void* texels, int pitch, int width, int height);
// The same into a surface (tests, screenshots).
void drawBoard(const Brikka& game, Surface& surface);
// The same into the named texture of the texture table, through its lock.
void drawBoardTexture(const Brikka& game, const std::string& textureName);

// One text beside the board, at (x, y) in camera space at kGameScreenDepth, left-aligned.
struct GameScreenText {
    float x, y;
    std::string text;
    bool operator==(const GameScreenText&) const = default;
};
// The labels with their numbers, then the game's message (left out when empty).
std::vector<GameScreenText> gameScreenTexts(const Brikka& game);

class GameScreen {
public:
    // Draws the board quad and the texts for the game: the application supplies it, as it
    // owns the board material, the quad and the font.
    using Decoration = std::function<void(Camera& camera, const Brikka& game)>;

    GameScreen(Camera& camera, Brikka& game, Decoration decoration = nullptr);
    // One game-mode frame; the game runs at twice the wall-clock speed.
    void frame(float frameSeconds, const KeyStates& keys);

private:
    Camera& camera_;
    Brikka& game_;
    Decoration decoration_;
};

}  // namespace mirva
