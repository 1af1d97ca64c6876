#include "app/failure_screen.h"

#include <cmath>
#include <filesystem>

#include "components/textured_quad.h"
#include "engine/dx_driver.h"
#include "engine/texture.h"
#include "io/surface.h"
#include "player/info_overlay.h"

namespace mirva {

namespace {

// The band's text fits a 640-pixel line with a few pixels to spare.
constexpr float kLineWidth = 632.0f;
constexpr D3DCOLOR kBandColor = 0xC0000000;

}  // namespace

std::vector<std::string> wrapText(const std::string& text, float width,
                                  const std::function<float(const std::string&)>& measure)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line;
        for (std::size_t at = start; at < end;) {
            const std::size_t space = std::min(text.find(' ', at), end);
            const std::string word = text.substr(at, space - at);
            const std::string joined = line.empty() ? word : line + " " + word;
            if (measure(joined) <= width || line.empty()) {
                line = joined;
            } else {
                lines.push_back(line);
                line = word;
            }
            // A word wider than a line is cut where it stops fitting.
            while (line.size() > 1 && measure(line) > width) {
                std::size_t fits = line.size() - 1;
                while (fits > 1 && measure(line.substr(0, fits)) > width)
                    --fits;
                lines.push_back(line.substr(0, fits));
                line.erase(0, fits);
            }
            at = space + 1;
        }
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

FailureScreen::FailureScreen(const Surface* lastFrame, const std::string& message)
    : bandMaterial_(Material::DIFFUSE, Material::BLEND)
{
    InfoOverlay::setUpCamera(camera_);
    const float halfWidth = std::tan(camera_.horizontalFov / 2.0f);
    const float halfHeight = std::tan(camera_.verticalFov / 2.0f);
    if (lastFrame && lastFrame->width() > 0 && lastFrame->height() > 0) {
        Texture::createFromSurface(kFrameTexture, *lastFrame, TextureEntry::A8R8G8B8, false);
        frame_ = std::make_unique<TexturedQuad>(kFrameTexture, TextureEntry::A8R8G8B8);
        frame_->material().filter = Material::BILINEAR;
        frame_->material().textureAddress = Material::CLAMP;
        frame_->setHalfSize(halfWidth, halfHeight);
        frame_->setTransformation(Transformation::identity().withTranslationAt(0.0f, 0.0f, 1.0f));
        Texture::release(kFrameTexture);  // the quad holds its own reference
    }

    // Without the font there is no text, but the band still says that something is wrong.
    if (std::filesystem::is_regular_file(InfoOverlay::kFontFile)) {
        try {
            text_ = std::make_unique<InfoOverlay>(camera_);
        } catch (...) {
            text_.reset();
        }
    }
    const auto measure = [this](const std::string& line) { return text_ ? text_->font().textWidth(line) : 0.0f; };
    lines_ = wrapText(message, kLineWidth, measure);
    lines_.push_back(kHint);

    const float rowHeight = text_ ? -text_->grid()[3] : halfHeight / 15.0f;
    const float bandHalf = rowHeight * (static_cast<float>(lines_.size()) + 0.5f) / 2.0f;
    bandMaterial_.culling = Material::NOCULLING;
    band_ = std::make_unique<TexturedQuad>(bandMaterial_);
    band_->setDiffuse(kBandColor);
    band_->setHalfSize(halfWidth, bandHalf);
    band_->setTransformation(Transformation::identity().withTranslationAt(0.0f, halfHeight - bandHalf, 1.0f));
}

FailureScreen::~FailureScreen() = default;

void FailureScreen::draw()
{
    camera_.beginScene();
    camera_.clear(0xFF000000, true, true, 1.0f);
    if (frame_)
        frame_->draw(camera_);
    band_->draw(camera_);
    if (text_) {
        for (std::size_t row = 0; row < lines_.size(); ++row)
            text_->print(camera_, 0, static_cast<int>(row), lines_[row]);
    }
    camera_.endScene();
    flip();
}

}  // namespace mirva
