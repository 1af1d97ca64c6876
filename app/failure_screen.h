#pragma once
// FailureScreen: what `mirva play --watch` shows while the script it plays does not load
// or stops on an error: the last good frame as it was, and over its top a dark band
// with the error message (wrapped to the screen's width) and how to go on.
//
// Needs a screen mode. The text is drawn in the info overlay's font from the working
// folder; without that font the band stays empty (the message is on the console and in
// the window title all the same).
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/camera.h"
#include "engine/material.h"

namespace mirva {

class InfoOverlay;
class Surface;
class TexturedQuad;

class FailureScreen {
public:
    // The texture that holds the last good frame while the screen exists.
    static constexpr const char* kFrameTexture = "play: the last good frame";
    // The line under the message.
    static constexpr const char* kHint = "save a file of the show to try again";

    // `lastFrame` null or empty: a black screen under the band.
    FailureScreen(const Surface* lastFrame, const std::string& message);
    ~FailureScreen();
    FailureScreen(const FailureScreen&) = delete;
    FailureScreen& operator=(const FailureScreen&) = delete;

    // Draws and presents one frame.
    void draw();
    // The band's lines: the message cut into lines that fit the screen, then the hint.
    const std::vector<std::string>& lines() const { return lines_; }

private:
    Camera camera_;
    Material bandMaterial_;
    std::unique_ptr<TexturedQuad> frame_;  // null without a last frame
    std::unique_ptr<TexturedQuad> band_;
    std::unique_ptr<InfoOverlay> text_;    // null without the font
    std::vector<std::string> lines_;
};

// `text` cut at spaces (or inside a word longer than a line) into lines of at most
// `width` as `measure` counts; line breaks in the text are kept.
std::vector<std::string> wrapText(const std::string& text, float width,
                                  const std::function<float(const std::string&)>& measure);

}  // namespace mirva
