#pragma once
// The window's keys as virtual-key codes: the program reads its keys from a table indexed
// by these codes (app/keys.h), so the windowing system's own key numbers are mapped once,
// here. Keys by what they produce in the keyboard layout (as the key codes of a Windows
// keyboard do): letters and digits by their character, the rest by their function.
namespace mirva {

// The virtual-key code of an SDL key code; 0 for keys the program has no code for.
int virtualKeyCode(int sdlKeycode);

}  // namespace mirva
