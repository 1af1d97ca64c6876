#pragma once
// Keys as the program sees them: 256 states indexed by virtual-key code, 1 while the key
// is down. The window's key events are mapped to these codes, so the main loop and the
// game read the same table whatever the windowing system calls its keys.
#include <array>

namespace mirva {

using KeyStates = std::array<unsigned char, 256>;

namespace vk {
constexpr int SHIFT = 0x10;
constexpr int ESCAPE = 0x1B;
constexpr int SPACE = 0x20;
constexpr int LEFT = 0x25;
constexpr int RIGHT = 0x27;
constexpr int DOWN = 0x28;
constexpr int KEY_0 = 0x30;
constexpr int KEY_9 = 0x39;
constexpr int KEY_P = 0x50;
constexpr int F1 = 0x70;
}  // namespace vk

}  // namespace mirva
