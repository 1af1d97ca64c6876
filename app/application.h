#pragma once
// Application: everything the program builds once a screen mode is set, and the frame
// that shows either the script (demo mode) or the falling-block game (game mode).
//
// Construction is "initialise application", in this order: the used-files list (when
// asked), the app font with point sampling and -10 spacing, the app camera, the start-up
// screen ("kolu" on orange, drawn into every back buffer while the rest loads), the board
// material with its texture `brikka`, the board quad, the game (it reads the high scores)
// and last the script player for the show's script. Destruction is "shut down
// application": the camera, the script player, the board material, the board quad, the
// font, the game, then what the engine holds for a show (every named texture, the open
// scene, the text pen: shutDownEngine), so a rebuild (F1, resize) starts from nothing.
//
// The program owns one at a time and rebuilds it whole; the game mode flag lives with the
// program, so a rebuild keeps the mode the user chose.
#include <cstdint>
#include <memory>
#include <string>

#include "app/keys.h"

namespace mirva {

class BitmapFont;
class Brikka;
class Camera;
class GameScreen;
class Material;
class Primitive;
class ScriptPlayer;

class Application {
public:
    static constexpr const char* kFontFile = "fonts/digitala.png";
    static constexpr const char* kScriptFile = "scripts/deriravedivido.txt";
    static constexpr const char* kStartUpText = "kolu";
    static constexpr std::uint32_t kStartUpColor = 0xFFFF8000;  // red 255, green 128, blue 0
    static constexpr int kBoardColumns = 8;
    static constexpr int kBoardRows = 32;

    // Needs a screen mode. `recordUsedFiles` switches the used-files list on (-usedfiles);
    // a list already recording goes on, so it covers the whole run across rebuilds.
    Application(bool recordUsedFiles, const std::string& scriptFile = kScriptFile);
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // One frame of `seconds`: '9' down chooses demo mode, then '0' down game mode (both
    // down: game mode). Demo mode runs the script player's frame update; game mode draws
    // the game screen, which advances the game, and leaves the script alone.
    void frame(float seconds, const KeyStates& keys, bool& gameMode);

    BitmapFont& font() { return *font_; }
    Camera& camera() { return *camera_; }
    Brikka& game() { return *game_; }
    ScriptPlayer& scriptPlayer() { return *scriptPlayer_; }
    Material& boardMaterial() { return *boardMaterial_; }
    Primitive& boardQuad() { return *boardQuad_; }

private:
    void drawStartUpScreen();
    // The game screen's board quad and texts.
    void decorate(Camera& camera, const Brikka& game);

    std::unique_ptr<BitmapFont> font_;
    std::unique_ptr<Camera> camera_;
    std::unique_ptr<Material> boardMaterial_;
    std::unique_ptr<Primitive> boardQuad_;
    std::unique_ptr<Brikka> game_;
    std::unique_ptr<GameScreen> gameScreen_;
    std::unique_ptr<ScriptPlayer> scriptPlayer_;
};

}  // namespace mirva
