#include "components/flic_decompress.h"

#include <cstring>

#include "engine/texture.h"
#include "io/console.h"
#include "io/flic_player.h"

namespace mirva {

namespace {

// Frame seconds are floats and never quite the fractions they stand for (five updates of
// 0.02 s make a little less than 0.1 s): a frame is due this much of a frame early.
constexpr double kFrameTolerance = 1e-4;

// A clock more frames behind than this (a huge FPS, or steps lost to the float's
// precision) stops catching up and starts again from now.
constexpr int kMostStepsBehind = 1000;

}  // namespace

FlicDecompressComponentType::FlicDecompressComponentType()
    : ComponentTypeFor("FlicDecompress", "FlicDecompress decompresses a flic animation to be shown for example with sprite")
{
    declareConstructionParameter(FlicDecompressVariable::Flic, ValueType::String, "Flic");
    declareParameter(FlicDecompressVariable::FPS, ValueType::Float, "FPS");
}

FlicDecompressComponent::FlicDecompressComponent(const ComponentType& type) : Component(type)
{
    fps_.type = ValueType::Float;
    fps_.setFloat(30.0f);
}

FlicDecompressComponent::~FlicDecompressComponent() = default;

void FlicDecompressComponent::construct()
{
    resetBase();
    player_ = std::make_unique<FlicPlayer>();
    player_->load(file_);
    const bool valid = player_->loaded();
    const int width = valid ? player_->width() : 1, height = valid ? player_->height() : 1;
    Texture::create(file_, width, height, TextureEntry::A4R4G4B4, false);
    // A texture of that name made before (another animation, a render target) is only
    // counted again; the frames are decoded into it only when they fit it exactly.
    const TextureEntry& entry = Texture::getD3DSurface(file_);
    if (entry.format != TextureEntry::A4R4G4B4 || entry.width != width || entry.height != height) {
        Texture::release(file_);
        player_.reset();
        Console::fatal(formatText("FlicDecompress: texture '%s' exists already, not as a %d x %d A4R4G4B4 texture",
                                  file_.c_str(), width, height));
    }
    decodeIntoTexture(true);
    elapsed_ = 0.0;
    shown_ = 0.0;
}

void FlicDecompressComponent::destruct()
{
    if (!player_)
        return;
    Texture::release(file_);
    player_.reset();
}

void FlicDecompressComponent::variableHook(const Variable& record)
{
    switch (record.identifier) {
    case FlicDecompressVariable::Flic: file_ = record.readString(); break;
    case FlicDecompressVariable::FPS: fps_.assign(record); break;
    default: break;
    }
}

void FlicDecompressComponent::decodeIntoTexture(bool clearFirst)
{
    int pitch = 0;
    auto* pixels = static_cast<std::uint8_t*>(Texture::lock(file_, 0, pitch));
    // Texture memory starts undefined; what the first frame leaves out stays transparent.
    if (clearFirst) {
        const TextureEntry& entry = Texture::getD3DSurface(file_);
        for (int y = 0; y < entry.height; ++y)
            std::memset(pixels + static_cast<std::ptrdiff_t>(y) * pitch, 0, static_cast<std::size_t>(entry.width) * 2);
    }
    player_->decodeFrame(pixels, pitch);
    Texture::unlock(file_, 0);
}

void FlicDecompressComponent::update(Camera& /*camera*/, float seconds)
{
    elapsed_ += seconds;
    fps_.advance(seconds);
    const double fps = fps_.readFloat();
    // Written so that an FPS of 0, below 0 or not a number decodes nothing.
    const auto frameDue = [&] { return (elapsed_ - shown_) * fps >= 1.0 - kFrameTolerance; };
    if (!(fps > 0.0) || !frameDue())
        return;
    decodeIntoTexture(false);
    const double step = 1.0 / fps;
    for (int steps = 0; frameDue(); ++steps) {
        if (steps == kMostStepsBehind) {
            shown_ = elapsed_;
            break;
        }
        shown_ += step;
    }
}

}  // namespace mirva
