#pragma once
// InfoOverlay: the text that info mode (a script that begins with `Info`) draws over
// every frame: the frame rate, the texture memory, the script time and one line per
// visible instance, in the default font on a grid of text cells.
//
// A cell is one font height of a 640 x 480 screen, both ways, at depth 1 in front of the
// camera; the grid starts at the top-left corner of the camera's initial view. Made only
// when a screen mode is set: the font is a texture.
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "engine/bitmap_font.h"
#include "script/script_time.h"

namespace mirva {

class Camera;
class Component;

class InfoOverlay {
public:
    static constexpr const char* kFontFile = "fonts/defaultfont.png";

    // Loads the font and lays the grid out over the camera's initial fields of view.
    explicit InfoOverlay(const Camera& camera);

    // Sets the camera to the overlay's own view (identity placement, the whole screen,
    // no depth test) and draws the overlay's lines; `instances` in layer order.
    void draw(Camera& camera, float fps, Time time, const std::vector<std::unique_ptr<Component>>& instances);
    // One line of text with its top-left corner at a grid cell, through the camera as it
    // is set up.
    void print(Camera& camera, int column, int row, const std::string& text);
    // The overlay's own view: identity placement, the whole screen, the initial fields of
    // view, no depth test.
    static void setUpCamera(Camera& camera);

    // Origin x, origin y, column step, row step, in camera space at depth 1.
    const std::array<float, 4>& grid() const { return grid_; }
    BitmapFont& font() { return font_; }

private:
    BitmapFont font_;
    std::array<float, 4> grid_{};
};

// "oo:rr:dd": order, row and decimals of a time, each with at least two digits.
std::string infoTimeText(Time time);

}  // namespace mirva
