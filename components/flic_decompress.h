#pragma once
// FlicDecompress: plays an FLC animation into a texture named by the file, for sprites and
// materials to show.
//
// Construct loads the file named by Flic, creates the A4R4G4B4 texture of that name (the
// animation's size, no mipmaps) and decodes the first frame into it. Every update then
// decodes at most one frame, at FPS frames a second of the instance's own clock (FPS may
// be an envelope): when updates come slower than that, the animation plays slower rather
// than skipping frames. An FPS of 0 or less holds the picture.
//
// A file that is not an FLC gets a 1 x 1 fully transparent texture, so that whatever names
// it draws nothing; a broken FLC ends the program with the player's message.
#include <cstdint>
#include <memory>
#include <string>

#include "components/component.h"
#include "components/component_type.h"

namespace mirva {

class FlicPlayer;

// Identifiers of the FlicDecompress's own variables.
namespace FlicDecompressVariable {
enum : std::int32_t {
    Flic = 0,
    FPS = 1,
};
}

class FlicDecompressComponent final : public Component {
public:
    explicit FlicDecompressComponent(const ComponentType& type);
    ~FlicDecompressComponent() override;
    void construct() override;
    void destruct() override;
    void update(Camera& camera, float seconds) override;
    void variableHook(const Variable& record) override;

    const FlicPlayer* player() const { return player_.get(); }

private:
    // Decodes the player's next frame into level 0 of the texture.
    void decodeIntoTexture(bool clearFirst);

    std::string file_;
    std::unique_ptr<FlicPlayer> player_;
    Variable fps_;
    // Seconds since construct, and the time of the frame shown; doubles, so that hours of
    // frame seconds still add up to whole frames.
    double elapsed_ = 0.0;
    double shown_ = 0.0;
};

class FlicDecompressComponentType final : public ComponentTypeFor<FlicDecompressComponent> {
public:
    FlicDecompressComponentType();
};

}  // namespace mirva
